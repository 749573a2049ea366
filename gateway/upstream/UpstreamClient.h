#pragma once

#include "HostGate.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QUrl>

#include <chrono>
#include <optional>

struct UpstreamRequest
{
    QUrl url;
    QByteArray etag;         // sent as If-None-Match when not empty
    QByteArray lastModified; // sent as If-Modified-Since when not empty
    std::chrono::milliseconds timeout{20'000};
    // How long to wait for a turn at the host before giving up.
    std::chrono::milliseconds maxWait{10'000};
};

struct UpstreamReply
{
    bool ok = false; // a reply came (any status); false: error says why none came
    int status = 0;
    QByteArray body;
    QString contentType;
    QByteArray etag;
    QByteArray lastModified;
    QByteArray location; // of a redirect
    std::optional<std::chrono::seconds> retryAfter;
    QUrl finalUrl; // after redirects
    QString error;
};

// The gateway's HTTP client towards the sources: GET over libcurl, http and https only, a few
// redirects, time-outs, a size cap, gzip, the gateway's User-Agent, every hop through the host
// gate. A 429 or 503 holds the host off for its Retry-After. Safe to use from several threads.
class UpstreamClient
{
public:
    // gate and clock outlive the client.
    UpstreamClient(QString userAgent, HostGate &gate, const GatewayClock &clock);
    Q_DISABLE_COPY_MOVE(UpstreamClient)

    UpstreamReply get(const UpstreamRequest &request);

private:
    UpstreamReply once(const UpstreamRequest &request, const QUrl &url);

    QByteArray m_userAgent;
    HostGate &m_gate;
    const GatewayClock &m_clock;
};

// Seconds from a Retry-After value: a number of seconds or an HTTP date.
std::optional<std::chrono::seconds> parseRetryAfter(const QByteArray &value, const QDateTime &now);
// The origin the gate counts requests by: "https://example.com:443".
QString hostKey(const QUrl &url);
// A loopback, private or link-local address, or "localhost".
bool isLocalHost(const QString &host);
