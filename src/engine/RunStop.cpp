#include "engine/RunStop.h"

bool StopRequest::request()
{
    State expected = State::Running;
    if (!m_state.compare_exchange_strong(expected, State::Stopped))
        return expected == State::Stopped;
    return true;
}

void StopRequest::act()
{
    std::function<void()> action;
    {
        QMutexLocker lock(&m_mutex);
        action = m_action;
    }
    if (action)
        action();
}

bool StopRequest::beginWriting()
{
    State expected = State::Running;
    if (m_state.compare_exchange_strong(expected, State::Writing))
        return true;
    return expected == State::Writing;
}

bool StopRequest::stopped() const
{
    return m_state == State::Stopped;
}

void StopRequest::setStopAction(std::function<void()> action)
{
    {
        QMutexLocker lock(&m_mutex);
        m_action = action;
    }
    if (action && stopped())
        action();
}
