#pragma once

#include "GatewayClock.h"

#include <chrono>
#include <mutex>

// A clock that stands still until the test moves it.
class ManualClock final : public GatewayClock
{
public:
    explicit ManualClock(QDateTime start)
        : m_now(std::move(start))
    {}

    QDateTime now() const override
    {
        const std::lock_guard lock(m_mutex);
        return m_now;
    }
    void advance(std::chrono::seconds by)
    {
        const std::lock_guard lock(m_mutex);
        m_now = m_now.addSecs(by.count());
    }

private:
    mutable std::mutex m_mutex;
    QDateTime m_now;
};
