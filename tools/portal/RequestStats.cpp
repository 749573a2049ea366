#include "RequestStats.h"

#include <algorithm>

void RequestStats::arrived(const std::string &address, int port)
{
    std::lock_guard lock(m_mutex);
    ++m_requests;
    ++m_underWay;
    m_mostAtOnce = std::max(m_mostAtOnce, m_underWay);
    m_connections.emplace(address, port);
    m_answering.emplace(address, port);
}

void RequestStats::answered(const std::string &address, int port)
{
    std::lock_guard lock(m_mutex);
    if (m_answering.erase({address, port}) > 0)
        --m_underWay;
}

QByteArray RequestStats::report() const
{
    std::lock_guard lock(m_mutex);
    const std::string text = "requests " + std::to_string(m_requests) + "\r\nconnections " +
                             std::to_string(m_connections.size()) + "\r\nmost-at-once " +
                             std::to_string(m_mostAtOnce) + "\r\n";
    return QByteArray::fromStdString(text);
}
