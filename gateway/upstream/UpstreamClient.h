#pragma once

#include "HostGate.h"
#include "LocalNetworkGuard.h"
#include "Upstream.h"
#include "engine/CurlRequest.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QUrl>

#include <chrono>
#include <optional>

// The gateway's HTTP client towards the sources, on the program's libcurl layer (engine/
// CurlRequest: http and https only, time-outs, gzip, the text of failures): the gateway's
// User-Agent, 8 MiB at most, conditional GET, up to five redirects, every hop through the host
// gate, and every connection past the guard: nothing of the machine's own network is asked but
// what the person named. A 429 or 503 holds the host off for its Retry-After. Safe to use from
// several threads.
class UpstreamClient final : public Upstream
{
public:
    // gate and clock outlive the client. resolve: "host:port:address" entries that answer for
    // the name service, for tests.
    UpstreamClient(QString userAgent, HostGate &gate, const GatewayClock &clock,
                   LocalNetworkGuard guard, QList<QByteArray> resolve = {});
    Q_DISABLE_COPY_MOVE(UpstreamClient)

    UpstreamReply get(const UpstreamRequest &request) override;

private:
    Hop once(const UpstreamRequest &request, const QString &address,
             const QList<QByteArray> &conditions);
    std::chrono::seconds retryAfterOf(const Hop &hop) const;

    QByteArray m_userAgent;
    HostGate &m_gate;
    const GatewayClock &m_clock;
    LocalNetworkGuard m_guard;
    QList<QByteArray> m_resolve;
};

// "varnholt-portal/<version>", with " (+contact)" when one is given: how the gateway names
// itself to the sources and to robots.txt.
QString GatewayUserAgent(const QString &contact);
