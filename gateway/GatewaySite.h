#pragma once

#include "Gateway.h"
#include "GatewayClock.h"
#include "upstream/HostGate.h"
#include "upstream/UpstreamClient.h"

// The gateway as the server's page source, over the internet: the machine's clock (--today
// fixes its day), the sources through the HTTP client and, host by host, the politeness gate.
class GatewaySite final : public PageSource
{
public:
    // today: invalid to follow the machine's clock.
    GatewaySite(FeedsConfig config, QDate today, std::function<void(const QString &)> say);
    Q_DISABLE_COPY_MOVE(GatewaySite)

    // Opens (or creates) the archive in folder.
    FileResult open(const QString &folder) { return m_gateway.open(folder); }

    PageReply page(const QString &path) const override { return m_gateway.page(path); }

private:
    SystemClock m_clock;
    HostGate m_gate;
    UpstreamClient m_client;
    mutable Gateway m_gateway; // safe from several threads: each piece locks for itself
};
