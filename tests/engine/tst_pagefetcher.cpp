// GetHTML against the real portal's fault scenarios, answered by a scripted person.
#include "PortalProcess.h"
#include "ScriptedPrompter.h"
#include "TestFiles.h"
#include "engine/CurlTransport.h"
#include "engine/HttpTransport.h"
#include "engine/PageFetcher.h"
#include "util/CodePage.h"
#include "util/DebugLog.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <memory>
#include <thread>

using namespace Qt::StringLiterals;

namespace {

// Fails the first few requests as a time-out would, then asks the real transport.
class FlakyTransport final : public HttpTransport
{
public:
    FlakyTransport(HttpTransport &inner, int failures)
        : m_inner(inner)
        , m_failures(failures)
    {}
    HttpReply get(const QString &url) override
    {
        if (m_failures-- > 0)
            return {false, {}, url + u": Operation timed out"_s};
        return m_inner.get(url);
    }
    bool originOf(const QString &url, UrlOrigin &origin) override
    {
        return m_inner.originOf(url, origin);
    }

private:
    HttpTransport &m_inner;
    int m_failures;
};

const QString kEmptyQuestion = u"データの取得に失敗しました。\r\n再度取得しますか？"_s;
const QString kTimeoutQuestion = u"処理がタイムアウトしました。\r\n再度取得しますか？"_s;

// "E" for each empty-page question, "T" for each failure question, in order; "?" after one
// that lacks the Stop icon.
QString questionKinds(const QList<ScriptedPrompter::Call> &questions)
{
    QString kinds;
    for (const ScriptedPrompter::Call &question : questions) {
        kinds += question.text.startsWith(kEmptyQuestion)     ? u'E'
                 : question.text.startsWith(kTimeoutQuestion) ? u'T'
                                                              : u'?';
        if (question.icon != MessageIcon::Stop)
            kinds += u'?';
    }
    return kinds;
}

} // namespace

class tst_PageFetcher : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void faultScenario_data();
    void faultScenario();
    void failureThenYes_fetchesAgainAndSucceeds();
    void failureQuestion_namesAddressAndReason_data();
    void failureQuestion_namesAddressAndReason();
    void largePage_isReadWhole();
    void abort_endsSlowRequestAndLaterOnes_data();
    void abort_endsSlowRequestAndLaterOnes();
    void hold_asksNothingAheadUntilReleased();
    void pageText_data();
    void pageText();
    void ConvertCharset_data();
    void ConvertCharset();

private:
    QString url(const QString &path) const { return m_base + path; }

    std::unique_ptr<PortalProcess> m_portal;
    QString m_base;
    CurlGlobal m_curl;
};

void tst_PageFetcher::initTestCase()
{
    m_portal = std::make_unique<PortalProcess>();
    QVERIFY2(m_portal->failure().isEmpty(), qPrintable(m_portal->failure()));
    m_base = m_portal->baseUrl();
}

void tst_PageFetcher::cleanupTestCase()
{
    m_portal.reset();
}

void tst_PageFetcher::faultScenario_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("timeoutMs");
    QTest::addColumn<QList<bool>>("answers");
    QTest::addColumn<QString>("questions");   // see questionKinds
    QTest::addColumn<QString>("outcome");     // "page", "empty" or "gave up"
    QTest::addColumn<QStringList>("logTail"); // the log's last lines, address lines as "<url>…"

    const QString got = u"<url>をGetしました。"_s;
    const QString refetch = u"HTMLが取得できなかった。再取得開始。"_s;
    const QString userRefetch = u"HTMLが取得できなかった。ユーザーにより再々取得開始。"_s;
    const QString stopped = u"HTMLが取得できなかったため取得中止(←回線未接続？)"_s;
    const QString timedOut = u"Getがタイムアウトしました。"_s;
    const int normal = 10000;

    QTest::newRow("page") << u"/fault/delay/0"_s << normal << QList<bool>{} << QString()
                          << u"page"_s << QStringList{u"<url>をGetしています。"_s, got};
    QTest::newRow("empty once: silent re-request")
        << u"/fault/empty-first/1/a"_s << normal << QList<bool>{} << QString() << u"page"_s
        << QStringList{refetch, got};
    QTest::newRow("empty twice, Yes: page")
        << u"/fault/empty-first/2/b"_s << normal << QList<bool>{true} << u"E"_s << u"page"_s
        << QStringList{refetch, userRefetch, refetch, got};
    QTest::newRow("empty three times, Yes, Yes: page")
        << u"/fault/empty-first/3/c"_s << normal << QList<bool>{true, true} << u"EE"_s << u"page"_s
        << QStringList{userRefetch, refetch, userRefetch, refetch, got};
    QTest::newRow("empty always, No: give up the run")
        << u"/fault/empty"_s << normal << QList<bool>{false} << u"E"_s << u"gave up"_s
        << QStringList{refetch, stopped};
    QTest::newRow("spaces only count as empty")
        << u"/fault/spaces"_s << normal << QList<bool>{false} << u"E"_s << u"gave up"_s
        << QStringList{refetch, stopped};
    QTest::newRow("status 204 without body counts as empty")
        << u"/fault/status/204"_s << normal << QList<bool>{false} << u"E"_s << u"gave up"_s
        << QStringList{refetch, stopped};
    QTest::newRow("status 500 body is used") << u"/fault/status/500"_s << normal << QList<bool>{}
                                             << QString() << u"page"_s << QStringList{got};
    QTest::newRow("status 503, No: the page is not fetched")
        << u"/fault/status/503"_s << normal << QList<bool>{false} << u"T"_s << u"empty"_s
        << QStringList{
               timedOut,
               u"取得できませんでした: <url>: the server answered 503 Service Unavailable"_s};
    QTest::newRow("compressed reply") << u"/fault/gzip"_s << normal << QList<bool>{} << QString()
                                      << u"page"_s << QStringList{got};
    QTest::newRow("five redirects on the portal are followed")
        << u"/fault/redirect/5"_s << normal << QList<bool>{} << QString() << u"page"_s
        << QStringList{got};
    // A failure: the fixed line, then what happened and where, in the person's language.
    QTest::newRow("six redirects fail")
        << u"/fault/redirect/6"_s << normal << QList<bool>{false} << u"T"_s << u"empty"_s
        << QStringList{timedOut, u"取得できませんでした: <url>: more than 5 redirects (last to "
                                 u"<base>/fault/redirect/0)"_s};
    QTest::newRow("redirect to another host fails")
        << u"/fault/redirect-away"_s << normal << QList<bool>{false} << u"T"_s << u"empty"_s
        << QStringList{timedOut, u"取得できませんでした: <url>: redirected to "
                                 u"http://127.0.0.2:<port>/article/x, which is not on the same "
                                 u"scheme, host and port"_s};
    QTest::newRow("connection closed without reply, No")
        << u"/fault/reset"_s << normal << QList<bool>{false} << u"T"_s << u"empty"_s
        << QStringList{timedOut, u"接続が切れました: <url>"_s};
    QTest::newRow("connection closed, Yes, No: asked again")
        << u"/fault/reset"_s << normal << QList<bool>{true, false} << u"TT"_s << u"empty"_s
        << QStringList{timedOut, u"接続が切れました: <url>"_s};
    QTest::newRow("time-out, No") << u"/fault/delay/3000"_s << 300 << QList<bool>{false} << u"T"_s
                                  << u"empty"_s
                                  << QStringList{timedOut, u"応答がありません: <url>"_s};
    QTest::newRow("slow trickle past the time-out")
        << u"/fault/trickle/150"_s << 300 << QList<bool>{false} << u"T"_s << u"empty"_s
        << QStringList{timedOut, u"応答がありません: <url>"_s};
    QTest::newRow("trickle within the time-out") << u"/fault/trickle/5"_s << normal << QList<bool>{}
                                                 << QString() << u"page"_s << QStringList{got};
}

void tst_PageFetcher::faultScenario()
{
    QFETCH(QString, path);
    QFETCH(int, timeoutMs);
    QFETCH(QList<bool>, answers);
    QFETCH(QString, questions);
    QFETCH(QString, outcome);
    QFETCH(QStringList, logTail);

    const std::unique_ptr<HttpTransport> http =
        MakeCurlTransport(std::chrono::milliseconds(timeoutMs));
    ScriptedPrompter prompter;
    prompter.answers = answers;
    DebugLog log;
    QStringList lines;
    log.setOptions(true, false);
    log.setWindowSink([&](const QString &line) { lines << line.section(u" ] "_s, 1); });
    PageFetcher fetcher(*http, prompter, log);

    const FetchedPage page = fetcher.GetHTML(url(path));

    QCOMPARE(questionKinds(prompter.questions), questions);
    QCOMPARE(prompter.pagesStarted, 1);
    QCOMPARE(page.gaveUp, outcome == u"gave up"_s);
    QCOMPARE(page.text.isEmpty(), outcome != u"page"_s);
    if (outcome == u"page"_s) {
        QVERIFY(page.text.contains(u"<!-- TextStart -->"_s));
        QVERIFY(page.text.contains(u"<!-- TextEnd -->"_s));
        QVERIFY(!page.text.startsWith(u' ') && !page.text.endsWith(u' '));
    }
    QVERIFY(!lines.isEmpty());
    QCOMPARE(lines.first(), url(path) + u"をGetしています。"_s);
    // Addresses as the table writes them.
    const auto placeholders = [&](QString text) {
        return text.replace(url(path), u"<url>"_s)
            .replace(m_base, u"<base>"_s)
            .replace(u":%1/"_s.arg(m_portal->port()), u":<port>/"_s);
    };
    // The transport's own words follow the fixed line in the log; they are not compared.
    QStringList fixed = lines;
    fixed.removeIf([&](const QString &line) { return line.startsWith(url(path) + u": "_s); });
    for (QString &line : fixed)
        line = placeholders(line);
    QCOMPARE(fixed.mid(fixed.size() - logTail.size()), logTail);
    // Below the fixed question, the same reason as in the log; the English stays in the log.
    for (const ScriptedPrompter::Call &question : std::as_const(prompter.questions)) {
        if (question.text.startsWith(kTimeoutQuestion))
            QCOMPARE(placeholders(question.text),
                     kTimeoutQuestion + u"\r\n\r\n"_s + logTail.last());
    }
}

void tst_PageFetcher::failureThenYes_fetchesAgainAndSucceeds()
{
    const std::unique_ptr<HttpTransport> http = MakeCurlTransport();
    FlakyTransport flaky(*http, 1);
    ScriptedPrompter prompter;
    prompter.answers = {true};
    DebugLog log;
    QStringList lines;
    log.setOptions(true, false);
    log.setWindowSink([&](const QString &line) { lines << line.section(u" ] "_s, 1); });
    PageFetcher fetcher(flaky, prompter, log);

    const FetchedPage page = fetcher.GetHTML(url(u"/fault/delay/0"_s));

    QCOMPARE(questionKinds(prompter.questions), u"T"_s);
    QVERIFY(page.text.contains(u"<!-- TextEnd -->"_s));
    QVERIFY(lines.contains(u"Getがタイムアウトしました。"_s));
    QCOMPARE(lines.last(), url(u"/fault/delay/0"_s) + u"をGetしました。"_s);
}

void tst_PageFetcher::failureQuestion_namesAddressAndReason_data()
{
    QTest::addColumn<QString>("address"); // "<base>" stands for the portal
    QTest::addColumn<QString>("portal");  // the run's portal address
    QTest::addColumn<QStringList>("mentions");
    QTest::addColumn<bool>("portalRefused");

    // Nothing listens on port 1.
    QTest::newRow("nobody listening")
        << u"http://127.0.0.1:1/x"_s << m_base
        << QStringList{u"接続を拒否されました: http://127.0.0.1:1/x"_s} << false;
    QTest::newRow("the portal not running: how to start it")
        << u"http://127.0.0.1:1/headlines/dom/"_s << u"http://127.0.0.1:1"_s
        << QStringList{u"接続を拒否されました: http://127.0.0.1:1/headlines/dom/"_s,
                       u"ポータル http://127.0.0.1:1 が起動していない可能性があります。"_s,
                       u"systemctl --user start varnholt-portal.service"_s, u"varnholt-portal &"_s}
        << true;
    QTest::newRow("redirect away names both addresses")
        << u"<base>/fault/redirect-away"_s << m_base
        << QStringList{u"<base>/fault/redirect-away"_s, u"http://127.0.0.2:"_s} << false;
    QTest::newRow("too many redirects")
        << u"<base>/fault/redirect/7"_s << m_base
        << QStringList{u"<base>/fault/redirect/7"_s, u"5"_s} << false;
    QTest::newRow("reply over the size limit")
        << u"<base>/fault/large/70000000"_s << m_base
        << QStringList{u"<base>/fault/large/70000000"_s, u"larger"_s} << false;
}

void tst_PageFetcher::failureQuestion_namesAddressAndReason()
{
    QFETCH(QString, address);
    QFETCH(QString, portal);
    QFETCH(QStringList, mentions);
    QFETCH(bool, portalRefused);
    address.replace(u"<base>"_s, m_base);

    const std::unique_ptr<HttpTransport> http = MakeCurlTransport(std::chrono::seconds(10));
    ScriptedPrompter prompter;
    DebugLog log;
    QStringList lines;
    log.setOptions(true, false);
    log.setWindowSink([&](const QString &line) { lines << line.section(u" ] "_s, 1); });
    PageFetcher fetcher(*http, prompter, log, nullptr, portal);

    const FetchedPage page = fetcher.GetHTML(address);

    QVERIFY(page.text.isEmpty());
    QCOMPARE(questionKinds(prompter.questions), u"T"_s);
    const QString question = prompter.questionTexts().first();
    for (QString mention : std::as_const(mentions)) {
        mention.replace(u"<base>"_s, m_base);
        QVERIFY2(question.contains(mention), qPrintable(question));
        // The log says it too, for a run nobody watched.
        QVERIFY2(lines.join(u'\n').contains(mention), qPrintable(lines.join(u'\n')));
    }
    QCOMPARE(fetcher.portalRefused(), portalRefused);
}

void tst_PageFetcher::abort_endsSlowRequestAndLaterOnes_data()
{
    QTest::addColumn<int>("connections");
    QTest::addColumn<int>("askedAhead"); // slow pages announced besides the one waited for

    QTest::newRow("one connection") << 1 << 0;
    QTest::newRow("four connections, three more in flight") << 4 << 3;
    QTest::newRow("two connections, more announced than they carry") << 2 << 5;
}

void tst_PageFetcher::abort_endsSlowRequestAndLaterOnes()
{
    QFETCH(int, connections);
    QFETCH(int, askedAhead);
    auto http = MakeCurlTransport(std::chrono::seconds(60), connections);
    const QString waited = url(u"/fault/delay/30000"_s);
    http->expect(waited);
    for (int i = 1; i <= askedAhead; ++i)
        http->expect(url(u"/fault/delay/%1"_s.arg(30000 + i)));

    // The person ends the program while the server takes its time.
    QElapsedTimer sinceAbort;
    std::thread canceller([&http, &sinceAbort] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        sinceAbort.start();
        http->abort();
    });
    const HttpReply slow = http->get(waited);
    canceller.join();
    const HttpReply later = http->get(url(u"/a"_s));
    // Every transfer in flight ends with the transport, well before the server would answer.
    http.reset();
    QVERIFY2(sinceAbort.elapsed() < 1000, qPrintable(QString::number(sinceAbort.elapsed())));

    QVERIFY(!slow.ok);
    QVERIFY2(slow.error.startsWith(waited + u": "_s), qPrintable(slow.error));
    QVERIFY2(slow.error.contains(u"cancelled"_s), qPrintable(slow.error));
    QVERIFY(!later.ok);
    QVERIFY2(later.error.contains(u"cancelled"_s), qPrintable(later.error));
}

void tst_PageFetcher::hold_asksNothingAheadUntilReleased()
{
    const QTemporaryDir dir;
    const QString requests = dir.filePath(u"requests.log"_s);
    PortalProcess portal({u"--log"_s, requests});
    QVERIFY2(portal.failure().isEmpty(), qPrintable(portal.failure()));
    const QString base = portal.baseUrl();
    const auto asked = [&requests] {
        return QString::fromUtf8(readFile(requests)).split(u'\n', Qt::SkipEmptyParts);
    };

    // Two connections: one for the slow page waited for, the other asking ahead 200 ms pages.
    auto http = MakeCurlTransport(std::chrono::seconds(10), 2);
    const QString waited = base + u"/fault/delay/1500"_s;
    http->expect(waited);
    for (int i = 1; i <= 6; ++i)
        http->expect(base + u"/fault/delay/%1"_s.arg(200 + i));
    // The person starts deciding whether to cancel while the slow page is on its way.
    std::thread person([&http] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        http->hold(true);
    });
    const HttpReply slow = http->get(waited);
    person.join();

    QVERIFY(slow.ok);
    // Only what was under way when the hold began; the two connections log in either order.
    QStringList underWay = asked();
    underWay.sort();
    QCOMPARE(underWay, (QStringList{u"GET /fault/delay/1500"_s, u"GET /fault/delay/201"_s}));

    // Released, the run goes on where it was, asking ahead again.
    http->hold(false);
    for (int i = 1; i <= 6; ++i)
        QVERIFY(http->get(base + u"/fault/delay/%1"_s.arg(200 + i)).ok);
    QCOMPARE(asked().size(), 7);
}

void tst_PageFetcher::largePage_isReadWhole()
{
    const std::unique_ptr<HttpTransport> http = MakeCurlTransport();
    ScriptedPrompter prompter;
    DebugLog log;
    PageFetcher fetcher(*http, prompter, log);

    const FetchedPage page = fetcher.GetHTML(url(u"/fault/large/5000000"_s));

    QVERIFY(prompter.questions.isEmpty());
    // Every byte arrived: the text goes back to exactly the bytes sent.
    QCOMPARE(CodePage::toEucJp(page.text).size(), 5000000);
    QVERIFY(page.text.contains(u"<!-- TextEnd -->"_s));
}

void tst_PageFetcher::pageText_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("mustHave");
    QTest::addColumn<QString>("mustLack");

    QTest::newRow("LF-only page gets CR LF") << u"/fault/lf"_s << u"-->\r\n"_s << u"[^\r]\n"_s;
    QTest::newRow("CR LF page is left alone") << u"/fault/delay/0"_s << u"-->\r\n"_s << u"\r\r"_s;
    QTest::newRow("NUL byte ends the text")
        << u"/fault/nul"_s << u"<!-- TextStart -->"_s << u"<!-- TextEnd -->"_s;
}

// The text as GetHTML hands it on: line ends settled, NUL cut.
void tst_PageFetcher::pageText()
{
    QFETCH(QString, path);
    QFETCH(QString, mustHave);
    QFETCH(QString, mustLack);

    const std::unique_ptr<HttpTransport> http = MakeCurlTransport();
    ScriptedPrompter prompter;
    DebugLog log;
    PageFetcher fetcher(*http, prompter, log);

    const FetchedPage page = fetcher.GetHTML(url(path));

    QVERIFY(prompter.questions.isEmpty());
    QVERIFY(page.text.contains(QRegularExpression(mustHave)));
    QVERIFY(!page.text.contains(QRegularExpression(mustLack)));
}

void tst_PageFetcher::ConvertCharset_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");

    QTest::newRow("nothing") << QByteArray() << QString();
    QTest::newRow("plain ASCII") << QByteArray("<html>\r\nabc</html>") << u"<html>\r\nabc</html>"_s;
    QTest::newRow("EUC-JP kanji") << QByteArray("\xc6\xfc\xcb\xdc") << u"日本"_s;
    QTest::newRow("wave dash keeps the Microsoft mapping")
        << QByteArray("\xa1\xc1") << QString(QChar(0xFF5E));
    QTest::newRow("cut before NUL") << QByteArray("ab\0cd", 5) << u"ab"_s;
    QTest::newRow("NUL first gives nothing") << QByteArray("\0abc", 4) << QString();
    const QChar bad = QChar::ReplacementCharacter;
    QTest::newRow("NUL after a lead byte") << QByteArray("a\xa4\0\xa2", 4) << (u"a"_s + bad);
    QTest::newRow("NUL inside a three-byte sequence")
        << QByteArray("\x8f\xa2\0\xaf", 4) << QString(2, bad);
}

void tst_PageFetcher::ConvertCharset()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    QCOMPARE(::ConvertCharset(bytes), expected);
}

QTEST_GUILESS_MAIN(tst_PageFetcher)
#include "tst_pagefetcher.moc"
