#include "engine/CurlTransport.h"

#include "engine/CurlRequest.h"
#include "engine/CurlUrl.h"
#include "engine/HttpTransport.h"
#include "engine/PipelinedTransport.h"
#include "util/Version.h"

#include <atomic>

using namespace Qt::StringLiterals;

namespace {

// Such a libcurl sets itself up safely on first use, from whichever thread: a process that never
// makes a handle then never pays for the TLS library's start-up.
bool setsItselfUp()
{
    return (curl_version_info(CURLVERSION_NOW)->features & CURL_VERSION_THREADSAFE) != 0;
}

} // namespace

CurlGlobal::CurlGlobal()
    : m_ok(setsItselfUp() || curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK)
{}

CurlGlobal::~CurlGlobal()
{
    if (m_ok)
        curl_global_cleanup();
}

namespace {

class CurlTransport final : public HttpTransport
{
public:
    explicit CurlTransport(std::chrono::milliseconds timeout)
        : m_request(CurlRequest::make(EngineCurlSettings(timeout), &m_aborted))
    {}

    Q_DISABLE_COPY_MOVE(CurlTransport) // the request holds a reference to m_aborted

    bool isValid() const { return m_request != nullptr; }

    void abort() override { m_aborted = true; }

    bool originOf(const QString &url, UrlOrigin &origin) override { return OriginOf(url, origin); }

    HttpReply get(const QString &url) override
    {
        const auto request = [this](const QString &address) {
            return m_request->perform(address);
        };
        return ReplyOf(FollowRedirects(url, request(url), request, &SameOriginOnly));
    }

private:
    std::atomic<bool> m_aborted{false};
    std::unique_ptr<CurlRequest> m_request;
};

// Stands in when libcurl cannot give a handle, so that every request reports why.
class BrokenTransport final : public HttpTransport
{
public:
    HttpReply get(const QString &url) override
    {
        return {false, {}, url + u": the HTTP library could not be initialised"_s};
    }
    bool originOf(const QString &url, UrlOrigin &origin) override { return OriginOf(url, origin); }
};

} // namespace

CurlSettings EngineCurlSettings(std::chrono::milliseconds timeout)
{
    CurlSettings settings;
    settings.timeout = timeout;
    settings.userAgent = UserAgent().toLatin1();
    return settings;
}

QString SameOriginOnly(const QString &from, const QString &to)
{
    UrlOrigin before;
    UrlOrigin after;
    const bool same = OriginOf(from, before) && OriginOf(to, after) && before == after;
    return same ? QString() : u"which is not on the same scheme, host and port"_s;
}

HttpReply ReplyOf(Hop hop)
{
    // A server that says it cannot serve the page now has not given it: what came is its excuse,
    // and the person is asked as after any failed request. Other statuses keep their bodies.
    if (hop.ok && hop.status == 503)
        return {false,
                {},
                hop.address + u": the server answered 503 Service Unavailable"_s,
                HttpFailure::Other};
    return {hop.ok, std::move(hop.body), std::move(hop.error), hop.failureKind};
}

std::unique_ptr<HttpTransport> MakeCurlTransport(std::chrono::milliseconds timeout, int connections)
{
    if (connections > 1) {
        auto pipelined = std::make_unique<PipelinedTransport>(timeout, connections);
        if (pipelined->isValid())
            return pipelined;
        return std::make_unique<BrokenTransport>();
    }
    auto transport = std::make_unique<CurlTransport>(timeout);
    if (!transport->isValid())
        return std::make_unique<BrokenTransport>();
    return transport;
}
