#pragma once

#include "NewsCorpus.h"
#include "SampleArticles.h"

#include <QHash>
#include <QList>

// The built-in sample corpus: today's and the previous day's articles, three to a list page so
// that a category walk follows next-page links.
class SampleCorpus final : public NewsCorpus
{
public:
    SampleCorpus();

    qsizetype pageSize() const override { return 3; }
    qsizetype headlineCount(QDate today, int daysAgo, const QString &code) const override;
    QList<Headline> headlines(QDate today, int daysAgo, const QString &code, qsizetype from,
                              qsizetype count) const override;
    std::optional<ArticleContent> article(QDate today, const QString &id) const override;

private:
    // Index into m_articles of each listed item, by daysAgo and code ("1/dom").
    const QList<qsizetype> &listing(int daysAgo, const QString &code) const;
    // 1-based number of the article within its day: the "NNN" of "yymmdd/NNN".
    qsizetype numberInDay(qsizetype index) const;

    QList<SampleArticle> m_articles;
    QHash<QString, QList<qsizetype>> m_listings;
};
