#pragma once

#include <QByteArray>
#include <QString>

#include <chrono>
#include <memory>

struct HttpReply
{
    bool ok = false; // a reply arrived (whatever its status)
    QByteArray body; // the whole body, decompressed
    QString error;   // when !ok: what failed, naming the address
};

// One request at a time; status codes and headers are not examined.
class HttpTransport
{
public:
    virtual ~HttpTransport() = default;
    virtual HttpReply get(const QString &url) = 0;
    // From any thread: the request under way and every later one fail soon, naming the cancel.
    // For a person who ended the program while the run waits on a slow server.
    virtual void abort() {}
};

// libcurl, one easy handle reused for the whole run (keep-alive). Redirects are followed up to
// five times on the same scheme, host and port; proxies come from the usual environment.
std::unique_ptr<HttpTransport>
MakeCurlTransport(std::chrono::milliseconds timeout = std::chrono::seconds(60));
