#include "ServiceReady.h"

#include <QByteArray>

#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

class SocketHandle
{
public:
    SocketHandle()
        : m_fd(::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0))
    {}
    ~SocketHandle()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Q_DISABLE_COPY_MOVE(SocketHandle)
    int fd() const { return m_fd; }

private:
    int m_fd;
};

} // namespace

QString NotifyServiceReady(const QString &statusLine)
{
    const QByteArray name = qgetenv("NOTIFY_SOCKET");
    if (name.isEmpty())
        return {};
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    // "@name" is a socket in the abstract namespace, whose name starts with a NUL byte.
    const bool abstract = name.startsWith('@');
    if ((name.front() != '/' && !abstract) || std::size_t(name.size()) > sizeof address.sun_path)
        return u"NOTIFY_SOCKET %1: not a socket address"_s.arg(QString::fromLocal8Bit(name));
    std::memcpy(address.sun_path, name.constData(), std::size_t(name.size()));
    if (abstract)
        address.sun_path[0] = '\0';

    const SocketHandle socket;
    if (socket.fd() < 0)
        return u"NOTIFY_SOCKET %1: %2"_s.arg(QString::fromLocal8Bit(name),
                                             QString::fromLocal8Bit(std::strerror(errno)));
    // One line per variable: a line break inside the status would start a new one.
    QString status = statusLine;
    status.replace(u'\n', u' ');
    const QByteArray message = "READY=1\nSTATUS=" + status.toUtf8();
    const auto length = socklen_t(offsetof(sockaddr_un, sun_path) + std::size_t(name.size()));
    if (::sendto(socket.fd(), message.constData(), std::size_t(message.size()), MSG_NOSIGNAL,
                 reinterpret_cast<const sockaddr *>(&address), length) < 0)
        return u"NOTIFY_SOCKET %1: %2"_s.arg(QString::fromLocal8Bit(name),
                                             QString::fromLocal8Bit(std::strerror(errno)));
    return {};
}
