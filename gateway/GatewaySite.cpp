#include "GatewaySite.h"

namespace {

constexpr int kRequestsPerHost = 2;

} // namespace

GatewaySite::GatewaySite(FeedsConfig config, QDate today, std::function<void(const QString &)> say)
    : m_clock(today)
    , m_gate(config.settings.delay, kRequestsPerHost, m_clock)
    , m_client(GatewayUserAgent(config.settings.contact), m_gate, m_clock)
    , m_gateway(std::move(config), m_client, m_clock, std::move(say))
{}
