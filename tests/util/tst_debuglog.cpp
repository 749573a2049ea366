#include "TestFiles.h"
#include "util/DebugLog.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// Sends standard error to a file for as long as it lives; text() gives what was written.
class StderrCapture
{
public:
    explicit StderrCapture(const QString &path)
        : m_path(path)
    {
        std::fflush(stderr);
        m_saved = dup(STDERR_FILENO);
        const int fd =
            open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(fd, STDERR_FILENO);
        close(fd);
    }
    ~StderrCapture() { restore(); }
    Q_DISABLE_COPY_MOVE(StderrCapture)

    QByteArray text()
    {
        restore();
        return readFile(m_path);
    }

private:
    void restore()
    {
        if (m_saved < 0)
            return;
        std::fflush(stderr);
        dup2(m_saved, STDERR_FILENO);
        close(m_saved);
        m_saved = -1;
    }

    QString m_path;
    int m_saved = -1;
};

} // namespace

class tst_DebugLog : public QObject
{
    Q_OBJECT

private slots:
    void logFile_data();
    void logFile();
    void destinations_data();
    void destinations();
    void windowLine_hasTimeStampFormat();
    void unwritableFolder_reportsOnceAndGoesOn();
};

void tst_DebugLog::logFile_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QByteArray>("after");

    QTest::newRow("first line") << QByteArray() << QStringList{u"Program Started."_s}
                                << QByteArray("Program Started.\r\n");
    QTest::newRow("appends in call order")
        << QByteArray("old\r\n") << QStringList{u"one"_s, u"two"_s}
        << QByteArray("old\r\none\r\ntwo\r\n");
    QTest::newRow("Japanese in CP932")
        << QByteArray() << QStringList{u"国内"_s} << QByteArray("\x8d\x91\x93\xe0\r\n");
    QTest::newRow("unmappable becomes ?")
        << QByteArray() << QStringList{u"a\u00e9b"_s} << QByteArray("a?b\r\n");
    QTest::newRow("empty text still a line")
        << QByteArray() << QStringList{QString()} << QByteArray("\r\n");
}

void tst_DebugLog::logFile()
{
    QFETCH(QByteArray, before);
    QFETCH(QStringList, texts);
    QFETCH(QByteArray, after);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"DebugLog.txt"_s);
    if (!before.isEmpty()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(before);
    }

    DebugLog log;
    log.setProgramFolder(dir.path());
    log.setOptions(false, true);
    QCOMPARE(log.logFilePath(), path);
    for (const QString &text : texts)
        log.write(text);
    QCOMPARE(readFile(path), after);
}

void tst_DebugLog::destinations_data()
{
    QTest::addColumn<bool>("debug");
    QTest::addColumn<bool>("log");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<int>("windowLines");
    QTest::addColumn<QByteArray>("file");

    QTest::newRow("neither") << false << false << false << 0 << kUnreadable;
    QTest::newRow("window only") << true << false << true << 2 << kUnreadable;
    QTest::newRow("file only") << false << true << true << 0 << QByteArray("a\r\nb\r\n");
    QTest::newRow("both") << true << true << true << 2 << QByteArray("a\r\nb\r\n");
}

void tst_DebugLog::destinations()
{
    QFETCH(bool, debug);
    QFETCH(bool, log);
    QFETCH(bool, enabled);
    QFETCH(int, windowLines);
    QFETCH(QByteArray, file);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    DebugLog debugLog;
    debugLog.setProgramFolder(dir.path());
    QStringList shown;
    debugLog.setWindowSink([&shown](const QString &line) { shown << line; });
    debugLog.setOptions(debug, log);

    QCOMPARE(debugLog.enabled(), enabled);
    debugLog.write(u"a"_s);
    debugLog.write(u"b"_s);
    QCOMPARE(shown.size(), windowLines);
    if (windowLines == 2) {
        QVERIFY(shown.at(0).endsWith(u" ] a"_s));
        QVERIFY(shown.at(1).endsWith(u" ] b"_s));
    }
    QCOMPARE(readFile(dir.filePath(u"DebugLog.txt"_s)), file);
}

void tst_DebugLog::windowLine_hasTimeStampFormat()
{
    DebugLog log;
    QString shown;
    log.setWindowSink([&shown](const QString &line) { shown = line; });
    log.setOptions(true, false);
    log.write(u"Program Started."_s);

    static const QRegularExpression format(
        u"^\\[([01][0-9]|2[0-3]):[0-5][0-9]:[0-5][0-9] \\] Program Started\\.$"_s);
    QVERIFY2(format.match(shown).hasMatch(), qPrintable(shown));
}

void tst_DebugLog::unwritableFolder_reportsOnceAndGoesOn()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    {
        QFile plain(dir.filePath(u"plain"_s));
        QVERIFY(plain.open(QIODevice::WriteOnly));
    }
    // A plain file where the folder should be: no one, not even root, can write below it.
    const QString folder = dir.filePath(u"plain/program"_s);

    DebugLog log;
    log.setProgramFolder(folder);
    log.setOptions(false, true);
    QByteArray reported;
    {
        StderrCapture capture(dir.filePath(u"stderr.txt"_s));
        log.write(u"one"_s);
        log.write(u"two"_s);
        reported = capture.text();
    }
    QCOMPARE(reported.count('\n'), 1);
    QVERIFY2(reported.contains(QFile::encodeName(folder + u"/DebugLog.txt"_s)),
             reported.constData());
    QVERIFY(reported.startsWith("Varnholt: "));
}

QTEST_GUILESS_MAIN(tst_DebugLog)
#include "tst_debuglog.moc"
