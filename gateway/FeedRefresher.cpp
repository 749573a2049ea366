#include "FeedRefresher.h"

#include "FaultLog.h"
#include "GatewayClock.h"
#include "archive/Archive.h"
#include "feeds/ItemIdentity.h"
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

CategoryRefresh FeedRefresher::refresh(const QString &code)
{
    const QDateTime now = m_parts.clock.now();
    if (const FileResult pruned =
            m_parts.archive.prune(now.date().addDays(-m_parts.config.settings.keepDays));
        !pruned)
        m_parts.faults.fault(ArchiveFaults.toString(), pruned.error);
    const CategoryFeeds category = m_parts.config.categories.value(code);
    // The feeds of a category are fetched side by side: Varnholt waits for the whole list page.
    std::vector<std::future<FeedOutcome>> running;
    for (const QUrl &feed : category.feeds)
        running.push_back(std::async(
            std::launch::async, [this, code, feed, now] { return refreshFeed(code, feed, now); }));
    CategoryRefresh refreshed;
    int merged = 0;
    for (auto &done : running) {
        const FeedOutcome outcome = done.get();
        merged += outcome.merged;
        ++refreshed.feeds;
        if (!outcome.failing)
            continue;
        ++refreshed.failing;
        if (!refreshed.nextTry.isValid() || outcome.nextTry < refreshed.nextTry)
            refreshed.nextTry = outcome.nextTry;
    }
    // Said at every refresh that merges: it is what the feeds say now, not a fault.
    if (merged > 0)
        m_parts.faults.note(
            u"[%1] %2 item(s) shown once as the same story: the same guid or link "
            u"twice, or a title another feed of the category had that day"_s.arg(code)
                .arg(merged));
    return refreshed;
}

FeedRefresher::FeedOutcome FeedRefresher::refreshFeed(const QString &code, const QUrl &feed,
                                                      const QDateTime &now)
{
    const QString address = feed.toString();
    const QString key = code + u' ' + address;
    std::lock_guard lock(m_locks.lockFor(key));
    const ArchiveRead<FeedState> stored = m_parts.archive.feedState(key);
    // Without what the feed said last time, it is asked as if for the first time.
    if (!stored.ok)
        m_parts.faults.fault(ArchiveFaults.toString(), stored.error);
    FeedState state = stored.value;
    const auto nextTry = [&] {
        return std::max(state.checked.addSecs(m_parts.config.settings.refresh.count()),
                        state.retryAfter.isValid() ? state.retryAfter : state.checked);
    };
    // Not due: what the last fetch came to stands.
    const qint64 since = state.checked.isValid() ? state.checked.secsTo(now) : -1;
    if ((state.retryAfter.isValid() && state.retryAfter > now) ||
        (since >= 0 && since < m_parts.config.settings.refresh.count()))
        return {0, !state.failure.isEmpty(), nextTry()};

    UpstreamRequest request;
    request.url = feed;
    request.etag = state.etag;
    request.lastModified = state.lastModified;
    const UpstreamReply reply = m_parts.upstream.get(request);
    state.checked = now;
    const auto keepState = [&] {
        if (const FileResult kept = m_parts.archive.storeFeedState(key, state); !kept)
            m_parts.faults.fault(ArchiveFaults.toString(), kept.error);
    };
    const auto fault = [&](const QString &reason) -> FeedOutcome {
        m_parts.faults.fault(key, u"[%1] feed %2: %3"_s.arg(code, address, reason));
        state.failure = reason;
        keepState();
        return {0, true, nextTry()};
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
        state.failure.clear();
        keepState();
        return {};
    }
    if (reply.status < 200 || reply.status >= 300)
        return fault(u"answered HTTP %1"_s.arg(reply.status));
    const FeedParseResult parsed = ParseFeed(reply.body, reply.contentType, reply.finalUrl);
    if (!parsed.ok)
        return fault(parsed.error);

    QList<FeedItem> all = parsed.items;
    const int repeats = AssignIdentities(all, feed);
    QList<FeedItem> items;
    const QStringList match = m_parts.config.categories.value(code).match;
    for (const FeedItem &item : std::as_const(all)) {
        if (titleMatches(item.title, match))
            items.append(item);
    }
    const StoreResult kept = m_parts.archive.store(code, address, parsed.source, items, now);
    if (!kept.ok)
        return fault(kept.error);
    // Without new validators, the next refresh reads the broken feed whole again.
    if (parsed.broken)
        return fault(u"not well-formed at line %1 (%2); %3 item(s) read"_s.arg(parsed.broken->line)
                         .arg(parsed.broken->reason)
                         .arg(parsed.items.size()));
    state.etag = reply.etag;
    state.lastModified = reply.lastModified;
    state.retryAfter = {};
    state.failure.clear();
    m_parts.faults.worked(key);
    keepState();
    return {repeats + kept.merged, false, {}};
}
