#pragma once

#include "engine/CurlRequest.h"
#include "engine/HttpTransport.h"

#include <QString>

#include <atomic>
#include <chrono>
#include <curl/curl.h>
#include <deque>
#include <list>
#include <memory>
#include <vector>

// Asks announced addresses ahead over up to `connections` kept-alive connections (libcurl's
// multi interface; HTTP/2 multiplexing where the server offers it) and hands every reply out
// only when it is asked for, so that the caller sees the replies in its own order. Never more
// than `connections` requests are under way at once, and the replies held for later are
// bounded in number and bytes. The caller's thread drives the transfers while it waits in get().
class PipelinedTransport final : public HttpTransport
{
public:
    PipelinedTransport(std::chrono::milliseconds timeout, int connections);
    ~PipelinedTransport() override;
    Q_DISABLE_COPY_MOVE(PipelinedTransport)

    bool isValid() const { return m_multi != nullptr; }

    HttpReply get(const QString &url) override;
    bool originOf(const QString &url, UrlOrigin &origin) override;
    void expect(const QString &url) override;
    void forgetExpected() override;
    // From any thread.
    void hold(bool held) override;
    // From any thread: every transfer under way ends at once, and every later request fails.
    void abort() override;

private:
    struct Transfer
    {
        QString url;
        std::unique_ptr<CurlRequest> request; // while under way
        bool done = false;
        bool ahead = false; // asked ahead rather than for a get() under way
        Hop hop;            // once done
    };

    Hop takeFirstHop(const QString &url);
    Hop requestNow(const QString &url);
    void start(Transfer &transfer);
    void waitFor(const Transfer &transfer);
    void collectFinished();
    void collectMessages();
    // Starts what the limits allow; send puts the new requests on the wire at once (a caller
    // that goes on to collect finished transfers does that itself). True when any started.
    bool askAhead(bool send = true);
    void endEverything();
    bool isAheadOrUnderWay(const QString &url) const;

    std::chrono::milliseconds m_timeout;
    int m_connections;
    std::atomic<bool> m_aborted{false};
    std::atomic<bool> m_held{false};
    CURLM *m_multi = nullptr;
    std::vector<std::unique_ptr<CurlRequest>> m_idle;
    int m_underWay = 0;
    bool m_slotWanted = false;      // a request the caller waits for goes before any asked ahead
    std::deque<QString> m_expected; // announced, not yet asked
    std::list<Transfer> m_ahead;    // asked ahead, in the order announced
    Transfer *m_asked = nullptr;    // asked for the get() under way
    qsizetype m_heldBytes = 0;      // bodies of finished transfers in m_ahead
};
