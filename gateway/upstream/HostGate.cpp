#include "HostGate.h"

#include <QUrl>

using namespace Qt::StringLiterals;

QString HostKey(const QUrl &url)
{
    const int defaultPort = url.scheme() == u"https" ? 443 : 80;
    return url.scheme() + u"://"_s + url.host().toLower() + u':' +
           QString::number(url.port(defaultPort));
}

HostGate::HostGate(std::chrono::milliseconds delay, int perHost, const GatewayClock &clock)
    : m_delay(delay)
    , m_perHost(perHost)
    , m_clock(clock)
{}

HostGate::Turn HostGate::enter(const QString &host, std::chrono::milliseconds maxWait)
{
    std::unique_lock lock(m_mutex);
    const Clock::time_point deadline = Clock::now() + maxWait;
    for (;;) {
        Host &state = m_hosts[host];
        if (const QDateTime wallNow = m_clock.now();
            state.heldUntil.isValid() && state.heldUntil > wallNow) {
            const qint64 seconds = std::max<qint64>(1, wallNow.secsTo(state.heldUntil));
            return {false,
                    {},
                    u"%1 asked to wait %2 more seconds (Retry-After)"_s.arg(host).arg(seconds)};
        }
        const Clock::time_point now = Clock::now();
        if (state.active < m_perHost && now >= state.nextStart) {
            ++state.active;
            state.nextStart = now + m_delay;
            return {true, Pass(this, host), {}};
        }
        if (now >= deadline) {
            return {false, {}, u"%1 is busy with other requests of the gateway"_s.arg(host)};
        }
        const Clock::time_point wake =
            state.active < m_perHost ? std::min(state.nextStart, deadline) : deadline;
        m_changed.wait_until(lock, wake);
    }
}

void HostGate::holdOff(const QString &host, const QDateTime &until)
{
    std::lock_guard lock(m_mutex);
    Host &state = m_hosts[host];
    if (!state.heldUntil.isValid() || until > state.heldUntil)
        state.heldUntil = until;
}

void HostGate::leave(const QString &host)
{
    {
        std::lock_guard lock(m_mutex);
        --m_hosts[host].active;
    }
    m_changed.notify_all();
}
