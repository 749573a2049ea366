#include "GatewaySite.h"

namespace {

constexpr int kRequestsPerHost = 2;

// Only the hosts the person named may be in this machine's own network.
LocalNetworkGuard guardFor(const FeedsConfig &config)
{
    QList<QUrl> feeds;
    for (const CategoryFeeds &category : config.categories)
        feeds += category.feeds;
    return LocalNetworkGuard(feeds, ProxiesFromEnvironment());
}

} // namespace

GatewaySite::GatewaySite(FeedsConfig config, QDate today, std::function<void(const QString &)> say)
    : m_clock(today)
    , m_gate(config.settings.delay, kRequestsPerHost, m_clock)
    , m_client(GatewayUserAgent(config.settings.contact), m_gate, m_clock, guardFor(config))
    , m_gateway(std::move(config), m_client, m_clock, std::move(say))
{}
