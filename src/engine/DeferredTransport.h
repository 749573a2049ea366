#pragma once

#include "engine/HttpTransport.h"

#include <functional>
#include <memory>
#include <mutex>

// Makes its transport on the first request or announcement and hands everything on to it: a run
// that asks for nothing (no category ticked) never sets up the HTTP library, nor the TLS library
// below it.
class DeferredTransport final : public HttpTransport
{
public:
    using Factory = std::function<std::unique_ptr<HttpTransport>()>;

    explicit DeferredTransport(Factory factory);
    Q_DISABLE_COPY_MOVE(DeferredTransport)

    HttpReply get(const QString &url) override;
    // Makes the transport: only it knows how its library reads addresses.
    bool originOf(const QString &url, UrlOrigin &origin) override;
    void expect(const QString &url) override;
    void forgetExpected() override;
    // From any thread; a hold or an abort before the transport exists reaches it as it is made.
    void hold(bool held) override;
    void abort() override;

private:
    HttpTransport &transport();
    HttpTransport *made() const;

    Factory m_factory;
    mutable std::mutex m_mutex; // guards m_transport being made, m_held and m_aborted
    bool m_held = false;
    bool m_aborted = false;
    std::unique_ptr<HttpTransport> m_transport; // never replaced once made
};
