#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// One item of a headline list page.
struct Headline
{
    QString link;   // root-relative, e.g. "/article/240501/003"
    QString title;  // as it stands in the page (already HTML)
    QString source; // the news agency
    QString time;   // "hh:mm"
};

struct ArticleContent
{
    QString title;
    QString source;
    QDate day;
    QString time;
    QStringList paragraphs;
    // Writes one line break tag in capitals, as hand-edited pages sometimes do.
    bool capitalBreak = false;
};

// Articles by day and category. daysAgo is 0 for today, 1 for the previous day; code has no
// slash ("dom"). Implementations are immutable after construction (read from many threads).
class NewsCorpus
{
public:
    virtual ~NewsCorpus() = default;

    virtual qsizetype pageSize() const = 0;
    virtual qsizetype headlineCount(QDate today, int daysAgo, const QString &code) const = 0;
    virtual QList<Headline> headlines(QDate today, int daysAgo, const QString &code, qsizetype from,
                                      qsizetype count) const = 0;
    // id: what follows "/article/" in a link.
    virtual std::optional<ArticleContent> article(QDate today, const QString &id) const = 0;
};
