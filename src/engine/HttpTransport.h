#pragma once

#include "engine/UrlOrigin.h"

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

// Replies come one at a time, in the order they are asked for; status codes and headers are
// not examined.
class HttpTransport
{
public:
    virtual ~HttpTransport() = default;
    virtual HttpReply get(const QString &url) = 0;
    // Where a request to url would go, read as the transport's library reads it; false when
    // the address cannot be parsed.
    virtual bool originOf(const QString &url, UrlOrigin &origin) = 0;
    // The run will get url later, after the addresses announced before it: a transport with
    // several connections may request it ahead. Announcing an address that is never asked for
    // only costs its request.
    virtual void expect(const QString &url) { Q_UNUSED(url) }
    // The run ends early: none of the announced addresses will be asked for, and whatever was
    // asked ahead ends now.
    virtual void forgetExpected() {}
    // From any thread: the request under way and every later one fail soon, naming the cancel.
    // For a person who ended the program while the run waits on a slow server.
    virtual void abort() {}
};
