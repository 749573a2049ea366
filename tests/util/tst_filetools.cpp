#include "TestFiles.h"
#include "util/FileTools.h"
#include "util/MakeFolder.h"
#include "util/ProgramFolder.h"
#include "util/SafeFileName.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class tst_FileTools : public QObject
{
    Q_OBJECT

private slots:
    void joinPath_data();
    void joinPath();
    void pathParts_data();
    void pathParts();
    void isDriveSpec_data();
    void isDriveSpec();
    void trimAtNul_data();
    void trimAtNul();

    void canReadFile_onlyForReadableFiles();
    void canAppendFile_createsEmptyFileButNotFolders();
    void copyFileTo_data();
    void copyFileTo();

    void makeFolder_data();
    void makeFolder();
    void makeFolder_fileInTheWay_isFalse();

    void safeFileName_data();
    void safeFileName();

    void chooseProgramFolder_data();
    void chooseProgramFolder();
    void shippedFilePath_prefersProgramFolder();
};

void tst_FileTools::joinPath_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("joined");
    QTest::addColumn<QString>("folderAfter");

    QTest::newRow("drive gets its root") << u"C:"_s << u"x.ini"_s << u"C:/x.ini"_s << u"C:/"_s;
    QTest::newRow("folder with separator") << u"/a/"_s << u"b"_s << u"/a/b"_s << u"/a/"_s;
    QTest::newRow("folder without separator") << u"/a"_s << u"b"_s << u"/a/b"_s << u"/a"_s;
    QTest::newRow("separators on both sides") << u"/a//"_s << u"/b"_s << u"/a/b"_s << u"/a//"_s;
    QTest::newRow("root") << u"/"_s << u"b"_s << u"/b"_s << u"/"_s;
    QTest::newRow("relative") << u"NoOne"_s << u"varnholt.ini"_s << u"NoOne/varnholt.ini"_s
                              << u"NoOne"_s;
    QTest::newRow("empty folder") << QString() << u"b"_s << u"b"_s << QString();
    QTest::newRow("three-character drive untouched")
        << u"C:x"_s << u"b"_s << u"C:x/b"_s << u"C:x"_s;
    QTest::newRow("nested name") << u"/p"_s << u"a/b"_s << u"/p/a/b"_s << u"/p"_s;
}

void tst_FileTools::joinPath()
{
    QFETCH(QString, folder);
    QFETCH(QString, name);
    QFETCH(QString, joined);
    QFETCH(QString, folderAfter);

    QCOMPARE(JoinPath(folder, name), joined);
    QCOMPARE(folder, folderAfter);
}

void tst_FileTools::pathParts_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("baseName");

    QTest::newRow("plain") << u"/out/news.txt"_s << u"/out"_s << u"news.txt"_s << u"news"_s;
    QTest::newRow("last dot only") << u"/out/a.b.c"_s << u"/out"_s << u"a.b.c"_s << u"a.b"_s;
    QTest::newRow("no extension") << u"/out/noext"_s << u"/out"_s << u"noext"_s << u"noext"_s;
    QTest::newRow("leading dot") << u"/out/.ini"_s << u"/out"_s << u".ini"_s << QString();
    QTest::newRow("trailing separator") << u"/a/b/"_s << u"/a"_s << u"b"_s << u"b"_s;
    QTest::newRow("below root") << u"/x.ini"_s << u"/"_s << u"x.ini"_s << u"x"_s;
    QTest::newRow("root") << u"/"_s << QString() << QString() << QString();
    QTest::newRow("bare name") << u"news.qfw"_s << QString() << u"news.qfw"_s << u"news"_s;
    QTest::newRow("dot in folder only") << u"/a.d/news"_s << u"/a.d"_s << u"news"_s << u"news"_s;
    QTest::newRow("empty") << QString() << QString() << QString() << QString();
}

void tst_FileTools::pathParts()
{
    QFETCH(QString, path);
    QFETCH(QString, parent);
    QFETCH(QString, fileName);
    QFETCH(QString, baseName);

    QCOMPARE(ParentFolderOf(path), parent);
    QCOMPARE(FileNameOf(path), fileName);
    QCOMPARE(BaseNameOf(path), baseName);
}

void tst_FileTools::isDriveSpec_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("drive");

    QTest::newRow("C:") << u"C:"_s << true;
    QTest::newRow("C:/") << u"C:/"_s << true;
    QTest::newRow("C:x") << u"C:x"_s << true;
    QTest::newRow("CC:") << u"CC:"_s << false;
    QTest::newRow("C:/x") << u"C:/x"_s << false;
    QTest::newRow("empty") << QString() << false;
    QTest::newRow("single colon") << u":"_s << false;
}

void tst_FileTools::isDriveSpec()
{
    QFETCH(QString, text);
    QFETCH(bool, drive);
    QCOMPARE(IsDriveSpec(text), drive);
}

void tst_FileTools::trimAtNul_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("trimmed");

    QString buffer = u"/home/news"_s;
    buffer.resize(260, QChar(u'\0'));
    QTest::newRow("padded buffer") << buffer << u"/home/news"_s;
    QTest::newRow("no NUL") << u"/home/news"_s << u"/home/news"_s;
    QTest::newRow("NUL first") << QString(QChar(u'\0')) + u"x"_s << QString();
    QTest::newRow("text after NUL dropped") << u"a"_s + QChar(u'\0') + u"b"_s << u"a"_s;
}

void tst_FileTools::trimAtNul()
{
    QFETCH(QString, text);
    QFETCH(QString, trimmed);
    QCOMPARE(TrimAtNul(text), trimmed);
}

void tst_FileTools::canReadFile_onlyForReadableFiles()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString file = dir.filePath(u"a.txt"_s);
    QVERIFY(writeFile(file, "x"));

    QVERIFY(CanReadFile(file));
    QVERIFY(!CanReadFile(dir.filePath(u"missing.txt"_s)));
    QVERIFY(!CanReadFile(dir.path()));
    QVERIFY(!CanReadFile(QString()));
}

void tst_FileTools::canAppendFile_createsEmptyFileButNotFolders()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());

    const QString missing = dir.filePath(u"new.qfw"_s);
    QVERIFY(CanAppendFile(missing));
    QVERIFY(QFileInfo(missing).isFile());
    QCOMPARE(QFileInfo(missing).size(), 0);

    const QString existing = dir.filePath(u"old.qfw"_s);
    QVERIFY(writeFile(existing, "kept"));
    QVERIFY(CanAppendFile(existing));
    QCOMPARE(readFile(existing), QByteArray("kept"));

    QVERIFY(!CanAppendFile(dir.filePath(u"no/such/folder.qfw"_s)));
    QVERIFY(!QFileInfo::exists(dir.filePath(u"no"_s)));
    QVERIFY(!CanAppendFile(dir.path()));
}

void tst_FileTools::copyFileTo_data()
{
    QTest::addColumn<QString>("source");      // relative to the temporary folder
    QTest::addColumn<QString>("destination"); // relative; may be the same as source
    QTest::addColumn<bool>("overwrite");
    QTest::addColumn<int>("result");
    QTest::addColumn<QByteArray>("destinationAfter");

    // Every row starts with src.ini = "source" and old.ini = "old".
    QTest::newRow("to a new file")
        << u"src.ini"_s << u"new.ini"_s << false << 0 << QByteArray("source");
    QTest::newRow("same path does nothing")
        << u"src.ini"_s << u"src.ini"_s << true << 0 << QByteArray("source");
    QTest::newRow("missing source") << u"missing.ini"_s << u"new.ini"_s << true << 1 << kUnreadable;
    QTest::newRow("existing kept without overwrite")
        << u"src.ini"_s << u"old.ini"_s << false << 1 << QByteArray("old");
    QTest::newRow("existing replaced with overwrite")
        << u"src.ini"_s << u"old.ini"_s << true << 0 << QByteArray("source");
    QTest::newRow("destination folder missing")
        << u"src.ini"_s << u"gone/new.ini"_s << true << 1 << kUnreadable;
}

void tst_FileTools::copyFileTo()
{
    QFETCH(QString, source);
    QFETCH(QString, destination);
    QFETCH(bool, overwrite);
    QFETCH(int, result);
    QFETCH(QByteArray, destinationAfter);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(writeFile(dir.filePath(u"src.ini"_s), "source"));
    QVERIFY(writeFile(dir.filePath(u"old.ini"_s), "old"));
    const QDateTime sourceTime = QFileInfo(dir.filePath(u"src.ini"_s)).lastModified();

    QCOMPARE(CopyFileTo(dir.filePath(source), dir.filePath(destination), overwrite), result);
    QCOMPARE(readFile(dir.filePath(destination)), destinationAfter);
    QCOMPARE(readFile(dir.filePath(u"src.ini"_s)), QByteArray("source"));
    QCOMPARE(QFileInfo(dir.filePath(u"src.ini"_s)).lastModified(), sourceTime);
}

void tst_FileTools::makeFolder_data()
{
    QTest::addColumn<QString>("existing"); // made before the call, relative
    QTest::addColumn<QString>("target");   // relative
    QTest::addColumn<bool>("result");
    QTest::addColumn<QString>("targetAfter");

    QTest::newRow("existing folder") << u"a"_s << u"a"_s << true << u"a"_s;
    QTest::newRow("parent exists") << u"a"_s << u"a/b"_s << true << u"a/b"_s;
    QTest::newRow("three new levels") << QString() << u"a/b/c"_s << true << u"a/b/c/"_s;
    QTest::newRow("new levels with separator") << QString() << u"a/b/"_s << true << u"a/b/"_s;
    QTest::newRow("full-width name") << QString() << u"a？b/c"_s << true << u"a？b/c/"_s;
}

void tst_FileTools::makeFolder()
{
    QFETCH(QString, existing);
    QFETCH(QString, target);
    QFETCH(bool, result);
    QFETCH(QString, targetAfter);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    if (!existing.isEmpty())
        QVERIFY(QDir(dir.path()).mkpath(existing));

    QString path = dir.filePath(target);
    QCOMPARE(MakeFolder(path), result);
    QCOMPARE(path, dir.filePath(targetAfter));
    QVERIFY(QFileInfo(path).isDir());
}

void tst_FileTools::makeFolder_fileInTheWay_isFalse()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(writeFile(dir.filePath(u"plain"_s), "x"));

    QString path = dir.filePath(u"plain/b/c"_s);
    QVERIFY(!MakeFolder(path));
    QCOMPARE(path, dir.filePath(u"plain/b/c/"_s));
    QVERIFY(QFileInfo(dir.filePath(u"plain"_s)).isFile());

    QString empty;
    QVERIFY(!MakeFolder(empty));
    QCOMPARE(empty, QString());
}

void tst_FileTools::safeFileName_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("safe");

    QTest::newRow("question mark and slash") << u"a?b/c"_s << u"a？b／c"_s;
    QTest::newRow("drive colon stays") << u"C:\\News:Today"_s << u"C:/News：Today"_s;
    QTest::newRow("colon in first two stays") << u":a:b"_s << u":a：b"_s;
    QTest::newRow("two characters unchanged") << u"x:"_s << u"x:"_s;
    QTest::newRow("punctuation") << u"~a,b;c*d"_s << u"～a，b；c＊d"_s;
    QTest::newRow("angle brackets and bar") << u"<a>|b"_s << u"＜a＞｜b"_s;
    QTest::newRow("backslash names a sub-folder") << u"a\\b"_s << u"a/b"_s;
    QTest::newRow("quotes pass") << u"\"\"\\"_s << u"\"\"/"_s;
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("every occurrence") << u"?a?//"_s << u"？a？／／"_s;
}

void tst_FileTools::safeFileName()
{
    QFETCH(QString, text);
    QFETCH(QString, safe);
    QCOMPARE(SafeFileName(text), safe);
}

void tst_FileTools::chooseProgramFolder_data()
{
    QTest::addColumn<QString>("home");
    QTest::addColumn<bool>("executableFolderWritable");
    QTest::addColumn<QString>("chosen");

    QTest::newRow("home wins") << u"/h"_s << true << u"/h"_s;
    QTest::newRow("writable executable folder") << QString() << true << u"/exe"_s;
    QTest::newRow("installed program") << QString() << false << u"/data/Varnholt"_s;
}

void tst_FileTools::chooseProgramFolder()
{
    QFETCH(QString, home);
    QFETCH(bool, executableFolderWritable);
    QFETCH(QString, chosen);
    QCOMPARE(ChooseProgramFolder(home, u"/exe"_s, executableFolderWritable, u"/data/Varnholt"_s),
             chosen);
}

void tst_FileTools::shippedFilePath_prefersProgramFolder()
{
    QTemporaryDir program;
    QTemporaryDir data;
    QVERIFY(program.isValid() && data.isValid());
    QVERIFY(writeFile(data.filePath(u"Default.ini"_s), "shipped"));

    QCOMPARE(ShippedFilePath(program.path(), u"Default.ini"_s, data.path()),
             data.filePath(u"Default.ini"_s));
    QVERIFY(writeFile(program.filePath(u"Default.ini"_s), "own"));
    QCOMPARE(ShippedFilePath(program.path(), u"Default.ini"_s, data.path()),
             program.filePath(u"Default.ini"_s));
    QCOMPARE(ShippedFilePath(program.path(), u"VHT.chm"_s, data.path()),
             program.filePath(u"VHT.chm"_s));
}

QTEST_GUILESS_MAIN(tst_FileTools)
#include "tst_filetools.moc"
