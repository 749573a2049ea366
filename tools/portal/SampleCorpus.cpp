#include "SampleCorpus.h"

#include "HeadlinePath.h"

using namespace Qt::StringLiterals;

namespace {

QString listingKey(int daysAgo, const QString &code)
{
    return QString::number(daysAgo) + u'/' + code;
}

QString articleId(QDate day, qsizetype number)
{
    return DayStamp(day) + u'/' + u"%1"_s.arg(number, 3, 10, QLatin1Char('0'));
}

} // namespace

SampleCorpus::SampleCorpus()
    : m_articles(SampleArticles())
{
    for (qsizetype i = 0; i < m_articles.size(); ++i) {
        for (const QString &code : m_articles.at(i).categories)
            m_listings[listingKey(m_articles.at(i).daysAgo, code)].append(i);
    }
}

const QList<qsizetype> &SampleCorpus::listing(int daysAgo, const QString &code) const
{
    static const QList<qsizetype> none;
    const auto found = m_listings.constFind(listingKey(daysAgo, code));
    return found == m_listings.cend() ? none : *found;
}

qsizetype SampleCorpus::numberInDay(qsizetype index) const
{
    qsizetype number = 0;
    for (qsizetype i = 0; i <= index; ++i) {
        if (m_articles.at(i).daysAgo == m_articles.at(index).daysAgo)
            ++number;
    }
    return number;
}

qsizetype SampleCorpus::headlineCount(QDate, int daysAgo, const QString &code) const
{
    return listing(daysAgo, code).size();
}

QList<Headline> SampleCorpus::headlines(QDate today, int daysAgo, const QString &code,
                                        qsizetype from, qsizetype count) const
{
    QList<Headline> items;
    const QDate day = today.addDays(-daysAgo);
    for (qsizetype index : listing(daysAgo, code).mid(from, count)) {
        const SampleArticle &article = m_articles.at(index);
        items.append({u"/article/"_s + articleId(day, numberInDay(index)), article.title,
                      article.source, article.time});
    }
    return items;
}

std::optional<ArticleContent> SampleCorpus::article(QDate today, const QString &id) const
{
    for (int daysAgo : {0, 1}) {
        const QDate day = today.addDays(-daysAgo);
        qsizetype number = 0;
        for (qsizetype i = 0; i < m_articles.size(); ++i) {
            const SampleArticle &article = m_articles.at(i);
            if (article.daysAgo != daysAgo)
                continue;
            ++number;
            if (articleId(day, number) != id)
                continue;
            // Every fifth article carries one capital line-break tag.
            return ArticleContent{article.title, article.source,     day,
                                  article.time,  article.paragraphs, number % 5 == 2};
        }
    }
    return std::nullopt;
}
