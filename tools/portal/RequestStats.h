#pragma once

#include <QByteArray>

#include <mutex>
#include <set>
#include <string>
#include <utility>

// What a client did to the portal: how many requests, over how many connections, and the most
// that were being answered at one time. Served at "/portal/stats" for tests and benchmarks.
class RequestStats
{
public:
    // A request arrived over the connection from address:port; answered() when its reply is
    // on its way or the connection was dropped (once per request: a second call is ignored).
    void arrived(const std::string &address, int port);
    void answered(const std::string &address, int port);
    // "requests <n>\r\nconnections <n>\r\nmost-at-once <n>\r\n"
    QByteArray report() const;

private:
    mutable std::mutex m_mutex;
    long long m_requests = 0;
    int m_underWay = 0;
    int m_mostAtOnce = 0;
    std::set<std::pair<std::string, int>> m_connections;
    std::set<std::pair<std::string, int>> m_answering; // connections with a request under way
};
