#include "startup/RunOptions.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// The flag fields as letters, so a row can state all of them at once: A AutoGet, H HideMe,
// O Open, Y Yesterday, N NoAddKey, D Debug, L Log, C Csv, K Qfk, B Qfb, W OverWrite, P Append.
QString flagsOf(const RunOptions &o)
{
    QString flags;
    const std::pair<bool, char16_t> fields[] = {
        {o.AutoGet, u'A'},  {o.HideMe, u'H'}, {o.Open, u'O'},      {o.Yesterday, u'Y'},
        {o.NoAddKey, u'N'}, {o.Debug, u'D'},  {o.Log, u'L'},       {o.Csv, u'C'},
        {o.Qfk, u'K'},      {o.Qfb, u'B'},    {o.OverWrite, u'W'}, {o.Append, u'P'},
    };
    for (const auto &[on, letter] : fields) {
        if (on)
            flags += QChar(letter);
    }
    return flags;
}

// A file-name part as a row states it: "-" for not given, otherwise the text.
QString partOf(const std::optional<QString> &part)
{
    return part ? *part : u"-"_s;
}

} // namespace

class tst_RunOptions : public QObject
{
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void unparsedCommandLine_data();
    void unparsedCommandLine();
};

void tst_RunOptions::parse_data()
{
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<QString>("flags");
    QTest::addColumn<int>("keyMode");
    QTest::addColumn<QStringList>("parts"); // F1 F2 F3, "-" not given
    QTest::addColumn<QString>("outputFolder");

    const QStringList none{u"-"_s, u"-"_s, u"-"_s};
    QTest::newRow("empty") << QString() << QString() << 0 << none << QString();
    QTest::newRow("lower case") << u"/autoget"_s << u"A"_s << 0 << none << QString();
    QTest::newRow("upper case") << u"/AUTOGET"_s << u"A"_s << 0 << none << QString();
    QTest::newRow("inside a longer word") << u"/Logfile"_s << u"L"_s << 0 << none << QString();
    QTest::newRow("every flag")
        << u"/AutoGet /HideMe /Open /Yesterday /NoAddKey /Debug /Log /csv /qfk /qfb "
           "/OverWrite /Append"_s
        << u"AHOYNDLCKBWP"_s << 0 << none << QString();
    QTest::newRow("no separators needed") << u"/HideMe/Open"_s << u"HO"_s << 0 << none << QString();
    QTest::newRow("qfw sets no field") << u"/qfw"_s << QString() << 0 << none << QString();
    QTest::newRow("get only url") << u"/GetOnlyURL"_s << QString() << 1 << none << QString();
    QTest::newRow("ignore key") << u"/ignorekey"_s << QString() << 2 << none << QString();
    QTest::newRow("ignore key wins")
        << u"/IgnoreKey /GetOnlyURL"_s << QString() << 2 << none << QString();
    QTest::newRow("unknown text ignored")
        << u"hello /x -v"_s << QString() << 0 << none << QString();
    QTest::newRow("documented example")
        << u"/AutoGet /HideMe /qfb /F1news /F2yymmdd /FO/home/me/Clip"_s << u"AHB"_s << 0
        << QStringList{u"news"_s, u"yymmdd"_s, u"-"_s} << u"/home/me/Clip"_s;
    QTest::newRow("space right after switch gives empty")
        << u"/F2 /Log"_s << u"L"_s << 0 << QStringList{u"-"_s, QString(), u"-"_s} << QString();
    QTest::newRow("value to the end")
        << u"/F3abc"_s << QString() << 0 << QStringList{u"-"_s, u"-"_s, u"abc"_s} << QString();
    QTest::newRow("switch at the very end gives empty")
        << u"/F1"_s << QString() << 0 << QStringList{QString(), u"-"_s, u"-"_s} << QString();
    QTest::newRow("folder cut at the space")
        << u"/FO/home/My Files"_s << QString() << 0 << none << u"/home/My"_s;
    QTest::newRow("lower-case valued switches")
        << u"/f1a /fo/tmp"_s << QString() << 0 << QStringList{u"a"_s, u"-"_s, u"-"_s} << u"/tmp"_s;
    QTest::newRow("F4 F0 and bare F ignored")
        << u"/F4x /F0y /F"_s << QString() << 0 << none << QString();
    QTest::newRow("F1 inside another value is a switch")
        << u"/FOa/F1b"_s << QString() << 0 << QStringList{u"b"_s, u"-"_s, u"-"_s} << u"a/F1b"_s;
    QTest::newRow("first occurrence wins") << u"/F1one /F1two"_s << QString() << 0
                                           << QStringList{u"one"_s, u"-"_s, u"-"_s} << QString();
    QTest::newRow("quotes are ordinary characters")
        << u"/F1\"a b\""_s << QString() << 0 << QStringList{u"\"a"_s, u"-"_s, u"-"_s} << QString();
    QTest::newRow("value holding a flag still sets it")
        << u"/F1/Open"_s << u"O"_s << 0 << QStringList{u"/Open"_s, u"-"_s, u"-"_s} << QString();
    QTest::newRow("empty folder is not given") << u"/FO /Log"_s << u"L"_s << 0 << none << QString();
}

void tst_RunOptions::parse()
{
    QFETCH(QString, commandLine);
    QFETCH(QString, flags);
    QFETCH(int, keyMode);
    QFETCH(QStringList, parts);
    QFETCH(QString, outputFolder);

    const RunOptions options = ParseCommandLine(commandLine);
    QCOMPARE(flagsOf(options), flags);
    QCOMPARE(options.KeyMode, keyMode);
    const QStringList actualParts{partOf(options.FileNamePart[0]), partOf(options.FileNamePart[1]),
                                  partOf(options.FileNamePart[2])};
    QCOMPARE(actualParts, parts);
    QCOMPARE(options.OutputFolder, outputFolder);
}

void tst_RunOptions::unparsedCommandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("commandLine");

    QTest::newRow("program only") << QStringList{u"varnholt"_s} << QString();
    QTest::newRow("several") << QStringList{u"varnholt"_s, u"/AutoGet"_s, u"/F1a"_s}
                             << u"/AutoGet /F1a"_s;
    QTest::newRow("argument with a space kept as typed")
        << QStringList{u"varnholt"_s, u"/FO/My Files"_s} << u"/FO/My Files"_s;
    QTest::newRow("empty list") << QStringList() << QString();
}

void tst_RunOptions::unparsedCommandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, commandLine);
    QCOMPARE(UnparsedCommandLine(arguments), commandLine);
}

QTEST_GUILESS_MAIN(tst_RunOptions)
#include "tst_runoptions.moc"
