#pragma once

#include "GatewayParts.h"
#include "KeyedLocks.h"
#include "feeds/FeedsFile.h"

#include <QDateTime>
#include <QString>
#include <QUrl>

// What a category's refresh found out about its feeds.
struct CategoryRefresh
{
    int feeds = 0;
    // Feeds whose last fetch gave nothing: at this refresh, or before it when not due again.
    int failing = 0;
    QDateTime nextTry; // when the first failing feed will be asked again
    bool allFailed() const { return feeds > 0 && failing == feeds; }
};

// When and how a category's feeds are fetched into the archive: each feed at most once per
// refresh interval, with the validators it gave last time (a conditional GET), never while it
// asked to be left alone (Retry-After), each fault said once. Every item of a feed is kept
// (ItemIdentity.h); items shown once as the same story are counted in one line per refresh.
// Days older than keep_days leave the archive at each refresh.
class FeedRefresher
{
public:
    // What parts refers to outlives the refresher.
    explicit FeedRefresher(const GatewayParts &parts);
    Q_DISABLE_COPY_MOVE(FeedRefresher)

    // Fetches the category's feeds that are due, side by side, and returns when all are done.
    // Called from several server threads at once.
    CategoryRefresh refresh(const QString &code);

private:
    // What refreshing one feed came to.
    struct FeedOutcome
    {
        int merged = 0; // items shown once as the same story
        bool failing = false;
        QDateTime nextTry; // when failing
    };
    FeedOutcome refreshFeed(const QString &code, const QUrl &feed, const QDateTime &now);

    GatewayParts m_parts;
    KeyedLocks m_locks; // one fetch at a time per feed
};
