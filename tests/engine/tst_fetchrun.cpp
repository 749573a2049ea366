// The run driven end to end over a table of pages: what is requested, recorded, written and
// saved, without a network.
#include "EngineTestSupport.h"
#include "PortalPages.h"
#include "ScriptedPrompter.h"
#include "engine/ArticleList.h"
#include "engine/CategoryCrawl.h"
#include "engine/FetchAction.h"
#include "engine/FetchProgress.h"
#include "engine/FetchRun.h"
#include "engine/HeadlineParser.h"
#include "engine/HttpTransport.h"
#include "engine/KeyWordMatcher.h"
#include "engine/PageFetcher.h"
#include "startup/ProgramState.h"
#include "util/CodePage.h"
#include "util/Version.h"

#include <QFile>
#include <QHash>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString kBase = u"http://portal.test:8642"_s;

// Serves pages from a table (EUC-JP on the wire); an address not in the table is an empty page.
class TablePortal final : public TestTransport
{
public:
    QHash<QString, QByteArray> pages;
    QStringList requested;

    void put(const QString &path, const QString &text)
    {
        pages.insert(kBase + path, CodePage::toEucJp(text));
    }

    HttpReply get(const QString &url) override
    {
        requested << url;
        // A walk that never ends shows up as a failed test, not as a hung one.
        if (requested.size() > 200)
            return {false, {}, url + u": too many requests"_s};
        return {true, pages.value(url), {}};
    }
};

// A transport that fails one address and serves the rest from a table.
class FailingPortal final : public TestTransport
{
public:
    TablePortal &inner;
    QString failing;
    int failuresLeft; // -1: every request of failing fails
    explicit FailingPortal(TablePortal &portal, QString url, int failures = -1)
        : inner(portal)
        , failing(std::move(url))
        , failuresLeft(failures)
    {}
    HttpReply get(const QString &url) override
    {
        if (url == failing && failuresLeft != 0) {
            if (failuresLeft > 0)
                --failuresLeft;
            inner.requested << url;
            return {false, {}, url + u": Timeout was reached"_s};
        }
        return inner.get(url);
    }
};

using PortalPages::articlePage;

QDateTime fixedNow()
{
    return QDateTime(QDate(2024, 3, 1), QTime(10, 30));
}

// One run's world: settings, a portal table, the services, and the output folder.
struct Fixture
{
    QTemporaryDir dir;
    ProgramState state;
    TablePortal portal;
    ScriptedPrompter prompter;
    RecordingProgress progress;
    QStringList log;
    RunServices services{portal, prompter, progress, fixedNow};

    Fixture()
    {
        prepareRunState(state, dir.path());
        state.BaseURL = kBase;
        state.log.setOptions(true, false);
        state.log.setWindowSink([this](const QString &line) { log << line.section(u" ] "_s, 1); });
    }

    RunInput input()
    {
        return {state.settings, state.keyWords, state.runOptions, state.BaseURL, state.log};
    }

    void tick(int category) { state.settings.Category[std::size_t(category)] = 1; }

    QStringList outputLines() const
    {
        QFile file(dir.filePath(u"out.csv"_s));
        if (!file.open(QIODevice::ReadOnly))
            return {u"<no output file>"_s};
        QStringList lines = CodePage::fromCp932(file.readAll()).split(u"\r\n"_s);
        lines.removeLast(); // after the last CR LF
        return lines;
    }
};

} // namespace

class tst_FetchRun : public QObject
{
    Q_OBJECT

private slots:
    void keyWordModes_data();
    void keyWordModes();
    void scanLabel_everyCategoryEveryPass();
    void yesterdayPass_readsPreviousDayAndSkipsKnownArticles();
    void secondRun_startsFromTodayAndItsOwnOptions();
    void nextPageLoop_endsTheWalk_data();
    void nextPageLoop_endsTheWalk();
    void addressOffThePortal_isNeverRequested_data();
    void addressOffThePortal_isNeverRequested();
    void articleProgress_countsEveryRecord();
    void cancel_savesNothing_data();
    void cancel_savesNothing();
    void stopWhileAsking_everyPhaseAsksNothingMore_data();
    void stopWhileAsking_everyPhaseAsksNothingMore();
    void gaveUpOnArticle_savesSettingsWritesNothing();
    void savedRecord_onlyAfterTheOutputIsWritten_data();
    void savedRecord_onlyAfterTheOutputIsWritten();
    void timeOutAnsweredNo_keepsEmptyBody();
    void missedPages_setTheExitStatus_data();
    void missedPages_setTheExitStatus();
    void summary_namesTheFirstMissedPages();
    void summary_totalsLostCharacters_data();
    void summary_totalsLostCharacters();
    void categoryWalk_boundedInPages_data();
    void categoryWalk_boundedInPages();
    void outputPath_data();
    void outputPath();
    void fetchAction_companionIni_data();
    void fetchAction_companionIni();
    void fetchAction_openDocument();
    void fetchAction_unwritableOutput_stillSavesSettings();
};

void tst_FetchRun::keyWordModes_data()
{
    QTest::addColumn<QStringList>("keyWords");
    QTest::addColumn<int>("settingMode");
    QTest::addColumn<qint16>("switchMode");
    QTest::addColumn<QStringList>("expected");

    const QStringList both{u"速報"_s, u"円"_s};
    const QString hit = u"速報＠速報 株価,http://portal.test:8642/a/1.html,本文1,二行目"_s;
    const QString yen = u"円＠円安が進む,http://portal.test:8642/a/3.html,本文3"_s;
    const QString addrOnly = u"記事なし＠天気は晴れ,http://portal.test:8642/a/2.html,"_s;
    const QString other = u"その他＠天気は晴れ,http://portal.test:8642/a/2.html,本文2"_s;

    QTest::newRow("mode 0: keyword titles only") << both << 0 << qint16(0) << QStringList{hit, yen};
    QTest::newRow("mode 1 from settings: others as addresses")
        << both << 1 << qint16(0) << QStringList{hit, addrOnly, yen};
    QTest::newRow("mode 2 from settings: everything")
        << both << 2 << qint16(0) << QStringList{hit, other, yen};
    QTest::newRow("switch mode 2 wins over setting 0")
        << both << 0 << qint16(2) << QStringList{hit, other, yen};
    QTest::newRow("switch mode 1 wins over setting 2")
        << both << 2 << qint16(1) << QStringList{hit, addrOnly, yen};
    QTest::newRow("no option selected: mode 0") << both << -1 << qint16(0) << QStringList{hit, yen};
    QTest::newRow("empty list, mode 0: nothing")
        << QStringList{} << 0 << qint16(0) << QStringList{};
    QTest::newRow("empty list, mode 1: addresses only")
        << QStringList{} << 1 << qint16(0)
        << QStringList{u"記事なし＠速報 株価,http://portal.test:8642/a/1.html,"_s, addrOnly,
                       u"記事なし＠円安が進む,http://portal.test:8642/a/3.html,"_s};
}

void tst_FetchRun::keyWordModes()
{
    QFETCH(QStringList, keyWords);
    QFETCH(int, settingMode);
    QFETCH(qint16, switchMode);
    QFETCH(QStringList, expected);

    Fixture f;
    for (const QString &word : keyWords)
        f.state.keyWords.insertSorted(word);
    f.state.settings.IgnoreKey = settingMode;
    f.state.runOptions.KeyMode = switchMode;
    f.tick(0);
    f.portal.put(u"/headlines/dom/"_s, headlinePage({{u"/a/1.html"_s, u"速報 株価"_s},
                                                     {u"/a/2.html"_s, u"天気は晴れ"_s},
                                                     {u"/a/3.html"_s, u"円安が進む"_s}}));
    f.portal.put(u"/a/1.html"_s, articlePage(u"本文1\n<br>二行目"_s));
    f.portal.put(u"/a/2.html"_s, articlePage(u"本文2"_s));
    f.portal.put(u"/a/3.html"_s, articlePage(u"本文3"_s));

    const RunResult result = FetchNews(f.input(), f.services);

    QCOMPARE(result.end, RunEnd::Completed);
    QVERIFY(result.outputWritten);
    QCOMPARE(f.outputLines(), expected);
    // Address-only records are never requested.
    const bool addressOnly = expected.join(u'\n').contains(u"記事なし"_s);
    QCOMPARE(f.portal.requested.contains(kBase + u"/a/2.html"_s),
             !addressOnly && expected.join(u'\n').contains(u"/a/2.html"_s));
}

void tst_FetchRun::scanLabel_everyCategoryEveryPass()
{
    Fixture f;
    f.state.settings.Yesterday = 1;
    f.tick(3);
    f.state.runOptions.KeyMode = 2;
    f.portal.put(u"/headlines/brf/"_s, headlinePage({}));
    f.portal.put(u"/headlines/240229/brf/"_s, headlinePage({}));

    QCOMPARE(FetchNews(f.input(), f.services).end, RunEnd::Completed);

    QStringList expected;
    for (int pass = 0; pass < 2; ++pass) {
        for (int i = 0; i < 12; ++i)
            expected << u"取得すべきデータの一覧を作成しています(%1/11)"_s.arg(i);
    }
    QCOMPARE(f.progress.infos, expected);
    QVERIFY(f.log.contains(kBase + u"/headlines/brf/を調査します。"_s));
}

void tst_FetchRun::yesterdayPass_readsPreviousDayAndSkipsKnownArticles()
{
    Fixture f;
    f.state.runOptions.Yesterday = true; // the switch alone
    f.state.runOptions.KeyMode = 2;
    f.tick(0);
    f.tick(1);
    f.portal.put(u"/headlines/dom/"_s, headlinePage({{u"/a/1.html"_s, u"今日の一"_s}}));
    f.portal.put(u"/headlines/int/"_s, headlinePage({{u"/a/1.html"_s, u"今日の一(海外)"_s}}));
    f.portal.put(u"/headlines/240229/dom/"_s,
                 headlinePage({{u"/a/1.html"_s, u"今日の一"_s}, {u"/a/0.html"_s, u"昨日の"_s}}));
    f.portal.put(u"/headlines/240229/int/"_s, headlinePage({}));
    f.portal.put(u"/a/1.html"_s, articlePage(u"一"_s));
    f.portal.put(u"/a/0.html"_s, articlePage(u"零"_s));

    FetchNews(f.input(), f.services);

    QCOMPARE(f.portal.requested,
             (QStringList{kBase + u"/headlines/dom/"_s, kBase + u"/headlines/int/"_s,
                          kBase + u"/headlines/240229/dom/"_s, kBase + u"/headlines/240229/int/"_s,
                          kBase + u"/a/1.html"_s, kBase + u"/a/0.html"_s}));
    QCOMPARE(f.outputLines(),
             (QStringList{u"その他＠今日の一,http://portal.test:8642/a/1.html,一"_s,
                          u"その他＠昨日の,http://portal.test:8642/a/0.html,零"_s}));
}

void tst_FetchRun::secondRun_startsFromTodayAndItsOwnOptions()
{
    Fixture f;
    f.tick(0);
    f.state.settings.Yesterday = 1;
    f.portal.put(u"/headlines/dom/"_s, headlinePage({}));
    f.portal.put(u"/headlines/240229/dom/"_s, headlinePage({}));

    const RunResult first = FetchNews(f.input(), f.services);
    QVERIFY(first.options.Yesterday); // settled from the settings, in the run's own copy
    f.state.settings.Yesterday = 0;
    FetchNews(f.input(), f.services);

    QCOMPARE(f.portal.requested,
             (QStringList{kBase + u"/headlines/dom/"_s, kBase + u"/headlines/240229/dom/"_s,
                          kBase + u"/headlines/dom/"_s}));
    QVERIFY(!f.state.runOptions.Yesterday);
}

void tst_FetchRun::nextPageLoop_endsTheWalk_data()
{
    QTest::addColumn<QString>("secondNext"); // next link on page 2
    QTest::addColumn<int>("headlineRequests");

    QTest::newRow("page 2 links to itself") << u"/headlines/dom/2.html"_s << 2;
    QTest::newRow("page 2 links back to page 1") << u"/headlines/dom/"_s << 2;
    QTest::newRow("page 2 links to a new page 3") << u"/headlines/dom/3.html"_s << 3;
}

void tst_FetchRun::nextPageLoop_endsTheWalk()
{
    QFETCH(QString, secondNext);
    QFETCH(int, headlineRequests);

    Fixture f;
    f.tick(0);
    f.state.keyWords.insertSorted(u"速報"_s);
    f.portal.put(u"/headlines/dom/"_s,
                 headlinePage({{u"/a/1.html"_s, u"速報1"_s}}, u"/headlines/dom/2.html"_s));
    f.portal.put(u"/headlines/dom/2.html"_s,
                 headlinePage({{u"/a/2.html"_s, u"速報2"_s}}, secondNext));
    f.portal.put(u"/headlines/dom/3.html"_s, headlinePage({}));
    f.portal.put(u"/a/1.html"_s, articlePage(u"一"_s));
    f.portal.put(u"/a/2.html"_s, articlePage(u"二"_s));

    const RunResult result = FetchNews(f.input(), f.services);

    QCOMPARE(result.end, RunEnd::Completed);
    const QStringList headlineRequestsMade = f.portal.requested.filter(kBase + u"/headlines/"_s);
    QCOMPARE(headlineRequestsMade.size(), headlineRequests);
    QCOMPARE(f.outputLines().size(), 2);
}

void tst_FetchRun::addressOffThePortal_isNeverRequested_data()
{
    QTest::addColumn<QString>("articleTarget");
    QTest::addColumn<QString>("nextTarget");

    QTest::newRow("article target with user-info trick") << u"@evil.test/x.html"_s << QString();
    QTest::newRow("article target with another port") << u":9/x.html"_s << QString();
    QTest::newRow("next page elsewhere") << u"/a/1.html"_s << u"@evil.test/2.html"_s;
}

void tst_FetchRun::addressOffThePortal_isNeverRequested()
{
    QFETCH(QString, articleTarget);
    QFETCH(QString, nextTarget);

    Fixture f;
    f.tick(0);
    f.state.runOptions.KeyMode = 2;
    f.portal.put(u"/headlines/dom/"_s, headlinePage({{articleTarget, u"見出し"_s}}, nextTarget));
    f.portal.put(u"/a/1.html"_s, articlePage(u"本文"_s));

    const RunResult result = FetchNews(f.input(), f.services);

    QCOMPARE(result.end, RunEnd::Completed);
    for (const QString &url : std::as_const(f.portal.requested))
        QVERIFY2(url.startsWith(kBase + u'/'), qPrintable(url));
    QCOMPARE(f.outputLines().size(), 1);
    const QString offPortal = kBase + (nextTarget.isEmpty() ? articleTarget : nextTarget);
    QVERIFY(!f.log.filter(offPortal).filter(u"取得しません"_s).isEmpty());
    QVERIFY(f.prompter.questionTexts().isEmpty());
}

void tst_FetchRun::articleProgress_countsEveryRecord()
{
    Fixture f;
    f.tick(0);
    f.state.runOptions.KeyMode = 1;
    f.state.keyWords.insertSorted(u"速報"_s);
    f.portal.put(u"/headlines/dom/"_s,
                 headlinePage({{u"/a/1.html"_s, u"速報1"_s}, {u"/a/2.html"_s, u"その他"_s}}));
    f.portal.put(u"/a/1.html"_s, articlePage(u"本文"_s));

    FetchNews(f.input(), f.services);

    QCOMPARE(f.progress.max, 2);
    QCOMPARE(f.progress.values, (QList<qint32>{1, 2}));
    QCOMPARE(f.progress.captions, (QStringList{u"1 / 2(受信中) - Varnholt"_s + VersionText(),
                                               u"2 / 2(受信中) - Varnholt"_s + VersionText()}));
    QCOMPARE(f.progress.events, 2);
    QCOMPARE(f.progress.infos.last(), u"記事を受信しています。"_s);
    const qsizetype start = f.log.indexOf(u"記事の取得を開始します。"_s);
    QVERIFY(start >= 0);
    QCOMPARE(f.log.mid(start + 1, 1), QStringList{u"速報1の記事を取得しています..."_s});
    QCOMPARE(f.log.last(), u"記事の取得を完了しました。"_s);
}

void tst_FetchRun::cancel_savesNothing_data()
{
    QTest::addColumn<int>("cancelAtEvent");
    QTest::addColumn<int>("cancelledFromQuery");
    QTest::addColumn<bool>("outputWritten");
    // Events are the per-article stop points; query 0 is made before the output is written,
    // query 1 before anything is saved.
    QTest::newRow("at the second article: not fetched, nothing written") << 1 << -1 << false;
    QTest::newRow("during the last request: nothing written") << -1 << 0 << false;
    QTest::newRow("while the file is written: kept whole") << -1 << 1 << true;
}

void tst_FetchRun::cancel_savesNothing()
{
    QFETCH(int, cancelAtEvent);
    QFETCH(int, cancelledFromQuery);
    QFETCH(bool, outputWritten);

    Fixture f;
    f.tick(0);
    f.state.runOptions.KeyMode = 2;
    f.portal.put(u"/headlines/dom/"_s,
                 headlinePage({{u"/a/1.html"_s, u"一"_s}, {u"/a/2.html"_s, u"二"_s}}));
    f.portal.put(u"/a/1.html"_s, articlePage(u"本文"_s));
    f.portal.put(u"/a/2.html"_s, articlePage(u"本文"_s));
    f.progress.cancelAtEvent = cancelAtEvent;
    f.progress.cancelledFromQuery = cancelledFromQuery;

    const int status = FetchAndSave(f.state, f.services, {}).exitStatus;

    QCOMPARE(status, 1);
    QCOMPARE(f.portal.requested.contains(kBase + u"/a/2.html"_s), cancelAtEvent < 0);
    QCOMPARE(QFile::exists(f.dir.filePath(u"out.csv"_s)), outputWritten);
    QVERIFY(!QFile::exists(f.state.keyWordFilePath()));
    QVERIFY(!QFile::exists(f.state.settingIniPath()));
}

void tst_FetchRun::stopWhileAsking_everyPhaseAsksNothingMore_data()
{
    QTest::addColumn<int>("afterRequests");  // the cancel is confirmed once this many were made
    QTest::addColumn<int>("afterQuestions"); // ... or once this many questions were answered
    QTest::addColumn<bool>("yesterday");
    QTest::addColumn<QList<bool>>("answers");
    QTest::addColumn<QStringList>("requested");
    QTest::addColumn<int>("questions");

    const QString list = kBase + u"/headlines/dom/"_s;
    const QString next = kBase + u"/headlines/dom/2.html"_s;
    const QString first = kBase + u"/a/1.html"_s;
    const QString fails = kBase + u"/a/fails.html"_s;
    const QString empty = kBase + u"/a/empty.html"_s;
    const QList<bool> yes{true, true, true};
    QTest::newRow("before the first list page") << 0 << -1 << false << yes << QStringList{} << 0;
    QTest::newRow("walking the list pages") << 1 << -1 << false << yes << QStringList{list} << 0;
    QTest::newRow("before the previous day's pass")
        << 2 << -1 << true << yes << QStringList{list, next} << 0;
    QTest::newRow("between articles")
        << 3 << -1 << false << yes << QStringList{list, next, first} << 0;
    QTest::newRow("after a failure, before its question")
        << 4 << -1 << false << yes << QStringList{list, next, first, fails} << 0;
    QTest::newRow("after Yes to the retry question, before the retry")
        << -1 << 1 << false << yes << QStringList{list, next, first, fails} << 1;
    QTest::newRow("after an empty page, before the silent re-request")
        << 5 << -1 << false << QList<bool>{false} << QStringList{list, next, first, fails, empty}
        << 1;
}

// The person is deciding whether to cancel: the run waits before every request and question,
// and a confirmed cancel ends it there, whichever phase it is in.
void tst_FetchRun::stopWhileAsking_everyPhaseAsksNothingMore()
{
    QFETCH(int, afterRequests);
    QFETCH(int, afterQuestions);
    QFETCH(bool, yesterday);
    QFETCH(QList<bool>, answers);
    QFETCH(QStringList, requested);
    QFETCH(int, questions);
    Fixture f;
    f.tick(0);
    f.state.settings.Yesterday = yesterday ? 1 : 0;
    f.state.runOptions.KeyMode = 2;
    f.portal.put(u"/headlines/dom/"_s,
                 headlinePage({{u"/a/1.html"_s, u"一"_s}}, u"/headlines/dom/2.html"_s));
    f.portal.put(u"/headlines/dom/2.html"_s,
                 headlinePage({{u"/a/fails.html"_s, u"二"_s}, {u"/a/empty.html"_s, u"三"_s}}));
    f.portal.put(u"/headlines/240229/dom/"_s, headlinePage({{u"/a/4.html"_s, u"四"_s}}));
    f.portal.put(u"/a/1.html"_s, articlePage(u"本文"_s));
    FailingPortal failing(f.portal, kBase + u"/a/fails.html"_s);
    f.prompter.answers = answers;
    f.progress.goOn = [&] {
        return f.portal.requested.size() != afterRequests &&
               f.prompter.questions.size() != afterQuestions;
    };
    RunServices services{failing, f.prompter, f.progress, fixedNow};

    const RunResult result = FetchNews(f.input(), services);

    QCOMPARE(result.end, RunEnd::Cancelled);
    QCOMPARE(f.portal.requested, requested);
    QCOMPARE(f.prompter.questions.size(), questions);
    QVERIFY(!QFile::exists(f.dir.filePath(u"out.csv"_s)));
}

void tst_FetchRun::savedRecord_onlyAfterTheOutputIsWritten_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("recorded");

    QTest::newRow("output written: its addresses recorded") << u"written"_s << true;
    QTest::newRow("output not writable: nothing recorded") << u"blocked"_s << false;
    QTest::newRow("cancelled: nothing recorded") << u"cancelled"_s << false;
    QTest::newRow("gave up on a page: nothing recorded") << u"gaveUp"_s << false;
}

void tst_FetchRun::savedRecord_onlyAfterTheOutputIsWritten()
{
    QFETCH(QString, how);
    QFETCH(bool, recorded);
    Fixture f;
    f.tick(0);
    f.state.settings.SkipSaved = 1;
    f.state.runOptions.KeyMode = 2;
    f.portal.put(u"/headlines/dom/"_s,
                 headlinePage({{u"/a/1.html"_s, u"一"_s}, {u"/a/2.html"_s, u"二"_s}}));
    f.portal.put(u"/a/1.html"_s, articlePage(u"本文"_s));
    if (how != u"gaveUp"_s)
        f.portal.put(u"/a/2.html"_s, articlePage(u"本文"_s));
    if (how == u"blocked"_s) {
        QFile blocker(f.dir.filePath(u"blocker"_s));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        f.state.runOptions.OutputFolder = blocker.fileName();
    }
    if (how == u"cancelled"_s)
        f.progress.cancelledFromQuery = 0;

    FetchAndSave(f.state, f.services, {});

    QFile record(f.state.savedAddressesPath());
    QCOMPARE(record.exists(), recorded);
    if (!recorded)
        return;
    QVERIFY(record.open(QIODevice::ReadOnly));
    QCOMPARE(
        record.readAll(),
        (kBase + u"/a/1.html\t2024-03-01\n"_s + kBase + u"/a/2.html\t2024-03-01\n"_s).toUtf8());
}

void tst_FetchRun::gaveUpOnArticle_savesSettingsWritesNothing()
{
    Fixture f;
    f.tick(0);
    f.state.runOptions.KeyMode = 2;
    f.portal.put(u"/headlines/dom/"_s,
                 headlinePage({{u"/a/empty.html"_s, u"空"_s}, {u"/a/2.html"_s, u"二"_s}}));
    f.portal.put(u"/a/2.html"_s, articlePage(u"本文"_s));
    f.prompter.answers = {false};

    const int status = FetchAndSave(f.state, f.services, {}).exitStatus;

    QCOMPARE(status, 1);
    QCOMPARE(f.portal.requested.count(kBase + u"/a/empty.html"_s), 2);
    QVERIFY(!f.portal.requested.contains(kBase + u"/a/2.html"_s));
    QVERIFY(!QFile::exists(f.dir.filePath(u"out.csv"_s)));
    QVERIFY(QFile::exists(f.state.keyWordFilePath()));
    QVERIFY(QFile::exists(f.state.settingIniPath()));
}

void tst_FetchRun::timeOutAnsweredNo_keepsEmptyBody()
{
    Fixture f;
    f.tick(0);
    f.state.runOptions.KeyMode = 2;
    f.portal.put(u"/headlines/dom/"_s,
                 headlinePage({{u"/a/slow.html"_s, u"遅"_s}, {u"/a/2.html"_s, u"二"_s}}));
    f.portal.put(u"/a/2.html"_s, articlePage(u"本文"_s));
    FailingPortal failing(f.portal, kBase + u"/a/slow.html"_s);
    RunServices services{failing, f.prompter, f.progress, fixedNow};
    f.prompter.answers = {false};

    const RunResult result = FetchNews(f.input(), services);

    QCOMPARE(result.end, RunEnd::Completed);
    QCOMPARE(f.outputLines(), (QStringList{u"その他＠遅,http://portal.test:8642/a/slow.html,"_s,
                                           u"その他＠二,http://portal.test:8642/a/2.html,本文"_s}));
}

void tst_FetchRun::missedPages_setTheExitStatus_data()
{
    QTest::addColumn<QString>("failing"); // path whose requests fail
    QTest::addColumn<int>("failures");    // how many times; -1 every time
    QTest::addColumn<QList<bool>>("answers");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("records");
    QTest::addColumn<bool>("missed"); // the failing page is reported as missed

    QTest::newRow("every page fetched") << QString() << 0 << QList<bool>{} << 0 << 3 << false;
    QTest::newRow("article fails, No: empty body")
        << u"/a/1.html"_s << -1 << QList<bool>{false} << 3 << 3 << true;
    QTest::newRow("article fails once, Yes: fetched after all")
        << u"/a/1.html"_s << 1 << QList<bool>{true} << 0 << 3 << false;
    QTest::newRow("article fails, Yes twice, then No")
        << u"/a/1.html"_s << -1 << QList<bool>{true, true, false} << 3 << 3 << true;
    QTest::newRow("next list page fails: the walk ends")
        << u"/headlines/dom/2.html"_s << -1 << QList<bool>{false} << 3 << 2 << true;
    QTest::newRow("first list page fails: an empty output")
        << u"/headlines/dom/"_s << -1 << QList<bool>{false} << 3 << 0 << true;
}

void tst_FetchRun::missedPages_setTheExitStatus()
{
    QFETCH(QString, failing);
    QFETCH(int, failures);
    QFETCH(QList<bool>, answers);
    QFETCH(int, status);
    QFETCH(int, records);
    QFETCH(bool, missed);

    Fixture f;
    f.tick(0);
    f.state.runOptions.KeyMode = 2;
    f.portal.put(u"/headlines/dom/"_s,
                 headlinePage({{u"/a/1.html"_s, u"一"_s}, {u"/a/2.html"_s, u"二"_s}},
                              u"/headlines/dom/2.html"_s));
    f.portal.put(u"/headlines/dom/2.html"_s, headlinePage({{u"/a/3.html"_s, u"三"_s}}));
    for (const QString &n : {u"1"_s, u"2"_s, u"3"_s})
        f.portal.put(u"/a/"_s + n + u".html"_s, articlePage(u"本文"_s + n));
    FailingPortal portal(f.portal, kBase + failing, failures);
    RunServices services{portal, f.prompter, f.progress, fixedNow};
    f.prompter.answers = answers;

    const FetchOutcome outcome = FetchAndSave(f.state, services, {});

    QCOMPARE(outcome.exitStatus, status);
    QCOMPARE(outcome.run.recordsWritten, records);
    QCOMPARE(f.outputLines().size(), records);
    const QStringList expected = missed ? QStringList{kBase + failing} : QStringList{};
    QCOMPARE(outcome.run.missedPages, expected);
    const QString summary = RunSummary(outcome);
    QVERIFY2(summary.contains(f.dir.filePath(u"out.csv"_s)), qPrintable(summary));
    if (missed) {
        QVERIFY2(summary.contains(kBase + failing), qPrintable(summary));
        QVERIFY(f.log.contains(u"取得できなかったページ: "_s + kBase + failing));
    }
}

void tst_FetchRun::summary_namesTheFirstMissedPages()
{
    FetchOutcome outcome;
    outcome.settingsSaved = true;
    outcome.run.outputWritten = true;
    outcome.run.recordsWritten = 7;
    outcome.run.SaveFilePath = u"/clip/VHT.qfw"_s;
    for (int i = 1; i <= 5; ++i)
        outcome.run.missedPages << kBase + u"/p/"_s + QString::number(i);

    const QString summary = RunSummary(outcome);

    QVERIFY2(!summary.contains(u'\n'), qPrintable(summary));
    QVERIFY2(summary.startsWith(u"7 record(s) written to /clip/VHT.qfw; 5 page(s) not fetched"_s),
             qPrintable(summary));
    QVERIFY2(summary.contains(u"/p/3 and 2 more"_s), qPrintable(summary));
    QVERIFY2(!summary.contains(u"/p/4"_s), qPrintable(summary));
}

void tst_FetchRun::summary_totalsLostCharacters_data()
{
    QTest::addColumn<bool>("written");
    QTest::addColumn<qint64>("lost");
    QTest::addColumn<QString>("part"); // empty: no such part

    const QString three = u"3 character(s) CP932 cannot hold written as \"?\""_s;
    QTest::newRow("none lost: not mentioned") << true << qint64(0) << QString();
    QTest::newRow("lost ones counted") << true << qint64(3) << three;
    QTest::newRow("nothing written: nothing to count") << false << qint64(3) << QString();
}

void tst_FetchRun::summary_totalsLostCharacters()
{
    QFETCH(bool, written);
    QFETCH(qint64, lost);
    QFETCH(QString, part);
    FetchOutcome outcome;
    outcome.settingsSaved = true;
    outcome.run.outputWritten = written;
    outcome.run.recordsWritten = 2;
    outcome.run.lostCharacters = lost;
    outcome.run.SaveFilePath = u"/clip/VHT.qfw"_s;

    const QString summary = RunSummary(outcome);

    if (part.isEmpty())
        QVERIFY2(!summary.contains(u"CP932"_s), qPrintable(summary));
    else
        QVERIFY2(summary.contains(u"; "_s + part), qPrintable(summary));
}

// List pages /c/1, /c/2, ... each linking to the next, up to an optional last page that links
// back to the first.
class ChainPortal final : public TestTransport
{
public:
    int length = -1; // -1: no end
    QStringList requested;

    HttpReply get(const QString &url) override
    {
        requested << url;
        if (requested.size() > 100)
            return {false, {}, url + u": too many requests"_s};
        const int n = url.section(u'/', -1).toInt();
        const int next = n == length ? 1 : n + 1;
        return {true, CodePage::toEucJp(headlinePage({}, u"/c/"_s + QString::number(next))), {}};
    }
};

void tst_FetchRun::categoryWalk_boundedInPages_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("requests");
    QTest::addColumn<QString>("missed"); // empty: the walk ended by itself

    QTest::newRow("endless chain: cut at the bound") << -1 << 5 << u"/c/6"_s;
    QTest::newRow("loop as long as the bound: ends as a loop") << 5 << 5 << QString();
    QTest::newRow("loop shorter than the bound") << 3 << 3 << QString();
}

void tst_FetchRun::categoryWalk_boundedInPages()
{
    QFETCH(int, length);
    QFETCH(int, requests);
    QFETCH(QString, missed);

    Fixture f;
    ChainPortal portal;
    portal.length = length;
    PageFetcher fetcher(portal, f.prompter, f.state.log);
    const KeyWordMatcher matcher({u"速報"_s});
    ArticleList articles;
    HeadlineContext headlines{matcher, 0, kBase, articles, f.state.log, f.progress};

    QCOMPARE(CrawlCategory(kBase + u"/c/1"_s, fetcher, headlines, 5), CrawlEnd::Done);

    QCOMPARE(portal.requested.size(), requests);
    if (missed.isEmpty()) {
        QVERIFY(fetcher.missedPages().isEmpty());
    } else {
        QCOMPARE(fetcher.missedPages(), QStringList{kBase + missed});
        QVERIFY2(f.log.last().contains(kBase + missed), qPrintable(f.log.last()));
        QVERIFY2(f.log.last().contains(u"上限(5)"_s), qPrintable(f.log.last()));
    }
}

void tst_FetchRun::outputPath_data()
{
    QTest::addColumn<QStringList>("settingParts");
    QTest::addColumn<QVariantList>("switchParts"); // null: not given
    QTest::addColumn<QString>("switchFolder");
    QTest::addColumn<QString>("expected"); // relative to the temporary folder

    const QVariant none;
    QTest::newRow("setting parts, date pattern")
        << QStringList{u"VHT"_s, u"yyyymmdd"_s, u"_x"_s} << QVariantList{none, none, none}
        << QString() << u"VHT20240301_x.csv"_s;
    QTest::newRow("empty pattern leaves part 1 empty")
        << QStringList{u"VHT"_s, QString(), QString()} << QVariantList{none, none, none}
        << QString() << u"VHT.csv"_s;
    QTest::newRow("switch part 1 given empty beats the pattern")
        << QStringList{u"VHT"_s, u"yyyymmdd"_s, QString()} << QVariantList{none, QString(), none}
        << QString() << u"VHT.csv"_s;
    QTest::newRow("switch parts, part 1 formatted")
        << QStringList{u"VHT"_s, u"yyyymmdd"_s, QString()}
        << QVariantList{u"news"_s, u"yymm"_s, u"-b"_s} << QString() << u"news2403-b.csv"_s;
    QTest::newRow("backslash names a sub-folder")
        << QStringList{u"clip\\"_s, u"yyyy"_s, QString()} << QVariantList{none, none, none}
        << QString() << u"clip/2024.csv"_s;
    QTest::newRow("unsafe characters become full-width")
        << QStringList{u"a?b"_s, QString(), QString()} << QVariantList{none, none, none}
        << QString() << u"a？b.csv"_s;
    QTest::newRow("dot-dot levels in a switch part stay inside")
        << QStringList{u"VHT"_s, QString(), QString()}
        << QVariantList{u"..\\outside\\x"_s, none, none} << QString() << u"outside/x.csv"_s;
    QTest::newRow("dot levels across setting parts are dropped")
        << QStringList{u".\\..\\"_s, u"\\..\\.."_s, u"\\y"_s} << QVariantList{none, none, none}
        << QString() << u"y.csv"_s;
    QTest::newRow("part 3 climbing out with a date between")
        << QStringList{u"VHT"_s, u"yyyy"_s, QString()} << QVariantList{none, none, u"\\..\\..\\z"_s}
        << QString() << u"VHT2024/z.csv"_s;
    QTest::newRow("dots inside a name are kept")
        << QStringList{u"a..b"_s, QString(), u"."_s} << QVariantList{none, none, none} << QString()
        << u"a..b..csv"_s;
    QTest::newRow("only dot levels: the extension alone, inside")
        << QStringList{u".."_s, QString(), QString()} << QVariantList{none, none, none} << QString()
        << u".csv"_s;
    QTest::newRow("dot levels in the output folder still name any folder")
        << QStringList{u"VHT"_s, QString(), QString()} << QVariantList{none, none, none}
        << u"clip/../fo"_s << u"fo/VHT.csv"_s;
    QTest::newRow("output folder switch")
        << QStringList{u"VHT"_s, QString(), QString()} << QVariantList{none, none, none} << u"fo"_s
        << u"fo/VHT.csv"_s;
}

void tst_FetchRun::outputPath()
{
    QFETCH(QStringList, settingParts);
    QFETCH(QVariantList, switchParts);
    QFETCH(QString, switchFolder);
    QFETCH(QString, expected);

    Fixture f;
    for (std::size_t i = 0; i < 3; ++i) {
        f.state.settings.SaveFileName[i] = settingParts.at(qsizetype(i));
        if (!switchParts.at(qsizetype(i)).isNull())
            f.state.runOptions.FileNamePart[i] = switchParts.at(qsizetype(i)).toString();
    }
    QDir(f.dir.path()).mkpath(u"clip"_s);
    QDir(f.dir.path()).mkpath(u"fo"_s);
    QDir(f.dir.path()).mkpath(u"outside"_s);
    QDir(f.dir.path()).mkpath(u"VHT2024"_s);
    if (!switchFolder.isEmpty())
        f.state.runOptions.OutputFolder = f.dir.filePath(switchFolder);

    const RunResult result = FetchNews(f.input(), f.services);

    QCOMPARE(QDir::cleanPath(result.SaveFilePath), f.dir.filePath(expected));
    QVERIFY(QFile::exists(f.dir.filePath(expected)));
}

void tst_FetchRun::fetchAction_companionIni_data()
{
    QTest::addColumn<int>("noCopyIni");
    QTest::addColumn<bool>("shipDefault");
    QTest::addColumn<bool>("copied");

    QTest::newRow("unticked: copied") << 0 << true << true;
    QTest::newRow("greyed: counts as ticked, not copied") << 2 << true << false;
    QTest::newRow("ticked: not copied") << 1 << true << false;
    QTest::newRow("no Default.ini: nothing, no message") << 0 << false << false;
}

void tst_FetchRun::fetchAction_companionIni()
{
    QFETCH(int, noCopyIni);
    QFETCH(bool, shipDefault);
    QFETCH(bool, copied);

    Fixture f;
    f.state.settings.NoCopyINI = noCopyIni;
    if (shipDefault) {
        QFile ini(f.dir.filePath(u"Default.ini"_s));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("; companion\r\n");
    }
    QFile stale(f.dir.filePath(u"out.ini"_s));
    QVERIFY(stale.open(QIODevice::WriteOnly));
    stale.write("old");
    stale.close();

    const int status = FetchAndSave(f.state, f.services, {}).exitStatus;

    QCOMPARE(status, 0);
    QFile companion(f.dir.filePath(u"out.ini"_s));
    QVERIFY(companion.open(QIODevice::ReadOnly));
    QCOMPARE(companion.readAll(), copied ? QByteArray("; companion\r\n") : QByteArray("old"));
    QVERIFY(f.prompter.messageTexts().isEmpty());
    QVERIFY(QFile::exists(f.state.settingIniPath()));
}

void tst_FetchRun::fetchAction_openDocument()
{
    Fixture f;
    f.state.runOptions.Open = true;
    QStringList opened;

    const int status = FetchAndSave(f.state, f.services, [&](const QString &path) {
                           opened << path;
                           return false;
                       }).exitStatus;

    QCOMPARE(status, 0);
    QCOMPARE(opened, QStringList{f.dir.filePath(u"out.csv"_s)});
    QCOMPARE(f.prompter.messageTexts().size(), 1);
    QVERIFY(f.prompter.messageTexts().first().contains(f.dir.filePath(u"out.csv"_s)));
}

void tst_FetchRun::fetchAction_unwritableOutput_stillSavesSettings()
{
    Fixture f;
    // A folder where the file should be: no one, not even root, can append to it.
    QVERIFY(QDir(f.dir.path()).mkpath(u"out.csv"_s));

    const int status = FetchAndSave(f.state, f.services, {}).exitStatus;

    QCOMPARE(status, 1);
    QVERIFY(!f.prompter.messageTexts().isEmpty());
    QVERIFY(QFile::exists(f.state.keyWordFilePath()));
    QVERIFY(QFile::exists(f.state.settingIniPath()));
}

QTEST_GUILESS_MAIN(tst_FetchRun)
#include "tst_fetchrun.moc"
