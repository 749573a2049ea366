#include "FileSizeCap.h"
#include "TestFiles.h"
#include "TmpfsMount.h"
#include "util/ScratchFile.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class tst_ScratchFile : public QObject
{
    Q_OBJECT

private slots:
    void create_data();
    void create();
    void piecesReadBack_folderStaysEmpty();
    void readBeyondTheEnd_fails();
    void writeStops_earlierPiecesKept_data();
    void writeStops_earlierPiecesKept();
};

void tst_ScratchFile::create_data()
{
    QTest::addColumn<QString>("where");  // below the test's folder
    QTest::addColumn<QString>("reason"); // empty: created

    QTest::newRow("existing folder") << u"out"_s << QString();
    QTest::newRow("missing folder") << u"missing"_s << u"No such file or directory"_s;
    // A plain file where the folder should be: refused even to root.
    QTest::newRow("a file, not a folder") << u"plain"_s << u"Not a directory"_s;
}

void tst_ScratchFile::create()
{
    QFETCH(QString, where);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir().mkpath(dir.filePath(u"out"_s)));
    QVERIFY(writeFile(dir.filePath(u"plain"_s), "x"));
    const QString folder = dir.filePath(where);

    std::unique_ptr<ScratchFile> file;
    const FileResult result = ScratchFile::create(folder, file);

    QCOMPARE(result.ok, reason.isEmpty());
    QCOMPARE(bool(file), reason.isEmpty());
    if (!reason.isEmpty())
        QCOMPARE(result.error, folder + u": temporary file: "_s + reason);
}

void tst_ScratchFile::piecesReadBack_folderStaysEmpty()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    std::unique_ptr<ScratchFile> file;
    QVERIFY(ScratchFile::create(dir.path(), file).ok);

    const QList<QByteArray> pieces{"first", {}, QByteArray(200'000, '\x82'), "\r\nlast\x01"};
    QList<qint64> offsets;
    for (const QByteArray &piece : pieces) {
        qint64 offset = -1;
        QVERIFY(file->append(piece, offset).ok);
        offsets << offset;
    }
    QCOMPARE(offsets, (QList<qint64>{0, 5, 5, 200'005}));
    // Read back out of order, as nothing forces the order of reading.
    for (qsizetype i = pieces.size() - 1; i >= 0; --i) {
        QByteArray back = "stale";
        QVERIFY(file->read(offsets[i], pieces[i].size(), back).ok);
        QCOMPARE(back, pieces[i]);
    }
    // Nothing of it shows in the folder, so a killed run leaves nothing there either.
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{});
}

void tst_ScratchFile::readBeyondTheEnd_fails()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    std::unique_ptr<ScratchFile> file;
    QVERIFY(ScratchFile::create(dir.path(), file).ok);
    qint64 offset = -1;
    QVERIFY(file->append("0123456789", offset).ok);

    QByteArray back;
    const FileResult result = file->read(5, 10, back);
    QVERIFY(!result.ok);
    QCOMPARE(result.error, dir.path() + u": temporary file: read only 5 of 10 bytes"_s);
    QVERIFY(back.isEmpty());
}

void tst_ScratchFile::writeStops_earlierPiecesKept_data()
{
    QTest::addColumn<bool>("fullDisk"); // else a cap on file sizes
    QTest::newRow("full disk") << true;
    QTest::newRow("file size limit") << false;
}

void tst_ScratchFile::writeStops_earlierPiecesKept()
{
    QFETCH(bool, fullDisk);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = dir.filePath(u"disk"_s);
    const TmpfsMount disk(folder, 256 * 1024);
    if (fullDisk && !disk.failure().isEmpty())
        QSKIP(qPrintable(disk.failure()));
    QVERIFY(QDir().mkpath(folder));
    std::unique_ptr<ScratchFile> file;
    QVERIFY(ScratchFile::create(folder, file).ok);
    qint64 offset = -1;
    QVERIFY(file->append("kept", offset).ok);
    if (fullDisk)
        QVERIFY(disk.fill());
    const FileSizeCap cap(fullDisk ? RLIM_INFINITY : 64 * 1024);
    QVERIFY(cap.isActive());

    const FileResult failed = file->append(QByteArray(128 * 1024, 'n'), offset);

    QVERIFY(!failed.ok);
    QVERIFY2(failed.error.startsWith(folder + u": temporary file: "_s), qPrintable(failed.error));
    QVERIFY2(failed.error.contains(fullDisk ? u"No space left on device"_s : u"too large"_s),
             qPrintable(failed.error));
    // The failed piece is gone; what came before reads back, and the next piece follows it.
    if (fullDisk)
        QVERIFY(disk.release(64 * 1024));
    QVERIFY(file->append("next", offset).ok);
    QCOMPARE(offset, 4);
    QByteArray back;
    QVERIFY(file->read(0, 8, back).ok);
    QCOMPARE(back, "keptnext");
}

QTEST_GUILESS_MAIN(tst_ScratchFile)
#include "tst_scratchfile.moc"
