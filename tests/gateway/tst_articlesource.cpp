// The article source without sockets: a table of replies stands in for the source's host and a
// clock the test moves for the time (the retry of a failed page, robots.txt's day).
#include "ArticleSource.h"
#include "GatewayWorld.h"

#include <QTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(UpstreamReply)

namespace {

const QString kHost = u"http://news.test"_s;
const QDateTime kStart(QDate(2024, 5, 1), QTime(9, 0));
const QString kDescription = u"駅前の再開発計画の概要が発表された。"_s;
const QStringList kParagraphs{
    u"市は７日、駅前の再開発計画の概要を発表した。老朽化した商業ビルを取り壊し、２０３０年までに"
    u"図書館や保育所を備えた複合施設を整備する。"_s,
    u"事業費は約１２０億円を見込み、国の補助金と民間資金を組み合わせる。市長は「人が集まり、長く"
    u"住み続けられる街にしたい」と話した。"_s,
    u"計画に対しては、周辺の商店主らから工事中の客足の落ち込みを心配する声も上がっており、市は"
    u"来月から説明会を開く。"_s};

QByteArray articlePage(const QStringList &paragraphs)
{
    QString body;
    for (const QString &paragraph : paragraphs)
        body += u"<p>"_s + paragraph + u"</p>"_s;
    return (u"<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>再開発</title></head>"
            u"<body><nav><a href=\"/\">トップ</a></nav><article><div class=\"body\">"_s +
            body + u"</div></article><footer>Copyright</footer></body></html>"_s)
        .toUtf8();
}

UpstreamReply page(const QStringList &paragraphs)
{
    return ScriptedUpstream::reply(200, articlePage(paragraphs), u"text/html; charset=UTF-8"_s);
}

// An English article page in windows-1252, saying so in its <meta>.
const QStringList kEnglish{
    u"The council said on Tuesday that the “riverside plan” would cost €120 million, paid for "
    u"by the city and private investors over ten years."_s,
    u"“It’s the largest project the town has seen,” the mayor said – and the first vote is due "
    u"next month."_s};

QByteArray windows1252(const QString &text)
{
    static const QMap<QChar, char> kHigh{
        {u'€', '\x80'}, {u'’', '\x92'}, {u'“', '\x93'}, {u'”', '\x94'}, {u'–', '\x96'}};
    QByteArray bytes;
    for (const QChar c : text)
        bytes += c.unicode() < 0x80 ? char(c.unicode()) : kHigh.value(c, '?');
    return bytes;
}

UpstreamReply englishPage()
{
    QString body;
    for (const QString &paragraph : kEnglish)
        body += u"<p>"_s + paragraph + u"</p>"_s;
    return ScriptedUpstream::reply(
        200,
        windows1252(u"<html><head><meta charset=\"windows-1252\"><title>Plan</title></head>"
                    u"<body><article>"_s +
                    body + u"</article></body></html>"_s),
        u"text/html"_s);
}

UpstreamReply robots(const QByteArray &text)
{
    return ScriptedUpstream::reply(200, text, u"text/plain"_s);
}

// Categories with each text rule, an archive holding their items, and the source.
struct Fixture : GatewayWorld
{
    Fixture()
        : GatewayWorld(kStart)
    {
        config.settings.feedTextHosts = QStringList{u"feed-only.test"_s};
        config.categories.insert(u"dom"_s, {{QUrl(kHost + u"/rss.xml"_s)}, {}, {}});
        config.categories.insert(u"int"_s,
                                 {{QUrl(kHost + u"/int.xml"_s)}, {TextRule::Kind::Feed, {}}, {}});
        config.categories.insert(u"spo"_s, {{QUrl(kHost + u"/spo.xml"_s)},
                                            {TextRule::Kind::XPath, u"//div[@class='body']/p"_s},
                                            {}});
    }

    // The item as the archive gives it, placed in code.
    ArchivedItem item(const QString &code, const QString &link,
                      const QString &description = kDescription)
    {
        FeedItem feedItem;
        feedItem.title = u"再開発計画 "_s + link;
        feedItem.link = QUrl(link);
        feedItem.description = description;
        archive.store(code, u"http://news.test/rss.xml"_s, u"テスト新聞"_s, {feedItem},
                      clock.now());
        for (const ArchivedItem &each : archive.list(code, clock.now().date(), 0, 100).value) {
            if (each.link == feedItem.link)
                return *archive.item(each.id).value;
        }
        return {};
    }

    ArticleSource source{parts};
};

} // namespace

class tst_ArticleSource : public QObject
{
    Q_OBJECT

private slots:
    void paragraphs_data();
    void paragraphs();
    void storedText_data();
    void storedText();
    void robots_keptForADayOrAnHourAfterAFailure();
    void onePage_askedOnceForAllItsItems();
};

void tst_ArticleSource::paragraphs_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("link");
    QTest::addColumn<QString>("description");
    QTest::addColumn<UpstreamReply>("robotsTxt");
    QTest::addColumn<UpstreamReply>("reply");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<int>("pageFetches");
    QTest::addColumn<QString>("fault"); // part of the one fault line; empty: none

    const QString link = kHost + u"/news/1.html"_s;
    const UpstreamReply allowAll = robots("User-agent: *\nDisallow:\n");
    const QStringList summary{kDescription};
    QTest::newRow("automatic: the page's main text")
        << u"dom"_s << link << kDescription << allowAll << page(kParagraphs) << kParagraphs << 1
        << QString();
    QTest::newRow("automatic: a teaser gives way to the feed's summary")
        << u"dom"_s << link << kDescription << allowAll << page({u"続きは会員登録で。"_s})
        << summary << 1 << QString();
    QTest::newRow("text = feed: the summary, the page never asked")
        << u"int"_s << link << kDescription << allowAll << page(kParagraphs) << summary << 0
        << QString();
    QTest::newRow("feed_text_hosts: the summary, the page never asked")
        << u"dom"_s << u"http://Feed-Only.test/news/1.html"_s << kDescription << allowAll
        << page(kParagraphs) << summary << 0 << QString();
    QTest::newRow("a windows-1252 page keeps its “quotes” and €")
        << u"dom"_s << link << kDescription << allowAll << englishPage() << kEnglish << 1
        << QString();
    QTest::newRow("XPath rule: what it selects")
        << u"spo"_s << link << kDescription << allowAll << page({u"短い本文。"_s})
        << QStringList{u"短い本文。"_s} << 1 << QString();
    QTest::newRow("robots.txt forbids the page")
        << u"dom"_s << link << kDescription << robots("User-agent: *\nDisallow: /news/\n")
        << page(kParagraphs) << summary << 0 << u"robots.txt forbids it"_s;
    QTest::newRow("robots.txt failing: no page for now")
        << u"dom"_s << link << kDescription << ScriptedUpstream::reply(503) << page(kParagraphs)
        << summary << 0 << u"robots.txt answered 503"_s;
    QTest::newRow("robots.txt missing allows everything")
        << u"dom"_s << link << kDescription << ScriptedUpstream::reply(404) << page(kParagraphs)
        << kParagraphs << 1 << QString();
    QTest::newRow("page gone: the summary")
        << u"dom"_s << link << kDescription << allowAll << ScriptedUpstream::reply(410) << summary
        << 1 << u"answered HTTP 410"_s;
    QTest::newRow("no summary either: no text, for the page's notice")
        << u"dom"_s << link << QString() << allowAll
        << ScriptedUpstream::failure(link + u": Connection refused"_s) << QStringList{} << 1
        << u"Connection refused"_s;
}

void tst_ArticleSource::paragraphs()
{
    QFETCH(QString, code);
    QFETCH(QString, link);
    QFETCH(QString, description);
    QFETCH(UpstreamReply, robotsTxt);
    QFETCH(UpstreamReply, reply);
    QFETCH(QStringList, expected);
    QFETCH(int, pageFetches);
    QFETCH(QString, fault);

    Fixture f;
    QVERIFY(f.opened);
    const QUrl url(link);
    f.upstream.set(url.scheme() + u"://"_s + url.authority() + u"/robots.txt"_s, robotsTxt);
    f.upstream.set(link, reply);
    const ArchivedItem item = f.item(code, link, description);
    QVERIFY(item.id > 0);

    QCOMPARE(f.source.paragraphs(item), expected);
    QCOMPARE(f.upstream.count(link), pageFetches);
    if (fault.isEmpty()) {
        QCOMPARE(f.said, QStringList());
    } else {
        QCOMPARE(f.said.size(), 1);
        QVERIFY2(f.said.first().contains(fault), qPrintable(f.said.first()));
    }
    // Served again from the archive, without asking anyone.
    const qsizetype asked = f.upstream.asked().size();
    QCOMPARE(f.source.paragraphs(item), expected);
    QCOMPARE(f.upstream.asked().size(), asked);
}

void tst_ArticleSource::storedText_data()
{
    QTest::addColumn<UpstreamReply>("first");
    QTest::addColumn<int>("advanceMinutes");
    QTest::addColumn<QStringList>("later");
    QTest::addColumn<int>("pageFetches");

    const QStringList summary{kDescription};
    QTest::newRow("server error, 59 minutes on: still the summary")
        << ScriptedUpstream::reply(500) << 59 << summary << 1;
    QTest::newRow("server error, an hour on: the page again")
        << ScriptedUpstream::reply(500) << 60 << kParagraphs << 2;
    QTest::newRow("unreachable, an hour on: the page again")
        << ScriptedUpstream::failure(u"Connection refused"_s) << 60 << kParagraphs << 2;
    QTest::newRow("page gone, a day on: never asked again")
        << ScriptedUpstream::reply(404) << 24 * 60 << summary << 1;
    QTest::newRow("article read, days on: never asked again")
        << page(kParagraphs) << 3 * 24 * 60 << kParagraphs << 1;
}

void tst_ArticleSource::storedText()
{
    QFETCH(UpstreamReply, first);
    QFETCH(int, advanceMinutes);
    QFETCH(QStringList, later);
    QFETCH(int, pageFetches);

    Fixture f;
    QVERIFY(f.opened);
    const QString link = kHost + u"/news/1.html"_s;
    f.upstream.set(link, first);
    const ArchivedItem item = f.item(u"dom"_s, link);
    f.source.paragraphs(item);
    // By now the page would give the whole article.
    f.upstream.set(link, page(kParagraphs));
    f.clock.advance(std::chrono::minutes(advanceMinutes));
    QCOMPARE(f.source.paragraphs(item), later);
    QCOMPARE(f.upstream.count(link), pageFetches);
}

void tst_ArticleSource::robots_keptForADayOrAnHourAfterAFailure()
{
    Fixture f;
    QVERIFY(f.opened);
    const QString robotsTxt = kHost + u"/robots.txt"_s;
    const auto article = [&](int n) {
        const QString link = kHost + u"/news/%1.html"_s.arg(n);
        f.upstream.set(link, page(kParagraphs));
        return f.source.paragraphs(f.item(u"dom"_s, link));
    };

    // Unreadable: no page for an hour, then read again.
    f.upstream.set(robotsTxt, ScriptedUpstream::reply(503));
    QCOMPARE(article(1), QStringList{kDescription});
    f.upstream.set(robotsTxt, robots("User-agent: *\nDisallow: /private/\n"));
    f.clock.advance(std::chrono::minutes(59));
    QCOMPARE(article(2), QStringList{kDescription});
    QCOMPARE(f.upstream.count(robotsTxt), 1);
    f.clock.advance(std::chrono::minutes(2));
    QCOMPARE(article(3), kParagraphs);
    QCOMPARE(f.upstream.count(robotsTxt), 2);

    // Read: kept for a day.
    f.upstream.set(robotsTxt, robots("User-agent: *\nDisallow: /\n"));
    f.clock.advance(std::chrono::hours(23));
    QCOMPARE(article(4), kParagraphs);
    QCOMPARE(f.upstream.count(robotsTxt), 2);
    f.clock.advance(std::chrono::hours(2));
    QCOMPARE(article(5), QStringList{kDescription});
    QCOMPARE(f.upstream.count(robotsTxt), 3);
}

void tst_ArticleSource::onePage_askedOnceForAllItsItems()
{
    Fixture f;
    QVERIFY(f.opened);
    const QString page = kHost + u"/diary.html"_s;
    f.upstream.set(page, ScriptedUpstream::reply(200, articlePage(kParagraphs),
                                                 u"text/html; charset=UTF-8"_s));
    const ArchivedItem first = f.item(u"dom"_s, page + u"#0627"_s);
    const ArchivedItem second = f.item(u"dom"_s, page + u"#0523"_s);
    const ArchivedItem whole = f.item(u"dom"_s, page);
    QVERIFY(first.id != second.id && second.id != whole.id);

    for (const ArchivedItem &item : {first, second, whole})
        QCOMPARE(f.source.paragraphs(item), kParagraphs);
    QCOMPARE(f.upstream.count(page), 1);
    // The fragment never reaches the source.
    for (const UpstreamRequest &asked : f.upstream.asked())
        QVERIFY2(!asked.url.hasFragment(), qPrintable(asked.url.toString()));
}

QTEST_GUILESS_MAIN(tst_ArticleSource)
#include "tst_articlesource.moc"
