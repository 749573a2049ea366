#pragma once

#include <QDate>
#include <QDateTime>
#include <QTime>

// The gateway's one source of the time. The refresh interval, the retry of an article, the day
// robots.txt is kept, a source's Retry-After and the days the archive keeps all read it, so that
// a test moves the clock instead of waiting for it.
class GatewayClock
{
public:
    virtual ~GatewayClock() = default;
    virtual QDateTime now() const = 0;
};

// The machine's clock; with a day given (--today), that day at the machine's time of day.
class SystemClock final : public GatewayClock
{
public:
    explicit SystemClock(QDate today = {})
        : m_today(today)
    {}

    QDateTime now() const override
    {
        return m_today.isValid() ? QDateTime(m_today, QTime::currentTime())
                                 : QDateTime::currentDateTime();
    }

private:
    QDate m_today;
};
