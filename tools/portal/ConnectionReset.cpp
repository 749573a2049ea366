#include "ConnectionReset.h"

#include <QDir>
#include <QStringList>

#include <netdb.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

namespace {

struct Endpoint
{
    std::string host;
    int port = -1;
};

bool endpointOf(int fd, bool peer, Endpoint &endpoint)
{
    sockaddr_storage address{};
    socklen_t length = sizeof(address);
    auto *raw = reinterpret_cast<sockaddr *>(&address);
    if ((peer ? getpeername(fd, raw, &length) : getsockname(fd, raw, &length)) != 0)
        return false;
    if (address.ss_family != AF_INET && address.ss_family != AF_INET6)
        return false;
    char host[NI_MAXHOST];
    char service[NI_MAXSERV];
    if (getnameinfo(raw, length, host, sizeof(host), service, sizeof(service),
                    NI_NUMERICHOST | NI_NUMERICSERV) != 0)
        return false;
    endpoint.host = host;
    endpoint.port = std::stoi(service);
    return true;
}

} // namespace

bool DropConnection(const httplib::Request &request)
{
    const QStringList fds =
        QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files | QDir::System);
    for (const QString &name : fds) {
        bool ok = false;
        const int fd = name.toInt(&ok);
        if (!ok)
            continue;
        Endpoint peer;
        Endpoint local;
        if (!endpointOf(fd, true, peer) || !endpointOf(fd, false, local))
            continue;
        if (peer.host != request.remote_addr || peer.port != request.remote_port ||
            local.port != request.local_port)
            continue;
        // Zero linger makes the final close a reset; shutting down now means nothing the
        // library writes afterwards reaches the client. The library still owns and closes fd.
        linger noLinger{1, 0};
        setsockopt(fd, SOL_SOCKET, SO_LINGER, &noLinger, sizeof(noLinger));
        shutdown(fd, SHUT_RDWR);
        return true;
    }
    return false;
}
