// The end-of-run notification against a stand-in notification service on a private bus.
#include "engine/FetchAction.h"
#include "ui/DesktopNotifier.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QElapsedTimer>
#include <QProcess>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString kService = u"org.freedesktop.Notifications"_s;

// What a desktop's notification daemon would offer, recording each call.
class FakeNotifications final : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    struct Received
    {
        QString app;
        QString summary;
        QString body;
        int timeout = 0;
    };
    QList<Received> received;
    bool answers = true;

public slots:
    uint Notify(const QString &app, uint replaces, const QString &icon, const QString &summary,
                const QString &body, const QStringList &actions, const QVariantMap &hints,
                int timeout, const QDBusMessage &message)
    {
        Q_UNUSED(replaces)
        Q_UNUSED(icon)
        Q_UNUSED(actions)
        Q_UNUSED(hints)
        received.append({app, summary, body, timeout});
        if (!answers)
            message.setDelayedReply(true); // and never reply
        return uint(received.size());
    }
};

} // namespace

class tst_DesktopNotifier : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void notify_data();
    void notify();
    void runEndNotice_onlyForWrittenOutput();

private:
    QProcess m_daemon;
    QString m_address;
};

void tst_DesktopNotifier::initTestCase()
{
    m_daemon.start(u"dbus-daemon"_s, {u"--session"_s, u"--nofork"_s, u"--print-address"_s});
    if (!m_daemon.waitForStarted(5000))
        QSKIP("dbus-daemon cannot be started (Debian: dbus-daemon)");
    while (!m_daemon.canReadLine() && m_daemon.waitForReadyRead(5000)) {
    }
    m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
    if (m_address.isEmpty())
        QSKIP("dbus-daemon printed no address");
}

void tst_DesktopNotifier::cleanupTestCase()
{
    m_daemon.terminate();
    m_daemon.waitForFinished(5000);
}

void tst_DesktopNotifier::notify_data()
{
    QTest::addColumn<bool>("serviceThere");
    QTest::addColumn<bool>("serviceAnswers");
    QTest::addColumn<bool>("delivered");

    QTest::newRow("service answers") << true << true << true;
    QTest::newRow("no service: nothing, at once") << false << false << false;
    QTest::newRow("service never answers: gives up at the bound") << true << false << false;
}

void tst_DesktopNotifier::notify()
{
    QFETCH(bool, serviceThere);
    QFETCH(bool, serviceAnswers);
    QFETCH(bool, delivered);

    const QString row = QString::fromLatin1(QTest::currentDataTag());
    QDBusConnection serviceBus = QDBusConnection::connectToBus(m_address, u"service "_s + row);
    QDBusConnection senderBus = QDBusConnection::connectToBus(m_address, u"sender "_s + row);
    QVERIFY(serviceBus.isConnected() && senderBus.isConnected());
    FakeNotifications fake;
    fake.answers = serviceAnswers;
    if (serviceThere) {
        QVERIFY(serviceBus.registerObject(u"/org/freedesktop/Notifications"_s, &fake,
                                          QDBusConnection::ExportAllSlots));
        QVERIFY(serviceBus.registerService(kService));
    }

    constexpr std::chrono::milliseconds bound{800};
    QElapsedTimer clock;
    clock.start();
    DesktopNotifier notifier(senderBus);
    const bool sent = notifier.notify(u"Varnholt: 取得が終わりました"_s, u"12 件"_s, bound);
    const qint64 took = clock.elapsed();

    QCOMPARE(sent, delivered);
    QVERIFY2(took < bound.count() + 500, qPrintable(QString::number(took)));
    if (!serviceThere)
        QVERIFY2(took < bound.count(), qPrintable(QString::number(took)));
    // The service sees the call even when it does not answer it.
    QTRY_COMPARE(fake.received.size(), serviceThere ? 1 : 0);
    if (serviceThere) {
        QCOMPARE(fake.received.first().app, u"Varnholt"_s);
        QCOMPARE(fake.received.first().summary, u"Varnholt: 取得が終わりました"_s);
        QCOMPARE(fake.received.first().body, u"12 件"_s);
        QCOMPARE(fake.received.first().timeout, -1);
        serviceBus.unregisterService(kService);
    }
    QDBusConnection::disconnectFromBus(serviceBus.name());
    QDBusConnection::disconnectFromBus(senderBus.name());
}

void tst_DesktopNotifier::runEndNotice_onlyForWrittenOutput()
{
    FetchOutcome outcome;
    outcome.run.SaveFilePath = u"/home/me/clip/VHT20261207.qfw"_s;
    outcome.run.recordsWritten = 12;
    outcome.run.outputWritten = true;
    outcome.run.missedPages = {u"/a"_s, u"/b"_s};
    const RunNotice written = RunEndNotice(outcome);
    QCOMPARE(written.summary, u"Varnholt: 取得が終わりました"_s);
    QCOMPARE(written.body, u"12 件の記事を /home/me/clip/VHT20261207.qfw に保存しました。\n"
                           u"取得できなかったページが 2 ページあります。"_s);

    outcome.run.outputWritten = false;
    QCOMPARE(RunEndNotice(outcome).summary, QString());
    outcome.run.outputWritten = true;
    outcome.run.end = RunEnd::Cancelled;
    QCOMPARE(RunEndNotice(outcome).summary, QString());
}

QTEST_GUILESS_MAIN(tst_DesktopNotifier)
#include "tst_desktopnotifier.moc"
