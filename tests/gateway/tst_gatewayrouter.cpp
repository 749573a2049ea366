// The gateway's router without sockets: which path gives which page, and which refreshes.
#include "Gateway.h"
#include "ManualClock.h"
#include "ScriptedUpstream.h"
#include "util/CodePage.h"

#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(UpstreamReply)

namespace {

const QString kFeed = u"http://news.test/rss.xml"_s;
const QDateTime kNow(QDate(2024, 5, 1), QTime(9, 0));

QByteArray rss()
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><rss version=\"2.0\"><channel>"
           "<title>テスト新聞</title>"
           "<item><title>A &amp; B</title><link>http://news.test/a</link>"
           "<description>最初の記事の要約。</description>"
           "<pubDate>Wed, 01 May 2024 08:00:00 +0000</pubDate></item>"
           "<item><title>二番目</title><link>http://news.test/b</link>"
           "<description>二番目の要約。</description>"
           "<pubDate>Wed, 01 May 2024 07:00:00 +0000</pubDate></item>"
           "</channel></rss>";
}

// A gateway over one feed of category "dom", in a temporary folder.
struct Fixture
{
    explicit Fixture(FeedsConfig config)
        : gateway(std::move(config), upstream, clock, [](const QString &) {})
    {
        upstream.set(kFeed, ScriptedUpstream::reply(200, rss(), u"application/rss+xml"_s));
        opened = gateway.open(dir.path()).ok;
    }

    QTemporaryDir dir;
    ScriptedUpstream upstream;
    const ManualClock clock{kNow};
    Gateway gateway;
    bool opened = false;
};

FeedsConfig oneFeed(TextRule rule, int itemsPerPage, int refreshSeconds)
{
    FeedsConfig config;
    config.settings.itemsPerPage = itemsPerPage;
    config.settings.refresh = std::chrono::seconds(refreshSeconds);
    config.categories.insert(u"dom"_s, {{QUrl(kFeed)}, rule, {}});
    return config;
}

} // namespace

class tst_GatewayRouter : public QObject
{
    Q_OBJECT

private slots:
    void page_data();
    void page();
    void laterListPages_doNotRefresh();
    void unreadableArchive_503NotAnEmptyDay();
    void sourcesDown_data();
    void sourcesDown();
};

void tst_GatewayRouter::page_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("shows"); // a piece of the page's text

    QTest::newRow("top") << u"/"_s << 200 << u"Varnholtゲートウェイ"_s;
    QTest::newRow("list page: newest first, markup made page-safe")
        << u"/headlines/dom/"_s << 200 << u"A ＆ B"_s;
    QTest::newRow("second list page") << u"/headlines/dom/2"_s << 200 << u"二番目"_s;
    QTest::newRow("past the last list page") << u"/headlines/dom/3"_s << 404 << QString();
    QTest::newRow("category without a section")
        << u"/headlines/bus/"_s << 200 << u"<!-- NO_ARTICLE1 -->"_s;
    QTest::newRow("its later page") << u"/headlines/bus/2"_s << 404 << QString();
    QTest::newRow("a day without items")
        << u"/headlines/240430/dom/"_s << 200 << u"<!-- NO_ARTICLE1 -->"_s;
    QTest::newRow("a day still to come") << u"/headlines/240502/dom/"_s << 404 << QString();
    QTest::newRow("article") << u"/article/1"_s << 200 << u"最初の記事の要約。"_s;
    QTest::newRow("unknown article") << u"/article/99"_s << 404 << QString();
    QTest::newRow("article zero") << u"/article/0"_s << 404 << QString();
    QTest::newRow("article not a number") << u"/article/x"_s << 404 << QString();
    QTest::newRow("anything else") << u"/robots.txt"_s << 404 << QString();
}

void tst_GatewayRouter::page()
{
    QFETCH(QString, path);
    QFETCH(int, status);
    QFETCH(QString, shows);

    Fixture f(oneFeed({TextRule::Kind::Feed, {}}, 1, 600));
    QVERIFY(f.opened);
    // The category's first page fills the archive.
    QCOMPARE(f.gateway.page(u"/headlines/dom/"_s).status, 200);
    const PageReply reply = f.gateway.page(path);
    QCOMPARE(reply.status, status);
    if (!shows.isEmpty()) {
        const QString text = CodePage::fromEucJp(reply.body);
        QVERIFY2(text.contains(shows), qPrintable(text));
    }
}

void tst_GatewayRouter::laterListPages_doNotRefresh()
{
    Fixture f(oneFeed({}, 20, 0));
    QVERIFY(f.opened);
    // Before the first page, a later one finds nothing and asks no one.
    QCOMPARE(f.gateway.page(u"/headlines/dom/2"_s).status, 404);
    QCOMPARE(f.upstream.count(kFeed), 0);
    QCOMPARE(f.gateway.page(u"/headlines/dom/"_s).status, 200);
    QCOMPARE(f.gateway.page(u"/headlines/dom/"_s).status, 200);
    QCOMPARE(f.upstream.count(kFeed), 2);
    QCOMPARE(f.gateway.page(u"/headlines/240430/dom/"_s).status, 200);
    QCOMPARE(f.upstream.count(kFeed), 3);
}

void tst_GatewayRouter::unreadableArchive_503NotAnEmptyDay()
{
    QStringList said;
    ScriptedUpstream upstream;
    upstream.set(kFeed, ScriptedUpstream::reply(200, rss(), u"application/rss+xml"_s));
    const ManualClock clock{kNow};
    Gateway gateway(oneFeed({TextRule::Kind::Feed, {}}, 20, 0), upstream, clock,
                    [&said](const QString &line) { said << line; });
    QTemporaryDir dir;
    QVERIFY(gateway.open(dir.path()));
    QCOMPARE(gateway.page(u"/headlines/dom/"_s).status, 200);

    // The archive loses a table under the gateway's feet: nothing it asks can be read.
    sqlite3 *db = nullptr;
    const QString archive = dir.filePath(u"archive.sqlite"_s);
    QCOMPARE(sqlite3_open(archive.toUtf8().constData(), &db), SQLITE_OK);
    QCOMPARE(sqlite3_exec(db, "DROP TABLE placements", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);

    for (const QString &path :
         {u"/headlines/dom/"_s, u"/headlines/240430/dom/"_s, u"/article/1"_s}) {
        const PageReply reply = gateway.page(path);
        QCOMPARE(reply.status, 503);
        QVERIFY(!CodePage::fromEucJp(reply.body).contains(u"<!-- NO_ARTICLE1 -->"_s));
        QCOMPARE(reply.headers, (QList<std::pair<QByteArray, QByteArray>>{{"Retry-After", "60"}}));
    }
    // Said with the file and SQLite's reason, once (the feed's own line says it could not be
    // kept).
    QCOMPARE(std::count(said.cbegin(), said.cend(), archive + u": no such table: placements"_s), 1);
}

void tst_GatewayRouter::sourcesDown_data()
{
    QTest::addColumn<UpstreamReply>("one");
    QTest::addColumn<UpstreamReply>("two");
    QTest::addColumn<bool>("keptBefore"); // the day's items were read at an earlier refresh
    QTest::addColumn<int>("refreshSeconds");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("retryAfter"); // -1: none

    const UpstreamReply down = ScriptedUpstream::failure(kFeed + u": Connection refused"_s);
    const UpstreamReply empty = ScriptedUpstream::reply(
        200, "<rss version=\"2.0\"><channel><title>T</title></channel></rss>");
    UpstreamReply busy = ScriptedUpstream::reply(429, "slow down", u"text/plain"_s);
    busy.retryAfter = std::chrono::seconds(7200);
    QTest::newRow("every feed down, nothing kept: 503 until the next try")
        << down << down << false << 600 << 503 << 600;
    QTest::newRow("every feed down, the day kept: its items")
        << down << down << true << 0 << 200 << -1;
    QTest::newRow("one feed down, the other empty: an empty day")
        << down << empty << false << 600 << 200 << -1;
    QTest::newRow("one asks to wait, the other is broken: 503 until the first may be asked")
        << busy << ScriptedUpstream::reply(500) << false << 600 << 503 << 600;
    QTest::newRow("both ask to wait: 503 for as long")
        << busy << busy << false << 600 << 503 << 7200;
    QTest::newRow("not modified is no failure")
        << ScriptedUpstream::reply(304) << down << false << 600 << 200 << -1;
}

void tst_GatewayRouter::sourcesDown()
{
    QFETCH(UpstreamReply, one);
    QFETCH(UpstreamReply, two);
    QFETCH(bool, keptBefore);
    QFETCH(int, refreshSeconds);
    QFETCH(int, status);
    QFETCH(int, retryAfter);

    const QString second = u"http://wire.test/rss.xml"_s;
    FeedsConfig config = oneFeed({TextRule::Kind::Feed, {}}, 20, refreshSeconds);
    config.categories[u"dom"_s].feeds.append(QUrl(second));
    QStringList said;
    ScriptedUpstream upstream;
    ManualClock clock{kNow};
    Gateway gateway(config, upstream, clock, [&said](const QString &line) { said << line; });
    QTemporaryDir dir;
    QVERIFY(gateway.open(dir.path()));
    if (keptBefore) {
        upstream.set(kFeed, ScriptedUpstream::reply(200, rss(), u"application/rss+xml"_s));
        QCOMPARE(gateway.page(u"/headlines/dom/"_s).status, 200);
    }
    upstream.set(kFeed, one);
    upstream.set(second, two);

    // Varnholt asks, and asks again a second later after its retry question.
    for (int attempt = 0; attempt < 2; ++attempt) {
        const PageReply reply = gateway.page(u"/headlines/dom/"_s);
        QCOMPARE(reply.status, status);
        const QString page = CodePage::fromEucJp(reply.body);
        if (status == 503) {
            QCOMPARE(reply.headers.size(), 1);
            QCOMPARE(reply.headers.first().first, QByteArray("Retry-After"));
            QCOMPARE(reply.headers.first().second.toInt(), retryAfter - attempt);
            QVERIFY(!page.contains(u"<!-- NO_ARTICLE1 -->"_s));
        } else {
            QVERIFY(reply.headers.isEmpty());
            QCOMPARE(page.contains(u"<!-- NO_ARTICLE1 -->"_s), !keptBefore);
        }
        clock.advance(std::chrono::seconds(1));
    }
    // Said once, naming the category and the day.
    QCOMPARE(said.filter(u"[dom] every feed failed and nothing is kept for 2024-05-01"_s).size(),
             status == 503 ? 1 : 0);
}

QTEST_GUILESS_MAIN(tst_GatewayRouter)
#include "tst_gatewayrouter.moc"
