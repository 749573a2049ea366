#pragma once

#include "engine/CurlRequest.h"
#include "engine/HttpTransport.h"

#include <chrono>
#include <memory>

// libcurl's process-wide set-up: create one in main before any transport, keep it until exit.
// Where libcurl can, it sets itself up when the first handle is made; the clean-up is here.
class CurlGlobal
{
public:
    CurlGlobal();
    ~CurlGlobal();
    CurlGlobal(const CurlGlobal &) = delete;
    CurlGlobal &operator=(const CurlGlobal &) = delete;

    bool ok() const { return m_ok; }

private:
    bool m_ok = false;
};

// libcurl with keep-alive. One connection: one easy handle reused for the whole run, nothing
// asked ahead. More: announced addresses are asked ahead over up to that many connections, never
// more requests at once. Redirects are followed up to five times on the same scheme, host and
// port; proxies come from the usual environment. A 503 reply is a failed request; any other
// status gives its body as the page.
std::unique_ptr<HttpTransport>
MakeCurlTransport(std::chrono::milliseconds timeout = std::chrono::seconds(60),
                  int connections = 1);

// The engine's requests: the program's User-Agent, 64 MiB at most, connecting within 15 s.
CurlSettings EngineCurlSettings(std::chrono::milliseconds timeout);
// The engine's redirect policy: only to the same scheme, host and port as the address before.
QString SameOriginOnly(const QString &from, const QString &to);
// The run's view of the last hop: the body, or what failed (a 503 Service Unavailable too).
HttpReply ReplyOf(Hop hop);
