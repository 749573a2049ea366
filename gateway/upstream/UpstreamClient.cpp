#include "UpstreamClient.h"

#include "RetryAfter.h"
#include "util/Version.h"

#include <QHostAddress>
#include <QtEndian>

#include <memory>
#include <netinet/in.h>

using namespace Qt::StringLiterals;

namespace {

constexpr qsizetype kMostBytes = qsizetype(8) * 1024 * 1024;
constexpr std::chrono::milliseconds kLongestConnect = std::chrono::seconds(10);
constexpr std::chrono::seconds kDefaultHoldOff = std::chrono::minutes(10);

// Where a redirect may lead: the web, and the machine's own network only where the guard lets.
QString redirectRefusal(const QString &to, const LocalNetworkGuard &guard)
{
    const QUrl next(to);
    if (next.scheme() != u"http" && next.scheme() != u"https")
        return u"which is not an http or https address"_s;
    if (!next.isValid() || next.host().isEmpty())
        return u"which is not a valid address"_s;
    return guard.refusalOfName(next);
}

int portOf(const sockaddr *address)
{
    if (address->sa_family == AF_INET)
        return qFromBigEndian(reinterpret_cast<const sockaddr_in *>(address)->sin_port);
    if (address->sa_family == AF_INET6)
        return qFromBigEndian(reinterpret_cast<const sockaddr_in6 *>(address)->sin6_port);
    return 0;
}

bool asksToWait(int status)
{
    return status == 429 || status == 503;
}

} // namespace

QString GatewayUserAgent(const QString &contact)
{
    QString agent = u"varnholt-portal/"_s + VersionNumber();
    if (!contact.isEmpty())
        agent += u" (+"_s + contact + u')';
    return agent;
}

UpstreamClient::UpstreamClient(QString userAgent, HostGate &gate, const GatewayClock &clock,
                               LocalNetworkGuard guard, QList<QByteArray> resolve)
    : m_userAgent(userAgent.toUtf8())
    , m_gate(gate)
    , m_clock(clock)
    , m_guard(std::move(guard))
    , m_resolve(std::move(resolve))
{}

UpstreamReply UpstreamClient::get(const UpstreamRequest &request)
{
    QList<QByteArray> conditions;
    if (!request.etag.isEmpty())
        conditions << "If-None-Match: " + request.etag;
    if (!request.lastModified.isEmpty())
        conditions << "If-Modified-Since: " + request.lastModified;
    const auto hop = [&](const QString &address) {
        return once(request, address, conditions);
    };
    // A fragment names a part of the page for the reader; the server never sees it.
    const QString first = QString::fromUtf8(request.url.adjusted(QUrl::RemoveFragment).toEncoded());
    Hop last = FollowRedirects(first, hop(first), hop, [this](const QString &, const QString &to) {
        return redirectRefusal(to, m_guard);
    });

    UpstreamReply reply;
    reply.finalUrl = QUrl::fromEncoded(last.address.toUtf8());
    if (!last.ok) {
        reply.error = std::move(last.error);
        return reply;
    }
    reply.ok = true;
    reply.status = last.status;
    reply.contentType = QString::fromLatin1(last.header("Content-Type"));
    reply.etag = last.header("ETag");
    reply.lastModified = last.header("Last-Modified");
    if (asksToWait(reply.status))
        reply.retryAfter = retryAfterOf(last);
    reply.body = std::move(last.body);
    return reply;
}

std::chrono::seconds UpstreamClient::retryAfterOf(const Hop &hop) const
{
    return ParseRetryAfter(hop.header("Retry-After"), m_clock.now()).value_or(kDefaultHoldOff);
}

Hop UpstreamClient::once(const UpstreamRequest &request, const QString &address,
                         const QList<QByteArray> &conditions)
{
    const QUrl url = QUrl::fromEncoded(address.toUtf8());
    if (const QString refusal = m_guard.refusalOfName(url); !refusal.isEmpty())
        return Hop::failure(address, refusal);
    const HostGate::Turn turn = m_gate.enter(HostKey(url), request.maxWait);
    if (!turn.ok)
        return Hop::failure(address, turn.error);

    CurlSettings settings;
    settings.timeout = request.timeout;
    settings.longestConnect = kLongestConnect;
    settings.mostBytes = kMostBytes;
    settings.userAgent = m_userAgent;
    settings.keepHeaders = true;
    settings.resolve = m_resolve;
    settings.connectCheck = [this, url](const QString &, const sockaddr *to) {
        return m_guard.refusalOfConnection(url, QHostAddress(to), portOf(to));
    };
    const std::unique_ptr<CurlRequest> curl = CurlRequest::make(settings);
    if (!curl)
        return Hop::failure(address, u"the HTTP library could not be initialised"_s);
    Hop hop = curl->perform(address, conditions);
    if (hop.ok && asksToWait(hop.status))
        m_gate.holdOff(HostKey(url), m_clock.now().addSecs(retryAfterOf(hop).count()));
    return hop;
}
