// The feed refresher without sockets: a table of replies stands in for the sources and a
// clock the test moves for the time (the refresh interval, Retry-After, keep_days).
#include "FeedRefresher.h"
#include "GatewayWorld.h"

#include <QTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(UpstreamReply)

namespace {

const QString kFeed = u"http://news.test/rss.xml"_s;
const QDateTime kStart(QDate(2024, 5, 1), QTime(9, 0));

QByteArray rss(const QStringList &titles)
{
    QByteArray items;
    for (qsizetype i = 0; i < titles.size(); ++i)
        items += "<item><title>" + titles.at(i).toUtf8() + "</title><link>http://news.test/" +
                 QByteArray::number(i) + "</link></item>";
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><rss version=\"2.0\"><channel>"
           "<title>Src</title>" +
           items + "</channel></rss>";
}

UpstreamReply feed(const QStringList &titles, const QByteArray &etag = {})
{
    UpstreamReply reply = ScriptedUpstream::reply(200, rss(titles), u"application/rss+xml"_s);
    reply.etag = etag;
    reply.lastModified = etag.isEmpty() ? QByteArray() : "Wed, 01 May 2024 00:00:00 GMT";
    return reply;
}

// The feed of titles cut off inside its last item's title, as a broken download leaves it.
UpstreamReply cutFeed(const QStringList &titles, const QByteArray &etag)
{
    UpstreamReply reply = feed(titles, etag);
    reply.body.truncate(reply.body.lastIndexOf("<title>") + 8);
    return reply;
}

UpstreamReply busy(int seconds)
{
    UpstreamReply reply = ScriptedUpstream::reply(429, "slow down", u"text/plain"_s);
    reply.retryAfter = std::chrono::seconds(seconds);
    return reply;
}

// One category, one feed, and everything the refresher reads and writes.
struct Fixture : GatewayWorld
{
    explicit Fixture(int refreshMinutes, int keepDays = 14)
        : GatewayWorld(kStart)
    {
        config.settings.refresh = std::chrono::minutes(refreshMinutes);
        config.settings.keepDays = keepDays;
        config.categories.insert(u"dom"_s, {{QUrl(kFeed)}, {}, {}});
    }

    FeedRefresher refresher{parts};
};

} // namespace

class tst_FeedRefresher : public QObject
{
    Q_OBJECT

private slots:
    void twoRefreshes_data();
    void twoRefreshes();
    void keepDays_dropsDaysAsTheClockMoves();
    void match_keepsOnlyTitlesWithAWord();
    void everyItemKept_mergesSaidOncePerRefresh();
};

void tst_FeedRefresher::twoRefreshes_data()
{
    QTest::addColumn<int>("refreshMinutes");
    QTest::addColumn<UpstreamReply>("first");
    QTest::addColumn<int>("advanceSeconds");
    QTest::addColumn<UpstreamReply>("second");
    QTest::addColumn<int>("fetches");
    QTest::addColumn<QByteArray>("secondEtag");
    QTest::addColumn<int>("items");
    QTest::addColumn<QStringList>("faults"); // what each fault line says, in order

    const UpstreamReply one = feed({u"一"_s}, "\"e1\"");
    const UpstreamReply two = feed({u"一"_s, u"二"_s}, "\"e2\"");
    QTest::newRow("within the refresh interval: asked once")
        << 10 << one << 9 * 60 << two << 1 << QByteArray() << 1 << QStringList();
    QTest::newRow("interval passed: asked again with the feed's validators")
        << 10 << one << 10 * 60 << two << 2 << QByteArray("\"e1\"") << 2 << QStringList();
    QTest::newRow("not modified: the items stay")
        << 10 << one << 10 * 60 << ScriptedUpstream::reply(304) << 2 << QByteArray("\"e1\"") << 1
        << QStringList();
    QTest::newRow("Retry-After holds the feed off beyond the interval")
        << 0 << busy(120) << 119 << one << 1 << QByteArray() << 0
        << QStringList{u"feed http://news.test/rss.xml: answered 429, retrying in 120 s"_s};
    QTest::newRow("Retry-After over: asked again")
        << 0 << busy(120) << 120 << one << 2 << QByteArray() << 1
        << QStringList{u"answered 429, retrying in 120 s"_s};
    QTest::newRow("the same fault is said once")
        << 0 << ScriptedUpstream::failure(kFeed + u": Connection refused"_s) << 60
        << ScriptedUpstream::failure(kFeed + u": Connection refused"_s) << 2 << QByteArray() << 0
        << QStringList{u"[dom] feed http://news.test/rss.xml: http://news.test/rss.xml: "
                       u"Connection refused"_s};
    const UpstreamReply cut = cutFeed({u"一"_s, u"二"_s, u"三"_s}, "\"e1\"");
    QTest::newRow("cut off: the items before the cut, said once, read whole again")
        << 0 << cut << 60 << cut << 2 << QByteArray() << 2
        << QStringList{u"[dom] feed http://news.test/rss.xml: not well-formed at line 1 "
                       u"(Premature end of data in tag title line 1); 2 item(s) read"_s};
    QTest::newRow("cut off, then whole: every item")
        << 0 << cut << 60 << feed({u"一"_s, u"二"_s, u"三"_s}, "\"e2\"") << 2 << QByteArray() << 3
        << QStringList{u"2 item(s) read"_s};
    QTest::newRow("an HTTP error, then a page that is no feed")
        << 0 << ScriptedUpstream::reply(500) << 60
        << ScriptedUpstream::reply(200, "<html><body>maintenance</body></html>") << 2
        << QByteArray() << 0
        << QStringList{u"answered HTTP 500"_s,
                       u"not an RSS or Atom feed (the document is <html>)"_s};
}

void tst_FeedRefresher::twoRefreshes()
{
    QFETCH(int, refreshMinutes);
    QFETCH(UpstreamReply, first);
    QFETCH(int, advanceSeconds);
    QFETCH(UpstreamReply, second);
    QFETCH(int, fetches);
    QFETCH(QByteArray, secondEtag);
    QFETCH(int, items);
    QFETCH(QStringList, faults);

    Fixture f(refreshMinutes);
    QVERIFY(f.opened);
    f.upstream.set(kFeed, first);
    f.refresher.refresh(u"dom"_s);
    f.clock.advance(std::chrono::seconds(advanceSeconds));
    f.upstream.set(kFeed, second);
    f.refresher.refresh(u"dom"_s);

    const QList<UpstreamRequest> asked = f.upstream.asked();
    QCOMPARE(asked.size(), fetches);
    QCOMPARE(asked.first().etag, QByteArray());
    if (fetches == 2) {
        QCOMPARE(asked.last().etag, secondEtag);
        QCOMPARE(asked.last().lastModified.isEmpty(), secondEtag.isEmpty());
    }
    QCOMPARE(f.archive.count(u"dom"_s, kStart.date()).value, items);
    QCOMPARE(f.said.size(), faults.size());
    for (qsizetype i = 0; i < faults.size(); ++i)
        QVERIFY2(f.said.at(i).contains(faults.at(i)), qPrintable(f.said.at(i)));
}

void tst_FeedRefresher::keepDays_dropsDaysAsTheClockMoves()
{
    Fixture f(0, 2);
    QVERIFY(f.opened);
    f.upstream.set(kFeed, feed({u"初日"_s}));
    f.refresher.refresh(u"dom"_s);
    QCOMPARE(f.archive.count(u"dom"_s, kStart.date()).value, 1);

    // The feed has moved on; the first day is kept for two more days, then dropped.
    f.upstream.set(kFeed, feed({}));
    f.clock.advance(std::chrono::hours(48));
    f.refresher.refresh(u"dom"_s);
    QCOMPARE(f.archive.count(u"dom"_s, kStart.date()).value, 1);
    f.clock.advance(std::chrono::hours(24));
    f.refresher.refresh(u"dom"_s);
    QCOMPARE(f.archive.count(u"dom"_s, kStart.date()).value, 0);
}

void tst_FeedRefresher::match_keepsOnlyTitlesWithAWord()
{
    Fixture f(0);
    QVERIFY(f.opened);
    f.config.categories[u"dom"_s].match = QStringList{u"株価"_s, u"為替"_s};
    f.upstream.set(kFeed, feed({u"株価が続伸"_s, u"天気は晴れ"_s, u"為替の動き"_s}));
    f.refresher.refresh(u"dom"_s);
    QStringList titles;
    for (const ArchivedItem &item : f.archive.list(u"dom"_s, kStart.date(), 0, 10).value)
        titles << item.title;
    titles.sort();
    QCOMPARE(titles, (QStringList{u"株価が続伸"_s, u"為替の動き"_s}));
}

void tst_FeedRefresher::everyItemKept_mergesSaidOncePerRefresh()
{
    Fixture f(0);
    QVERIFY(f.opened);
    const QString other = u"http://wire.test/rss.xml"_s;
    f.config.categories[u"dom"_s].feeds.append(QUrl(other));
    const auto feedOf = [](const QByteArray &items) {
        return ScriptedUpstream::reply(
            200,
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?><rss version=\"2.0\"><channel>"
            "<title>Src</title>" +
                items + "</channel></rss>",
            u"application/rss+xml"_s);
    };
    // A diary's days on one page, a news list's entries under one link, a guid.
    f.upstream.set(kFeed, feedOf("<item><title>6月27日</title><link>/d.html#0627</link></item>"
                                 "<item><title>5月23日</title><link>/d.html#0523</link></item>"
                                 "<item><title>人事</title><link>/list.html</link></item>"
                                 "<item><title>休止</title><link>/list.html</link></item>"
                                 "<item><title>速報</title><link>/5</link>"
                                 "<guid>https://news.test/g/5</guid></item>"));
    // The other feed of the category tells two of these stories again.
    f.upstream.set(other, feedOf("<item><title>速報（続報）</title><link>/m/5</link>"
                                 "<guid>https://news.test/g/5</guid></item>"
                                 "<item><title>6月27日</title><link>/elsewhere</link></item>"));

    f.refresher.refresh(u"dom"_s);
    QStringList titles;
    for (const ArchivedItem &item : f.archive.list(u"dom"_s, kStart.date(), 0, 20).value)
        titles << item.title;
    titles.sort();
    QCOMPARE(titles.size(), 5);
    QCOMPARE(titles.filter(u"6月27日"_s).size(), 1);
    QVERIFY(titles.contains(u"5月23日"_s) && titles.contains(u"人事"_s) &&
            titles.contains(u"休止"_s));

    const QString merged = u"[dom] 2 item(s) shown once as the same story"_s;
    QCOMPARE(f.said.filter(merged).size(), 1);
    f.clock.advance(std::chrono::minutes(1));
    f.refresher.refresh(u"dom"_s);
    QCOMPARE(f.said.filter(merged).size(), 2);
}

QTEST_GUILESS_MAIN(tst_FeedRefresher)
#include "tst_feedrefresher.moc"
