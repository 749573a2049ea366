#include "util/TestSeams.h"

#include <QDate>
#include <QString>

#include <csignal>

QDateTime RunClockNow()
{
    const QDateTime now = QDateTime::currentDateTime();
    const QDate day = QDate::fromString(qEnvironmentVariable("VARNHOLT_TEST_TODAY"),
                                        QStringLiteral("yyyy-MM-dd"));
    return day.isValid() ? QDateTime(day, now.time()) : now;
}

void KillPointForTests(QStringView point)
{
    if (qEnvironmentVariable("VARNHOLT_TEST_KILL_AT") == point)
        std::raise(SIGKILL);
}
