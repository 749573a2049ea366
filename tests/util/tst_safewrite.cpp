#include "TestFiles.h"
#include "util/SafeWrite.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// Caps the size of files this process may write, so that a write stops part-way as it would on
// a full disk; restores the old cap and signal handling when it goes.
class FileSizeCap
{
public:
    explicit FileSizeCap(rlim_t bytes)
    {
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit capped = m_old;
        capped.rlim_cur = bytes;
        m_active = setrlimit(RLIMIT_FSIZE, &capped) == 0;
    }
    ~FileSizeCap()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    Q_DISABLE_COPY_MOVE(FileSizeCap)
    bool isActive() const { return m_active; }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
    bool m_active = false;
};

} // namespace

class tst_SafeWrite : public QObject
{
    Q_OBJECT

private slots:
    void writeRoundTrip_data();
    void writeRoundTrip();
    void writeFailureKeepsOldFile_data();
    void writeFailureKeepsOldFile();
    void appendRoundTrip_data();
    void appendRoundTrip();
    void appendFailureReportsAndKeepsFile_data();
    void appendFailureReportsAndKeepsFile();
    void appendToFullDeviceFails();
    void appendCutOffHalfwayLeavesOldLength();
};

void tst_SafeWrite::writeRoundTrip_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("new file") << QByteArray() << "a = b\r\n"_ba;
    QTest::newRow("replace longer by shorter") << "0123456789"_ba
                                               << "x"_ba;
    QTest::newRow("replace by empty") << "old"_ba << QByteArray();
    QTest::newRow("binary with nul") << "old"_ba << QByteArray("\0\xff\r\n", 4);
}

void tst_SafeWrite::writeRoundTrip()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"out.ini"_s);
    if (!before.isEmpty())
        QVERIFY(writeFile(path, before));

    const FileResult result = WriteFileAtomically(path, bytes);
    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(readFile(path), bytes);
}

void tst_SafeWrite::writeFailureKeepsOldFile_data()
{
    QTest::addColumn<QString>("target"); // relative to the temporary folder
    QTest::addColumn<bool>("needsNonRoot");

    QTest::newRow("missing folder") << u"missing/out.ini"_s << false;
    QTest::newRow("path is a folder") << u"folder"_s << false;
    QTest::newRow("read-only folder") << u"locked/out.ini"_s << true;
}

void tst_SafeWrite::writeFailureKeepsOldFile()
{
    QFETCH(QString, target);
    QFETCH(bool, needsNonRoot);
    if (needsNonRoot && ::geteuid() == 0)
        QSKIP("root writes into read-only folders");

    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(u"folder"_s));
    QVERIFY(QDir(dir.path()).mkdir(u"locked"_s));
    QVERIFY(writeFile(dir.filePath(u"locked/out.ini"_s), "keep me"_ba));
    QVERIFY(QFile::setPermissions(dir.filePath(u"locked"_s),
                                  QFileDevice::ReadOwner | QFileDevice::ExeOwner));

    const QString path = dir.filePath(target);
    const FileResult result = WriteFileAtomically(path, "new"_ba);
    QFile::setPermissions(dir.filePath(u"locked"_s),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QVERIFY(!result.ok);
    QVERIFY2(result.error.startsWith(path + u": "_s), qPrintable(result.error));
    QVERIFY2(result.error.size() > path.size() + 2, qPrintable(result.error));
    QCOMPARE(readFile(dir.filePath(u"locked/out.ini"_s)), "keep me"_ba);
    QVERIFY(QFileInfo(dir.filePath(u"folder"_s)).isDir());
}

void tst_SafeWrite::appendRoundTrip_data()
{
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("creates missing file") << false << QByteArray() << "first\r\n"_ba;
    QTest::newRow("appends to existing") << true << "one\r\n"_ba
                                         << "two\r\n"_ba;
    QTest::newRow("appends to empty file") << true << QByteArray() << "x"_ba;
    QTest::newRow("nothing to append") << true << "one"_ba << QByteArray();
}

void tst_SafeWrite::appendRoundTrip()
{
    QFETCH(bool, exists);
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"news.qfw"_s);
    if (exists)
        QVERIFY(writeFile(path, before));

    const FileResult result = AppendAllOrNothing(path, bytes);
    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(readFile(path), before + bytes);
}

void tst_SafeWrite::appendFailureReportsAndKeepsFile_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("needsNonRoot");

    QTest::newRow("missing folder") << u"missing/news.qfw"_s << false;
    QTest::newRow("path is a folder") << u"folder"_s << false;
    QTest::newRow("read-only file") << u"locked.qfw"_s << true;
}

void tst_SafeWrite::appendFailureReportsAndKeepsFile()
{
    QFETCH(QString, target);
    QFETCH(bool, needsNonRoot);
    if (needsNonRoot && ::geteuid() == 0)
        QSKIP("root writes into read-only files");

    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(u"folder"_s));
    const QString locked = dir.filePath(u"locked.qfw"_s);
    QVERIFY(writeFile(locked, "keep me"_ba));
    QVERIFY(QFile::setPermissions(locked, QFileDevice::ReadOwner));

    const QString path = dir.filePath(target);
    const FileResult result = AppendAllOrNothing(path, "more"_ba);
    QVERIFY(!result.ok);
    QVERIFY2(result.error.startsWith(path + u": "_s), qPrintable(result.error));
    QCOMPARE(readFile(locked), "keep me"_ba);
    QVERIFY(!QFileInfo::exists(dir.filePath(u"missing"_s)));
}

void tst_SafeWrite::appendToFullDeviceFails()
{
    const QString path = u"/dev/full"_s;
    if (!QFileInfo(path).isWritable())
        QSKIP("no writable /dev/full here");
    // Larger than any stdio or Qt buffer, and small enough to fit in one: both must fail.
    for (const qsizetype size : {qsizetype(10), qsizetype(1 << 20)}) {
        const FileResult result = AppendAllOrNothing(path, QByteArray(size, 'x'));
        QVERIFY2(!result.ok, qPrintable(QString::number(size)));
        QVERIFY2(result.error.startsWith(path + u": "_s), qPrintable(result.error));
        QVERIFY2(result.error.contains(u"No space left on device"_s), qPrintable(result.error));
    }
}

void tst_SafeWrite::appendCutOffHalfwayLeavesOldLength()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"news.qfw"_s);
    const QByteArray before = "earlier run\r\n"_ba;
    QVERIFY(writeFile(path, before));

    FileResult result;
    {
        FileSizeCap cap(rlim_t(before.size() + 100));
        if (!cap.isActive())
            QSKIP("cannot cap the file size here");
        result = AppendAllOrNothing(path, QByteArray(64 * 1024, 'x'));
    }
    QVERIFY(!result.ok);
    QVERIFY2(result.error.startsWith(path + u": "_s), qPrintable(result.error));
    QVERIFY2(result.error.contains(u"too large"_s), qPrintable(result.error));
    QCOMPARE(readFile(path), before);
}

QTEST_GUILESS_MAIN(tst_SafeWrite)
#include "tst_safewrite.moc"
