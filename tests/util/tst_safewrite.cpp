#include "FileSizeCap.h"
#include "TestFiles.h"
#include "TmpfsMount.h"
#include "util/SafeWrite.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <fcntl.h>
#include <functional>
#include <sys/file.h>
#include <sys/resource.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// Serves its bytes in small reads and calls a hook once, in the middle: the moment a kill would
// strike an append.
class MidwaySource final : public QIODevice
{
public:
    MidwaySource(QByteArray bytes, std::function<void()> midway)
        : m_bytes(std::move(bytes))
        , m_midway(std::move(midway))
    {
        open(QIODevice::ReadOnly);
    }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        if (m_pos > 0 && m_midway)
            std::exchange(m_midway, {})();
        const qint64 step = std::min<qint64>({maxSize, 1000, m_bytes.size() - m_pos});
        std::memcpy(data, m_bytes.constData() + m_pos, size_t(step));
        m_pos += step;
        return step;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray m_bytes;
    qint64 m_pos = 0;
    std::function<void()> m_midway;
};

// A source whose read fails after the first chunk.
class FailingSource final : public QIODevice
{
public:
    FailingSource() { open(QIODevice::ReadOnly); }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        if (m_served)
            return -1;
        m_served = true;
        const qint64 step = std::min<qint64>(maxSize, 100);
        std::memset(data, 'x', size_t(step));
        return step;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    bool m_served = false;
};

// Writes bytes into the existing file in place, so it keeps its inode.
bool overwriteInPlace(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::ReadWrite) && file.resize(0) && file.write(bytes) == bytes.size();
}

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
    void appendFromFailingSourceKeepsFile();
    void appendLeavesNoJournal();
    void rollBackAfterKill_data();
    void rollBackAfterKill();
    void unfinishedJournal_removedFileUntouched_data();
    void unfinishedJournal_removedFileUntouched();
    void foreignJournal_refusedAndKept();
    void journalHeldByAnotherProcess_refused();
    void rollBackAppendsIn_mendsOutputFilesOnly();
    void fullFileSystem_keepsOldFile_data();
    void fullFileSystem_keepsOldFile();
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
        FileSizeCap cap(rlim_t(before.size() + 1000));
        if (!cap.isActive())
            QSKIP("cannot cap the file size here");
        result = AppendAllOrNothing(path, QByteArray(64 * 1024, 'x'));
    }
    QVERIFY(!result.ok);
    QVERIFY2(result.error.startsWith(path + u": "_s), qPrintable(result.error));
    QVERIFY2(result.error.contains(u"too large"_s), qPrintable(result.error));
    QCOMPARE(readFile(path), before);
}

void tst_SafeWrite::appendFromFailingSourceKeepsFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"news.qfw"_s);
    QVERIFY(writeFile(path, "old"_ba));
    FailingSource source;

    const FileResult result = AppendAllOrNothing(path, source);

    QVERIFY(!result.ok);
    QVERIFY2(result.error.startsWith(path + u": "_s), qPrintable(result.error));
    QCOMPARE(readFile(path), "old"_ba);
    QVERIFY(!QFile::exists(AppendJournalPath(path)));
}

void tst_SafeWrite::appendLeavesNoJournal()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"news.qfw"_s);
    QVERIFY(writeFile(path, "old"_ba));
    QFile spool(dir.filePath(u"spool"_s));
    QVERIFY(writeFile(spool.fileName(), QByteArray(200'000, 'n')));
    QVERIFY(spool.open(QIODevice::ReadOnly));

    const FileResult result = AppendAllOrNothing(path, spool);

    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(readFile(path), "old"_ba + QByteArray(200'000, 'n'));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), (QStringList{u"news.qfw"_s, u"spool"_s}));
}

void tst_SafeWrite::rollBackAfterKill_data()
{
    QTest::addColumn<QString>("since"); // what happened to the file after the kill
    QTest::addColumn<bool>("cutBack");

    QTest::newRow("untouched: cut back") << u"nothing"_s << true;
    QTest::newRow("nothing appended yet") << u"old length"_s << false;
    QTest::newRow("earlier bytes changed: left alone") << u"edited"_s << false;
    QTest::newRow("replaced by another file: left alone") << u"replaced"_s << false;
    QTest::newRow("shortened: left alone") << u"shortened"_s << false;
}

void tst_SafeWrite::rollBackAfterKill()
{
    QFETCH(QString, since);
    QFETCH(bool, cutBack);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"news.qfw"_s);
    const QString journal = AppendJournalPath(path);
    const QByteArray before = QByteArray(10'000, 'o') + "end of the old records\r\n";
    QVERIFY(writeFile(path, before));

    // What a kill in the middle of the append would leave: the journal and a cut-off file.
    QByteArray leftJournal;
    QByteArray leftFile;
    MidwaySource source(QByteArray(5000, 'n'), [&] {
        leftJournal = readFile(journal);
        leftFile = readFile(path);
    });
    QVERIFY(AppendAllOrNothing(path, source).ok);
    QVERIFY(leftFile.size() > before.size());
    QVERIFY(writeFile(journal, leftJournal));
    QVERIFY(overwriteInPlace(path, leftFile));

    QByteArray expected = leftFile;
    if (since == u"old length"_s) {
        expected = before;
    } else if (since == u"edited"_s) {
        expected[before.size() - 3] = 'X';
    } else if (since == u"shortened"_s) {
        expected = before.left(100);
    } else if (since == u"replaced"_s) {
        QVERIFY(writeFile(path + u".new"_s, leftFile));
        QVERIFY(::rename(QFile::encodeName(path + u".new"_s).constData(),
                         QFile::encodeName(path).constData()) == 0);
    }
    if (since != u"nothing"_s && since != u"replaced"_s)
        QVERIFY(overwriteInPlace(path, expected));
    if (cutBack)
        expected = before;

    QString note;
    const FileResult result = RollBackInterruptedAppend(path, &note);

    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(readFile(path), expected);
    QVERIFY(!QFile::exists(journal));
    // The person hears of every mended or suspicious file, never of a plain leftover.
    QCOMPARE(note.isEmpty(), since == u"old length"_s);
    if (!note.isEmpty())
        QVERIFY2(note.startsWith(path + u": "_s), qPrintable(note));
    // Once mended, an append works as always.
    QVERIFY(AppendAllOrNothing(path, "more"_ba).ok);
    QCOMPARE(readFile(path), expected + "more");
}

void tst_SafeWrite::unfinishedJournal_removedFileUntouched_data()
{
    QTest::addColumn<QByteArray>("journal");

    QTest::newRow("empty") << QByteArray();
    QTest::newRow("half a first line") << "Varnholt app"_ba;
    QTest::newRow("no end line") << "Varnholt append journal 1\nlength 3\ndevice 1\n"_ba;
    QTest::newRow("bad number") << "Varnholt append journal 1\nlength x\ndevice 1\ninode 2\n"
                                   "tail 0 da39a3ee5e6b4b0d3255bfef95601890afd80709\nend\n"_ba;
}

void tst_SafeWrite::unfinishedJournal_removedFileUntouched()
{
    QFETCH(QByteArray, journal);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"news.csv"_s);
    QVERIFY(writeFile(path, "a,b\r\nc,d\r\n"_ba));
    QVERIFY(writeFile(AppendJournalPath(path), journal));

    QString note;
    const FileResult result = RollBackInterruptedAppend(path, &note);

    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(readFile(path), "a,b\r\nc,d\r\n"_ba);
    QVERIFY(!QFile::exists(AppendJournalPath(path)));
    QVERIFY2(note.isEmpty(), qPrintable(note));
}

void tst_SafeWrite::foreignJournal_refusedAndKept()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"news.qfw"_s);
    QVERIFY(writeFile(path, "old"_ba));
    QVERIFY(writeFile(AppendJournalPath(path), "my own notes\n"_ba));

    const FileResult result = AppendAllOrNothing(path, "new"_ba);

    QVERIFY(!result.ok);
    QVERIFY2(result.error.startsWith(AppendJournalPath(path) + u": "_s), qPrintable(result.error));
    QCOMPARE(readFile(path), "old"_ba);
    QCOMPARE(readFile(AppendJournalPath(path)), "my own notes\n"_ba);
}

void tst_SafeWrite::journalHeldByAnotherProcess_refused()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"news.qfw"_s);
    const QByteArray before = "old records"_ba;
    QVERIFY(writeFile(path, before));
    // A live append elsewhere: its journal exists and is locked (a lock of another open file
    // description blocks this process as it would another).
    QByteArray live;
    MidwaySource source(QByteArray(3000, 'n'), [&] { live = readFile(AppendJournalPath(path)); });
    QVERIFY(AppendAllOrNothing(path, source).ok);
    QVERIFY(overwriteInPlace(path, before + "nnn"));
    QVERIFY(writeFile(AppendJournalPath(path), live));
    const int held = ::open(QFile::encodeName(AppendJournalPath(path)).constData(), O_RDWR);
    QVERIFY(held >= 0);
    QCOMPARE(::flock(held, LOCK_EX), 0);

    const FileResult rolled = RollBackInterruptedAppend(path);
    const FileResult appended = AppendAllOrNothing(path, "x"_ba);
    ::close(held);

    for (const FileResult &result : {rolled, appended}) {
        QVERIFY(!result.ok);
        QVERIFY2(result.error.contains(u"another Varnholt"_s), qPrintable(result.error));
    }
    QCOMPARE(readFile(path), before + "nnn");
    // Once the other process is gone, the next caller mends the file.
    QVERIFY(RollBackInterruptedAppend(path).ok);
    QCOMPARE(readFile(path), before);
}

void tst_SafeWrite::rollBackAppendsIn_mendsOutputFilesOnly()
{
    QTemporaryDir dir;
    const QString qfw = dir.filePath(u"VHT20261206.qfw"_s);
    const QString other = dir.filePath(u"notes.txt"_s);
    QVERIFY(writeFile(qfw, "old"_ba));
    QByteArray journal;
    MidwaySource source(QByteArray(3000, 'n'), [&] { journal = readFile(AppendJournalPath(qfw)); });
    QVERIFY(AppendAllOrNothing(qfw, source).ok);
    QVERIFY(overwriteInPlace(qfw, "oldnnnn"_ba));
    QVERIFY(writeFile(AppendJournalPath(qfw), journal));
    QVERIFY(writeFile(other, "txt"_ba));
    QVERIFY(writeFile(AppendJournalPath(other), QByteArray()));

    const QStringList notes = RollBackAppendsIn(dir.path());

    QCOMPARE(notes.size(), 1);
    QVERIFY2(notes.first().startsWith(qfw + u": "_s), qPrintable(notes.first()));
    QCOMPARE(readFile(qfw), "old"_ba);
    QVERIFY(!QFile::exists(AppendJournalPath(qfw)));
    // Not an output file of this program: its journal-like neighbour is none of its business.
    QVERIFY(QFile::exists(AppendJournalPath(other)));
}

void tst_SafeWrite::fullFileSystem_keepsOldFile_data()
{
    QTest::addColumn<bool>("append");
    QTest::addColumn<int>("size"); // what is written: small ones stay in Qt's buffer until flushed

    QTest::newRow("replace, a few bytes") << false << 44;
    QTest::newRow("replace, many chunks") << false << 300'000;
    QTest::newRow("append, a few bytes") << true << 44;
    QTest::newRow("append, many chunks") << true << 300'000;
}

void tst_SafeWrite::fullFileSystem_keepsOldFile()
{
    QFETCH(bool, append);
    QFETCH(int, size);
    QTemporaryDir dir;
    const TmpfsMount disk(dir.filePath(u"disk"_s), 256 * 1024);
    if (!disk.failure().isEmpty())
        QSKIP(qPrintable(disk.failure()));
    const QString path = dir.filePath(u"disk/KeyWord.txt"_s);
    const QByteArray before = "old contents that must survive\r\n"_ba;
    QVERIFY(writeFile(path, before));
    QVERIFY(disk.fill());

    const QByteArray bytes(size, 'n');
    const FileResult result =
        append ? AppendAllOrNothing(path, bytes) : WriteFileAtomically(path, bytes);

    QVERIFY(!result.ok);
    QVERIFY2(result.error.startsWith(path) && result.error.contains(u"No space left on device"_s),
             qPrintable(result.error));
    QCOMPARE(readFile(path), before);
    QCOMPARE(QDir(dir.filePath(u"disk"_s)).entryList(QDir::Files | QDir::Hidden),
             (QStringList{u"filler"_s, u"KeyWord.txt"_s}));
}

QTEST_GUILESS_MAIN(tst_SafeWrite)
#include "tst_safewrite.moc"
