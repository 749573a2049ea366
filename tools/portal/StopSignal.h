#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

// Raised once when the portal shuts down; slow fault routes wait on it so a stop is never held
// up by a long delay.
class StopSignal
{
public:
    void raise()
    {
        {
            std::lock_guard lock(m_mutex);
            m_raised = true;
        }
        m_changed.notify_all();
    }

    // Waits up to `duration`; false when the portal began to stop meanwhile.
    bool waitFor(std::chrono::milliseconds duration) const
    {
        std::unique_lock lock(m_mutex);
        return !m_changed.wait_for(lock, duration, [this] { return m_raised; });
    }

private:
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    bool m_raised = false;
};
