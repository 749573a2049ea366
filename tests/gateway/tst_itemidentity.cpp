// What tells a feed's items apart: guid, Atom id or rdf:about, else the whole link; titles where
// a feed gives one identity to several stories.
#include "feeds/FeedParser.h"
#include "feeds/ItemIdentity.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QByteArray rss(const QByteArray &items)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><rss version=\"2.0\"><channel>"
           "<title>Src</title>" +
           items + "</channel></rss>";
}

QByteArray rssItem(const QByteArray &title, const QByteArray &link, const QByteArray &guid = {})
{
    return "<item><title>" + title + "</title><link>" + link + "</link>" + guid + "</item>";
}

} // namespace

class tst_ItemIdentity : public QObject
{
    Q_OBJECT

private slots:
    void identities_data();
    void identities();
};

void tst_ItemIdentity::identities_data()
{
    QTest::addColumn<QByteArray>("feed");
    QTest::addColumn<QStringList>("identities");
    QTest::addColumn<int>("repeats");

    QTest::newRow("guid that is an address")
        << rss(rssItem("A", "/a", "<guid>https://news.test/g/1</guid>"))
        << QStringList{u"https://news.test/g/1"_s} << 0;
    QTest::newRow("bare guid, known within its site")
        << rss(rssItem("A", "/a", "<guid isPermaLink=\"false\">k10014</guid>"))
        << QStringList{u"news.test k10014"_s} << 0;
    QTest::newRow("Atom id")
        << QByteArray("<feed xmlns=\"http://www.w3.org/2005/Atom\"><title>At</title><entry>"
                      "<title>A</title><id>tag:news.test,2024:1</id><link href=\"/a\"/></entry>"
                      "</feed>")
        << QStringList{u"tag:news.test,2024:1"_s} << 0;
    QTest::newRow("rdf:about")
        << QByteArray("<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\" "
                      "xmlns=\"http://purl.org/rss/1.0/\"><item rdf:about=\"http://news.test/r#1\">"
                      "<title>R</title><link>http://news.test/r</link></item></rdf:RDF>")
        << QStringList{u"http://news.test/r#1"_s} << 0;
    QTest::newRow("no guid: the whole link with its fragment")
        << rss(rssItem("6月27日", "/diary.html#0627") + rssItem("5月23日", "/diary.html#0523"))
        << QStringList{u"http://news.test/diary.html#0627"_s, u"http://news.test/diary.html#0523"_s}
        << 0;
    QTest::newRow("one link, two titles: two stories")
        << rss(rssItem("人事のお知らせ", "/news.html") + rssItem("窓口の休止", "/news.html"))
        << QStringList{u"http://news.test/news.html\n人事のお知らせ"_s,
                       u"http://news.test/news.html\n窓口の休止"_s}
        << 0;
    QTest::newRow("one guid, two titles: two stories")
        << rss(rssItem("A", "/a", "<guid>https://news.test/g</guid>") +
               rssItem("B", "/b", "<guid>https://news.test/g</guid>"))
        << QStringList{u"https://news.test/g\nA"_s, u"https://news.test/g\nB"_s} << 0;
    QTest::newRow("one item given twice: kept once")
        << rss(rssItem("A", "/a", "<guid>https://news.test/g</guid>") + rssItem("X", "/x") +
               rssItem("A", "/a2", "<guid>https://news.test/g</guid>"))
        << QStringList{u"https://news.test/g"_s, u"http://news.test/x"_s} << 1;
}

void tst_ItemIdentity::identities()
{
    QFETCH(QByteArray, feed);
    QFETCH(QStringList, identities);
    QFETCH(int, repeats);

    const QUrl address(u"http://News.test/rss.xml"_s);
    FeedParseResult parsed = ParseFeed(feed, {}, address);
    QVERIFY2(parsed.ok, qPrintable(parsed.error));
    QCOMPARE(AssignIdentities(parsed.items, address), repeats);
    QStringList got;
    for (const FeedItem &item : std::as_const(parsed.items))
        got << IdentityOf(item);
    QCOMPARE(got, identities);
}

QTEST_GUILESS_MAIN(tst_ItemIdentity)
#include "tst_itemidentity.moc"
