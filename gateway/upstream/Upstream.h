#pragma once

#include <QByteArray>
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
    std::optional<std::chrono::seconds> retryAfter; // of a 429 or 503
    QUrl finalUrl;                                  // after redirects
    QString error;                                  // naming the address
};

// How the gateway asks the sources for feeds, robots.txt and article pages: the HTTP client,
// or in tests a table of replies.
class Upstream
{
public:
    virtual ~Upstream() = default;
    // Called from several threads at once.
    virtual UpstreamReply get(const UpstreamRequest &request) = 0;
};
