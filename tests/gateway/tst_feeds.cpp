// Reading feeds: dates, charsets, the three formats, plain text, and the feeds file.
#include "feeds/FeedDate.h"
#include "feeds/FeedParser.h"
#include "feeds/FeedsFile.h"
#include "feeds/PlainText.h"
#include "util/CodePage.h"

#include <QTest>
#include <QTimeZone>

using namespace Qt::StringLiterals;

namespace {

QDateTime utc(int y, int mo, int d, int h, int mi, int s = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC);
}

QByteArray rss(const QByteArray &encoding, const QByteArray &items)
{
    return "<?xml version=\"1.0\" encoding=\"" + encoding +
           "\"?><rss version=\"2.0\"><channel><title>Src</title>" + items + "</channel></rss>";
}

} // namespace

class tst_Feeds : public QObject
{
    Q_OBJECT

private slots:
    void feedDate_data();
    void feedDate();
    void feedDate_withoutZoneIsLocal();
    void charset_data();
    void charset();
    void parse_data();
    void parse();
    void parse_breaks_data();
    void parse_breaks();
    void parse_rejects_data();
    void parse_rejects();
    void summaryText_data();
    void summaryText();
    void feedsFile_data();
    void feedsFile();
    void feedsFile_errors_data();
    void feedsFile_errors();
    void shippedFeedsFile_coversEveryCategory();
};

void tst_Feeds::feedDate_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDateTime>("expected"); // invalid: not a date

    QTest::newRow("rfc822 offset")
        << u"Wed, 01 May 2024 09:30:15 +0900"_s << utc(2024, 5, 1, 0, 30, 15);
    QTest::newRow("rfc822 GMT") << u"Wed, 01 May 2024 09:30:15 GMT"_s << utc(2024, 5, 1, 9, 30, 15);
    QTest::newRow("rfc822 JST") << u"Wed, 01 May 2024 09:30 JST"_s << utc(2024, 5, 1, 0, 30);
    QTest::newRow("rfc822 EST") << u"1 May 2024 09:30:00 EST"_s << utc(2024, 5, 1, 14, 30);
    QTest::newRow("rfc822 UT") << u"Wed, 1 May 2024 09:30:00 UT"_s << utc(2024, 5, 1, 9, 30);
    QTest::newRow("rfc822 Z") << u"Wed, 1 May 2024 09:30:00 Z"_s << utc(2024, 5, 1, 9, 30);
    QTest::newRow("two-digit year") << u"Wed, 01 May 24 09:30:00 +0000"_s << utc(2024, 5, 1, 9, 30);
    QTest::newRow("two-digit year, last century")
        << u"Sat, 01 May 99 09:30:00 +0000"_s << utc(1999, 5, 1, 9, 30);
    QTest::newRow("full month name")
        << u"01 December 2024 23:59:59 +0100"_s << utc(2024, 12, 1, 22, 59, 59);
    QTest::newRow("extra spaces") << u"  Wed,  01 May 2024  09:30:15  +0900 "_s
                                  << utc(2024, 5, 1, 0, 30, 15);
    QTest::newRow("rfc3339 offset") << u"2024-05-01T09:30:15+09:00"_s << utc(2024, 5, 1, 0, 30, 15);
    QTest::newRow("rfc3339 Z, fraction")
        << u"2024-05-01T09:30:15.250Z"_s << utc(2024, 5, 1, 9, 30, 15);
    QTest::newRow("dc:date without seconds")
        << u"2024-05-01T09:30+09:00"_s << utc(2024, 5, 1, 0, 30);
    QTest::newRow("offset without colon")
        << u"2024-05-01T09:30:00-0500"_s << utc(2024, 5, 1, 14, 30);
    QTest::newRow("not a date") << u"yesterday"_s << QDateTime();
    QTest::newRow("empty") << QString() << QDateTime();
    QTest::newRow("month 13") << u"2024-13-01T00:00:00Z"_s << QDateTime();
    QTest::newRow("unknown month") << u"01 Foo 2024 09:30:00 GMT"_s << QDateTime();
    QTest::newRow("unknown zone") << u"01 May 2024 09:30:00 XYZW"_s << QDateTime();
}

void tst_Feeds::feedDate()
{
    QFETCH(QString, text);
    QFETCH(QDateTime, expected);
    const QDateTime parsed = ParseFeedDate(text);
    QCOMPARE(parsed.isValid(), expected.isValid());
    if (expected.isValid())
        QCOMPARE(parsed.toUTC(), expected);
}

void tst_Feeds::feedDate_withoutZoneIsLocal()
{
    QCOMPARE(ParseFeedDate(u"2024-05-01 09:30"_s), QDateTime(QDate(2024, 5, 1), QTime(9, 30)));
    QCOMPARE(ParseFeedDate(u"2024-05-01"_s), QDateTime(QDate(2024, 5, 1), QTime(0, 0)));
}

void tst_Feeds::charset_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("contentType");
    QTest::addColumn<QString>("text");

    const QString japanese = u"髙橋①～ニュース"_s;
    QTest::newRow("EUC-JP declared")
        << rss("EUC-JP",
               "<item><title>" + CodePage::toEucJp(japanese) + "</title><link>/a</link></item>")
        << QString() << japanese;
    QTest::newRow("Shift_JIS declared, header says UTF-8")
        << rss("Shift_JIS",
               "<item><title>" + CodePage::toCp932(japanese) + "</title><link>/a</link></item>")
        << u"text/xml; charset=UTF-8"_s << japanese;
    QTest::newRow("header only") << QByteArray("<rss><channel><item><title>" +
                                               CodePage::toCp932(japanese) +
                                               "</title><link>/a</link></item></channel></rss>")
                                 << u"application/rss+xml; charset=\"Shift_JIS\""_s << japanese;
    QTest::newRow("UTF-8 BOM, no declaration")
        << QByteArray("\xEF\xBB\xBF<rss><channel><item><title>" + japanese.toUtf8() +
                      "</title><link>/a</link></item></channel></rss>")
        << u"text/xml; charset=EUC-JP"_s << japanese;
    QTest::newRow("nothing named: UTF-8")
        << QByteArray("<rss><channel><item><title>" + japanese.toUtf8() +
                      "</title><link>/a</link></item></channel></rss>")
        << QString() << japanese;
    // Wrong declarations: the bytes win.
    QTest::newRow("valid UTF-8 declared as Shift_JIS")
        << rss("Shift_JIS", "<item><title>" + japanese.toUtf8() + "</title><link>/a</link></item>")
        << QString() << japanese;
    QTest::newRow("valid UTF-8, header says EUC-JP")
        << QByteArray("<rss><channel><item><title>" + japanese.toUtf8() +
                      "</title><link>/a</link></item></channel></rss>")
        << u"text/xml; charset=EUC-JP"_s << japanese;
    QTest::newRow("Shift_JIS declared as UTF-8")
        << rss("UTF-8",
               "<item><title>" + CodePage::toCp932(japanese) + "</title><link>/a</link></item>")
        << QString() << japanese;
    QTest::newRow("windows-1252: quotes and the euro sign")
        << rss("windows-1252", "<item><title>\x93Price\x94 \x80"
                               "5</title><link>/a</link></item>")
        << QString() << u"“Price” €5"_s;
}

void tst_Feeds::charset()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, contentType);
    QFETCH(QString, text);
    const FeedParseResult result = ParseFeed(bytes, contentType, QUrl(u"http://x.test/f"_s));
    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(result.items.size(), 1);
    QCOMPARE(result.items.first().title, text);
}

void tst_Feeds::parse_data()
{
    QTest::addColumn<QByteArray>("feed");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<QStringList>("links");
    QTest::addColumn<QStringList>("descriptions");
    QTest::addColumn<QList<QDateTime>>("dates");

    const QUrl base(u"http://news.test/rss/feed.xml"_s);
    QTest::newRow("rss 2.0") << rss("UTF-8",
                                    "<item><title>A &amp; B</title><link>http://news.test/a</link>"
                                    "<description>&lt;p&gt;One&lt;/p&gt;&lt;p&gt;Two &amp;amp; "
                                    "three&lt;/p&gt;</description>"
                                    "<pubDate>Wed, 01 May 2024 09:30:00 +0900</pubDate></item>")
                             << u"Src"_s << QStringList{u"A & B"_s}
                             << QStringList{u"http://news.test/a"_s}
                             << QStringList{u"One\nTwo & three"_s}
                             << QList<QDateTime>{utc(2024, 5, 1, 0, 30)};
    QTest::newRow("cdata, nbsp and markup in the title, relative link")
        << rss("UTF-8",
               "<item><title><![CDATA[<b>速報</b>&nbsp;地震]]></title><link>../a?id=1#top</link>"
               "<description>x&nbsp;y&copy;</description></item>")
        << u"Src"_s << QStringList{u"速報 地震"_s} << QStringList{u"http://news.test/a?id=1#top"_s}
        << QStringList{u"x y©"_s} << QList<QDateTime>{QDateTime()};
    QTest::newRow("guid as the link, content:encoded kept apart")
        << QByteArray(
               "<rss xmlns:content=\"http://purl.org/rss/1.0/modules/content/\"><channel>"
               "<item><title>T</title><guid>https://news.test/g</guid>"
               "<content:encoded><![CDATA[<p>Full</p><script>x()</script>]]></content:encoded>"
               "</item><item><title>No link</title><guid isPermaLink=\"false\">id-1</guid>"
               "</item></channel></rss>")
        << QString() << QStringList{u"T"_s} << QStringList{u"https://news.test/g"_s}
        << QStringList{QString()} << QList<QDateTime>{QDateTime()};
    QTest::newRow("rss 1.0")
        << QByteArray(
               "<?xml version=\"1.0\"?><rdf:RDF "
               "xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\" "
               "xmlns=\"http://purl.org/rss/1.0/\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\">"
               "<channel><title>Wire</title></channel><item rdf:about=\"http://news.test/r\">"
               "<title>R</title><description>d</description>"
               "<dc:date>2024-05-01T09:30:00+09:00</dc:date></item></rdf:RDF>")
        << u"Wire"_s << QStringList{u"R"_s} << QStringList{u"http://news.test/r"_s}
        << QStringList{u"d"_s} << QList<QDateTime>{utc(2024, 5, 1, 0, 30)};
    QTest::newRow("atom")
        << QByteArray(
               "<feed xmlns=\"http://www.w3.org/2005/Atom\"><title>At</title><entry>"
               "<title type=\"text\">1 &lt; 2</title><link rel=\"self\" href=\"/self\"/>"
               "<link rel=\"alternate\" href=\"/e1\"/><summary "
               "type=\"html\">&lt;i&gt;s&lt;/i&gt;</summary>"
               "<updated>2024-05-01T00:00:00Z</updated><published>2024-04-30T00:00:00Z</published>"
               "</entry></feed>")
        << u"At"_s << QStringList{u"1 < 2"_s} << QStringList{u"http://news.test/e1"_s}
        << QStringList{u"s"_s} << QList<QDateTime>{utc(2024, 4, 30, 0, 0)};
    QTest::newRow("full-width spaces kept in titles")
        << rss("UTF-8", "<item><title>首相　来月訪米へ</title><link>/a</link>"
                        "<description>&lt;p&gt;政府　発表&lt;/p&gt;</description></item>")
        << u"Src"_s << QStringList{u"首相　来月訪米へ"_s} << QStringList{u"http://news.test/a"_s}
        << QStringList{u"政府　発表"_s} << QList<QDateTime>{QDateTime()};
    QTest::newRow("full-width spaces kept in an atom text title")
        << QByteArray("<feed xmlns=\"http://www.w3.org/2005/Atom\"><entry>"
                      "<title type=\"text\">速報　地震 &lt;続報&gt;</title><link href=\"/e\"/>"
                      "<summary type=\"text\">　要約　です　</summary></entry></feed>")
        << QString() << QStringList{u"速報　地震 <続報>"_s} << QStringList{u"http://news.test/e"_s}
        << QStringList{u"要約　です"_s} << QList<QDateTime>{QDateTime()};
    QTest::newRow("non-web links dropped")
        << rss("UTF-8", "<item><title>J</title><link>javascript:alert(1)</link></item>"
                        "<item><title>F</title><link>file:///etc/passwd</link></item>"
                        "<item><title>M</title><link>mailto:a@b</link></item>")
        << u"Src"_s << QStringList{} << QStringList{} << QStringList{} << QList<QDateTime>{};
    QTest::newRow("recovers from a stray ampersand and a cut end")
        << QByteArray(
               "<rss><channel><item><title>Q&A</title><link>/q</link></item><item><title>Cut")
        << QString() << QStringList{u"Q&A"_s} << QStringList{u"http://news.test/q"_s}
        << QStringList{QString()} << QList<QDateTime>{QDateTime()};
}

void tst_Feeds::parse()
{
    QFETCH(QByteArray, feed);
    QFETCH(QString, source);
    QFETCH(QStringList, titles);
    QFETCH(QStringList, links);
    QFETCH(QStringList, descriptions);
    QFETCH(QList<QDateTime>, dates);

    const FeedParseResult result = ParseFeed(feed, {}, QUrl(u"http://news.test/rss/feed.xml"_s));
    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(result.source, source);
    QStringList gotTitles, gotLinks, gotDescriptions;
    for (const FeedItem &item : result.items) {
        gotTitles << item.title;
        gotLinks << item.link.toString();
        gotDescriptions << item.description;
    }
    QCOMPARE(gotTitles, titles);
    QCOMPARE(gotLinks, links);
    QCOMPARE(gotDescriptions, descriptions);
    for (qsizetype i = 0; i < dates.size(); ++i)
        QCOMPARE(result.items.at(i).published.toUTC(), dates.at(i).toUTC());
}

void tst_Feeds::parse_breaks_data()
{
    QTest::addColumn<QByteArray>("feed");
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<int>("line"); // of the break; 0: none
    QTest::addColumn<QString>("reason");

    const QByteArray head = "<?xml version=\"1.0\"?>\n<rss><channel><title>Src</title>\n";
    const auto item = [](const QByteArray &title) -> QByteArray {
        return "<item><title>" + title + "</title><link>/" + title + "</link></item>\n";
    };
    const QByteArray whole = head + item("A") + item("B") + item("C") + "</channel></rss>\n";
    QTest::newRow("whole") << whole << QStringList{u"A"_s, u"B"_s, u"C"_s} << 0 << QString();
    QTest::newRow("an undeclared prefix is no break")
        << QByteArray(head + item("A") + "<x:y/></channel></rss>") << QStringList{u"A"_s} << 0
        << QString();
    QTest::newRow("cut off inside an item")
        << whole.left(whole.indexOf("<title>C")) + "<title>C" << QStringList{u"A"_s, u"B"_s} << 5
        << u"Premature end of data in tag title line 5"_s;
    QTest::newRow("a bad character reference: the items around it")
        << QByteArray(head + item("A") + item("B&#0;") + item("C") + "</channel></rss>")
        << QStringList{u"A"_s, u"B"_s, u"C"_s} << 4
        << u"xmlParseCharRef: invalid xmlChar value 0"_s;
    QTest::newRow("an attribute without quotes: read on")
        << QByteArray(head + item("A") + "<item x=1>" + item("B") + item("C") + "</channel></rss>")
        << QStringList{u"A"_s, u"B"_s, u"C"_s} << 4 << u"AttValue: \" or ' expected"_s;
    QTest::newRow("the document ends early: what follows is lost")
        << QByteArray(head + item("A") + "</channel></rss>\n" + item("B") + "</channel></rss>")
        << QStringList{u"A"_s} << 5 << u"Extra content at the end of the document"_s;
    QTest::newRow("closed before the first item: nothing, and said")
        << QByteArray("<rss><channel><title>Src</title></channel></rss>\n" + item("A"))
        << QStringList{} << 2 << u"Extra content at the end of the document"_s;
}

void tst_Feeds::parse_breaks()
{
    QFETCH(QByteArray, feed);
    QFETCH(QStringList, titles);
    QFETCH(int, line);
    QFETCH(QString, reason);

    const FeedParseResult result = ParseFeed(feed, {}, QUrl(u"http://news.test/f"_s));
    QVERIFY2(result.ok, qPrintable(result.error));
    QStringList got;
    for (const FeedItem &item : result.items)
        got << item.title;
    QCOMPARE(got, titles);
    QCOMPARE(result.broken.has_value(), line > 0);
    if (result.broken) {
        QCOMPARE(result.broken->line, line);
        QCOMPARE(result.broken->reason, reason);
    }
}

void tst_Feeds::parse_rejects_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");

    QTest::newRow("html page") << QByteArray("<html><body><p>Maintenance</p></body></html>")
                               << u"not an RSS or Atom feed"_s;
    QTest::newRow("plain text") << QByteArray("Service unavailable") << u"not XML"_s;
    QTest::newRow("empty") << QByteArray() << u"not XML (line 1: Document is empty)"_s;
    QTest::newRow("cut off in the declaration")
        << QByteArray("<?xml version=\"1.0\" enc") << u"not XML (line 1: "_s;
    QTest::newRow("json") << QByteArray("{\"items\": []}") << u"not XML"_s;
}

void tst_Feeds::parse_rejects()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    const FeedParseResult result = ParseFeed(bytes, {}, QUrl(u"http://news.test/f"_s));
    QVERIFY(!result.ok);
    QVERIFY2(result.error.contains(reason), qPrintable(result.error));
}

void tst_Feeds::summaryText_data()
{
    QTest::addColumn<QString>("html");
    QTest::addColumn<QStringList>("paragraphs");

    // Cut by the article pages' rules, but every line of a summary is its text.
    QTest::newRow("table cells kept apart")
        << u"<table><tr><td>東京</td><td>晴れ</td></tr></table>"_s << QStringList{u"東京 晴れ"_s};
    QTest::newRow("ruby readings left out")
        << u"<p><ruby>漢字<rt>かんじ</rt></ruby>を読む</p>"_s << QStringList{u"漢字を読む"_s};
    QTest::newRow("hidden text left out")
        << u"<p>見える<span style=\"display:none\">隠す</span></p>"_s << QStringList{u"見える"_s};
    QTest::newRow("sections and definition lists break")
        << u"<section>一</section><dl><dt>二</dt><dd>三</dd></dl>"_s
        << QStringList{u"一"_s, u"二"_s, u"三"_s};
    QTest::newRow("a heading stays")
        << u"<h1>見出し</h1><p>本文</p>"_s << QStringList{u"見出し"_s, u"本文"_s};
    QTest::newRow("a line of links stays")
        << u"<p>本文</p><p><a href=\"/more\">続きを読む</a></p>"_s
        << QStringList{u"本文"_s, u"続きを読む"_s};
    QTest::newRow("a dateline stays") << u"<p>2024年5月1日 10時</p><p>本文</p>"_s
                                      << QStringList{u"2024年5月1日 10時"_s, u"本文"_s};
    QTest::newRow("no-break spaces collapse")
        << u"<p>a&nbsp;&nbsp; b</p>"_s << QStringList{u"a b"_s};
    QTest::newRow("full-width spaces are the writer's: kept, the rest collapsed")
        << u"<p>　首相　来月\n　訪米へ 　 発表　　二つ　</p>"_s
        << QStringList{u"首相　来月　訪米へ　発表　　二つ"_s};
    QTest::newRow("full-width spaces in text without markup")
        << u"速報　地震\n　二行目"_s << QStringList{u"速報　地震"_s, u"二行目"_s};
    QTest::newRow("text without markup keeps its line breaks")
        << u" 一行目\n\n二行目 "_s << QStringList{u"一行目"_s, u"二行目"_s};
}

void tst_Feeds::summaryText()
{
    QFETCH(QString, html);
    QFETCH(QStringList, paragraphs);
    QCOMPARE(HtmlParagraphs(html), paragraphs);
}

void tst_Feeds::feedsFile_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QStringList>("codes");
    QTest::addColumn<QString>("firstFeed"); // of the first code
    QTest::addColumn<int>("rule");
    QTest::addColumn<QString>("xpath");

    QTest::newRow("comments, several feeds, default rule")
        << QByteArray("# c\n; c\n[dom]\nfeeds = http://a.test/1.xml  https://b.test/2.xml\n")
        << QStringList{u"dom"_s} << u"http://a.test/1.xml"_s << int(TextRule::Kind::Auto)
        << QString();
    QTest::newRow("xpath with commas and = kept whole")
        << QByteArray("\xEF\xBB\xBF[cpt]\r\nfeeds=http://127.0.0.1:8/f\r\n"
                      "text = //div[contains(@class,'a b')][@id='x=1']//p\r\n")
        << QStringList{u"cpt"_s} << u"http://127.0.0.1:8/f"_s << int(TextRule::Kind::XPath)
        << u"//div[contains(@class,'a b')][@id='x=1']//p"_s;
    QTest::newRow("feed rule, portal section")
        << QByteArray(
               "[portal]\ncontact = me@example.com\nrefresh = 30\n[int]\nfeeds = http://a.test/\n"
               "text = feed\n[dom]\nfeeds = http://a.test/d\n")
        << QStringList{u"dom"_s, u"int"_s} << u"http://a.test/d"_s << int(TextRule::Kind::Auto)
        << QString();
}

void tst_Feeds::feedsFile()
{
    QFETCH(QByteArray, text);
    QFETCH(QStringList, codes);
    QFETCH(QString, firstFeed);
    QFETCH(int, rule);
    QFETCH(QString, xpath);
    const FeedsFileResult result = ParseFeedsFile(text, u"f.ini"_s);
    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(result.config.categories.keys(), codes);
    const CategoryFeeds first = result.config.categories.first();
    QCOMPARE(first.feeds.first().toString(), firstFeed);
    QCOMPARE(int(first.text.kind), rule);
    QCOMPARE(first.text.xpath, xpath);
}

void tst_Feeds::feedsFile_errors_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("error");

    QTest::newRow("unknown category")
        << QByteArray("[xyz]\nfeeds = http://a/\n") << u"f.ini:1: [xyz]"_s;
    QTest::newRow("no-page slot") << QByteArray("[---]\n") << u"f.ini:1: [---]"_s;
    QTest::newRow("item before a section") << QByteArray("feeds = http://a/\n") << u"f.ini:1:"_s;
    QTest::newRow("not a web address") << QByteArray("[dom]\nfeeds = file:///etc/passwd\n")
                                       << u"f.ini:2: \"file:///etc/passwd\""_s;
    QTest::newRow("section twice")
        << QByteArray("[dom]\nfeeds = http://a/\n[dom]\n") << u"f.ini:3: [dom] appears twice"_s;
    QTest::newRow("no feeds") << QByteArray("[dom]\ntext = feed\n") << u"[dom] names no feeds"_s;
    QTest::newRow("unknown item") << QByteArray("[dom]\nfeed = http://a/\n")
                                  << u"f.ini:2: unknown"_s;
    QTest::newRow("bad number") << QByteArray("[portal]\nrefresh = soon\n")
                                << u"f.ini:2: refresh takes a whole number"_s;
    QTest::newRow("no equals sign") << QByteArray("[dom]\nhttp://a/\n") << u"f.ini:2:"_s;
    QTest::newRow("not UTF-8") << QByteArray("[dom]\n# \x93\xfa\x96\x7b\n") << u"not UTF-8"_s;
}

void tst_Feeds::feedsFile_errors()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, error);
    const FeedsFileResult result = ParseFeedsFile(text, u"f.ini"_s);
    QVERIFY(!result.ok);
    QVERIFY2(result.error.startsWith(error) || result.error.contains(error),
             qPrintable(result.error));
}

void tst_Feeds::shippedFeedsFile_coversEveryCategory()
{
    const FeedsFileResult result = ReadFeedsFile(QStringLiteral(VARNHOLT_SHIPPED_FEEDS));
    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(result.config.categories.size(), 10);
    for (const CategoryFeeds &category : std::as_const(result.config.categories)) {
        for (const QUrl &feed : category.feeds)
            QCOMPARE(feed.scheme(), u"https"_s);
    }
    QVERIFY(result.config.settings.feedTextHosts.contains(u"news.web.nhk"_s));
}

QTEST_GUILESS_MAIN(tst_Feeds)
#include "tst_feeds.moc"
