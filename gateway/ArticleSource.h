#pragma once

#include "GatewayParts.h"
#include "KeyedLocks.h"
#include "PageCache.h"
#include "feeds/FeedsFile.h"
#include "upstream/RobotsCache.h"

#include <QStringList>

struct ArchivedItem;

// What an article page says, and whether that is final (worth keeping for good) or a fallback
// after a failure, worth another try later.
struct ArticleText
{
    QStringList paragraphs;
    bool complete = true;
};

// The text served for an item: what the archive holds, while it is final or a fallback younger
// than an hour; else what the item's page gives under its category's text rule (never against
// robots.txt; the upstream keeps the machine's own network out; a page that several items lead
// to is asked for once); else the feed's summary; else none, and the article page says so.
class ArticleSource
{
public:
    // What parts refers to outlives the source.
    explicit ArticleSource(const GatewayParts &parts);
    Q_DISABLE_COPY_MOVE(ArticleSource)

    // Called from several server threads at once.
    QStringList paragraphs(const ArchivedItem &item);

private:
    ArticleText articleText(const ArchivedItem &item);
    ArticleText pageText(const ArchivedItem &item, const TextRule &rule);
    PageFetch fetchPage(const QUrl &page, const TextRule &rule);

    GatewayParts m_parts;
    RobotsCache m_robots;
    PageCache m_pages;
    KeyedLocks m_locks; // one fetch at a time per page
};
