#pragma once

#include "GatewayClock.h"

#include <QString>

class QUrl;

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>

// Politeness towards each source: at most a few requests to one host at once, a pause between
// the starts of two requests, and no requests at all while the host asked us to wait. The pause
// is waited out on the machine's steady clock; how long a host asked us to stay away is read on
// the gateway's clock.
class HostGate
{
public:
    using Clock = std::chrono::steady_clock;

    // clock outlives the gate.
    HostGate(std::chrono::milliseconds delay, int perHost, const GatewayClock &clock);
    Q_DISABLE_COPY_MOVE(HostGate)

    // Leaving the gate: held while the request runs. An empty one holds nothing.
    class Pass
    {
    public:
        Pass() = default;
        Pass(HostGate *gate, QString host)
            : m_gate(gate)
            , m_host(std::move(host))
        {}
        Pass(Pass &&other) noexcept
            : m_gate(std::exchange(other.m_gate, nullptr))
            , m_host(std::move(other.m_host))
        {}
        Pass &operator=(Pass &&) = delete;
        Pass(const Pass &) = delete;
        ~Pass()
        {
            if (m_gate)
                m_gate->leave(m_host);
        }

    private:
        HostGate *m_gate = nullptr;
        QString m_host;
    };

    // A turn at a host, or why none came.
    struct Turn
    {
        bool ok = false;
        Pass pass;
        QString error; // naming the host
    };

    // Waits for a turn at most maxWait.
    Turn enter(const QString &host, std::chrono::milliseconds maxWait);
    // The host answered 429 or 503: nothing goes to it before until (on the gateway's clock).
    void holdOff(const QString &host, const QDateTime &until);

private:
    struct Host
    {
        int active = 0;
        Clock::time_point nextStart{};
        QDateTime heldUntil; // invalid: not held
    };
    void leave(const QString &host);

    std::chrono::milliseconds m_delay;
    int m_perHost;
    const GatewayClock &m_clock;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::map<QString, Host> m_hosts;
};

// The origin the gate counts requests by: "https://example.com:443".
QString HostKey(const QUrl &url);
