#include "TestFiles.h"
#include "ini/iniMente.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

QString shown(const QVariant &value)
{
    return value.isValid() ? value.toString() : u"<empty>"_s;
}

// Every entry as "name|value", walked with the prefix-less iteration of a fresh document.
QStringList entries(iniMente document)
{
    QStringList result;
    for (qint32 i = 0; i <= document.iniLast(); ++i) {
        const auto [name, value] = document.GetiniGroup2(QString());
        result << name + u'|' + shown(value);
    }
    return result;
}

// A document loaded from a file holding the given bytes; the file is gone afterwards.
iniMente loaded(const QByteArray &bytes, bool *ok = nullptr)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"test.ini"_s);
    iniMente document;
    const bool read = writeFile(path, bytes) && document.iniLoader(path);
    if (ok)
        *ok = read;
    return document;
}

// Runs "op|name|value" steps: set, del, delgroup, make, rem (set "*REM*").
void run(iniMente &document, const QStringList &steps)
{
    for (const QString &step : steps) {
        const QStringList part = step.split(u'|');
        const QString &op = part.at(0);
        const QString name = part.value(1);
        const QVariant value = part.size() > 2 ? QVariant(part.at(2)) : QVariant();
        if (op == u"set")
            document.SetiniValue(name, value);
        else if (op == u"del")
            document.DeliniValue(name);
        else if (op == u"delgroup")
            document.DeliniGroup(name);
        else if (op == u"make")
            document.MakeiniItem(name, value);
        else
            QTest::qFail(qPrintable(u"unknown step "_s + step), __FILE__, __LINE__);
    }
}

QByteArray longLine(qsizetype namePart, qsizetype valuePart)
{
    return QByteArray(namePart, 'n') + '=' + QByteArray(valuePart, 'v');
}

} // namespace

class tst_iniMente : public QObject
{
    Q_OBJECT

private slots:
    void parseLines_data();
    void parseLines();
    void lineLimits_data();
    void lineLimits();
    void loadMissing_data();
    void loadMissing();
    void loadUnreadableEmptiesDocument_data();
    void loadUnreadableEmptiesDocument();
    void getiniValue_data();
    void getiniValue();
    void changes_data();
    void changes();
    void searchinGroup_data();
    void searchinGroup();
    void getiniGroup2Walk();
    void seriesStopsAtIndexLimit();
    void writtenValues_data();
    void writtenValues();
    void roundTrip_data();
    void roundTrip();
    void saveEmptyDocumentTouchesNothing();
    void saveFailureSaysWhere_data();
    void saveFailureSaysWhere();
    void saveSameFilenameCreatesMissingFile();
};

void tst_iniMente::parseLines_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("expected");

    const QString rem = u"*REM*|"_s;
    QTest::newRow("empty file") << QByteArray() << QStringList();
    QTest::newRow("plain item") << "a=b"_ba << QStringList{u"a|b"_s};
    QTest::newRow("spaces around, inner equals, trailing spaces kept")
        << "  Name  =   x = y  \r\n"_ba << QStringList{u"Name|x = y  "_s};
    QTest::newRow("name and equals only") << "Name=\r\n"_ba << QStringList{u"Name|<empty>"_s};
    QTest::newRow("only spaces after equals")
        << "Name =   \r\n"_ba << QStringList{u"Name|<empty>"_s};
    QTest::newRow("empty name") << "=v\r\n"_ba << QStringList{u"|v"_s};
    QTest::newRow("tab starts the value") << "a=\tb"_ba << QStringList{u"a|\tb"_s};
    QTest::newRow("tabs stay in the name") << "\ta\t = b"_ba << QStringList{u"\ta\t|b"_s};
    QTest::newRow("section header") << "[Main]"_ba << QStringList{rem + u"[Main]"_s};
    QTest::newRow("semicolon with equals") << ";a=b"_ba << QStringList{rem + u";a=b"_s};
    QTest::newRow("hash with equals") << "#a=b"_ba << QStringList{rem + u"#a=b"_s};
    QTest::newRow("single slash with equals") << "/a=b"_ba << QStringList{rem + u"/a=b"_s};
    QTest::newRow("bracket with equals") << "[a=b]"_ba << QStringList{rem + u"[a=b]"_s};
    QTest::newRow("no equals") << "just text"_ba << QStringList{rem + u"just text"_s};
    QTest::newRow("spaces before semicolon make an item")
        << "  ;x = 1"_ba << QStringList{u";x|1"_s};
    QTest::newRow("crlf lines") << "a=1\r\nb=2\r\n"_ba << QStringList{u"a|1"_s, u"b|2"_s};
    QTest::newRow("lone cr ends a line") << "a=1\rb=2"_ba << QStringList{u"a|1"_s, u"b|2"_s};
    QTest::newRow("last line without end") << "a=1\r\nb=2"_ba << QStringList{u"a|1"_s, u"b|2"_s};
    QTest::newRow("lone lf does not end a line") << "a=1\nb=2\n"_ba << QStringList{u"a|1\nb=2\n"_s};
    QTest::newRow("lf only remark file") << "x\ny\n"_ba << QStringList{rem + u"x\ny\n"_s};
    QTest::newRow("lf file starting with a remark character")
        << "[S]\na=1\n"_ba << QStringList{rem + u"[S]\na=1\n"_s};
    QTest::newRow("blank lines are remarks")
        << "a=1\r\n\r\n\r\nb=2\r\n"_ba << QStringList{u"a|1"_s, rem, rem, u"b|2"_s};
    QTest::newRow("cr cr lf") << "a\r\r\nb"_ba << QStringList{rem + u"a"_s, rem, rem + u"b"_s};
    QTest::newRow("cp932 name and value")
        << "\x96\xbc\x91\x4f=\x92\x6c\x81\x60\r\n"_ba << QStringList{u"名前|値～"_s};
    QTest::newRow("duplicate names kept in order")
        << "a=1\r\nA=2\r\n"_ba << QStringList{u"a|1"_s, u"A|2"_s};
    QTest::newRow("binary garbage")
        << QByteArray("\0\xff\x80=\x82\r\n\x1a\x7f", 9)
        << QStringList{QString(QChar(0)) + QChar(0xFFFD) + QChar(0xFFFD) + u"|"_s + QChar(0xFFFD),
                       rem + QChar(0x1a) + QChar(0x7f)};
}

void tst_iniMente::parseLines()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, expected);
    bool ok = false;
    const iniMente document = loaded(bytes, &ok);
    QVERIFY(ok);
    QCOMPARE(document.iniLast(), expected.size() - 1);
    QCOMPARE(entries(document), expected);
}

void tst_iniMente::lineLimits_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("ok");

    // The "=" at position 32767 (counted from 1) and 32767 characters after it are the limits.
    QTest::newRow("equals at the last position") << longLine(32766, 1) << true;
    QTest::newRow("equals one beyond") << longLine(32767, 1) << false;
    QTest::newRow("value at the longest") << longLine(1, 32767) << true;
    QTest::newRow("value one longer") << longLine(1, 32768) << false;
    QTest::newRow("long line without equals") << QByteArray(100000, 'x') << true;
    QTest::newRow("long remark with equals late") << QByteArray(";") + longLine(40000, 1) << false;
}

void tst_iniMente::lineLimits()
{
    QFETCH(QByteArray, line);
    QFETCH(bool, ok);
    bool loadedOk = false;
    const iniMente document = loaded("first=1\r\n"_ba + line + "\r\nlast=2\r\n"_ba, &loadedOk);
    QCOMPARE(loadedOk, ok);
    // A failed load keeps what came before the failing line, and nothing after it.
    QCOMPARE(document.GetiniValue(u"first"_s, QVariant()), QVariant(u"1"_s));
    QCOMPARE(document.GetiniValue(u"last"_s, u"none"_s),
             ok ? QVariant(u"2"_s) : QVariant(u"none"_s));
    QCOMPARE(document.iniLast(), ok ? 2 : 0);
    // The person is told which line stopped the load.
    QCOMPARE(document.iniLoadError().startsWith(u"line 2 "_s), !ok);
    QCOMPARE(document.iniLoadError().isEmpty(), ok);
}

void tst_iniMente::loadMissing_data()
{
    QTest::addColumn<QString>("name");

    QTest::newRow("no such file") << u"absent.ini"_s;
    QTest::newRow("hidden file") << u".hidden.ini"_s;
    QTest::newRow("folder") << u"folder.ini"_s;
    QTest::newRow("inside a missing folder") << u"nowhere/x.ini"_s;
}

void tst_iniMente::loadMissing()
{
    QFETCH(QString, name);
    QTemporaryDir dir;
    QVERIFY(writeFile(dir.filePath(u"first.ini"_s), "a=1\r\nb=2\r\n"_ba));
    QVERIFY(writeFile(dir.filePath(u".hidden.ini"_s), "a=hidden\r\n"_ba));
    QVERIFY(QDir(dir.path()).mkdir(u"folder.ini"_s));

    iniMente document;
    QVERIFY(document.iniLoader(dir.filePath(u"first.ini"_s)));
    QCOMPARE(document.GetiniGroup2(u"b"_s).first, u"b"_s);

    const QString path = dir.filePath(name);
    QVERIFY(!document.iniLoader(path));
    QVERIFY2(document.iniLoadError().isEmpty(), qPrintable(document.iniLoadError()));
    QCOMPARE(document.GetiniFilename(), path);
    QCOMPARE(document.iniSavertoVariable(), u"a = 1\r\nb = 2\r\n"_s);
    // The walk begun before the failed load carries on where it was.
    QCOMPARE(document.GetiniGroup2(QString()), std::make_pair(QString(), QVariant(QString())));
}

void tst_iniMente::loadUnreadableEmptiesDocument_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("needsNonRoot");

    // A file that opens but cannot be read.
    QTest::newRow("read error") << u"/proc/self/mem"_s << false;
    QTest::newRow("no read permission") << QString() << true;
}

void tst_iniMente::loadUnreadableEmptiesDocument()
{
    QFETCH(QString, path);
    QFETCH(bool, needsNonRoot);
    if (needsNonRoot && ::geteuid() == 0)
        QSKIP("root reads files without read permission");
    QTemporaryDir dir;
    if (path.isEmpty()) {
        path = dir.filePath(u"locked.ini"_s);
        QVERIFY(writeFile(path, "a=locked\r\n"_ba));
        QVERIFY(QFile::setPermissions(path, QFileDevice::Permissions()));
    }
    if (!QFileInfo(path).isFile())
        QSKIP("no such file here");

    iniMente document = loaded("a=1\r\n"_ba);
    QCOMPARE(document.iniLast(), 0);
    QVERIFY(!document.iniLoader(path));
    QVERIFY(!document.iniLoadError().isEmpty());
    QCOMPARE(document.iniLast(), -1);
    QCOMPARE(document.GetiniValue(u"a"_s, u"gone"_s), QVariant(u"gone"_s));
}

void tst_iniMente::getiniValue_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QVariant>("fallback");
    QTest::addColumn<QVariant>("expected");

    const QByteArray doc = "; remark\r\n[One]\r\nKey=first\r\n[Two]\r\nkey=second\r\n"
                           "Empty=\r\nGone=x\r\n"_ba;
    QTest::newRow("empty document returns default of its type")
        << QByteArray() << u"Key"_s << QVariant(7) << QVariant(7);
    QTest::newRow("absent returns invalid default") << doc << u"Nope"_s << QVariant() << QVariant();
    QTest::newRow("absent returns bool default")
        << doc << u"Nope"_s << QVariant(true) << QVariant(true);
    QTest::newRow("first in file wins across sections")
        << doc << u"key"_s << QVariant() << QVariant(u"first"_s);
    QTest::newRow("letter case ignored") << doc << u"KEY"_s << QVariant() << QVariant(u"first"_s);
    QTest::newRow("leading space does not match")
        << doc << u" Key"_s << QVariant(u"d"_s) << QVariant(u"d"_s);
    QTest::newRow("empty value is not the default")
        << doc << u"Empty"_s << QVariant(u"d"_s) << QVariant();
    QTest::newRow("remark marker gives the first remark")
        << doc << u"*rem*"_s << QVariant() << QVariant(u"; remark"_s);
    QTest::newRow("section header is no item")
        << doc << u"[One]"_s << QVariant(u"d"_s) << QVariant(u"d"_s);
}

void tst_iniMente::getiniValue()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, name);
    QFETCH(QVariant, fallback);
    QFETCH(QVariant, expected);
    const iniMente document = loaded(bytes);
    const QVariant value = document.GetiniValue(name, fallback);
    QCOMPARE(value.typeId(), expected.typeId());
    QCOMPARE(value, expected);
}

void tst_iniMente::changes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("written");

    QTest::newRow("set changes the first match only")
        << "a=1\r\nA=2\r\n"_ba << QStringList{u"set|A|9"_s} << u"a = 9\r\nA = 2\r\n"_s;
    QTest::newRow("new item goes after a closing section header")
        << "[S]\r\nx=1\r\n[T]"_ba << QStringList{u"set|y|2"_s}
        << u"[S]\r\nx = 1\r\n[T]\r\ny = 2\r\n"_s;
    QTest::newRow("set on an empty document")
        << QByteArray() << QStringList{u"set|a|1"_s} << u"a = 1\r\n"_s;
    QTest::newRow("remark marker appends each time")
        << "; c\r\n"_ba << QStringList{u"set|*REM*|[New]"_s, u"set|*REM*|"_s}
        << u"; c\r\n[New]\r\n\r\n"_s;
    QTest::newRow("lower-case remark marker overwrites the first remark")
        << "; c\r\na=1\r\n; d\r\n"_ba << QStringList{u"set|*rem*|; e"_s}
        << u"; e\r\na = 1\r\n; d\r\n"_s;
    QTest::newRow("set empty value") << "a=1\r\n"_ba << QStringList{u"set|a"_s} << u"a = \r\n"_s;
    QTest::newRow("deleted item is not written")
        << "a=1\r\nb=2\r\n"_ba << QStringList{u"del|A"_s} << u"b = 2\r\n"_s;
    QTest::newRow("delete then set revives in place")
        << "a=1\r\nb=2\r\n"_ba << QStringList{u"del|a"_s, u"set|a|3"_s} << u"a = 3\r\nb = 2\r\n"_s;
    QTest::newRow("delete of an absent name never reaches the file")
        << "a=1\r\n"_ba << QStringList{u"del|zz"_s} << u"a = 1\r\n"_s;
    QTest::newRow("delete group stops at the first gap")
        << "Word0=a\r\nWord1=b\r\nWord3=d\r\n"_ba << QStringList{u"delgroup|Word"_s}
        << u"Word3 = d\r\n"_s;
    QTest::newRow("delete group stops at an empty member")
        << "W0=a\r\nW1=\r\nW2=c\r\n"_ba << QStringList{u"delgroup|w"_s} << u"W1 = \r\nW2 = c\r\n"_s;
    QTest::newRow("delete group twice")
        << "W0=a\r\nW1=b\r\n"_ba << QStringList{u"delgroup|W"_s, u"delgroup|W"_s} << QString();
    QTest::newRow("delete group without members")
        << "a=1\r\n"_ba << QStringList{u"delgroup|W"_s} << u"a = 1\r\n"_s;
    QTest::newRow("make leaves a value alone")
        << "a=1\r\n"_ba << QStringList{u"make|a|2"_s} << u"a = 1\r\n"_s;
    QTest::newRow("make fills an empty item in place")
        << "a=\r\nb=1\r\n"_ba << QStringList{u"make|a|2"_s} << u"a = 2\r\nb = 1\r\n"_s;
    QTest::newRow("make adds a missing item")
        << "a=1\r\n"_ba << QStringList{u"make|b|2"_s} << u"a = 1\r\nb = 2\r\n"_s;
    QTest::newRow("make leaves a deleted item deleted")
        << "a=1\r\n"_ba << QStringList{u"del|a"_s, u"make|a|2"_s} << QString();
    QTest::newRow("deleted mark in other case is a value")
        << "a=1\r\n"_ba << QStringList{u"set|a|*del*"_s} << u"a = *del*\r\n"_s;
}

void tst_iniMente::changes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, steps);
    QFETCH(QString, written);
    iniMente document = loaded(bytes);
    run(document, steps);
    QCOMPARE(document.iniSavertoVariable(), written);
}

void tst_iniMente::searchinGroup_data()
{
    QTest::addColumn<QString>("wanted");
    QTest::addColumn<bool>("noCheckCase");
    QTest::addColumn<int>("expected");

    QTest::newRow("exact match") << u"Beta"_s << false << 1;
    QTest::newRow("case differs, exact compare") << u"beta"_s << false << -1;
    QTest::newRow("case differs, case ignored") << u"BETA"_s << true << 1;
    QTest::newRow("first member") << u"Alpha"_s << false << 0;
    QTest::newRow("beyond an empty member") << u"Delta"_s << false << -1;
    QTest::newRow("number compares as its text") << u"42"_s << false << 2;
}

void tst_iniMente::searchinGroup()
{
    QFETCH(QString, wanted);
    QFETCH(bool, noCheckCase);
    QFETCH(int, expected);
    iniMente document = loaded("Key0=Alpha\r\nKey1=Beta\r\nKey2=42\r\nKey3=\r\nKey4=Delta\r\n"_ba);
    const QVariant item = wanted == u"42" ? QVariant(42) : QVariant(wanted);
    QCOMPARE(int(document.SearchinGroup(u"key"_s, item, noCheckCase)), expected);
}

void tst_iniMente::getiniGroup2Walk()
{
    iniMente document = loaded("[S]\r\nWord0=a\r\nother=x\r\nWORD1=b\r\nWo=short\r\n"_ba);
    document.DeliniValue(u"word1"_s);
    using Pair = std::pair<QString, QVariant>;
    const Pair none{QString(), QVariant(QString())};

    QCOMPARE(document.GetiniGroup2(u"word"_s), Pair(u"Word0"_s, u"a"_s));
    QCOMPARE(document.GetiniGroup2(QString()), Pair(u"WORD1"_s, u"*DEL*"_s));
    QCOMPARE(document.GetiniGroup2(QString()), none);
    QCOMPARE(document.GetiniGroup2(QString()), none);
    // A new prefix starts again from the top.
    QCOMPARE(document.GetiniGroup2(u"*"_s), Pair(u"*REM*"_s, u"[S]"_s));
    QCOMPARE(document.GetiniGroup2(QString()), none);
    QCOMPARE(document.GetiniGroup2(u"Word"_s), Pair(u"Word0"_s, u"a"_s));
}

void tst_iniMente::seriesStopsAtIndexLimit()
{
    // 32769 members W0..W32768: a 16-bit index cannot reach the last one.
    QByteArray bytes;
    for (int i = 0; i <= 32768; ++i)
        bytes += "W" + QByteArray::number(i) + "=v" + QByteArray::number(i) + "\r\n";
    bytes += "End=1\r\n";
    iniMente document = loaded(bytes);
    QCOMPARE(document.iniLast(), 32769);

    QCOMPARE(int(document.SearchinGroup(u"W"_s, u"v32767"_s, false)), 32767);
    QCOMPARE(int(document.SearchinGroup(u"W"_s, u"v32768"_s, false)), -1);

    QVERIFY(!document.DeliniGroup(u"W"_s));
    QCOMPARE(document.GetiniValue(u"W32767"_s, QVariant()), QVariant(u"*DEL*"_s));
    QCOMPARE(document.GetiniValue(u"W32768"_s, QVariant()), QVariant(u"v32768"_s));

    // A walk over every entry passes index 32767 without trouble.
    QCOMPARE(document.GetiniGroup2(u"End"_s), std::make_pair(u"End"_s, QVariant(u"1"_s)));
    QCOMPARE(document.GetiniGroup2(QString()).first, QString());
}

void tst_iniMente::writtenValues_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("line");

    QTest::newRow("text") << QVariant(u"C:\\News"_s) << u"K = C:\\News"_s;
    QTest::newRow("empty") << QVariant() << u"K = "_s;
    QTest::newRow("empty text") << QVariant(QString()) << u"K = "_s;
    QTest::newRow("int") << QVariant(42) << u"K = 42"_s;
    QTest::newRow("negative int") << QVariant(-1) << u"K = -1"_s;
    QTest::newRow("short") << QVariant::fromValue(qint16(-32768)) << u"K = -32768"_s;
    QTest::newRow("long long") << QVariant(Q_INT64_C(123456789012)) << u"K = 123456789012"_s;
    QTest::newRow("whole double") << QVariant(3.0) << u"K = 3"_s;
    QTest::newRow("large double") << QVariant(1e20) << u"K = 100000000000000000000"_s;
    QTest::newRow("fraction") << QVariant(0.25) << u"K = 0.25"_s;
    QTest::newRow("true") << QVariant(true) << u"K = True"_s;
    QTest::newRow("false") << QVariant(false) << u"K = False"_s;
    QTest::newRow("deleted mark as text") << QVariant(u"*DEL*"_s) << QString();
}

void tst_iniMente::writtenValues()
{
    QFETCH(QVariant, value);
    QFETCH(QString, line);
    iniMente document;
    document.SetiniValue(u"K"_s, value);
    QCOMPARE(document.iniSavertoVariable(), line.isEmpty() ? QString() : line + u"\r\n"_s);
    // Stored unchanged, whatever the type.
    QCOMPARE(document.GetiniValue(u"K"_s, QVariant(u"x"_s)), value);
}

void tst_iniMente::roundTrip_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("written");

    QTest::newRow("comments, headers, blanks stay in place")
        << "; Varnholt\r\n\r\n[Main]\r\nSaveFolder=/home/me\r\n# end\r\n"_ba
        << "; Varnholt\r\n\r\n[Main]\r\nSaveFolder = /home/me\r\n# end\r\n"_ba;
    QTest::newRow("last line gets its line end") << "a=1"_ba
                                                 << "a = 1\r\n"_ba;
    QTest::newRow("lone cr becomes cr lf") << "a=1\rb=2\r"_ba
                                           << "a = 1\r\nb = 2\r\n"_ba;
    QTest::newRow("cp932 bytes survive")
        << "\x83\x4c\x81\x5b=\x81\x97\x81\x46\x81\x60\xb1\r\n"_ba
        << "\x83\x4c\x81\x5b = \x81\x97\x81\x46\x81\x60\xb1\r\n"_ba;
    QTest::newRow("lone lf kept inside the line") << "x\ny"_ba
                                                  << "x\ny\r\n"_ba;
    QTest::newRow("empty value") << "a=\r\n"_ba
                                 << "a = \r\n"_ba;
}

void tst_iniMente::roundTrip()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, written);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Varnholt.ini"_s);
    QVERIFY(writeFile(path, bytes));
    iniMente document;
    QVERIFY(document.iniLoader(path));
    QString error;
    QVERIFY2(document.iniSaverSameFilename(&error), qPrintable(error));
    QCOMPARE(readFile(path), written);

    // Reading the written file gives the same document again.
    iniMente again;
    QVERIFY(again.iniLoader(path));
    QCOMPARE(entries(again), entries(loaded(written)));
    QCOMPARE(again.iniSavertoVariable(), document.iniSavertoVariable());
}

void tst_iniMente::saveEmptyDocumentTouchesNothing()
{
    QTemporaryDir dir;
    const QString existing = dir.filePath(u"old.ini"_s);
    const QString absent = dir.filePath(u"new.ini"_s);
    QVERIFY(writeFile(existing, "keep=1\r\n"_ba));

    iniMente document;
    QVERIFY(document.iniSaver(existing));
    QCOMPARE(readFile(existing), "keep=1\r\n"_ba);
    QVERIFY(document.iniSaver(absent));
    QVERIFY(!QFileInfo::exists(absent));
    QCOMPARE(document.GetiniFilename(), absent);
    QVERIFY(document.iniSaver(QString()));
    QCOMPARE(document.iniSavertoVariable(), QString());
}

void tst_iniMente::saveFailureSaysWhere_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("reason"); // what the error says besides the path

    QTest::newRow("missing folder") << u"missing/set.ini"_s << QString();
    QTest::newRow("path is a folder") << u"folder"_s << QString();
    QTest::newRow("no file name") << QString() << u"no file name"_s;
}

void tst_iniMente::saveFailureSaysWhere()
{
    QFETCH(QString, target);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(u"folder"_s));
    const QString path = target.isEmpty() ? QString() : dir.filePath(target);

    iniMente document = loaded("a=1\r\n"_ba);
    const QString before = document.iniSavertoVariable();
    QString error;
    QVERIFY(!document.iniSaver(path, &error));
    QCOMPARE(document.GetiniFilename(), path);
    QVERIFY2(!error.isEmpty() && error.contains(path) && error.contains(reason), qPrintable(error));
    QVERIFY(QFileInfo(dir.filePath(u"folder"_s)).isDir());
    QCOMPARE(document.iniSavertoVariable(), before);
    QVERIFY(!document.iniSaverSameFilename());
}

void tst_iniMente::saveSameFilenameCreatesMissingFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"varnholt.ini"_s);
    iniMente document;
    QVERIFY(!document.iniLoader(path));
    document.SetiniValue(u"SaveFolder"_s, u"/home/me"_s);
    document.SetiniValue(u"OverWrite"_s, 1);
    QVERIFY(document.iniSaverSameFilename());
    QCOMPARE(readFile(path), "SaveFolder = /home/me\r\nOverWrite = 1\r\n"_ba);
}

QTEST_GUILESS_MAIN(tst_iniMente)
#include "tst_inimente.moc"
