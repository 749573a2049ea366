#include "util/SignalWatcher.h"

#include <csignal>
#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <sys/signalfd.h>
#include <unistd.h>

namespace {

sigset_t stopSignals()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    return set;
}

} // namespace

void BlockStopSignals()
{
    const sigset_t set = stopSignals();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

SignalWatcher::SignalWatcher(Callback callback)
    : m_callback(std::move(callback))
{
    BlockStopSignals();
    const sigset_t set = stopSignals();
    m_signalFd = ::signalfd(-1, &set, SFD_CLOEXEC);
    m_wakeFd = ::eventfd(0, EFD_CLOEXEC);
    if (m_signalFd < 0 || m_wakeFd < 0) {
        // Without a watcher the signals must end the process as they always did.
        pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
        return;
    }
    m_thread = std::thread([this] { watch(); });
}

SignalWatcher::~SignalWatcher()
{
    if (m_thread.joinable()) {
        const eventfd_t one = 1;
        ::eventfd_write(m_wakeFd, one);
        m_thread.join();
    }
    if (m_signalFd >= 0)
        ::close(m_signalFd);
    if (m_wakeFd >= 0)
        ::close(m_wakeFd);
}

void SignalWatcher::watch()
{
    int count = 0;
    for (;;) {
        pollfd fds[2] = {{m_signalFd, POLLIN, 0}, {m_wakeFd, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0)
            continue; // EINTR
        if (fds[1].revents & POLLIN)
            return;
        if (!(fds[0].revents & POLLIN))
            continue;
        signalfd_siginfo info{};
        if (::read(m_signalFd, &info, sizeof info) != ssize_t(sizeof info))
            continue;
        m_callback(int(info.ssi_signo), ++count);
    }
}

QString SignalWatcher::nameOf(int signal)
{
    switch (signal) {
    case SIGTERM:
        return QStringLiteral("SIGTERM");
    case SIGINT:
        return QStringLiteral("SIGINT");
    default:
        return QStringLiteral("signal ") + QString::number(signal);
    }
}
