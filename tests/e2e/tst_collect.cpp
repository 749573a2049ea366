// Whole collections: the real varnholt against the real varnholt-portal serving a corpus this
// test writes, headless, with a settings folder of its own.
#include "ChildProcess.h"
#include "PortalPages.h"
#include "PortalProcess.h"
#include "TestFiles.h"
#include "TmpfsMount.h"
#include "util/CodePage.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

using namespace Qt::StringLiterals;

namespace {

struct Article
{
    QString path;
    QString title;
    QString source; // between the markers, as in the page
    QString body;   // as written to the output
};

const QList<Article> &articles()
{
    static const QList<Article> list{
        {u"/a/1"_s, u"速報 株価が上昇"_s, u"一行目<br>\n二行目"_s, u"一行目\r\n二行目"_s},
        {u"/a/2"_s, u"天気の話題"_s, u"晴れ"_s, u"晴れ"_s},
        {u"/a/3"_s, u"速報 円相場"_s, u"円高"_s, u"円高"_s},
        {u"/a/4"_s, u"海外で速報"_s, u"海外"_s, u"海外"_s},
        {u"/a/5"_s, u"昨日の速報"_s, u"昨日"_s, u"昨日"_s},
        {u"/a/6"_s, u"速報 新しい朝"_s, u"朝"_s, u"朝"_s},
        // JIS X 0212 kanji: the portal's EUC-JP holds them, CP932 does not.
        {u"/a/7"_s, u"速報 丂丄の話"_s, u"本文丂"_s, u"本文丂"_s},
    };
    return list;
}

const Article &article(int number)
{
    return articles().at(number - 1);
}

QString headlinePage(const QList<int> &numbers, const QString &next = {})
{
    QList<PortalPages::Headline> headlines;
    for (int n : numbers)
        headlines.append({article(n).path, article(n).title});
    return PortalPages::headlinePage(headlines, next);
}

QString yesterdayPrefix()
{
    return QDate::currentDate().addDays(-1).toString(u"yyMMdd"_s);
}

} // namespace

class tst_Collect : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void layouts_data();
    void layouts();
    void keyWordModes_data();
    void keyWordModes();
    void yesterdayPass_readsPreviousDayWithoutDuplicates();
    void fileNameSwitches_data();
    void fileNameSwitches();
    void appendOrOverwrite_data();
    void appendOrOverwrite();
    void companionIni_data();
    void companionIni();
    void outputNotWritable_statusOneSettingsSaved();
    void outputUnusable_endsBeforeAnyRequest_data();
    void outputUnusable_endsBeforeAnyRequest();
    void portalNotRunning_saysWhereAndHowToStartIt();
    void settingsNotWritable_statusOneNamesPath();
    void pageStaysEmpty_givesUpAfterTwoRetries();
    void brokenPages_everyRecordWrittenNothingLost();
    void exitStatus_data();
    void exitStatus();
    void endlessNextPages_walkBoundedNextCategoryRead();
    void skipSaved_twoDays_data();
    void skipSaved_twoDays();
    void skipSaved_killedBeforeRecord_duplicatesAtMostThoseRecords();
    void skipSaved_damagedRecord_setAsideRunGoesOn();
    void lostCharacters_namedPerRecordBytesUnchanged();
    void fullDisk_oldFilesWholeStatusOne_data();
    void fullDisk_oldFilesWholeStatusOne();
    void spoolUnavailable_toldInLogOutputAsWithout();
    void killedWithBodiesSpooled_nothingLeftBeside();
    void longSettingsLine_fileKeptPersonTold();

private:
    QString base() const { return m_portal->baseUrl(); }
    QString url(int number) const { return base() + article(number).path; }
    QString settingFolder() const { return m_dir->filePath(u"home/tester"_s); }
    QString outFolder() const { return m_dir->filePath(u"out"_s); }
    void writeSettings(const QHash<QString, QString> &changes = {});
    void writeKeyWords(const QStringList &words);
    ChildRun runVarnholt(const QStringList &switches, const QHash<QString, QString> &env = {});
    ChildRun runVarnholtAt(const QString &baseUrl, const QStringList &arguments,
                           const QHash<QString, QString> &env = {});
    // The headline pages of dom and int for one day: prefix "" for today, "yymmdd/" for another.
    void writeListPages(const QString &prefix, const QList<int> &dom, const QList<int> &intl);
    QString recordPath() const { return settingFolder() + u"/SavedAddresses.txt"_s; }
    QStringList portalLog() const;
    // The records for these articles in a layout, tagged with tag (or none when empty).
    QByteArray expected(const QString &layout, const QList<int> &numbers, const QString &tag) const;

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<PortalProcess> m_portal;
};

void tst_Collect::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    const QString root = m_dir->filePath(u"root"_s);
    const auto page = [&](const QString &path, const QString &text) {
        QVERIFY(writeFile(root + path, text.toUtf8()));
    };
    // dom: two list pages; int repeats article 3; the previous day's dom repeats article 1.
    page(u"/headlines/dom/index.html"_s, headlinePage({1, 2}, u"/headlines/dom/2"_s));
    page(u"/headlines/dom/2.html"_s, headlinePage({3}));
    page(u"/headlines/int/index.html"_s, headlinePage({3, 4}));
    page(u"/headlines/"_s + yesterdayPrefix() + u"/dom/index.html"_s, headlinePage({1, 5}));
    page(u"/headlines/"_s + yesterdayPrefix() + u"/int/index.html"_s, headlinePage({}));
    for (const Article &a : articles())
        page(a.path + u".html"_s, PortalPages::articlePage(a.source));
    QVERIFY(writeFile(root + u"/a/empty"_s, {}));

    m_portal = std::make_unique<PortalProcess>(
        QStringList{u"--root"_s, root, u"--log"_s, m_dir->filePath(u"portal.log"_s)});
    QVERIFY2(m_portal->failure().isEmpty(), qPrintable(m_portal->failure()));

    // The settings-folder record, as a previous start would have left it.
    QVERIFY(QDir().mkpath(settingFolder()));
    QVERIFY(QDir().mkpath(outFolder()));
    QVERIFY(writeFile(m_dir->filePath(u"config/Kestrane SoftWares/Varnholt.conf"_s),
                      "[Varnholt]\nSettingFolder=" + settingFolder().toUtf8() + "\n"));
    writeSettings();
    writeKeyWords({u"速報"_s});
}

void tst_Collect::cleanup()
{
    m_portal.reset();
    m_dir.reset();
}

void tst_Collect::writeSettings(const QHash<QString, QString> &changes)
{
    const QList<std::pair<QString, QString>> defaults{
        {u"SaveFolder"_s, outFolder()},  {u"SaveFileName0"_s, u"VHT"_s},
        {u"SaveFileName1"_s, QString()}, {u"SaveFileName2"_s, QString()},
        {u"IgnoreKey"_s, u"0"_s},        {u"NoCopyINI"_s, u"1"_s},
        {u"OverWrite"_s, u"0"_s},        {u"Yesterday"_s, u"0"_s},
        {u"NoKeyWord"_s, u"0"_s},        {u"Category"_s, u"1,1,0,0,0,0,0,0,0,0,0,0"_s},
    };
    QString text;
    for (const auto &[key, value] : defaults)
        text += key + u" = "_s + changes.value(key, value) + u"\r\n"_s;
    // Items beyond those every save writes follow them, as a save that turned them on leaves them.
    for (auto it = changes.cbegin(); it != changes.cend(); ++it) {
        if (std::none_of(defaults.cbegin(), defaults.cend(),
                         [&](const auto &item) { return item.first == it.key(); }))
            text += it.key() + u" = "_s + it.value() + u"\r\n"_s;
    }
    QVERIFY(writeFile(settingFolder() + u"/varnholt.ini"_s, CodePage::toCp932(text)));
}

void tst_Collect::writeKeyWords(const QStringList &words)
{
    QString text;
    for (const QString &word : words)
        text += word + u"\r\n"_s;
    QVERIFY(writeFile(settingFolder() + u"/KeyWord.txt"_s, CodePage::toCp932(text)));
}

ChildRun tst_Collect::runVarnholt(const QStringList &switches, const QHash<QString, QString> &env)
{
    return runVarnholtAt(base(), QStringList{u"/AutoGet"_s} + switches, env);
}

ChildRun tst_Collect::runVarnholtAt(const QString &baseUrl, const QStringList &arguments,
                                    const QHash<QString, QString> &env)
{
    QProcessEnvironment environment = headlessEnvironment(m_dir->path(), u"tester"_s);
    environment.insert(u"VARNHOLT_BASE_URL"_s, baseUrl);
    for (auto it = env.cbegin(); it != env.cend(); ++it)
        environment.insert(it.key(), it.value());
    return runToEnd(QStringLiteral(VARNHOLT_BINARY), arguments, environment);
}

void tst_Collect::writeListPages(const QString &prefix, const QList<int> &dom,
                                 const QList<int> &intl)
{
    const QString folder = m_dir->filePath(u"root/headlines/"_s) + prefix;
    QVERIFY(writeFile(folder + u"dom/index.html"_s, headlinePage(dom).toUtf8()));
    QVERIFY(writeFile(folder + u"int/index.html"_s, headlinePage(intl).toUtf8()));
}

QStringList tst_Collect::portalLog() const
{
    return QString::fromUtf8(readFile(m_dir->filePath(u"portal.log"_s))).split(u'\n');
}

QByteArray tst_Collect::expected(const QString &layout, const QList<int> &numbers,
                                 const QString &tag) const
{
    const QDateTime now = QDateTime::currentDateTime();
    const QString date = now.toString(u"yyyy/MM/dd"_s);
    const QString dateTime = now.toString(u"yyyy/MM/dd(HH:mm)"_s);
    const QString tagText = tag.isEmpty() ? QString() : tag + u"＠"_s;
    QString out;
    for (int n : numbers) {
        const Article &a = article(n);
        const QString address = url(n);
        if (layout == u"qfw"_s) {
            out +=
                date + u"："_s + tagText + a.title + u'\x01' + address + u'\x01' + a.body + u'\x01';
        } else if (layout == u"csv"_s) {
            out += tagText + a.title + u',' + address + u',' +
                   QString(a.body).replace(u"\r\n"_s, u","_s) + u"\r\n"_s;
        } else {
            const QString head = layout == u"qfb"_s ? date + u"："_s : dateTime + u"：［題］"_s;
            out += u"@\r\n"_s + head + tagText + a.title + u" - "_s + address + u"\r\n"_s +
                   QString(78, u'-') + u"\r\n"_s + a.body + u"\r\n"_s + QString(78, u'=') +
                   u"\r\n"_s;
        }
    }
    return CodePage::toCp932(out);
}

void tst_Collect::layouts_data()
{
    QTest::addColumn<QStringList>("switches");
    QTest::addColumn<QString>("layout");

    QTest::newRow("qfw by default") << QStringList{} << u"qfw"_s;
    QTest::newRow("qfb") << QStringList{u"/qfb"_s} << u"qfb"_s;
    QTest::newRow("qfk") << QStringList{u"/qfk"_s} << u"qfk"_s;
    QTest::newRow("csv") << QStringList{u"/csv"_s} << u"csv"_s;
    QTest::newRow("qfb wins over csv") << QStringList{u"/csv"_s, u"/qfb"_s} << u"qfb"_s;
}

void tst_Collect::layouts()
{
    QFETCH(QStringList, switches);
    QFETCH(QString, layout);

    const QByteArray before = expected(layout, {1, 3, 4}, u"速報"_s);
    const ChildRun run = runVarnholt(switches);
    const QByteArray after = expected(layout, {1, 3, 4}, u"速報"_s);

    QCOMPARE(run.exitCode, 0);
    const QByteArray written = readFile(outFolder() + u"/VHT."_s + layout);
    // The time stamps may have crossed a minute while the run worked.
    if (written != before)
        QCOMPARE(written, after);
}

void tst_Collect::keyWordModes_data()
{
    QTest::addColumn<QStringList>("switches");
    QTest::addColumn<QString>("ignoreKey"); // the stored keyword option
    QTest::addColumn<QStringList>("keyWords");
    QTest::addColumn<QStringList>("lines"); // csv, as "tag@title" per record

    const QStringList hits{u"速報＠速報 株価が上昇"_s, u"速報＠速報 円相場"_s,
                           u"速報＠海外で速報"_s};
    QTest::newRow("mode 0 from settings")
        << QStringList{} << u"0"_s << QStringList{u"速報"_s} << hits;
    QTest::newRow("mode 1 from settings")
        << QStringList{} << u"1"_s << QStringList{u"速報"_s}
        << QStringList{u"速報＠速報 株価が上昇"_s, u"記事なし＠天気の話題"_s,
                       u"速報＠速報 円相場"_s, u"速報＠海外で速報"_s};
    QTest::newRow("mode 2 by switch")
        << QStringList{u"/IgnoreKey"_s} << u"0"_s << QStringList{u"速報"_s}
        << QStringList{u"速報＠速報 株価が上昇"_s, u"その他＠天気の話題"_s, u"速報＠速報 円相場"_s,
                       u"速報＠海外で速報"_s};
    QTest::newRow("empty list, mode 0: nothing")
        << QStringList{} << u"0"_s << QStringList{} << QStringList{};
    QTest::newRow("empty list, mode 1: addresses only")
        << QStringList{u"/GetOnlyURL"_s} << u"0"_s << QStringList{}
        << QStringList{u"記事なし＠速報 株価が上昇"_s, u"記事なし＠天気の話題"_s,
                       u"記事なし＠速報 円相場"_s, u"記事なし＠海外で速報"_s};
    QTest::newRow("no tag with /NoAddKey")
        << QStringList{u"/NoAddKey"_s} << u"0"_s << QStringList{u"速報"_s}
        << QStringList{u"速報 株価が上昇"_s, u"速報 円相場"_s, u"海外で速報"_s};
}

void tst_Collect::keyWordModes()
{
    QFETCH(QStringList, switches);
    QFETCH(QString, ignoreKey);
    QFETCH(QStringList, keyWords);
    QFETCH(QStringList, lines);

    writeSettings({{u"IgnoreKey"_s, ignoreKey}});
    writeKeyWords(keyWords);
    const ChildRun run = runVarnholt(switches + QStringList{u"/csv"_s});

    QCOMPARE(run.exitCode, 0);
    QStringList records = CodePage::fromCp932(readFile(outFolder() + u"/VHT.csv"_s))
                              .split(u"\r\n"_s, Qt::SkipEmptyParts);
    for (QString &record : records)
        record = record.section(u',', 0, 0);
    QCOMPARE(records, lines);
    // Address-only records are never fetched.
    const bool fetchedWeather = portalLog().contains(u"GET /a/2"_s);
    QCOMPARE(fetchedWeather, lines.contains(u"その他＠天気の話題"_s));
}

void tst_Collect::yesterdayPass_readsPreviousDayWithoutDuplicates()
{
    writeSettings({{u"Yesterday"_s, u"1"_s}});
    const ChildRun run = runVarnholt({u"/csv"_s});

    QCOMPARE(run.exitCode, 0);
    const QStringList log = portalLog();
    const QString day = yesterdayPrefix();
    QVERIFY(log.contains(u"GET /headlines/"_s + day + u"/dom/"_s));
    QVERIFY(log.contains(u"GET /headlines/"_s + day + u"/int/"_s));
    // Today's pages first, each article once.
    QVERIFY(log.indexOf(u"GET /headlines/int/"_s) <
            log.indexOf(u"GET /headlines/"_s + day + u"/dom/"_s));
    QCOMPARE(log.count(u"GET /a/1"_s), 1);
    QCOMPARE(log.count(u"GET /a/3"_s), 1);
    QCOMPARE(readFile(outFolder() + u"/VHT.csv"_s), expected(u"csv"_s, {1, 3, 4, 5}, u"速報"_s));
}

void tst_Collect::fileNameSwitches_data()
{
    QTest::addColumn<QStringList>("switches");
    QTest::addColumn<QString>("file"); // below the temporary folder

    const QString yymm = QDate::currentDate().toString(u"yyMM"_s);
    QTest::newRow("F1 F2 F3") << QStringList{u"/F1news"_s, u"/F2yymm"_s, u"/F3_x"_s}
                              << u"out/news"_s + yymm + u"_x.qfw"_s;
    QTest::newRow("F2 empty") << QStringList{u"/F1clip"_s, u"/F2"_s} << u"out/clip.qfw"_s;
    QTest::newRow("FO") << QStringList{u"/FO<dir>/other"_s} << u"other/VHT.qfw"_s;
}

void tst_Collect::fileNameSwitches()
{
    QFETCH(QStringList, switches);
    QFETCH(QString, file);
    QVERIFY(QDir().mkpath(m_dir->filePath(u"other"_s)));
    switches.replaceInStrings(u"<dir>"_s, m_dir->path());

    const ChildRun run = runVarnholt(switches);

    QCOMPARE(run.exitCode, 0);
    QCOMPARE(readFile(m_dir->filePath(file)), expected(u"qfw"_s, {1, 3, 4}, u"速報"_s));
}

void tst_Collect::appendOrOverwrite_data()
{
    QTest::addColumn<QStringList>("switches");
    QTest::addColumn<QString>("overWrite"); // the stored setting
    QTest::addColumn<int>("copies");

    QTest::newRow("append by default") << QStringList{} << u"0"_s << 2;
    QTest::newRow("overwrite by setting") << QStringList{} << u"1"_s << 1;
    QTest::newRow("overwrite by switch") << QStringList{u"/OverWrite"_s} << u"0"_s << 1;
    QTest::newRow("append switch beats the setting") << QStringList{u"/Append"_s} << u"1"_s << 2;
    QTest::newRow("overwrite wins over append")
        << QStringList{u"/Append"_s, u"/OverWrite"_s} << u"0"_s << 1;
}

void tst_Collect::appendOrOverwrite()
{
    QFETCH(QStringList, switches);
    QFETCH(QString, overWrite);
    QFETCH(int, copies);
    writeSettings({{u"OverWrite"_s, overWrite}});

    QCOMPARE(runVarnholt(switches + QStringList{u"/csv"_s}).exitCode, 0);
    QCOMPARE(runVarnholt(switches + QStringList{u"/csv"_s}).exitCode, 0);

    const QByteArray once = expected(u"csv"_s, {1, 3, 4}, u"速報"_s);
    QCOMPARE(readFile(outFolder() + u"/VHT.csv"_s), once.repeated(copies));
}

void tst_Collect::companionIni_data()
{
    QTest::addColumn<QString>("noCopyIni");
    QTest::addColumn<bool>("copied");

    QTest::addColumn<bool>("ownCopy");

    QTest::newRow("NoCopyINI off: copied") << u"0"_s << true << true;
    QTest::newRow("NoCopyINI on: not copied") << u"1"_s << false << true;
    QTest::newRow("NoCopyINI greyed: not copied") << u"2"_s << false << true;
    QTest::newRow("none in the program folder: the shipped one") << u"0"_s << true << false;
}

void tst_Collect::companionIni()
{
    QFETCH(QString, noCopyIni);
    QFETCH(bool, copied);
    QFETCH(bool, ownCopy);
    // The build places Default.ini beside the executable; a program folder's own copy wins.
    const QString shipped =
        QFileInfo(QStringLiteral(VARNHOLT_BINARY)).absolutePath() + u"/Default.ini"_s;
    QVERIFY2(QFile::exists(shipped), qPrintable(shipped));
    const QString own = m_dir->filePath(u"home/Default.ini"_s);
    if (ownCopy)
        QVERIFY(writeFile(own, "; the program folder's own\r\n"));
    writeSettings({{u"NoCopyINI"_s, noCopyIni}});

    QCOMPARE(runVarnholt({}).exitCode, 0);

    QCOMPARE(QFile::exists(outFolder() + u"/VHT.ini"_s), copied);
    if (copied)
        QCOMPARE(readFile(outFolder() + u"/VHT.ini"_s), readFile(ownCopy ? own : shipped));
}

void tst_Collect::outputNotWritable_statusOneSettingsSaved()
{
    // An ordinary file where the output folder should be: not even root can write below it.
    QVERIFY(writeFile(m_dir->filePath(u"blocker"_s), "x"));
    writeKeyWords({u"速報"_s, u"円"_s});
    QVERIFY(writeFile(settingFolder() + u"/varnholt.ini"_s,
                      "Category = 1,0,0,0,0,0,0,0,0,0,0,0\r\nNoCopyINI = 1\r\n"));

    const ChildRun run = runVarnholt({u"/FO"_s + m_dir->filePath(u"blocker"_s)});

    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.errors.contains(u"ファイルが保存できませんでした。"_s), qPrintable(run.errors));
    // The settings were saved all the same: every key is written back.
    const QString ini = CodePage::fromCp932(readFile(settingFolder() + u"/varnholt.ini"_s));
    QVERIFY2(ini.contains(u"SaveFileName0"_s), qPrintable(ini));
    QCOMPARE(CodePage::fromCp932(readFile(settingFolder() + u"/KeyWord.txt"_s)),
             u"円\r\n速報\r\n"_s);
}

void tst_Collect::outputUnusable_endsBeforeAnyRequest_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QStringList>("switches");
    QTest::addColumn<QString>("path"); // the output file told about, below the test's folder
    QTest::addColumn<QString>("reason");

    const QString longName = QString(300, u'長');
    QTest::newRow("read-only file system") << u"read-only"_s << QStringList{} << u"out/VHT.qfw"_s
                                           << u"out: 読み取り専用のファイルシステムです"_s;
    QTest::newRow("300-character name")
        << QString() << QStringList{u"/F1"_s + longName} << u"out/"_s + longName + u".qfw"_s
        << u"ファイル名が長すぎます"_s;
    QTest::newRow("file where the folder should be")
        << u"blocker"_s << QStringList{u"/FO<dir>/blocker"_s} << u"blocker/VHT.qfw"_s
        << u"フォルダの代わりにファイルがあります"_s;
}

void tst_Collect::outputUnusable_endsBeforeAnyRequest()
{
    QFETCH(QString, fault);
    QFETCH(QStringList, switches);
    QFETCH(QString, path);
    QFETCH(QString, reason);
    std::optional<TmpfsMount> disk;
    if (fault == u"read-only"_s) {
        disk.emplace(outFolder(), 256 * 1024);
        if (!disk->failure().isEmpty())
            QSKIP(qPrintable(disk->failure()));
        QVERIFY(disk->makeReadOnly());
    } else if (fault == u"blocker"_s) {
        QVERIFY(writeFile(m_dir->filePath(u"blocker"_s), "x"));
    }
    writeKeyWords({u"速報"_s, u"円"_s});
    switches.replaceInStrings(u"<dir>"_s, m_dir->path());

    const ChildRun run = runVarnholt(switches);

    QCOMPARE(run.exitCode, 1);
    const QString told =
        u"Varnholt: ファイルが保存できませんでした。\n"
        u"Varnholt: ディスクが入っているか。又は、フォルダ、ファイル名を確認してください。\n"
        u"Varnholt: \n"
        u"Varnholt: "_s +
        m_dir->filePath(path) + u"\nVarnholt: "_s +
        (reason.startsWith(u"out: "_s) ? outFolder() + reason.mid(3) : reason) + u'\n';
    QVERIFY2(run.errors.contains(told), qPrintable(run.errors));
    // Told at once: nothing was asked of the portal.
    QVERIFY2(portalLog().filter(u"GET "_s).isEmpty(), qPrintable(portalLog().join(u'\n')));
    // The settings and the keywords were saved, as after any run whose output failed.
    const QString ini = CodePage::fromCp932(readFile(settingFolder() + u"/varnholt.ini"_s));
    QVERIFY2(ini.contains(u"SaveFileName0"_s), qPrintable(ini));
    QCOMPARE(CodePage::fromCp932(readFile(settingFolder() + u"/KeyWord.txt"_s)),
             u"円\r\n速報\r\n"_s);
    QCOMPARE(QDir(outFolder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList());
}

void tst_Collect::portalNotRunning_saysWhereAndHowToStartIt()
{
    // Nothing listens on port 1.
    const ChildRun run = runVarnholtAt(u"http://127.0.0.1:1"_s, {u"/AutoGet"_s, u"/Log"_s});

    QCOMPARE(run.exitCode, 3);
    // Each question: the fixed text, then what happened where and what to do about it.
    const QString told =
        u"Varnholt: 処理がタイムアウトしました。\n"
        u"Varnholt: 再度取得しますか？\n"
        u"Varnholt: \n"
        u"Varnholt: 接続を拒否されました: http://127.0.0.1:1/headlines/dom/\n"
        u"Varnholt: ポータル http://127.0.0.1:1 が起動していない可能性があります。\n"
        u"Varnholt: 起動するには: systemctl --user start varnholt-portal.service\n"
        u"Varnholt: (ビルドしたものなら: varnholt-portal &)\n"
        u"Varnholt: -> Yes\n"_s;
    QVERIFY2(run.errors.contains(told), qPrintable(run.errors));
    // libcurl's English stays in the log, beside the same lines.
    QVERIFY2(!run.errors.contains(u"Failed to connect"_s), qPrintable(run.errors));
    const QString log = readCp932(m_dir->filePath(u"home/DebugLog.txt"_s));
    QVERIFY2(log.contains(u"http://127.0.0.1:1/headlines/dom/: Failed to connect"_s),
             qPrintable(log));
    QVERIFY2(log.contains(u"ポータル http://127.0.0.1:1 が起動していない可能性があります。"_s),
             qPrintable(log));
}

void tst_Collect::settingsNotWritable_statusOneNamesPath()
{
    // A folder in place of the settings file: loading finds nothing, saving must fail loudly.
    const QString iniPath = settingFolder() + u"/varnholt.ini"_s;
    QVERIFY(QFile::remove(iniPath));
    QVERIFY(QDir().mkpath(iniPath));

    const ChildRun run = runVarnholt({});

    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.errors.contains(iniPath), qPrintable(run.errors));
    // The run itself wrote its output.
    QVERIFY(QFile::exists(settingFolder() + u"/KeyWord.txt"_s));
}

void tst_Collect::pageStaysEmpty_givesUpAfterTwoRetries()
{
    QVERIFY(writeFile(m_dir->filePath(u"root/headlines/dom/index.html"_s),
                      "<ul>\n<li><a href=/a/empty>\xe9\x80\x9f\xe5\xa0\xb1</a></li>\n</ul>\n"));

    const ChildRun run = runVarnholt({});

    QCOMPARE(run.exitCode, 1);
    // One silent re-request, two retries answered Yes, then No.
    QCOMPARE(portalLog().count(u"GET /a/empty"_s), 4);
    QVERIFY(!QFile::exists(outFolder() + u"/VHT.qfw"_s));
    QVERIFY(QFile::exists(settingFolder() + u"/varnholt.ini"_s));
}

void tst_Collect::brokenPages_everyRecordWrittenNothingLost()
{
    // One category whose articles are the portal's broken replies, and whose next page is binary
    // garbage: the run still ends normally and writes a record per headline.
    const QString root = m_dir->filePath(u"root"_s);
    const QList<std::pair<QString, QString>> items{
        {u"/fault/garbage"_s, u"速報 壊れた記事"_s}, {u"/raw/bad"_s, u"速報 不正な文字"_s},
        {u"/fault/nul"_s, u"速報 NUL入り"_s},        {u"/fault/lf"_s, u"速報 LF改行"_s},
        {u"/fault/gzip"_s, u"速報 圧縮"_s},          {u"/fault/status/500"_s, u"速報 エラー応答"_s},
    };
    QList<PortalPages::Headline> headlines;
    for (const auto &[path, title] : items)
        headlines.append({path, title});
    const QString list = PortalPages::headlinePage(headlines, u"/raw/list"_s);
    QVERIFY(writeFile(root + u"/headlines/bus/index.html"_s, list.toUtf8()));
    QVERIFY(writeFile(root + u"/raw/bad"_s, "<!-- TextStart -->\xff\xfe ok\x8e<!-- TextEnd -->"));
    QByteArray garbage;
    for (int i = 0; i < 4096; ++i)
        garbage += char((i * 131 + 7) % 256);
    QVERIFY(writeFile(root + u"/raw/list"_s, garbage));
    writeSettings({{u"Category"_s, u"0,0,1,0,0,0,0,0,0,0,0,0"_s}});

    const ChildRun run = runVarnholt({u"/csv"_s});

    QCOMPARE(run.exitCode, 0);
    QVERIFY(portalLog().contains(u"GET /raw/list"_s));
    const QStringList lines = CodePage::fromCp932(readFile(outFolder() + u"/VHT.csv"_s))
                                  .split(u"\r\n"_s, Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), items.size());
    for (qsizetype i = 0; i < items.size(); ++i) {
        const QString &line = lines.at(i);
        QCOMPARE(line.section(u',', 0, 0), u"速報＠"_s + items.at(i).second);
        QCOMPARE(line.section(u',', 1, 1), base() + items.at(i).first);
        const QString body = line.section(u',', 2);
        if (items.at(i).first == u"/fault/garbage"_s || items.at(i).first == u"/fault/nul"_s)
            QVERIFY2(body.isEmpty(), qPrintable(line)); // no end marker survives
        else if (items.at(i).first == u"/raw/bad"_s)
            QCOMPARE(body, u"?? ok?"_s); // undecodable bytes become "?", the rest is kept
        else
            QVERIFY2(!body.isEmpty(), qPrintable(line));
    }
}

void tst_Collect::exitStatus_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QStringList>("summary"); // parts of the last line; none: no summary

    const QStringList autoGet{u"/AutoGet"_s};
    QTest::newRow("every page fetched: 0")
        << QString() << autoGet << 0
        << QStringList{u"Varnholt: 3 record(s) written to <out>/VHT.qfw; every page fetched"_s};
    QTest::newRow("an article's request fails: 3")
        << u"article"_s << autoGet << 3
        << QStringList{u"Varnholt: 4 record(s) written to <out>/VHT.qfw"_s,
                       u"1 page(s) not fetched: <base>/fault/reset"_s};
    QTest::newRow("a list page's request fails: 3")
        << u"list"_s << autoGet << 3
        << QStringList{u"Varnholt: 3 record(s) written to <out>/VHT.qfw"_s,
                       u"1 page(s) not fetched: <base>/fault/reset"_s};
    QTest::newRow("the portal refuses every request: 3")
        << u"refused"_s << autoGet << 3
        << QStringList{u"Varnholt: 0 record(s) written to <out>/VHT.qfw"_s,
                       u"2 page(s) not fetched: http://127.0.0.1:1/headlines/dom/ "
                       "http://127.0.0.1:1/headlines/int/"_s,
                       u"the portal at http://127.0.0.1:1 refused the connection and may not be "
                       "running (start it with `systemctl --user start varnholt-portal.service`, "
                       "or `varnholt-portal &` from a build)"_s};
    QTest::newRow("output not writable: 1")
        << u"blocked"_s << QStringList{u"/AutoGet"_s, u"/FO<dir>/blocker"_s} << 1
        << QStringList{u"Varnholt: nothing written to <dir>/blocker/VHT.qfw"_s};
    QTest::newRow("no display and no /AutoGet: 2")
        << QString() << QStringList{u"/HideMe"_s} << 2 << QStringList{};
    QTest::newRow("nothing ticked, no display: 0")
        << u"unticked"_s << QStringList{u"/AutoGet"_s, u"/HideMe"_s, u"/csv"_s} << 0
        << QStringList{u"Varnholt: 0 record(s) written to <out>/VHT.csv; every page fetched"_s};
#ifdef VARNHOLT_WITH_WINDOWS
    // The windows come from a module of their own: it must be found and run the same start-up.
    QTest::newRow("nothing ticked, windows: 0")
        << u"unticked windows"_s << QStringList{u"/AutoGet"_s, u"/HideMe"_s, u"/csv"_s} << 0
        << QStringList{};
#endif
}

void tst_Collect::exitStatus()
{
    QFETCH(QString, fault);
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QStringList, summary);

    const QString root = m_dir->filePath(u"root"_s);
    QString baseUrl = base();
    if (fault == u"article"_s) {
        QVERIFY(writeFile(
            root + u"/headlines/dom/index.html"_s,
            headlinePage({1}, u"/headlines/dom/2"_s)
                .replace(u"</ul>"_s, u"<li><a href=/fault/reset>速報 切断</a></li>\n</ul>"_s)
                .toUtf8()));
    } else if (fault == u"list"_s) {
        QVERIFY(writeFile(root + u"/headlines/dom/2.html"_s,
                          headlinePage({3}, u"/fault/reset"_s).toUtf8()));
    } else if (fault == u"refused"_s) {
        baseUrl = u"http://127.0.0.1:1"_s; // nothing listens on port 1
    } else if (fault == u"blocked"_s) {
        QVERIFY(writeFile(m_dir->filePath(u"blocker"_s), "x"));
    }
    QHash<QString, QString> env;
    if (fault.startsWith(u"unticked"_s))
        writeSettings({{u"Category"_s, u"0,0,0,0,0,0,0,0,0,0,0,0"_s}});
    if (fault.endsWith(u"windows"_s))
        env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    arguments.replaceInStrings(u"<dir>"_s, m_dir->path());

    const ChildRun run = runVarnholtAt(baseUrl, arguments, env);

    QCOMPARE(run.exitCode, status);
    if (fault.startsWith(u"unticked"_s)) {
        QVERIFY2(QFileInfo::exists(outFolder() + u"/VHT.csv"_s), qPrintable(run.errors));
        QVERIFY2(portalLog().filter(u"GET "_s).isEmpty(), qPrintable(portalLog().join(u'\n')));
    }
    const QStringList lines = run.errors.split(u'\n', Qt::SkipEmptyParts);
    const QString last = lines.isEmpty() ? QString() : lines.last();
    if (summary.isEmpty())
        QVERIFY2(!run.errors.contains(u"record(s)"_s), qPrintable(run.errors));
    for (QString part : summary) {
        part.replace(u"<out>"_s, outFolder()).replace(u"<base>"_s, base());
        part.replace(u"<dir>"_s, m_dir->path());
        QVERIFY2(last.contains(part), qPrintable(part + u"\n---\n"_s + run.errors));
    }
}

void tst_Collect::endlessNextPages_walkBoundedNextCategoryRead()
{
    // Every page of this chain links to a page never seen before.
    QVERIFY(writeFile(m_dir->filePath(u"root/headlines/dom/index.html"_s),
                      headlinePage({1, 2}, u"/fault/endless/1"_s).toUtf8()));

    const ChildRun run = runVarnholt({u"/csv"_s, u"/HideMe"_s});

    QCOMPARE(run.exitCode, 3);
    const QStringList log = portalLog();
    // The first page and 999 of the chain: a thousand pages in all.
    QCOMPARE(log.filter(QRegularExpression(u"^GET /fault/endless/\\d+$"_s)).size(), 999);
    QVERIFY(!log.contains(u"GET /fault/endless/1000"_s));
    QVERIFY(log.contains(u"GET /headlines/int/"_s));
    QCOMPARE(readFile(outFolder() + u"/VHT.csv"_s), expected(u"csv"_s, {1, 3, 4}, u"速報"_s));
    QVERIFY2(run.errors.contains(u"1 page(s) not fetched: "_s + base() + u"/fault/endless/1000"_s),
             qPrintable(run.errors));
}

void tst_Collect::fullDisk_oldFilesWholeStatusOne_data()
{
    QTest::addColumn<QString>("full"); // "settings" or "output": the folder on the full disk
    QTest::addColumn<QStringList>("switches");
    QTest::addColumn<qint64>("room");      // bytes left free on it
    QTest::addColumn<QStringList>("kept"); // files there that must keep their old bytes

    QTest::newRow("keywords and settings") << u"settings"_s << QStringList{} << qint64(0)
                                           << QStringList{u"KeyWord.txt"_s, u"varnholt.ini"_s};
    QTest::newRow("overwritten output")
        << u"output"_s << QStringList{u"/OverWrite"_s} << qint64(0) << QStringList{u"VHT.qfw"_s};
    QTest::newRow("appended output")
        << u"output"_s << QStringList{} << qint64(0) << QStringList{u"VHT.qfw"_s};
    // Room for the small output, not for the large companion.
    QTest::newRow("companion INI") << u"output"_s << QStringList{u"/OverWrite"_s}
                                   << qint64(12 * 1024) << QStringList{u"VHT.ini"_s};
    QTest::newRow("new output: no empty file left")
        << u"output"_s << QStringList{u"/F1fresh"_s} << qint64(0) << QStringList{};
}

void tst_Collect::fullDisk_oldFilesWholeStatusOne()
{
    QFETCH(QString, full);
    QFETCH(QStringList, switches);
    QFETCH(qint64, room);
    QFETCH(QStringList, kept);
    const QString folder = full == u"settings"_s ? settingFolder() : outFolder();
    const TmpfsMount disk(folder, 1024 * 1024);
    if (!disk.failure().isEmpty())
        QSKIP(qPrintable(disk.failure()));
    // The mount hides what init() wrote there: the files are written anew on the small disk.
    writeSettings({{u"NoCopyINI"_s, u"0"_s}});
    writeKeyWords({u"速報"_s});
    QVERIFY(writeFile(outFolder() + u"/VHT.qfw"_s, "records of an earlier run\x01"_ba));
    QVERIFY(writeFile(outFolder() + u"/VHT.ini"_s, "; the companion of an earlier run\r\n"_ba));
    QHash<QString, QByteArray> old;
    for (const QString &name : kept)
        old.insert(name, readFile(folder + u'/' + name));
    // The program folder's own Default.ini, far larger than the room left.
    QVERIFY(writeFile(m_dir->filePath(u"home/Default.ini"_s), QByteArray(200'000, ';')));
    QVERIFY(disk.fill());
    QVERIFY(disk.release(room));

    const ChildRun run = runVarnholt(switches);

    QCOMPARE(run.exitCode, 1);
    QCOMPARE(QFile::exists(outFolder() + u"/fresh.qfw"_s), false);
    for (const QString &name : kept) {
        QVERIFY2(run.errors.contains(folder + u'/' + name + u": "_s), qPrintable(run.errors));
        QCOMPARE(readFile(folder + u'/' + name), old.value(name));
    }
    QVERIFY2(run.errors.contains(u"No space left on device"_s), qPrintable(run.errors));
}

// A folder that takes no file at all is found before the run (outputUnusable_...); a full one
// takes the empty probe, but not the bodies.
void tst_Collect::spoolUnavailable_toldInLogOutputAsWithout()
{
    const QString folder = outFolder();
    const TmpfsMount disk(outFolder(), 256 * 1024);
    if (!disk.failure().isEmpty())
        QSKIP(qPrintable(disk.failure()));
    QVERIFY(writeFile(outFolder() + u"/VHT.qfw"_s, "records of an earlier run\x01"_ba));
    QVERIFY(disk.fill());

    const ChildRun run = runVarnholt({u"/Log"_s, u"/FO"_s + folder});

    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.errors.contains(u"ファイルが保存できませんでした。"_s), qPrintable(run.errors));
    const QString log = readCp932(m_dir->filePath(u"home/DebugLog.txt"_s));
    const QString told = u"記事の本文を一時ファイルに書き込めないため、メモリに保持します。\r\n"_s +
                         folder + u": temporary file: No space left on device\r\n"_s;
    QVERIFY2(log.count(told) == 1, qPrintable(log));
    QCOMPARE(readFile(outFolder() + u"/VHT.qfw"_s), "records of an earlier run\x01"_ba);
    QCOMPARE(QDir(outFolder()).entryList(QDir::Files | QDir::Hidden),
             (QStringList{u"filler"_s, u"VHT.qfw"_s}));
}

void tst_Collect::killedWithBodiesSpooled_nothingLeftBeside()
{
    QVERIFY(writeFile(outFolder() + u"/VHT.qfw"_s, "records of an earlier run\x01"_ba));

    const ChildRun killed = runVarnholt({}, {{u"VARNHOLT_TEST_KILL_AT"_s, u"bodies"_s}});

    QCOMPARE(killed.exitCode, -1);
    QCOMPARE(QDir(outFolder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{u"VHT.qfw"_s});
    QCOMPARE(readFile(outFolder() + u"/VHT.qfw"_s), "records of an earlier run\x01"_ba);
}

void tst_Collect::longSettingsLine_fileKeptPersonTold()
{
    // Line 3 of 11 holds a value longer than an INI line may be.
    const QByteArray ini = CodePage::toCp932(QString(
        u"SaveFolder = "_s + outFolder() + u"\r\nSaveFileName0 = clip\r\nSaveFileName1 = "_s +
        QString(40'000, u'y') +
        u"\r\nSaveFileName2 = \r\nIgnoreKey = 0\r\nNoCopyINI = 1\r\nOverWrite = 0\r\n"
        u"Yesterday = 0\r\nNoKeyWord = 0\r\nCategory = 1,1,0,0,0,0,0,0,0,0,0,0\r\n; end\r\n"_s));
    const QString path = settingFolder() + u"/varnholt.ini"_s;
    QVERIFY(writeFile(path, ini));

    const ChildRun run = runVarnholt({});

    // The load rule holds: nothing after line 3 was read, so no category was ticked.
    QVERIFY2(run.errors.contains(path + u": line 3 "_s), qPrintable(run.errors));
    QVERIFY(!portalLog().contains(u"GET /headlines/dom/"_s));
    // Not a full success: the settings could not be saved as usual.
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(readFile(path), ini);
    // The keyword list, read whole, was saved as always.
    QCOMPARE(CodePage::fromCp932(readFile(settingFolder() + u"/KeyWord.txt"_s)), u"速報\r\n"_s);
}

namespace {

// Two mornings in a row, far from the real clock; the previous day's pages of each.
const QDate Day1(2030, 5, 1);
const QDate Day2 = Day1.addDays(1);

QString prefixOf(QDate day)
{
    return day.toString(u"yyMMdd"_s) + u'/';
}

QHash<QString, QString> onDay(QDate day)
{
    return {{u"VARNHOLT_TEST_TODAY"_s, day.toString(u"yyyy-MM-dd"_s)}};
}

} // namespace

void tst_Collect::skipSaved_twoDays_data()
{
    QTest::addColumn<QString>("skipSaved");
    QTest::addColumn<QList<int>>("secondDay"); // the records the second morning adds

    QTest::newRow("on: nothing is saved twice") << u"1"_s << QList<int>{6};
    QTest::newRow("off: the previous day's pass repeats them") << u"0"_s << QList<int>{6, 1, 3, 4};
    QTest::newRow("greyed counts as off") << u"2"_s << QList<int>{6, 1, 3, 4};
}

void tst_Collect::skipSaved_twoDays()
{
    QFETCH(QString, skipSaved);
    QFETCH(QList<int>, secondDay);
    const bool on = skipSaved == u"1"_s;
    writeSettings({{u"Yesterday"_s, u"1"_s}, {u"SkipSaved"_s, skipSaved}});
    // Switched off, the run must not even read the record: a damaged one stays unnoticed.
    const QByteArray garbage = "not a record\n";
    if (!on)
        QVERIFY(writeFile(recordPath(), garbage));

    writeListPages(QString(), {1, 2}, {3, 4});
    writeListPages(prefixOf(Day1.addDays(-1)), {5}, {});
    const ChildRun first = runVarnholt({u"/csv"_s}, onDay(Day1));
    QCOMPARE(first.exitCode, 0);

    // The next morning: yesterday's pages hold what the first run saved as today's.
    writeListPages(QString(), {6}, {});
    writeListPages(prefixOf(Day1), {1, 2, 3}, {4});
    const ChildRun second = runVarnholt({u"/csv"_s, u"/Debug"_s}, onDay(Day2));
    QCOMPARE(second.exitCode, 0);

    QCOMPARE(readFile(outFolder() + u"/VHT.csv"_s),
             expected(u"csv"_s, QList<int>{1, 3, 4, 5} + secondDay, u"速報"_s));
    QCOMPARE(portalLog().count(u"GET /a/1"_s), on ? 1 : 2);
    QCOMPARE(second.errors.contains(u"速報 株価が上昇は保存済みのため除外"_s), on);
    if (!on) {
        QCOMPARE(readFile(recordPath()), garbage);
        QVERIFY(!QFile::exists(recordPath() + u".damaged"_s));
        QVERIFY2(!second.errors.contains(u"保存済みの記事の記録"_s), qPrintable(second.errors));
        return;
    }
    const QString record = QString::fromUtf8(readFile(recordPath()));
    for (int n : {1, 3, 4, 5})
        QVERIFY2(record.contains(url(n) + u"\t2030-05-01\n"_s), qPrintable(record));
    QVERIFY2(record.contains(url(6) + u"\t2030-05-02\n"_s), qPrintable(record));
    QVERIFY2(!record.contains(url(2)), qPrintable(record)); // never saved
}

void tst_Collect::skipSaved_killedBeforeRecord_duplicatesAtMostThoseRecords()
{
    writeSettings({{u"Yesterday"_s, u"1"_s}, {u"SkipSaved"_s, u"1"_s}});
    writeListPages(QString(), {1, 2}, {3, 4});
    writeListPages(prefixOf(Day1.addDays(-1)), {5}, {});
    QHash<QString, QString> dying = onDay(Day1);
    dying.insert(u"VARNHOLT_TEST_KILL_AT"_s, u"record"_s);

    const ChildRun killed = runVarnholt({u"/csv"_s}, dying);

    QCOMPARE(killed.exitCode, -1);
    const QByteArray firstDay = expected(u"csv"_s, {1, 3, 4, 5}, u"速報"_s);
    QCOMPARE(readFile(outFolder() + u"/VHT.csv"_s), firstDay);
    QVERIFY(!QFile::exists(recordPath()));

    writeListPages(QString(), {6}, {});
    writeListPages(prefixOf(Day1), {1, 2, 3}, {4});
    QCOMPARE(runVarnholt({u"/csv"_s}, onDay(Day2)).exitCode, 0);

    // Nothing lost; only the killed run's records that came round again are there twice.
    QCOMPARE(readFile(outFolder() + u"/VHT.csv"_s),
             firstDay + expected(u"csv"_s, {6, 1, 3, 4}, u"速報"_s));
    const QString record = QString::fromUtf8(readFile(recordPath()));
    for (int n : {1, 3, 4, 6})
        QVERIFY2(record.contains(url(n) + u'\t'), qPrintable(record));
}

void tst_Collect::skipSaved_damagedRecord_setAsideRunGoesOn()
{
    writeSettings({{u"SkipSaved"_s, u"1"_s}});
    writeListPages(QString(), {1, 2}, {3, 4});
    // A good first line: if the run trusted the rest, it would leave article 1 out.
    const QByteArray damaged = (url(1) + u"\t2030-05-01\n"_s).toUtf8() + "\xff\xfe\x00cut";
    QVERIFY(writeFile(recordPath(), damaged));

    const ChildRun run = runVarnholt({u"/csv"_s}, onDay(Day1));

    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.errors.contains(u"Varnholt: 保存済みの記事の記録が壊れているため"_s),
             qPrintable(run.errors));
    QVERIFY2(run.errors.contains(recordPath() + u": "_s), qPrintable(run.errors));
    QCOMPARE(readFile(recordPath() + u".damaged"_s), damaged);
    QCOMPARE(readFile(outFolder() + u"/VHT.csv"_s), expected(u"csv"_s, {1, 3, 4}, u"速報"_s));
    // A new record holds this run's addresses.
    const QString record = QString::fromUtf8(readFile(recordPath()));
    for (int n : {1, 3, 4})
        QVERIFY2(record.contains(url(n) + u"\t2030-05-01\n"_s), qPrintable(record));
}

void tst_Collect::lostCharacters_namedPerRecordBytesUnchanged()
{
    writeListPages(QString(), {7, 1}, {});

    const ChildRun run = runVarnholt({u"/csv"_s, u"/Debug"_s});

    QCOMPARE(run.exitCode, 0);
    // Two in the title, one in the body; the record without losses is not named.
    QVERIFY2(run.errors.contains(u"速報 丂丄の話の3文字はCP932で表せないため「?」にしました。"_s),
             qPrintable(run.errors));
    QCOMPARE(run.errors.count(u"で表せないため"_s), 1);
    const QString last = run.errors.trimmed().section(u'\n', -1);
    QVERIFY2(last.startsWith(u"Varnholt: 2 record(s) written to "_s) &&
                 last.contains(u"; 3 character(s) CP932 cannot hold written as \"?\""_s),
             qPrintable(run.errors));
    QCOMPARE(readFile(outFolder() + u"/VHT.csv"_s), expected(u"csv"_s, {7, 1}, u"速報"_s));
}

QTEST_GUILESS_MAIN(tst_Collect)
#include "tst_collect.moc"
