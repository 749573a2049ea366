// The probe a run makes of its output file before it downloads anything: it must find every
// reason the file could not be written, and leave nothing behind when it finds none.
#include "TestFiles.h"
#include "TmpfsMount.h"
#include "util/FileErrorReason.h"
#include "util/OutputProbe.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

class tst_OutputProbe : public QObject
{
    Q_OBJECT

private slots:
    void probe_data();
    void probe();
};

void tst_OutputProbe::probe_data()
{
    QTest::addColumn<QString>("setUp");    // what stands in the folder "out" beforehand
    QTest::addColumn<QString>("relative"); // the output file, below the temporary folder
    QTest::addColumn<QString>("where");    // what failed, below the temporary folder; "": none
    QTest::addColumn<QString>("reason");

    const QString longName = QString(300, u'長') + u".qfw"_s;
    QTest::newRow("new file") << u""_s << u"out/VHT.qfw"_s << QString() << QString();
    QTest::newRow("existing file, unchanged")
        << u"file"_s << u"out/VHT.qfw"_s << QString() << QString();
    QTest::newRow("pipe: appended to plainly")
        << u"pipe"_s << u"out/VHT.qfw"_s << QString() << QString();
    QTest::newRow("300-character name")
        << u""_s << u"out/"_s + longName << u"out/"_s + longName << u"ファイル名が長すぎます"_s;
    QTest::newRow("missing folder")
        << u""_s << u"out/no/VHT.qfw"_s << u"out/no"_s << u"フォルダがありません"_s;
    QTest::newRow("file where the folder should be")
        << u"blocker"_s << u"out/blocker/VHT.qfw"_s << u"out/blocker/VHT.qfw"_s
        << u"フォルダの代わりにファイルがあります"_s;
    QTest::newRow("folder of the file's name")
        << u"folder"_s << u"out/VHT.qfw"_s << u"out/VHT.qfw"_s << u"同じ名前のフォルダがあります"_s;
    QTest::newRow("read-only file system, new file")
        << u"read-only"_s << u"out/VHT.qfw"_s << u"out"_s
        << u"読み取り専用のファイルシステムです"_s;
    QTest::newRow("read-only file system, existing file")
        << u"read-only file"_s << u"out/VHT.qfw"_s << u"out/VHT.qfw"_s
        << u"読み取り専用のファイルシステムです"_s;
}

void tst_OutputProbe::probe()
{
    QFETCH(QString, setUp);
    QFETCH(QString, relative);
    QFETCH(QString, where);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString out = dir.filePath(u"out"_s);
    const QString path = dir.filePath(relative);
    std::optional<TmpfsMount> disk;
    if (setUp.startsWith(u"read-only"_s)) {
        disk.emplace(out, 64 * 1024);
        if (!disk->failure().isEmpty())
            QSKIP(qPrintable(disk->failure()));
    }
    QVERIFY(QDir().mkpath(out));
    if (setUp == u"file"_s || setUp == u"read-only file"_s)
        QVERIFY(writeFile(path, "records of an earlier run\x01"));
    else if (setUp == u"blocker"_s)
        QVERIFY(writeFile(dir.filePath(u"out/blocker"_s), "x"));
    else if (setUp == u"folder"_s)
        QVERIFY(QDir().mkpath(path));
    else if (setUp == u"pipe"_s)
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    if (disk)
        QVERIFY(disk->makeReadOnly());
    const QStringList before =
        QDir(out).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    const QDateTime modified = QFileInfo(path).lastModified();

    const OutputProbe probe = ProbeOutputFile(path);

    QCOMPARE(probe.ok, where.isEmpty());
    if (!probe.ok) {
        QCOMPARE(probe.where, dir.filePath(where));
        QCOMPARE(FileErrorReason(probe.systemError), reason);
    }
    // Nothing left behind: no new file, no journal, an existing file as it was.
    QCOMPARE(QDir(out).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), before);
    if (setUp.endsWith(u"file"_s)) {
        QCOMPARE(readFile(path), "records of an earlier run\x01"_ba);
        QCOMPARE(QFileInfo(path).lastModified(), modified);
    }
}

QTEST_GUILESS_MAIN(tst_OutputProbe)
#include "tst_outputprobe.moc"
