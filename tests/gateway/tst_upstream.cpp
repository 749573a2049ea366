// Fetching from the sources: robots.txt rules, Retry-After, the host gate and the HTTP client
// against loopback hosts.
#include "FixtureInternet.h"
#include "ManualClock.h"
#include "upstream/HostGate.h"
#include "upstream/RetryAfter.h"
#include "upstream/RobotsRules.h"
#include "upstream/UpstreamClient.h"

#include <QTest>

#include <atomic>
#include <future>

using namespace Qt::StringLiterals;

namespace {

// The loopback host stands for a source the feeds file names.
LocalNetworkGuard namedHost(const FixtureHost &host)
{
    return LocalNetworkGuard({QUrl(host.base())});
}

} // namespace

class tst_Upstream : public QObject
{
    Q_OBJECT

private slots:
    void robots_data();
    void robots();
    void retryAfter_data();
    void retryAfter();
    void gate_atMostTwoAtOnceAndSpaced();
    void gate_holdOffRefusesUntilTheClockPassesIt();
    void client_data();
    void client();
    void client_conditionalHeadersAndUserAgent();
    void client_429HoldsTheHostOff();

private:
    ManualClock m_clock{QDateTime(QDate(2024, 5, 1), QTime(9, 0))};
};

void tst_Upstream::robots_data()
{
    QTest::addColumn<QByteArray>("robots");
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("allowed");

    const QByteArray common = "User-agent: *\nDisallow: /private/\nAllow: /private/open\n";
    QTest::newRow("outside the rules") << common << u"/news/1"_s << true;
    QTest::newRow("disallowed prefix") << common << u"/private/x"_s << false;
    QTest::newRow("longer allow wins") << common << u"/private/open/1"_s << true;
    QTest::newRow("empty disallow allows all")
        << QByteArray("User-agent: *\nDisallow:\n") << u"/a"_s << true;
    QTest::newRow("own group beats *")
        << QByteArray("User-agent: *\nDisallow: /\n\nUser-agent: varnholt-portal\nDisallow: /x\n")
        << u"/a"_s << true;
    QTest::newRow("own group, case and version ignored")
        << QByteArray("User-agent: Varnholt-Portal\nDisallow: /a\n") << u"/a/b"_s << false;
    QTest::newRow("another robot's group does not bind")
        << QByteArray("User-agent: otherbot\nDisallow: /\n") << u"/a"_s << true;
    QTest::newRow("group of two agents")
        << QByteArray("User-agent: otherbot\nUser-agent: *\nDisallow: /a\n") << u"/a"_s << false;
    QTest::newRow("wildcard") << QByteArray("User-agent: *\nDisallow: /*.pdf$\n") << u"/d/x.pdf"_s
                              << false;
    QTest::newRow("anchored end not met")
        << QByteArray("User-agent: *\nDisallow: /*.pdf$\n") << u"/d/x.pdf?v=1"_s << true;
    QTest::newRow("query") << QByteArray("User-agent: *\nDisallow: /*?print\n") << u"/a?print=1"_s
                           << false;
    QTest::newRow("comments and CR LF")
        << QByteArray("# hi\r\nUser-agent: * # all\r\nDisallow: /a # no\r\n") << u"/a"_s << false;
    QTest::newRow("percent-encoding compared decoded")
        << QByteArray("User-agent: *\nDisallow: /%E3%83%8B\n") << u"/ニ"_s << false;
    QTest::newRow("robots.txt itself")
        << QByteArray("User-agent: *\nDisallow: /\n") << u"/robots.txt"_s << true;
    QTest::newRow("garbage") << QByteArray("\x00\xff<html>") << u"/a"_s << true;
}

void tst_Upstream::robots()
{
    QFETCH(QByteArray, robots);
    QFETCH(QString, path);
    QFETCH(bool, allowed);
    QCOMPARE(RobotsRules::parse(robots, u"varnholt-portal/1.0.0 (+me@example.com)"_s).allows(path),
             allowed);
}

void tst_Upstream::retryAfter_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<int>("seconds"); // -1: none

    QTest::newRow("seconds") << QByteArray("120") << 120;
    QTest::newRow("date") << QByteArray("Wed, 01 May 2024 00:05:00 GMT") << 300;
    QTest::newRow("date past") << QByteArray("Wed, 01 May 2024 00:00:00 GMT") << 0;
    QTest::newRow("capped") << QByteArray("99999999") << 6 * 3600;
    QTest::newRow("negative") << QByteArray("-5") << 0;
    QTest::newRow("garbage") << QByteArray("soon") << -1;
    QTest::newRow("empty") << QByteArray() << -1;
}

void tst_Upstream::retryAfter()
{
    QFETCH(QByteArray, value);
    QFETCH(int, seconds);
    const auto parsed = ParseRetryAfter(value, QDateTime(QDate(2024, 5, 1), QTime(0, 0), Qt::UTC));
    QCOMPARE(parsed.has_value(), seconds >= 0);
    if (parsed)
        QCOMPARE(int(parsed->count()), seconds);
}

void tst_Upstream::gate_atMostTwoAtOnceAndSpaced()
{
    HostGate gate(std::chrono::milliseconds(40), 2, m_clock);
    std::atomic<int> active = 0;
    std::atomic<int> most = 0;
    std::mutex mutex;
    QList<qint64> starts;
    QElapsedTimer clock;
    clock.start();
    std::vector<std::future<bool>> workers;
    for (int i = 0; i < 6; ++i) {
        workers.push_back(std::async(std::launch::async, [&] {
            const HostGate::Turn turn = gate.enter(u"h"_s, std::chrono::seconds(10));
            if (!turn.ok)
                return false;
            {
                std::lock_guard lock(mutex);
                starts << clock.elapsed();
            }
            most = std::max(most.load(), ++active);
            std::this_thread::sleep_for(std::chrono::milliseconds(120));
            --active;
            return true;
        }));
    }
    for (auto &worker : workers)
        QVERIFY(worker.get());
    QCOMPARE(most.load(), 2);
    // The sixth turn comes five pauses after the first at the earliest (stamps can only be late).
    std::sort(starts.begin(), starts.end());
    QVERIFY2(starts.last() >= 5 * 40, qPrintable(QString::number(starts.last())));
    // Another host does not wait for this one.
    const HostGate::Turn first = gate.enter(u"h"_s, std::chrono::seconds(1));
    const HostGate::Turn other = gate.enter(u"other"_s, std::chrono::milliseconds(0));
    QVERIFY2(other.ok, qPrintable(other.error));
}

void tst_Upstream::gate_holdOffRefusesUntilTheClockPassesIt()
{
    HostGate gate(std::chrono::milliseconds(0), 2, m_clock);
    gate.holdOff(u"h"_s, m_clock.now().addSecs(30));
    QElapsedTimer clock;
    clock.start();
    const HostGate::Turn held = gate.enter(u"h"_s, std::chrono::seconds(5));
    QVERIFY(!held.ok);
    QVERIFY(clock.elapsed() < 1000);
    QVERIFY2(held.error.contains(u"30 more seconds (Retry-After)"_s), qPrintable(held.error));
    // A shorter hold-off does not shorten the longer one.
    gate.holdOff(u"h"_s, m_clock.now().addSecs(5));
    m_clock.advance(std::chrono::seconds(29));
    const HostGate::Turn stillHeld = gate.enter(u"h"_s, std::chrono::seconds(0));
    QVERIFY(!stillHeld.ok);
    QVERIFY2(stillHeld.error.contains(u"1 more seconds"_s), qPrintable(stillHeld.error));
    m_clock.advance(std::chrono::seconds(1));
    const HostGate::Turn free = gate.enter(u"h"_s, std::chrono::seconds(0));
    QVERIFY2(free.ok, qPrintable(free.error));
}

void tst_Upstream::client_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("status"); // 0: no reply
    QTest::addColumn<QString>("error");
    QTest::addColumn<QString>("finalPath");

    QTest::newRow("plain") << u"/ok"_s << 200 << QString() << u"/ok"_s;
    QTest::newRow("redirect followed") << u"/r/once"_s << 200 << QString() << u"/ok"_s;
    QTest::newRow("redirect loop") << u"/r/loop"_s << 0 << u"more than 5 redirects"_s << QString();
    QTest::newRow("redirect to ftp")
        << u"/r/ftp"_s << 0 << u"not an http or https address"_s << QString();
    QTest::newRow("slow host") << u"/slow"_s << 0 << u"timed out"_s << QString();
    QTest::newRow("too large") << u"/large"_s << 0 << u"larger than"_s << QString();
    QTest::newRow("server error kept") << u"/error"_s << 500 << QString() << u"/error"_s;
    QTest::newRow("not modified, with a Location: no redirect")
        << u"/nm"_s << 304 << QString() << u"/nm"_s;
    QTest::newRow("redirect status without a Location: the reply itself")
        << u"/r/nowhere"_s << 302 << QString() << u"/r/nowhere"_s;
}

void tst_Upstream::client()
{
    QFETCH(QString, path);
    QFETCH(int, status);
    QFETCH(QString, error);
    QFETCH(QString, finalPath);

    FixtureHost host;
    host.set(u"/ok"_s, {200, "fine", "text/plain", {}, 0, {}});
    host.set(u"/r/once"_s, {302, {}, "text/plain", {{"Location", "/ok"}}, 0, {}});
    host.set(u"/r/loop"_s, {301, {}, "text/plain", {{"Location", "/r/loop"}}, 0, {}});
    host.set(u"/r/ftp"_s, {301, {}, "text/plain", {{"Location", "ftp://127.0.0.1/x"}}, 0, {}});
    host.set(u"/slow"_s, {200, "late", "text/plain", {}, 1500, {}});
    host.set(u"/large"_s, {200, QByteArray(9 * 1024 * 1024, 'x'), "text/plain", {}, 0, {}});
    host.set(u"/error"_s, {500, "oops", "text/plain", {}, 0, {}});
    host.set(u"/nm"_s, {304, {}, "text/plain", {{"Location", "/ok"}}, 0, {}});
    host.set(u"/r/nowhere"_s, {302, {}, "text/plain", {}, 0, {}});

    HostGate gate(std::chrono::milliseconds(0), 2, m_clock);
    UpstreamClient client(u"varnholt-portal/1.0.0"_s, gate, m_clock, namedHost(host));
    UpstreamRequest request;
    request.url = QUrl(host.url(path));
    request.timeout = std::chrono::milliseconds(500);
    const UpstreamReply reply = client.get(request);

    QCOMPARE(reply.ok ? reply.status : 0, status);
    if (!error.isEmpty()) {
        QVERIFY2(reply.error.contains(error), qPrintable(reply.error));
        QVERIFY2(reply.error.contains(host.base()), qPrintable(reply.error));
    } else {
        QCOMPARE(reply.finalUrl.path(), finalPath);
    }
    // A loop ends after its few hops.
    QVERIFY(host.hitCount(u"/r/loop"_s) <= 6);
}

void tst_Upstream::client_conditionalHeadersAndUserAgent()
{
    FixtureHost host;
    host.set(u"/feed"_s, {200,
                          "<rss/>",
                          "application/rss+xml",
                          {{"Last-Modified", "Wed, 01 May 2024 00:00:00 GMT"}},
                          0,
                          "\"e1\""});
    HostGate gate(std::chrono::milliseconds(0), 2, m_clock);
    UpstreamClient client(u"varnholt-portal/1.0.0 (+me@example.com)"_s, gate, m_clock,
                          namedHost(host));
    UpstreamRequest request;
    request.url = QUrl(host.url(u"/feed"_s));
    const UpstreamReply first = client.get(request);
    QCOMPARE(first.status, 200);
    QCOMPARE(first.etag, QByteArray("\"e1\""));
    QCOMPARE(first.lastModified, QByteArray("Wed, 01 May 2024 00:00:00 GMT"));
    QCOMPARE(first.contentType, u"application/rss+xml"_s);

    request.etag = first.etag;
    request.lastModified = first.lastModified;
    const UpstreamReply second = client.get(request);
    QCOMPARE(second.status, 304);
    const auto hit = host.hits().last();
    QCOMPARE(hit.ifNoneMatch, QByteArray("\"e1\""));
    QCOMPARE(hit.ifModifiedSince, QByteArray("Wed, 01 May 2024 00:00:00 GMT"));
    QCOMPARE(hit.userAgent, QByteArray("varnholt-portal/1.0.0 (+me@example.com)"));
}

void tst_Upstream::client_429HoldsTheHostOff()
{
    FixtureHost host;
    host.set(u"/busy"_s, {429, "no", "text/plain", {{"Retry-After", "60"}}, 0, {}});
    host.set(u"/ok"_s, {200, "fine", "text/plain", {}, 0, {}});
    HostGate gate(std::chrono::milliseconds(0), 2, m_clock);
    UpstreamClient client(u"varnholt-portal/1.0.0"_s, gate, m_clock, namedHost(host));
    UpstreamRequest request;
    request.url = QUrl(host.url(u"/busy"_s));
    const UpstreamReply busy = client.get(request);
    QCOMPARE(busy.status, 429);
    QCOMPARE(busy.retryAfter.value_or(std::chrono::seconds(0)).count(), 60);

    request.url = QUrl(host.url(u"/ok"_s));
    const UpstreamReply next = client.get(request);
    QVERIFY(!next.ok);
    QVERIFY2(next.error.contains(u"Retry-After"_s), qPrintable(next.error));
    QCOMPARE(host.hitCount(u"/ok"_s), 0);

    // Once the clock has passed the minute, the host is asked again.
    m_clock.advance(std::chrono::seconds(60));
    const UpstreamReply later = client.get(request);
    QCOMPARE(later.status, 200);
    QCOMPARE(host.hitCount(u"/ok"_s), 1);
}

QTEST_GUILESS_MAIN(tst_Upstream)
#include "tst_upstream.moc"
