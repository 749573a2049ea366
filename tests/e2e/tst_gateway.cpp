// The gateway end to end: varnholt /AutoGet against varnholt-portal --feeds against a fixture
// internet of loopback hosts serving feeds, article pages and robots.txt.
#include "ChildProcess.h"
#include "FixtureInternet.h"
#include "PortalProcess.h"
#include "TestFiles.h"
#include "util/CodePage.h"

#include <QDate>
#include <QDir>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

struct Story
{
    QString title;
    QString path; // of its article page on the news host
    QString description;
    QStringList paragraphs; // the article's text on its page
};

// An article page as news sites lay them out: navigation, the article, related links, a share
// bar, comments and a footer.
QByteArray articlePage(const Story &story)
{
    QString body;
    for (const QString &paragraph : story.paragraphs)
        body += u"<p>"_s + paragraph.toHtmlEscaped() + u"</p>\n"_s;
    return (uR"(<!DOCTYPE html><html lang="ja"><head><meta charset="utf-8"><title>)"_s +
            story.title + uR"(</title></head><body>
<header><ul class="nav"><li><a href="/">トップ</a></li><li><a href="/eco">経済</a></li></ul></header>
<main><article><h1>)"_s +
            story.title + uR"(</h1>
<div class="body">
)"_s + body +
            uR"(</div>
<div class="share"><a href="/share">シェア</a></div>
</article>
<aside class="related"><h2>関連記事</h2><ul><li><a href="/x">別の記事の見出し</a></li></ul></aside>
</main>
<footer><div>Copyright テスト新聞社</div></footer>
</body></html>
)"_s)
        .toUtf8();
}

QString rfc822(const QDateTime &time)
{
    return QLocale::c().toString(time.toOffsetFromUtc(9 * 3600),
                                 u"ddd, dd MMM yyyy HH:mm:ss +0900"_s);
}

// Minutes before now, but never before today's midnight: items must stay on today's page.
QDateTime minutesAgo(int minutes)
{
    const QDateTime now = QDateTime::currentDateTime();
    const QDateTime floor = QDateTime(QDate::currentDate(), QTime(0, 0)).addSecs(60 - minutes);
    return std::max(now.addSecs(-60 * minutes), floor);
}

QDateTime yesterdayAt(int hour)
{
    return QDateTime(QDate::currentDate().addDays(-1), QTime(hour, 0));
}

QString rssItem(const Story &story, const QString &link, const QDateTime &time)
{
    return u"<item><title>"_s + story.title.toHtmlEscaped() + u"</title><link>"_s + link +
           u"</link><description><![CDATA[<p>"_s + story.description +
           u"</p>]]></description><pubDate>"_s + rfc822(time) + u"</pubDate></item>\n"_s;
}

QByteArray rss(const QString &items)
{
    return (u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<rss version=\"2.0\"><channel>"
            u"<title>テスト新聞</title><link>/</link>\n"_s +
            items + u"</channel></rss>\n"_s)
        .toUtf8();
}

QStringList longParagraphs(const QString &topic)
{
    return {topic + u"について、関係者が十日に記者会見を開き、今後の方針を明らかにした。会見では、"
                    u"これまでの経緯と課題が詳しく説明された。"_s,
            u"担当者は「利用者の声を聞きながら、段階的に改善を進めたい」と述べ、来年度中の"
            u"実施を目指す考えを示した。専門家からは、慎重な検討を求める意見も出ている。"_s};
}

const Story kMarket{u"日経平均が続伸 & 円安進む"_s, u"/news/market.html"_s,
                    u"東京株式市場で日経平均株価が続伸した。"_s, longParagraphs(u"株価の動き"_s)};
const Story kRail{u"新線の開業日が決定"_s, u"/news/rail.html"_s,
                  u"新しい路線の開業日が決まった。"_s, longParagraphs(u"新線の開業"_s)};
const Story kSecret{u"非公開の記事"_s, u"/private/secret.html"_s, u"非公開ページの要約。"_s,
                    longParagraphs(u"非公開"_s)};
const Story kMoved{u"移転した記事"_s, u"/moved"_s, u"移転した記事の要約。"_s, {}};
const Story kOld{u"前日の話題"_s, u"/news/old.html"_s, u"前日に配信された記事の要約。"_s,
                 longParagraphs(u"前日の話題"_s)};
const Story kWorld{u"海外の選挙結果"_s, u"/w/1"_s, u"海外で選挙の結果が発表された。"_s, {}};
const Story kSport{u"優勝決定戦"_s, u"/s/1"_s, u"優勝決定戦が行われた。"_s, {}};
// A whole news item of 84 characters: shorter than an article is expected to be, longer than
// the feed's one-sentence summary.
const Story kShort{
    u"東北新幹線が運転見合わせ"_s,
    u"/news/short.html"_s,
    u"東北新幹線が運転を見合わせている。"_s,
    {u"ＪＲ東日本によりますと、東北新幹線は架線の点検のため、午前６時すぎから仙台駅と"
     u"盛岡駅の間の上下線で運転を見合わせています。運転再開の見込みは立っていない"
     u"ということです。"_s}};

// A page whose text says what the portal's pages are made of, under a title (HTML, as feeds
// write them) with characters the portal's EUC-JP lacks.
const Story kMarkers{
    u"「&lt;!-- TextEnd --&gt;」と次ページ　利⽤者—解説"_s, u"/news/markers.html"_s,
    u"ページの作りを説明する記事。"_s,
    longParagraphs(u"ページの作り"_s) +
        QStringList{u"http://example.com/ から始まる段落に <!-- TextEnd --> と書かれていても、"
                    u"本文はここで終わらない。"_s,
                    u"<!-- TextStart --> <!-- NO_ARTICLE1 --> <!-- GEN_HEADLINES --> </ul> "
                    u"<li><a href=/x>見出し</a> <a href=/headlines/dom/2>次ページ</a> <br> "
                    u"も本文の文字である。"_s,
                    u"最後の段落まで届く☃。"_s}};

// A text as the portal's pages carry it: markup full-width, look-alikes for what EUC-JP lacks,
// "?" for what has none.
QString portalForm(QString text)
{
    return text.replace(u'<', u'＜')
        .replace(u'>', u'＞')
        .replace(u"⽤"_s, u"用"_s)
        .replace(u'—', u'―')
        .replace(u'☃', u'?');
}

// One record of a .qfw file: title, address and the body's paragraphs.
struct Record
{
    QString title;
    QString url;
    QStringList paragraphs;
};

QList<Record> readQfw(const QString &path)
{
    const QStringList fields = CodePage::fromCp932(readFile(path)).split(u'\x01');
    QList<Record> records;
    for (qsizetype i = 0; i + 2 < fields.size(); i += 3) {
        Record record;
        record.title = fields.at(i).section(u"："_s, 1);
        record.url = fields.at(i + 1);
        for (const QString &line : fields.at(i + 2).split(u"\r\n"_s)) {
            QString text = line.trimmed();
            if (text.startsWith(u'　'))
                text.remove(0, 1);
            if (!text.isEmpty())
                record.paragraphs.append(text);
        }
        records.append(record);
    }
    return records;
}

} // namespace

class tst_Gateway : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void collect_recordsEveryItemWithItsText();
    void secondRun_conditionalGetAndHoldOffKept();
    void previousDay_servedFromArchiveAfterFeedDroppedIt();
    void listPages_pagedNewestFirstInEucJp();
    void shortArticle_recordedWhole();
    void everySourceDown_exits3NamingTheListPages();
    void markersAndCharacters_arriveWhole();

private:
    QString settingFolder() const { return m_dir->filePath(u"home/tester"_s); }
    QString outFolder() const { return m_dir->filePath(u"out"_s); }
    void writeFeeds(const QString &portalSection = {});
    void startGateway();
    // The news host's feed lists only these items from now on; the gateway restarts to read it.
    void replaceFeed(const QString &items, const QByteArray &etag);
    void writeSettings(const QString &categories, bool yesterday);
    ChildRun runVarnholt();
    // Everything the gateways started so far said; stops the running one.
    QString gatewayErrors();
    const Record *find(const QList<Record> &records, const QString &title) const;

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<FixtureHost> m_news;
    std::unique_ptr<FixtureHost> m_wire;
    std::unique_ptr<FixtureHost> m_busy;
    std::unique_ptr<PortalProcess> m_gateway;
    QString m_errors;
};

void tst_Gateway::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_news = std::make_unique<FixtureHost>();
    m_wire = std::make_unique<FixtureHost>();
    m_busy = std::make_unique<FixtureHost>();
    m_errors.clear();

    // The news host: an RSS 2.0 feed with an ETag, articles, a redirect and robots.txt.
    m_news->set(u"/robots.txt"_s,
                {200, "User-agent: *\nDisallow: /private/\n", "text/plain", {}, 0, {}});
    const QString items = rssItem(kMarket, kMarket.path, minutesAgo(3)) +
                          rssItem(kRail, m_news->url(kRail.path), minutesAgo(5)) +
                          rssItem(kSecret, kSecret.path, minutesAgo(7)) +
                          rssItem(kMoved, kMoved.path, minutesAgo(9)) +
                          rssItem(kOld, kOld.path, yesterdayAt(15));
    m_news->set(u"/rss.xml"_s, {200, rss(items), "application/rss+xml", {}, 0, "\"v1\""});
    for (const Story &story : {kMarket, kRail, kSecret, kOld})
        m_news->set(story.path, {200, articlePage(story), "text/html; charset=UTF-8", {}, 0, {}});
    m_news->set(u"/moved"_s, {301, {}, "text/html", {{"Location", kRail.path.toUtf8()}}, 0, {}});
    // A second and third feed on the same host, slow, so that the category's feeds overlap.
    for (const QString &path : {u"/more1.xml"_s, u"/more2.xml"_s})
        m_news->set(path, {200, rss({}), "application/rss+xml", {}, 300, {}});

    // The wire host: RSS 1.0 in EUC-JP (titles with vendor characters), Atom in Shift_JIS, a
    // broken feed and one that asks to be left alone for a while.
    const QString rdf =
        u"<?xml version=\"1.0\" encoding=\"EUC-JP\"?>\n"
        u"<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\" "
        u"xmlns=\"http://purl.org/rss/1.0/\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\">"
        u"<channel rdf:about=\"/\"><title>ワイヤー通信</title></channel>"
        u"<item rdf:about=\"/w/1\"><title>"_s +
        kWorld.title + u"（髙橋記者）</title><link>/w/1</link><description>"_s +
        kWorld.description + u"&nbsp;①</description><dc:date>"_s +
        minutesAgo(4).toOffsetFromUtc(9 * 3600).toString(Qt::ISODate) +
        u"</dc:date></item></rdf:RDF>\n"_s;
    m_wire->set(u"/rdf.xml"_s, {200, CodePage::toEucJp(rdf), "text/xml", {}, 0, {}});
    const QString atom = u"<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\n"
                         u"<feed xmlns=\"http://www.w3.org/2005/Atom\"><title>スポーツ速報</title>"
                         u"<entry><title type=\"html\">&lt;b&gt;"_s +
                         kSport.title + u"&lt;/b&gt;</title><link href=\"/s/1\"/><summary>"_s +
                         kSport.description + u"</summary><updated>"_s +
                         minutesAgo(6).toUTC().toString(Qt::ISODate) +
                         u"</updated></entry></feed>\n"_s;
    m_wire->set(u"/atom.xml"_s, {200, CodePage::toCp932(atom), "application/atom+xml", {}, 0, {}});
    m_wire->set(u"/broken.xml"_s,
                {200, "<html><body>maintenance</body></html>", "text/html", {}, 0, {}});
    m_busy->set(u"/busy.xml"_s, {429, "slow down", "text/plain", {{"Retry-After", "120"}}, 0, {}});

    QVERIFY(QDir().mkpath(settingFolder()));
    QVERIFY(QDir().mkpath(outFolder()));
    QVERIFY(writeFile(m_dir->filePath(u"config/Kestrane SoftWares/Varnholt.conf"_s),
                      "[Varnholt]\nSettingFolder=" + settingFolder().toUtf8() + "\n"));
    QVERIFY(writeFile(settingFolder() + u"/KeyWord.txt"_s, {}));
    writeSettings(u"1,1,0,0,0,0,0,1,0,0,0,0"_s, false);
    writeFeeds();
    startGateway();
}

void tst_Gateway::cleanup()
{
    m_gateway.reset();
    m_news.reset();
    m_wire.reset();
    m_busy.reset();
    m_dir.reset();
}

void tst_Gateway::writeFeeds(const QString &portalSection)
{
    const QString text =
        u"# fixture feeds\n[portal]\ncontact = tester@example.com\ndelay = 100\nrefresh = 0\n"_s +
        portalSection + u"\n[dom]\nfeeds = "_s + m_news->url(u"/rss.xml"_s) + u' ' +
        m_news->url(u"/more1.xml"_s) + u' ' + m_news->url(u"/more2.xml"_s) + u' ' +
        m_wire->url(u"/broken.xml"_s) + u"\n\n[int]\nfeeds = "_s + m_wire->url(u"/rdf.xml"_s) +
        u"\ntext = feed\n\n[spo]\n; a comment\nfeeds = "_s + m_wire->url(u"/atom.xml"_s) + u' ' +
        m_busy->url(u"/busy.xml"_s) + u"\ntext = //div[contains(@class,'body')]/p\n"_s;
    QVERIFY(writeFile(m_dir->filePath(u"feeds.ini"_s), text.toUtf8()));
}

void tst_Gateway::startGateway()
{
    if (m_gateway)
        m_errors += gatewayErrors();
    m_gateway.reset();
    m_gateway = std::make_unique<PortalProcess>(
        QStringList{u"--feeds"_s, m_dir->filePath(u"feeds.ini"_s), u"--cache"_s,
                    m_dir->filePath(u"cache"_s), u"--log"_s, m_dir->filePath(u"portal.log"_s)});
    QVERIFY2(m_gateway->failure().isEmpty(), qPrintable(m_gateway->failure()));
}

void tst_Gateway::replaceFeed(const QString &items, const QByteArray &etag)
{
    m_news->set(u"/rss.xml"_s, {200, rss(items), "application/rss+xml", {}, 0, etag});
    startGateway();
}

QString tst_Gateway::gatewayErrors()
{
    // Stops the gateway: only then is everything it wrote to standard error readable.
    QProcess &process = m_gateway->process();
    if (process.state() != QProcess::NotRunning) {
        process.terminate();
        process.waitForFinished(5000);
    }
    m_errors += QString::fromUtf8(process.readAllStandardError());
    return m_errors;
}

void tst_Gateway::writeSettings(const QString &categories, bool yesterday)
{
    // Every headline is collected (keyword mode 2), without a tag before the title.
    const QString text = u"SaveFolder = "_s + outFolder() +
                         u"\r\nSaveFileName0 = VHT\r\nSaveFileName1 = \r\nSaveFileName2 = \r\n"
                         u"IgnoreKey = 2\r\nNoCopyINI = 1\r\nOverWrite = 1\r\nYesterday = "_s +
                         (yesterday ? u"1"_s : u"0"_s) + u"\r\nNoKeyWord = 0\r\nCategory = "_s +
                         categories + u"\r\n"_s;
    QVERIFY(writeFile(settingFolder() + u"/varnholt.ini"_s, CodePage::toCp932(text)));
}

ChildRun tst_Gateway::runVarnholt()
{
    QProcessEnvironment environment = headlessEnvironment(m_dir->path(), u"tester"_s);
    environment.insert(u"VARNHOLT_BASE_URL"_s, m_gateway->baseUrl());
    return runToEnd(QStringLiteral(VARNHOLT_BINARY), {u"/AutoGet"_s, u"/HideMe"_s, u"/NoAddKey"_s},
                    environment);
}

const Record *tst_Gateway::find(const QList<Record> &records, const QString &title) const
{
    for (const Record &record : records) {
        if (record.title == title)
            return &record;
    }
    return nullptr;
}

void tst_Gateway::collect_recordsEveryItemWithItsText()
{
    const ChildRun run = runVarnholt();
    QVERIFY2(run.exitCode == 0, qPrintable(run.errors));
    const QList<Record> records = readQfw(outFolder() + u"/VHT.qfw"_s);

    QStringList titles;
    for (const Record &record : records)
        titles << record.title;
    // Newest first per category; yesterday's item is not on today's page; "&" full width.
    QCOMPARE(titles, (QStringList{u"日経平均が続伸 ＆ 円安進む"_s, kRail.title, kSecret.title,
                                  kMoved.title, kWorld.title + u"（髙橋記者）"_s, kSport.title}));
    for (const Record &record : records)
        QVERIFY2(record.url.startsWith(m_gateway->baseUrl() + u"/article/"_s),
                 qPrintable(record.url));

    // Pages read automatically: the article's paragraphs, nothing of the page around them.
    const Record *market = find(records, u"日経平均が続伸 ＆ 円安進む"_s);
    QVERIFY(market);
    QCOMPARE(market->paragraphs, kMarket.paragraphs);
    // robots.txt forbids the page: the feed's description, and the page is never asked for.
    QCOMPARE(find(records, kSecret.title)->paragraphs, QStringList{kSecret.description});
    QCOMPARE(m_news->hitCount(kSecret.path), 0);
    // The redirect leads to the rail story's page.
    QCOMPARE(find(records, kMoved.title)->paragraphs, kRail.paragraphs);
    // text = feed: the description as the feed has it, entities decoded, never the page.
    QCOMPARE(find(records, kWorld.title + u"（髙橋記者）"_s)->paragraphs,
             QStringList{kWorld.description + u" ①"_s});
    QCOMPARE(m_wire->hitCount(u"/w/1"_s), 0);
    // The XPath rule's page does not exist: the description stands in.
    QCOMPARE(find(records, kSport.title)->paragraphs, QStringList{kSport.description});

    // Politeness towards the news host.
    const QList<FixtureHost::Hit> hits = m_news->hits();
    QCOMPARE(m_news->hitCount(u"/robots.txt"_s), 1);
    QCOMPARE(m_news->mostAtOnce(), 2);
    QList<qint64> starts;
    for (const FixtureHost::Hit &hit : hits)
        starts << hit.startMs;
    std::sort(starts.begin(), starts.end());
    // 100 ms between starts; the fixture may stamp one request late, never early.
    QVERIFY2(
        starts.last() - starts.first() >= (starts.size() - 2) * 100,
        qPrintable(
            u"%1 requests within %2 ms"_s.arg(starts.size()).arg(starts.last() - starts.first())));
    for (const FixtureHost::Hit &hit : hits)
        QCOMPARE(hit.userAgent, QByteArray("varnholt-portal/1.0.0 (+tester@example.com)"));

    // Faults named once each, with the address and the reason.
    const QString errors = gatewayErrors();
    QVERIFY2(errors.count(m_wire->url(u"/broken.xml"_s)) == 1, qPrintable(errors));
    QVERIFY2(errors.contains(u"not an RSS or Atom feed"_s), qPrintable(errors));
    QVERIFY2(errors.count(m_busy->url(u"/busy.xml"_s)) == 1, qPrintable(errors));
}

void tst_Gateway::secondRun_conditionalGetAndHoldOffKept()
{
    QCOMPARE(runVarnholt().exitCode, 0);
    const QList<Record> first = readQfw(outFolder() + u"/VHT.qfw"_s);
    // A restart keeps the archive and what the feeds said.
    startGateway();
    const ChildRun second = runVarnholt();
    QVERIFY2(second.exitCode == 0, qPrintable(second.errors));

    QList<FixtureHost::Hit> feedHits;
    for (const FixtureHost::Hit &hit : m_news->hits()) {
        if (hit.path == u"/rss.xml")
            feedHits << hit;
    }
    QCOMPARE(feedHits.size(), 2);
    QCOMPARE(feedHits.at(0).ifNoneMatch, QByteArray());
    QCOMPARE(feedHits.at(1).ifNoneMatch, QByteArray("\"v1\""));
    QCOMPARE(feedHits.at(1).status, 304);
    // Retry-After 120 s: the busy feed is not asked again within it, even after a restart.
    QCOMPARE(m_busy->hitCount(u"/busy.xml"_s), 1);
    // Same records, and every article page was fetched once only.
    const QList<Record> again = readQfw(outFolder() + u"/VHT.qfw"_s);
    QCOMPARE(again.size(), first.size());
    for (qsizetype i = 0; i < first.size(); ++i) {
        QCOMPARE(again.at(i).url.section(u'/', 3), first.at(i).url.section(u'/', 3));
        QCOMPARE(again.at(i).paragraphs, first.at(i).paragraphs);
    }
    QCOMPARE(m_news->hitCount(kMarket.path), 1);
}

void tst_Gateway::previousDay_servedFromArchiveAfterFeedDroppedIt()
{
    // The gateway reads the feed once while it still lists the previous day's item.
    QCOMPARE(runVarnholt().exitCode, 0);
    replaceFeed(rssItem(kMarket, kMarket.path, minutesAgo(3)), "\"v2\"");
    writeSettings(u"1,0,0,0,0,0,0,0,0,0,0,0"_s, true);

    const ChildRun run = runVarnholt();
    QVERIFY2(run.exitCode == 0, qPrintable(run.errors));
    const QList<Record> records = readQfw(outFolder() + u"/VHT.qfw"_s);
    const Record *old = find(records, kOld.title);
    QVERIFY2(old, qPrintable(CodePage::fromCp932(readFile(outFolder() + u"/VHT.qfw"_s))));
    QCOMPARE(old->paragraphs, kOld.paragraphs);
    // Today's items that the feed dropped stay on today's page too.
    QVERIFY(find(records, kRail.title));
    QCOMPARE(records.size(), 5);
}

void tst_Gateway::listPages_pagedNewestFirstInEucJp()
{
    writeFeeds(u"items_per_page = 2\n"_s);
    startGateway();
    writeSettings(u"1,0,0,0,0,0,0,0,0,0,0,0"_s, false);

    const ChildRun run = runVarnholt();
    QVERIFY2(run.exitCode == 0, qPrintable(run.errors));
    const QStringList log =
        QString::fromUtf8(readFile(m_dir->filePath(u"portal.log"_s))).split(u'\n');
    QVERIFY(log.contains(u"GET /headlines/dom/2"_s));
    QVERIFY(log.contains(u"GET /headlines/dom/"_s));
    QCOMPARE(readQfw(outFolder() + u"/VHT.qfw"_s).size(), 4);

    // A category without a section, a day without items, and a page past the end.
    httplib::Client client("127.0.0.1", m_gateway->port());
    for (const char *path : {"/headlines/bus/", "/headlines/010101/dom/"}) {
        const auto reply = client.Get(path);
        QVERIFY(reply);
        QCOMPARE(reply->status, 200);
        QCOMPARE(reply->get_header_value("Content-Type"), std::string("text/html; charset=EUC-JP"));
        QVERIFY2(reply->body.find("<!-- NO_ARTICLE1 -->") != std::string::npos, path);
    }
    const auto past = client.Get("/headlines/dom/3");
    QVERIFY(past);
    QCOMPARE(past->status, 404);
}

void tst_Gateway::shortArticle_recordedWhole()
{
    m_news->set(kShort.path, {200, articlePage(kShort), "text/html; charset=UTF-8", {}, 0, {}});
    replaceFeed(rssItem(kShort, kShort.path, minutesAgo(2)), "\"v3\"");
    writeSettings(u"1,0,0,0,0,0,0,0,0,0,0,0"_s, false);

    const ChildRun run = runVarnholt();
    QVERIFY2(run.exitCode == 0, qPrintable(run.errors));
    const QList<Record> records = readQfw(outFolder() + u"/VHT.qfw"_s);
    const Record *item = find(records, kShort.title);
    QVERIFY(item);
    // The page's whole item, not the feed's summary in its place.
    QCOMPARE(item->paragraphs, kShort.paragraphs);
    QCOMPARE(m_news->hitCount(kShort.path), 1);
}

void tst_Gateway::everySourceDown_exits3NamingTheListPages()
{
    // No source answers, and the gateway has nothing kept: not an empty day, but a failure.
    m_news.reset();
    m_wire.reset();
    m_busy.reset();

    const ChildRun run = runVarnholt();
    QVERIFY2(run.exitCode == 3, qPrintable(run.errors));
    const QString summary = run.errors.trimmed().section(u'\n', -1);
    QVERIFY2(summary.contains(u"3 page(s) not fetched: "_s + m_gateway->baseUrl() +
                              u"/headlines/dom/"_s),
             qPrintable(summary));
    QVERIFY2(run.errors.contains(u"503 Service Unavailable"_s), qPrintable(run.errors));
    QVERIFY2(gatewayErrors().contains(u"[dom] every feed failed and nothing is kept"_s),
             qPrintable(m_errors));
}

void tst_Gateway::markersAndCharacters_arriveWhole()
{
    m_news->set(kMarkers.path, {200, articlePage(kMarkers), "text/html; charset=UTF-8", {}, 0, {}});
    replaceFeed(rssItem(kMarkers, kMarkers.path, minutesAgo(2)) +
                    rssItem(kRail, kRail.path, minutesAgo(4)),
                "\"v4\"");
    writeSettings(u"1,0,0,0,0,0,0,0,0,0,0,0"_s, false);

    const ChildRun run = runVarnholt();
    QVERIFY2(run.exitCode == 0, qPrintable(run.errors));
    const QList<Record> records = readQfw(outFolder() + u"/VHT.qfw"_s);
    QCOMPARE(records.size(), 2);
    // The title's markers and "次ページ" neither cut the list nor lead anywhere.
    QCOMPARE(records.at(0).title, u"「＜!-- TextEnd --＞」と次ページ　利用者―解説"_s);
    QCOMPARE(records.at(1).title, kRail.title);
    QStringList text;
    for (const QString &paragraph : kMarkers.paragraphs)
        text << portalForm(paragraph);
    QCOMPARE(records.at(0).paragraphs, text);
    const QStringList log =
        QString::fromUtf8(readFile(m_dir->filePath(u"portal.log"_s))).split(u'\n');
    QCOMPARE(log.filter(u"GET /headlines/"_s), QStringList{u"GET /headlines/dom/"_s});
    // What no code page holds is named once, with the item.
    const QString errors = gatewayErrors();
    QVERIFY2(errors.count(u"1 character(s) of its page became \"?\""_s) == 1, qPrintable(errors));
    QVERIFY2(errors.contains(u"U+2603"_s), qPrintable(errors));
}

QTEST_GUILESS_MAIN(tst_Gateway)
#include "tst_gateway.moc"
