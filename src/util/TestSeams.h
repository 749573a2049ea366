#pragma once

#include <QDateTime>
#include <QStringView>

// Seams for the end-to-end tests, each read from one environment variable; an ordinary run
// never sets them.

// The run's clock. VARNHOLT_TEST_TODAY=yyyy-mm-dd moves it to that day, keeping the time of
// day, so that a test can run the program on two days in a row.
QDateTime RunClockNow();

// VARNHOLT_TEST_KILL_AT=<point> kills the process (SIGKILL, as a crash or a power cut would end
// it) when it reaches the named point, so that a test can check what such a death leaves.
void KillPointForTests(QStringView point);
