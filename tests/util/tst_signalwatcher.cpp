#include "util/SignalWatcher.h"

#include <QCoreApplication>
#include <QMutex>
#include <QTest>

#include <csignal>
#include <unistd.h>

using namespace Qt::StringLiterals;

class tst_SignalWatcher : public QObject
{
    Q_OBJECT

private slots:
    void stopSignals_arriveAsCalls_data();
    void stopSignals_arriveAsCalls();
    void signalBeforeTheWatcher_isNotLost();
};

namespace {

struct Received
{
    QMutex mutex;
    QList<std::pair<int, int>> calls; // signal, count

    SignalWatcher::Callback callback()
    {
        return [this](int signal, int count) {
            QMutexLocker lock(&mutex);
            calls.append({signal, count});
        };
    }
    qsizetype size()
    {
        QMutexLocker lock(&mutex);
        return calls.size();
    }
};

} // namespace

void tst_SignalWatcher::stopSignals_arriveAsCalls_data()
{
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("second");
    QTest::addColumn<QString>("name");

    QTest::newRow("SIGTERM twice") << int(SIGTERM) << int(SIGTERM) << u"SIGTERM"_s;
    QTest::newRow("SIGINT, then SIGTERM") << int(SIGINT) << int(SIGTERM) << u"SIGINT"_s;
}

void tst_SignalWatcher::stopSignals_arriveAsCalls()
{
    QFETCH(int, first);
    QFETCH(int, second);
    QFETCH(QString, name);
    Received received;
    {
        const SignalWatcher watcher(received.callback());
        QVERIFY(watcher.isWatching());
        // The process lives on: the signal is a call, not the end.
        QCOMPARE(::kill(::getpid(), first), 0);
        QTRY_COMPARE(received.size(), 1);
        QCOMPARE(::kill(::getpid(), second), 0);
        QTRY_COMPARE(received.size(), 2);
    }
    QCOMPARE(received.calls, (QList<std::pair<int, int>>{{first, 1}, {second, 2}}));
    QCOMPARE(SignalWatcher::nameOf(first), name);
}

void tst_SignalWatcher::signalBeforeTheWatcher_isNotLost()
{
    // Blocked since the start, the signal waits until a watcher takes it.
    QCOMPARE(::kill(::getpid(), SIGTERM), 0);
    Received received;
    const SignalWatcher watcher(received.callback());
    QTRY_COMPARE(received.size(), 1);
    QCOMPARE(received.calls.first().first, int(SIGTERM));
}

// The signals are blocked before the test library starts its own threads, as main() does.
int main(int argc, char **argv)
{
    BlockStopSignals();
    QCoreApplication application(argc, argv);
    tst_SignalWatcher test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_signalwatcher.moc"
