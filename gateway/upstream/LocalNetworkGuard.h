#pragma once

#include <QList>
#include <QSet>
#include <QString>
#include <QUrl>

class QHostAddress;

// Keeps the gateway out of this machine's own network (the addresses LocalAddress.h names):
// a connection to such an address is refused, except for a host and port the person named
// themselves, a feed's in the feeds file (a person who writes a local feed means it) or a
// proxy's in the environment. Safe to use from several threads.
class LocalNetworkGuard
{
public:
    // named: the feeds' addresses; proxies: as ProxiesFromEnvironment gives them.
    explicit LocalNetworkGuard(const QList<QUrl> &named = {}, QList<QUrl> proxies = {});

    // Before connecting: url's host written as such an address, or "localhost". Through a
    // proxy, which resolves names itself, this is all the gateway can check.
    QString refusalOfName(const QUrl &url) const;
    // At connect time: a request for url is about to connect to address and port (url's host's,
    // or a proxy's).
    QString refusalOfConnection(const QUrl &url, const QHostAddress &address, int port) const;

private:
    bool isNamed(const QUrl &url) const;
    bool isProxy(const QHostAddress &address, int port) const;

    QSet<QString> m_named; // "host:port"
    QList<QUrl> m_proxies;
};

// The proxies libcurl may take from the environment (http_proxy, https_proxy, all_proxy and
// their capitals), each with its scheme and port.
QList<QUrl> ProxiesFromEnvironment();
