#include "FeedRefresher.h"

#include "FaultLog.h"
#include "GatewayClock.h"
#include "archive/Archive.h"
#include "upstream/Upstream.h"

#include <future>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

bool titleMatches(const QString &title, const QStringList &words)
{
    if (words.isEmpty())
        return true;
    return std::any_of(words.cbegin(), words.cend(),
                       [&](const QString &word) { return title.contains(word); });
}

} // namespace

FeedRefresher::FeedRefresher(const GatewayParts &parts)
    : m_parts(parts)
{}

void FeedRefresher::refresh(const QString &code)
{
    const QDateTime now = m_parts.clock.now();
    m_parts.archive.prune(now.date().addDays(-m_parts.config.settings.keepDays));
    const CategoryFeeds category = m_parts.config.categories.value(code);
    // The feeds of a category are fetched side by side: Varnholt waits for the whole list page.
    std::vector<std::future<void>> running;
    for (const QUrl &feed : category.feeds)
        running.push_back(std::async(std::launch::async,
                                     [this, code, feed, now] { refreshFeed(code, feed, now); }));
    for (auto &done : running)
        done.wait();
}

void FeedRefresher::refreshFeed(const QString &code, const QUrl &feed, const QDateTime &now)
{
    const QString address = feed.toString();
    const QString key = code + u' ' + address;
    std::lock_guard lock(m_locks.lockFor(key));
    FeedState state = m_parts.archive.feedState(key);
    if (state.retryAfter.isValid() && state.retryAfter > now)
        return;
    const qint64 since = state.checked.isValid() ? state.checked.secsTo(now) : -1;
    if (since >= 0 && since < m_parts.config.settings.refresh.count())
        return;

    UpstreamRequest request;
    request.url = feed;
    request.etag = state.etag;
    request.lastModified = state.lastModified;
    const UpstreamReply reply = m_parts.upstream.get(request);
    state.checked = now;
    const auto fault = [&](const QString &reason) {
        m_parts.faults.fault(key, u"[%1] feed %2: %3"_s.arg(code, address, reason));
        m_parts.archive.storeFeedState(key, state);
    };
    if (!reply.ok)
        return fault(reply.error);
    if (reply.retryAfter) {
        state.retryAfter = now.addSecs(reply.retryAfter->count());
        return fault(
            u"answered %1, retrying in %2 s"_s.arg(reply.status).arg(reply.retryAfter->count()));
    }
    if (reply.status == 304) {
        m_parts.faults.worked(key);
        m_parts.archive.storeFeedState(key, state);
        return;
    }
    if (reply.status < 200 || reply.status >= 300)
        return fault(u"answered HTTP %1"_s.arg(reply.status));
    const FeedParseResult parsed = ParseFeed(reply.body, reply.contentType, reply.finalUrl);
    if (!parsed.ok)
        return fault(parsed.error);

    QList<FeedItem> items;
    const QStringList match = m_parts.config.categories.value(code).match;
    for (const FeedItem &item : parsed.items) {
        if (titleMatches(item.title, match))
            items.append(item);
    }
    if (const StoreResult stored = m_parts.archive.store(code, parsed.source, items, now);
        !stored.ok)
        return fault(stored.error);
    // Without new validators, the next refresh reads the broken feed whole again.
    if (parsed.broken)
        return fault(u"not well-formed at line %1 (%2); %3 item(s) read"_s.arg(parsed.broken->line)
                         .arg(parsed.broken->reason)
                         .arg(parsed.items.size()));
    state.etag = reply.etag;
    state.lastModified = reply.lastModified;
    state.retryAfter = {};
    m_parts.faults.worked(key);
    m_parts.archive.storeFeedState(key, state);
}
