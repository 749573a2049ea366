#pragma once

#include "NewsCorpus.h"

#include <QStringList>

// A synthetic corpus of any size for benchmarks: today's articles spread round-robin over the
// real categories, fifty (or pageSize) to a list page, every title containing "速報"; the previous
// day has no articles. Nothing is stored per article: titles and pages are computed from the
// number.
class GeneratedCorpus final : public NewsCorpus
{
public:
    explicit GeneratedCorpus(qsizetype articleCount, qsizetype pageSize = 50);

    qsizetype pageSize() const override { return m_pageSize; }
    qsizetype headlineCount(QDate today, int daysAgo, const QString &code) const override;
    QList<Headline> headlines(QDate today, int daysAgo, const QString &code, qsizetype from,
                              qsizetype count) const override;
    std::optional<ArticleContent> article(QDate today, const QString &id) const override;

private:
    QString title(qsizetype number) const;
    QString time(qsizetype number) const;

    qsizetype m_articleCount;
    qsizetype m_pageSize;
    QStringList m_codes;
};
