// Real runs of varnholt against varnholt-portal's generated corpus, ended by SIGKILL, SIGTERM and
// SIGINT at many moments, the append among them. After the next start the output must hold its
// old bytes or its old bytes and every new record, and the settings files must be whole.
#include "ChildProcess.h"
#include "PortalProcess.h"
#include "TestFiles.h"
#include "util/CodePage.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <csignal>

using namespace Qt::StringLiterals;

namespace {

constexpr int kArticles = 200;
// The writer's test seam: a pause after every 64 KiB, so that the append lasts long enough to be
// hit. The bytes written stay the same.
constexpr int kWritePauseMs = 15;
// Moments spread over a whole run: 0/kSteps to kSteps/kSteps of its length.
constexpr int kSteps = 4;

struct Outcome
{
    int trials = 0;
    int oldBytes = 0;     // the output held its old bytes after the next start
    int allRecords = 0;   // it held the old bytes and every new record
    int duringAppend = 0; // the signal came while the append journal existed
};

} // namespace

class tst_KillRun : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void killedAnyMoment_outputOldOrComplete_data();
    void killedAnyMoment_outputOldOrComplete();

private:
    QString settingFolder() const { return m_dir.filePath(u"home/tester"_s); }
    QString output() const { return m_dir.filePath(u"out/VHT.qfw"_s); }
    QProcessEnvironment environment() const;
    void prepare();
    // One run ended by signal: after a delay, or (delay < 0) as soon as the append has begun.
    void trial(int signal, int delayMs);

    QTemporaryDir m_dir;
    std::unique_ptr<PortalProcess> m_portal;
    QByteArray m_old;       // the output before every trial
    QByteArray m_new;       // what one whole run appends
    QByteArray m_iniBefore; // the settings as written by the test
    QByteArray m_iniAfter;  // ... and as a finished run saves them
    QByteArray m_keyWords;  // KeyWord.txt, the same before and after a run
    qint64 m_runMs = 0;     // how long a whole run takes
    QHash<int, Outcome> m_outcomes;
};

QProcessEnvironment tst_KillRun::environment() const
{
    QProcessEnvironment env = headlessEnvironment(m_dir.path(), u"tester"_s);
    env.insert(u"VARNHOLT_BASE_URL"_s, m_portal->baseUrl());
    env.insert(u"VARNHOLT_TEST_WRITE_PAUSE_MS"_s, QString::number(kWritePauseMs));
    return env;
}

void tst_KillRun::prepare()
{
    QVERIFY(writeFile(output(), m_old));
    QVERIFY(writeFile(settingFolder() + u"/varnholt.ini"_s, m_iniBefore));
    QVERIFY(writeFile(settingFolder() + u"/KeyWord.txt"_s, m_keyWords));
}

void tst_KillRun::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_portal =
        std::make_unique<PortalProcess>(QStringList{u"--generate"_s, QString::number(kArticles)});
    QVERIFY2(m_portal->failure().isEmpty(), qPrintable(m_portal->failure()));
    QVERIFY(QDir().mkpath(settingFolder()));
    QVERIFY(QDir().mkpath(m_dir.filePath(u"out"_s)));
    QVERIFY(writeFile(m_dir.filePath(u"config/Kestrane SoftWares/Varnholt.conf"_s),
                      "[Varnholt]\nSettingFolder=" + settingFolder().toUtf8() + "\n"));
    m_iniBefore =
        CodePage::toCp932(QString(u"SaveFolder = "_s + m_dir.filePath(u"out"_s) +
                                  u"\r\nSaveFileName1 = \r\nYesterday = 0\r\n"
                                  "NoCopyINI = 1\r\nCategory = 1,1,1,1,1,1,1,1,1,1,1,1\r\n"_s));
    m_keyWords = CodePage::toCp932(u"速報\r\n"_s);
    // Several chunks of old records, so that the old end lies well inside the file.
    m_old = QByteArray(300'000, 'o') + "\x01";

    prepare();
    QElapsedTimer clock;
    clock.start();
    const ChildRun whole =
        runToEnd(QStringLiteral(VARNHOLT_BINARY), {u"/AutoGet"_s}, environment());
    m_runMs = clock.elapsed();
    QCOMPARE(whole.exitCode, 0);
    const QByteArray after = readFile(output());
    QVERIFY(after.startsWith(m_old));
    m_new = after.mid(m_old.size());
    QVERIFY2(m_new.size() > 3 * 64 * 1024, "the append must span several chunks");
    m_iniAfter = readFile(settingFolder() + u"/varnholt.ini"_s);
    QCOMPARE(readFile(settingFolder() + u"/KeyWord.txt"_s), m_keyWords);
}

void tst_KillRun::cleanupTestCase()
{
    // The figures for the record: how many trials, and how they ended.
    for (auto it = m_outcomes.cbegin(); it != m_outcomes.cend(); ++it) {
        const Outcome &o = it.value();
        qInfo("signal %d: %d trials, %d old bytes, %d every record, %d hit during the append",
              it.key(), o.trials, o.oldBytes, o.allRecords, o.duringAppend);
    }
    m_portal.reset();
}

void tst_KillRun::killedAnyMoment_outputOldOrComplete_data()
{
    QTest::addColumn<int>("signal");
    QTest::addColumn<int>("delayMs"); // -1: as soon as the append has begun

    // Spread over a whole run (which the first trial measured), and several during the append.
    const QList<std::pair<int, const char *>> signals_{
        {SIGKILL, "SIGKILL"}, {SIGTERM, "SIGTERM"}, {SIGINT, "SIGINT"}};
    for (const auto &[signal, name] : signals_) {
        for (int step = 0; step <= kSteps; ++step) {
            const QByteArray tag = QByteArray(name) + " at " + QByteArray::number(step) + "/" +
                                   QByteArray::number(kSteps);
            QTest::newRow(tag.constData()) << signal << step;
        }
        for (int i = 0; i < 3; ++i) {
            const QByteArray tag =
                QByteArray(name) + " during the append #" + QByteArray::number(i + 1);
            QTest::newRow(tag.constData()) << signal << -1 - i;
        }
    }
}

void tst_KillRun::killedAnyMoment_outputOldOrComplete()
{
    QFETCH(int, signal);
    QFETCH(int, delayMs);
    // Steps become moments of a whole run; a run in full takes m_runMs.
    trial(signal, delayMs >= 0 ? int(m_runMs * delayMs / kSteps) : delayMs);
}

void tst_KillRun::trial(int signal, int delayMs)
{
    prepare();
    const QString journal = output() + u".journal"_s;
    QProcess run;
    run.setProcessEnvironment(environment());
    run.setStandardInputFile(QProcess::nullDevice());
    run.start(QStringLiteral(VARNHOLT_BINARY), {u"/AutoGet"_s});
    QVERIFY(run.waitForStarted());

    bool duringAppend = false;
    QElapsedTimer clock;
    clock.start();
    if (delayMs >= 0) {
        while (clock.elapsed() < delayMs && run.state() == QProcess::Running)
            run.waitForFinished(1);
        duringAppend = QFile::exists(journal);
    } else {
        // -1, -2, -3: right away, one chunk and two chunks into the append.
        while (!QFile::exists(journal) && run.state() == QProcess::Running &&
               clock.elapsed() < 20'000)
            QThread::usleep(200);
        QVERIFY2(QFile::exists(journal) || run.state() == QProcess::Running,
                 "the append never began");
        QThread::msleep(ulong((-1 - delayMs) * kWritePauseMs));
        duringAppend = QFile::exists(journal);
    }
    if (run.state() == QProcess::Running)
        ::kill(pid_t(run.processId()), signal);
    if (run.state() != QProcess::NotRunning)
        QVERIFY(run.waitForFinished(20'000));
    const QString errors = QString::fromUtf8(run.readAllStandardError());

    // The next start mends what the kill left, before anything else.
    const ChildRun next = runToEnd(QStringLiteral(VARNHOLT_BINARY), {}, environment());
    QCOMPARE(next.exitCode, 2); // no display and no "/AutoGet": starts up, then stops

    const QByteArray after = readFile(output());
    const bool old = after == m_old;
    const bool complete = after == m_old + m_new;
    QVERIFY2(old || complete,
             qPrintable(u"%1 bytes: neither old (%2) nor complete (%3)"_s.arg(after.size())
                            .arg(m_old.size())
                            .arg(m_old.size() + m_new.size())));
    QVERIFY(!QFile::exists(journal));
    // Nothing of the run's own is left beside the output, whenever it died.
    QCOMPARE(QDir(m_dir.filePath(u"out"_s))
                 .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{u"VHT.qfw"_s});
    const QByteArray ini = readFile(settingFolder() + u"/varnholt.ini"_s);
    QVERIFY2(ini == m_iniBefore || ini == m_iniAfter, ini.constData());
    QCOMPARE(readFile(settingFolder() + u"/KeyWord.txt"_s), m_keyWords);

    if (signal != SIGKILL && run.exitStatus() == QProcess::NormalExit) {
        // A stop before the writing writes and saves nothing; a stop during it lets it finish.
        const QString name = signal == SIGTERM ? u"SIGTERM"_s : u"SIGINT"_s;
        if (errors.contains(name + u" received: the run stops"_s)) {
            QCOMPARE(run.exitCode(), 1);
            QVERIFY(old);
            QCOMPARE(ini, m_iniBefore);
        } else if (errors.contains(name + u" received: the files being written"_s)) {
            QCOMPARE(run.exitCode(), 0);
            QVERIFY(complete);
        } else {
            QVERIFY2(run.exitCode() == 0, qPrintable(errors)); // finished before the signal
        }
    }

    Outcome &outcome = m_outcomes[signal];
    ++outcome.trials;
    outcome.oldBytes += old ? 1 : 0;
    outcome.allRecords += complete ? 1 : 0;
    outcome.duringAppend += duringAppend ? 1 : 0;
}

QTEST_GUILESS_MAIN(tst_KillRun)
#include "tst_killrun.moc"
