#include "RobotsCache.h"

#include "HostGate.h"

using namespace Qt::StringLiterals;

RobotsCache::RobotsCache(Upstream &upstream, QString agent, const GatewayClock &clock)
    : m_upstream(upstream)
    , m_agent(std::move(agent))
    , m_clock(clock)
{}

RobotsCache::Entry &RobotsCache::entryFor(const QString &host)
{
    std::lock_guard lock(m_mutex);
    std::unique_ptr<Entry> &entry = m_entries[host];
    if (!entry)
        entry = std::make_unique<Entry>();
    return *entry;
}

RobotsCache::Permission RobotsCache::allows(const QUrl &url)
{
    const QString host = HostKey(url);
    Entry &entry = entryFor(host);
    std::lock_guard lock(entry.mutex);
    const QDateTime now = m_clock.now();
    if (!entry.expires.isValid() || entry.expires < now) {
        UpstreamRequest request;
        request.url = QUrl(host + u"/robots.txt"_s);
        request.timeout = std::chrono::seconds(10);
        const UpstreamReply reply = m_upstream.get(request);
        entry.failure.clear();
        if (reply.ok && reply.status >= 200 && reply.status < 300) {
            entry.rules = RobotsRules::parse(reply.body, m_agent);
            entry.expires = now.addDays(1);
        } else if (reply.ok && reply.status >= 400 && reply.status < 500 && reply.status != 429) {
            entry.rules = RobotsRules::allowAll();
            entry.expires = now.addDays(1);
        } else {
            entry.rules = RobotsRules::disallowAll();
            entry.expires = now.addSecs(3600);
            entry.failure =
                reply.ok ? u"%1/robots.txt answered %2"_s.arg(host).arg(reply.status) : reply.error;
        }
    }
    const QString path = QString::fromUtf8(
        url.toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority | QUrl::RemoveFragment));
    if (entry.rules.allows(path))
        return {};
    return {false, entry.failure.isEmpty() ? url.toString() + u": robots.txt forbids it"_s
                                           : entry.failure + u", so no page is fetched from it"_s};
}
