#pragma once

#include "FaultLog.h"
#include "GatewayClock.h"
#include "PageSource.h"
#include "archive/Archive.h"
#include "feeds/FeedsFile.h"
#include "upstream/HostGate.h"
#include "upstream/RobotsCache.h"
#include "upstream/UpstreamClient.h"

#include <QDate>
#include <QDateTime>

#include <array>
#include <functional>
#include <memory>
#include <mutex>

// The portal's pages made from real feeds: list pages from the archive (refreshed from the
// feeds when due), article pages fetched from the item's link on first request.
class Gateway
{
public:
    // clock: what the gateway takes for now; it outlives the gateway.
    // say: where faults and notices go, one line each.
    Gateway(FeedsConfig config, const GatewayClock &clock,
            std::function<void(const QString &)> say);
    ~Gateway();
    Q_DISABLE_COPY_MOVE(Gateway)

    // Opens (or creates) the archive in folder; false with the reason.
    bool open(const QString &folder, QString *error);

    // Called from several server threads at once.
    PageReply page(const QString &path);

    static QString userAgent(const QString &contact);

private:
    PageReply listPage(const QString &path, const QDateTime &now);
    PageReply articlePage(qint64 id);
    void refreshCategory(const QString &code, const QDateTime &now);
    void refreshFeed(const QString &code, const QUrl &feed, const QDateTime &now);
    // The text to serve for an item, and whether it is final (worth keeping for good).
    QStringList articleText(const ArchivedItem &item, bool *complete);
    QStringList pageText(const ArchivedItem &item, const TextRule &rule, bool *complete);
    std::mutex &lockFor(const QString &key);

    FeedsConfig m_config;
    const GatewayClock &m_clock;
    std::function<void(const QString &)> m_say;
    FaultLog m_faults;
    // Each piece locks for itself.
    std::unique_ptr<Archive> m_archive;
    std::unique_ptr<HostGate> m_gate;
    std::unique_ptr<UpstreamClient> m_client;
    std::unique_ptr<RobotsCache> m_robots;
    bool m_localFeeds = false; // some feed is on this machine or its network
    // One fetch at a time per feed and per article, through a fixed set of locks so that a
    // long-running gateway does not gather one per article ever asked for.
    std::array<std::mutex, 64> m_locks;
};

// The gateway as the server's page source, with the clock it reads.
class GatewaySite final : public PageSource
{
public:
    GatewaySite(std::unique_ptr<GatewayClock> clock, std::unique_ptr<Gateway> gateway)
        : m_clock(std::move(clock))
        , m_gateway(std::move(gateway))
    {}
    PageReply page(const QString &path) const override { return m_gateway->page(path); }

private:
    std::unique_ptr<GatewayClock> m_clock; // before the gateway, which reads it
    std::unique_ptr<Gateway> m_gateway;
};
