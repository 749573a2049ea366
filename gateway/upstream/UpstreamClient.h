#pragma once

#include "HostGate.h"
#include "Upstream.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QUrl>

#include <chrono>
#include <optional>

// The gateway's HTTP client towards the sources: GET over libcurl, http and https only, a few
// redirects, time-outs, a size cap, gzip, the gateway's User-Agent, every hop through the host
// gate. A 429 or 503 holds the host off for its Retry-After. Safe to use from several threads.
class UpstreamClient final : public Upstream
{
public:
    // gate and clock outlive the client.
    UpstreamClient(QString userAgent, HostGate &gate, const GatewayClock &clock);
    Q_DISABLE_COPY_MOVE(UpstreamClient)

    UpstreamReply get(const UpstreamRequest &request) override;

private:
    UpstreamReply once(const UpstreamRequest &request, const QUrl &url);

    QByteArray m_userAgent;
    HostGate &m_gate;
    const GatewayClock &m_clock;
};

// "varnholt-portal/<version>", with " (+contact)" when one is given: how the gateway names
// itself to the sources and to robots.txt.
QString GatewayUserAgent(const QString &contact);
// Seconds from a Retry-After value: a number of seconds or an HTTP date.
std::optional<std::chrono::seconds> parseRetryAfter(const QByteArray &value, const QDateTime &now);
// The origin the gate counts requests by: "https://example.com:443".
QString hostKey(const QUrl &url);
// A loopback, private or link-local address, or "localhost".
bool isLocalHost(const QString &host);
