#pragma once

#include <QString>

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <optional>

// Politeness towards each source: at most a few requests to one host at once, a pause between
// the starts of two requests, and no requests at all while the host asked us to wait.
class HostGate
{
public:
    using Clock = std::chrono::steady_clock;

    HostGate(std::chrono::milliseconds delay, int perHost);
    Q_DISABLE_COPY_MOVE(HostGate)

    // Leaving the gate: held while the request runs.
    class Pass
    {
    public:
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
        HostGate *m_gate;
        QString m_host;
    };

    // Waits for a turn at most maxWait; nullopt with the reason when none came.
    std::optional<Pass> enter(const QString &host, std::chrono::milliseconds maxWait, QString *why);
    // The host answered 429 or 503: nothing goes to it before until.
    void holdOff(const QString &host, Clock::time_point until);

private:
    struct Host
    {
        int active = 0;
        Clock::time_point nextStart{};
        Clock::time_point heldUntil{};
    };
    void leave(const QString &host);

    std::chrono::milliseconds m_delay;
    int m_perHost;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::map<QString, Host> m_hosts;
};
