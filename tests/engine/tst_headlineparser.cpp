#include "EngineTestSupport.h"
#include "PortalPages.h"
#include "engine/ArticleList.h"
#include "engine/HeadlineParser.h"
#include "engine/KeyWordMatcher.h"
#include "engine/SavedAddresses.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString Base = u"http://portal"_s;

using PortalPages::item;
using PortalPages::listPage;

// "URL|Title|KeyWord|U" per record, U marking an address-only record.
QStringList describe(const ArticleList &articles)
{
    QStringList out;
    for (qint32 i = 0; i < articles.ArticleCount(); ++i) {
        const ArticleRecord &r = articles[i];
        out.append(r.URL + u'|' + r.Title + u'|' + r.KeyWord + (r.URLOnly ? u"|U" : u"|"));
        if (!r.Body.isEmpty())
            out.last() += u"|body!"_s;
    }
    return out;
}

struct Run
{
    ArticleList articles;
    CapturedLog log;
    RecordingProgress progress;

    void parse(const QString &page, const QStringList &keyWords, qint16 keyMode,
               const SavedAddresses *saved = nullptr)
    {
        const KeyWordMatcher matcher(keyWords);
        HeadlineContext context{matcher, keyMode, Base, articles, log.log(), progress};
        context.saved = saved;
        ParseHeadlines(page, context);
    }
};

} // namespace

class TestHeadlineParser : public QObject
{
    Q_OBJECT

private slots:
    void parseHeadlines_data();
    void parseHeadlines();
    void logAndProgressLines();
    void savedAddressesLeftOut_data();
    void savedAddressesLeftOut();
    void noArticleLogsOnce();
    void fiftyThousandItems();
    void articleListKeepsFirstRecordOfURL();
};

void TestHeadlineParser::parseHeadlines_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QStringList>("keyWords");
    QTest::addColumn<int>("keyMode");
    QTest::addColumn<QStringList>("listedBefore");
    QTest::addColumn<QStringList>("expected");

    const QString threeItems =
        listPage(item(u"/a/1.html"_s, u"円相場が上昇"_s) + item(u"/a/2.html"_s, u"明日の天気"_s) +
                 item(u"/a/3.html"_s, u"株価とＹＥＮ"_s));
    const QStringList keys{u"yen"_s, u"円"_s};

    QTest::newRow("mode 0 keeps keyword titles only")
        << threeItems << keys << 0 << QStringList{}
        << QStringList{u"http://portal/a/1.html|円相場が上昇|円|"_s,
                       u"http://portal/a/3.html|株価とＹＥＮ|yen|"_s};
    QTest::newRow("mode 1 adds the others address-only")
        << threeItems << keys << 1 << QStringList{}
        << QStringList{u"http://portal/a/1.html|円相場が上昇|円|"_s,
                       u"http://portal/a/2.html|明日の天気|記事なし|U"_s,
                       u"http://portal/a/3.html|株価とＹＥＮ|yen|"_s};
    QTest::newRow("mode 2 tags unmatched titles as other")
        << threeItems << keys << 2 << QStringList{}
        << QStringList{u"http://portal/a/1.html|円相場が上昇|円|"_s,
                       u"http://portal/a/2.html|明日の天気|その他|"_s,
                       u"http://portal/a/3.html|株価とＹＥＮ|yen|"_s};
    QTest::newRow("first keyword wins when both are contained")
        << listPage(item(u"/b"_s, u"日本銀行が利上げ"_s)) << QStringList{u"日本銀行"_s, u"銀行"_s}
        << 0 << QStringList{} << QStringList{u"http://portal/b|日本銀行が利上げ|日本銀行|"_s};
    QTest::newRow("empty keyword does not take every title")
        << threeItems << QStringList{QString()} << 0 << QStringList{} << QStringList{};
    QTest::newRow("empty keyword beside a real one")
        << threeItems << QStringList{QString(), u"天気"_s} << 1 << QStringList{}
        << QStringList{u"http://portal/a/1.html|円相場が上昇|記事なし|U"_s,
                       u"http://portal/a/2.html|明日の天気|天気|"_s,
                       u"http://portal/a/3.html|株価とＹＥＮ|記事なし|U"_s};
    QTest::newRow("no-article marker with items records nothing")
        << u"<!-- NO_ARTICLE1 -->"_s + threeItems << keys << 2 << QStringList{} << QStringList{};
    QTest::newRow("already listed address skipped, the next item still read")
        << threeItems << keys << 2 << QStringList{u"http://portal/a/1.html"_s}
        << QStringList{u"http://portal/a/1.html|||"_s,
                       u"http://portal/a/2.html|明日の天気|その他|"_s,
                       u"http://portal/a/3.html|株価とＹＥＮ|yen|"_s};
    QTest::newRow("same address twice in a page recorded once")
        << listPage(item(u"/d"_s, u"円 first"_s) + item(u"/d"_s, u"円 second"_s)) << keys << 0
        << QStringList{} << QStringList{u"http://portal/d|円 first|円|"_s};
    QTest::newRow("item after the list end not examined")
        << listPage(item(u"/in"_s, u"円 in"_s)) + item(u"/out"_s, u"円 out"_s) << keys << 0
        << QStringList{} << QStringList{u"http://portal/in|円 in|円|"_s};
    QTest::newRow("without list marker items from the top are taken")
        << item(u"/top"_s, u"円 top"_s) + u"<ul>"_s + item(u"/in"_s, u"円 in"_s) + u"</ul>"_s
        << keys << 0 << QStringList{}
        << QStringList{u"http://portal/top|円 top|円|"_s, u"http://portal/in|円 in|円|"_s};
    QTest::newRow("items before the list marker are not taken")
        << item(u"/top"_s, u"円 top"_s) + listPage(item(u"/in"_s, u"円 in"_s)) << keys << 0
        << QStringList{} << QStringList{u"http://portal/in|円 in|円|"_s};
    QTest::newRow("list end before the list marker does not count")
        << u"<ul></ul>"_s + listPage(item(u"/in"_s, u"円 in"_s)) << keys << 0 << QStringList{}
        << QStringList{u"http://portal/in|円 in|円|"_s};
    QTest::newRow("no list end yields nothing")
        << u"<!-- GEN_HEADLINES -->"_s + item(u"/in"_s, u"円 in"_s) << keys << 2 << QStringList{}
        << QStringList{};
    QTest::newRow("item opening right at the list end is not read")
        << u"<!-- GEN_HEADLINES --><li><a href=</ul>>円</a>"_s << keys << 2 << QStringList{}
        << QStringList{};
    QTest::newRow("link target running into the list end is still read")
        << u"<!-- GEN_HEADLINES --><li><a href=x</ul>>円</a>"_s << keys << 0 << QStringList{}
        << QStringList{u"http://portalx</ul|>円|円|"_s};
    QTest::newRow("item cut off at the list end") << u"<!-- GEN_HEADLINES --><li><a href=/a</ul>"_s
                                                  << keys << 2 << QStringList{} << QStringList{};
    QTest::newRow("title without closing tag ends at the list end")
        << listPage(item(u"/ok"_s, u"円 ok"_s) + u"<li><a href=/x>円 no end</ul>"_s) << keys << 2
        << QStringList{}
        << QStringList{u"http://portal/ok|円 ok|円|"_s, u"http://portal/x|円 no end|円|"_s};
    QTest::newRow("title without closing tag leaves the next headline whole")
        << listPage(u"<li><a href=/x>円 lost</li>\r\n"_s + item(u"/y"_s, u"円 next"_s)) << keys << 0
        << QStringList{}
        << QStringList{u"http://portal/x|円 lost|円|"_s, u"http://portal/y|円 next|円|"_s};
    QTest::newRow("title without closing tag or item end stops at the next item")
        << listPage(u"<li><a href=/x>天気 "_s + item(u"/y"_s, u"円 next"_s)) << keys << 0
        << QStringList{} << QStringList{u"http://portal/y|円 next|円|"_s};
    QTest::newRow("closing tag beyond the list end is not the title's")
        << u"<!-- GEN_HEADLINES --><ul><li><a href=/x>円</ul><p>after</a>"_s << keys << 0
        << QStringList{} << QStringList{u"http://portal/x|円|円|"_s};
    QTest::newRow("title with tags and entities kept raw")
        << listPage(item(u"/t"_s, u"<b>円</b> &amp; 株"_s)) << keys << 0 << QStringList{}
        << QStringList{u"http://portal/t|<b>円</b> &amp; 株|円|"_s};
    QTest::newRow("NUL characters are ordinary text")
        << listPage(item(u"/n\u0000ul"_s, u"円\u0000yen"_s)) << keys << 0 << QStringList{}
        << QStringList{u"http://portal/n\u0000ul|円\u0000yen|yen|"_s};
    QTest::newRow("empty page") << QString() << keys << 2 << QStringList{} << QStringList{};
}

void TestHeadlineParser::parseHeadlines()
{
    QFETCH(QString, page);
    QFETCH(QStringList, keyWords);
    QFETCH(int, keyMode);
    QFETCH(QStringList, listedBefore);
    QFETCH(QStringList, expected);

    Run run;
    for (const QString &url : listedBefore)
        run.articles.setURL(run.articles.AddArticle(), url);
    run.parse(page, keyWords, qint16(keyMode));
    QCOMPARE(describe(run.articles), expected);
}

void TestHeadlineParser::logAndProgressLines()
{
    const QString head = u"<!-- GEN_HEADLINES --><ul>"_s;
    const QString page = head + u"<li><a href=/1>円高</a><li><a href=/2>雨</a>"
                                u"<li><a href=/1>円高</a><li><a href=/3>晴れ</a></ul>"_s;
    Run run;
    run.parse(page, {u"円"_s, u"晴"_s}, 1);

    // The number is the 1-based position of the title's "</a>" plus one.
    const qsizetype firstEnd = page.indexOf(u"</a>") + 1;
    const qsizetype secondEnd = page.indexOf(u"</a>", firstEnd) + 1;
    const qsizetype fourthEnd = page.lastIndexOf(u"</a>") + 1;
    const QStringList expectedLog{
        QString::number(firstEnd + 1) + u": 円高(http://portal/1)を照合中..."_s,
        u"「円高」を追加"_s,
        QString::number(secondEnd + 1) + u": 雨(http://portal/2)を照合中..."_s,
        u"「雨」のURLを追加"_s,
        QString::number(fourthEnd + 1) + u": 晴れ(http://portal/3)を照合中..."_s,
        u"「晴れ」を追加"_s,
    };
    QCOMPARE(run.log.lines(), expectedLog);

    // One Unit text per headline examined; the repeated address is skipped without one.
    const QStringList expectedUnits{u" Article(s) / 1 Article(s)"_s,
                                    u" Article(s) / 2 Article(s)"_s,
                                    u" Article(s) / 3 Article(s)"_s};
    QCOMPARE(run.progress.units, expectedUnits);

    // Mode 0: an unmatched headline is logged and counted, nothing more.
    Run mode0;
    mode0.parse(head + u"<li><a href=/2>雨</a></ul>"_s, {u"円"_s}, 0);
    QCOMPARE(mode0.log.lines().size(), 1);
    QCOMPARE(mode0.progress.units, QStringList{u" Article(s) / 0 Article(s)"_s});
}

void TestHeadlineParser::savedAddressesLeftOut_data()
{
    QTest::addColumn<int>("keyMode");
    QTest::addColumn<QStringList>("saved");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QStringList>("leftOut"); // titles

    QTest::newRow("mode 2: the saved one is not recorded")
        << 2 << QStringList{u"http://portal/2"_s}
        << QStringList{u"http://portal/1|円高|円|"_s, u"http://portal/3|晴れ|その他|"_s}
        << QStringList{u"雨"_s};
    QTest::newRow("mode 1: not even its address")
        << 1 << QStringList{u"http://portal/2"_s}
        << QStringList{u"http://portal/1|円高|円|"_s, u"http://portal/3|晴れ|記事なし|U"_s}
        << QStringList{u"雨"_s};
    QTest::newRow("a keyword title is left out too")
        << 0 << QStringList{u"http://portal/1"_s, u"http://portal/3"_s} << QStringList{}
        << QStringList{u"円高"_s, u"晴れ"_s};
    QTest::newRow("addresses compare exactly")
        << 0 << QStringList{u"http://portal/1/"_s, u"HTTP://portal/1"_s}
        << QStringList{u"http://portal/1|円高|円|"_s} << QStringList{};
}

void TestHeadlineParser::savedAddressesLeftOut()
{
    QFETCH(int, keyMode);
    QFETCH(QStringList, saved);
    QFETCH(QStringList, expected);
    QFETCH(QStringList, leftOut);
    SavedAddresses record;
    for (const QString &address : saved)
        record.add(address, QDate(2025, 1, 1));
    const QString page = u"<!-- GEN_HEADLINES --><ul><li><a href=/1>円高</a>"
                         u"<li><a href=/2>雨</a><li><a href=/3>晴れ</a></ul>"_s;

    Run run;
    run.parse(page, {u"円"_s}, qint16(keyMode), &record);

    QCOMPARE(describe(run.articles), expected);
    const QStringList lines = run.log.lines();
    QStringList told;
    for (const QString &title : leftOut) {
        told << title + u"は保存済みのため除外"_s;
        // Left out before the keyword test: never matched.
        QVERIFY(lines.filter(u": "_s + title + u"(http"_s).isEmpty());
    }
    QCOMPARE(lines.filter(u"は保存済みのため除外"_s), told);
}

void TestHeadlineParser::noArticleLogsOnce()
{
    Run run;
    run.parse(listPage(item(u"/1"_s, u"円"_s)) + u"<!-- NO_ARTICLE1 -->"_s, {u"円"_s}, 2);
    QCOMPARE(run.log.lines(), QStringList{u"本日は配信がありませんでした。"_s});
    QVERIFY(run.progress.units.isEmpty());
}

void TestHeadlineParser::fiftyThousandItems()
{
    QString items;
    for (int i = 0; i < 50000; ++i)
        items += u"<li><a href=/n/"_s + QString::number(i) + u".html>見出し"_s +
                 QString::number(i) + u"</a></li>"_s;
    const QString page = listPage(items);

    ArticleList articles;
    DebugLog quiet;
    SilentProgress progress;
    const KeyWordMatcher matcher({u"見出し4999"_s});
    HeadlineContext context{matcher, 1, Base, articles, quiet, progress};
    ParseHeadlines(page, context);

    QCOMPARE(articles.ArticleCount(), 50000);
    QCOMPARE(articles[49999].URL, u"http://portal/n/49999.html"_s);
    QCOMPARE(articles[49999].KeyWord, u"見出し4999"_s);
    QVERIFY(articles[1].URLOnly);
    QVERIFY(!articles[4999].URLOnly);

    // The same page again: every address is known, nothing is added.
    ParseHeadlines(page, context);
    QCOMPARE(articles.ArticleCount(), 50000);
}

void TestHeadlineParser::articleListKeepsFirstRecordOfURL()
{
    ArticleList list;
    list.setURL(list.AddArticle(), u"u1"_s);
    list.setURL(list.AddArticle(), u"u1"_s);
    list.setURL(0, u"u0"_s); // the second record still holds u1
    QVERIFY(list.IsListedURL(u"u0"_s));
    QVERIFY(list.IsListedURL(u"u1"_s));
    list.setURL(1, u"u2"_s);
    QVERIFY(!list.IsListedURL(u"u1"_s));
    QVERIFY(!list.IsListedURL(QString()));
    list.ClearArticles();
    QCOMPARE(list.ArticleCount(), 0);
    QVERIFY(!list.IsListedURL(u"u0"_s));
}

QTEST_GUILESS_MAIN(TestHeadlineParser)
#include "tst_headlineparser.moc"
