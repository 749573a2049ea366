#include "LocalNetworkGuard.h"

#include "LocalAddress.h"

#include <QHostAddress>
#include <QHostInfo>

using namespace Qt::StringLiterals;

namespace {

QString hostAndPort(const QUrl &url)
{
    return url.host().toLower() + u':' +
           QString::number(url.port(url.scheme() == u"https" ? 443 : 80));
}

} // namespace

LocalNetworkGuard::LocalNetworkGuard(const QList<QUrl> &named, QList<QUrl> proxies)
    : m_proxies(std::move(proxies))
{
    for (const QUrl &url : named)
        m_named.insert(hostAndPort(url));
}

bool LocalNetworkGuard::isNamed(const QUrl &url) const
{
    return m_named.contains(hostAndPort(url));
}

bool LocalNetworkGuard::isProxy(const QHostAddress &address, int port) const
{
    for (const QUrl &proxy : m_proxies) {
        if (proxy.port() != port)
            continue;
        // The proxy's own name is asked here, as libcurl asks it: the person chose it.
        QHostAddress literal;
        const QList<QHostAddress> addresses = literal.setAddress(proxy.host())
                                                  ? QList<QHostAddress>{literal}
                                                  : QHostInfo::fromName(proxy.host()).addresses();
        for (const QHostAddress &each : addresses) {
            if (each.isEqual(address, QHostAddress::TolerantConversion))
                return true;
        }
    }
    return false;
}

QString LocalNetworkGuard::refusalOfName(const QUrl &url) const
{
    const QString reason = LocalHostReason(url.host());
    if (reason.isEmpty() || isNamed(url))
        return {};
    return u"not connected to %1: %2"_s.arg(url.host(), reason);
}

QString LocalNetworkGuard::refusalOfConnection(const QUrl &url, const QHostAddress &address,
                                               int port) const
{
    const QString reason = LocalAddressReason(address);
    if (reason.isEmpty() || isNamed(url) || isProxy(address, port))
        return {};
    return u"not connected to %1 at %2: %3"_s.arg(url.host(), address.toString(), reason);
}

QList<QUrl> ProxiesFromEnvironment()
{
    QList<QUrl> proxies;
    for (const char *name :
         {"http_proxy", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"}) {
        const QString value = qEnvironmentVariable(name).trimmed();
        if (value.isEmpty())
            continue;
        // As libcurl reads them: no scheme means http, no port means 1080 (443 for https).
        QUrl proxy(value.contains(u"://"_s) ? value : u"http://"_s + value);
        if (proxy.host().isEmpty())
            continue;
        proxy.setPort(proxy.port(proxy.scheme() == u"https" ? 443 : 1080));
        proxies.append(proxy);
    }
    return proxies;
}
