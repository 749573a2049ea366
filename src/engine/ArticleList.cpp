#include "engine/ArticleList.h"

void ArticleList::ClearArticles()
{
    m_records.clear();
    m_indexByURL.clear();
}

qint32 ArticleList::AddArticle()
{
    m_records.emplace_back();
    return ArticleCount() - 1;
}

void ArticleList::setURL(qint32 index, const QString &url)
{
    ArticleRecord &record = m_records[size_t(index)];
    if (record.URL == url)
        return;

    const auto old = m_indexByURL.constFind(record.URL);
    if (old != m_indexByURL.cend() && old.value() == index) {
        // The index pointed at this record: hand it to the next record with the old URL, if any.
        m_indexByURL.erase(old);
        for (qint32 i = index + 1; i < ArticleCount(); ++i) {
            if (m_records[size_t(i)].URL == record.URL) {
                m_indexByURL.insert(record.URL, i);
                break;
            }
        }
    }
    record.URL = url;

    const auto found = m_indexByURL.constFind(url);
    if (found == m_indexByURL.cend() || found.value() > index)
        m_indexByURL.insert(url, index);
}

bool ArticleList::IsListedURL(const QString &url) const
{
    return m_indexByURL.contains(url);
}
