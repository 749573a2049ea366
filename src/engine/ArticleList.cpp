#include "engine/ArticleList.h"

#include "util/ScratchFile.h"

ArticleList::ArticleList() = default;
ArticleList::~ArticleList() = default;
ArticleList::ArticleList(ArticleList &&) noexcept = default;
ArticleList &ArticleList::operator=(ArticleList &&) noexcept = default;

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

FileResult ArticleList::spoolBodiesIn(const QString &folder)
{
    const FileResult created = ScratchFile::create(folder, m_spool);
    m_spoolWritable = bool(created);
    return created;
}

FileResult ArticleList::setBody(qint32 index, const QByteArray &body, qint32 lost)
{
    ArticleRecord &record = m_records[size_t(index)];
    record.BodyLost = lost;
    record.SpooledAt = -1;
    record.SpooledBytes = 0;
    record.Body.clear();
    if (m_spoolWritable && !body.isEmpty()) {
        qint64 offset = 0;
        FileResult spooled = m_spool->append(body, offset);
        if (spooled) {
            record.SpooledAt = offset;
            record.SpooledBytes = body.size();
            return spooled;
        }
        // The bodies already spooled stay readable; no more are added.
        m_spoolWritable = false;
        record.Body = body;
        return spooled;
    }
    record.Body = body;
    return FileResult::success();
}

FileResult ArticleList::body(qint32 index, QByteArray &out) const
{
    const ArticleRecord &record = m_records[size_t(index)];
    if (record.SpooledAt < 0 || !m_spool) {
        out = record.Body;
        return FileResult::success();
    }
    return m_spool->read(record.SpooledAt, record.SpooledBytes, out);
}
