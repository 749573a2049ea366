#pragma once

#include "engine/UrlOrigin.h"

#include <QByteArray>
#include <QString>

#include <chrono>
#include <memory>

// Why no reply arrived, where the transport can tell; the person is told in these terms.
enum class HttpFailure {
    Other,             // anything else: error says what
    Refused,           // nothing listens at the address's port
    CannotResolve,     // the host name is not known
    NoAnswer,          // the server did not answer in time
    ConnectionDropped, // the connection ended before the whole reply
    Certificate,       // the server's certificate could not be verified
};

struct HttpReply
{
    bool ok = false;                          // a reply arrived (any status but 503)
    QByteArray body;                          // the whole body, decompressed
    QString error;                            // when !ok: what failed, naming the address
    HttpFailure failure = HttpFailure::Other; // when !ok
};

// Replies come one at a time, in the order they are asked for; headers are not examined, and
// of the status codes only 503 (the server cannot serve the page now), which fails the request.
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
    // From any thread: while held, nothing more is asked ahead; the requests under way go on.
    // For a person who is deciding whether to cancel the run.
    virtual void hold(bool held) { Q_UNUSED(held) }
    // From any thread: the request under way and every later one fail soon, naming the cancel.
    // For a person who ended the program while the run waits on a slow server.
    virtual void abort() {}
};
