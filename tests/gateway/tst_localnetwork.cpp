// The guard that keeps the gateway out of this machine's own network: the address classifier,
// the exceptions the person made, and the HTTP client and the gateway against loopback hosts
// that public-looking names lead to.
#include "FixtureInternet.h"
#include "Gateway.h"
#include "ManualClock.h"
#include "upstream/HostGate.h"
#include "upstream/LocalAddress.h"
#include "upstream/LocalNetworkGuard.h"
#include "upstream/UpstreamClient.h"
#include "util/CodePage.h"

#include <QHostAddress>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QDateTime kNow(QDate(2024, 5, 1), QTime(9, 0));

// What a client gets for a name that the name service would give as 127.0.0.1.
QByteArray resolvedToLoopback(const QString &name, const FixtureHost &host)
{
    return name.toUtf8() + ':' + host.base().section(u':', 2).toUtf8() + ":127.0.0.1";
}

} // namespace

class tst_LocalNetwork : public QObject
{
    Q_OBJECT

private slots:
    void addressReason_data();
    void addressReason();
    void hostReason_data();
    void hostReason();
    void guard_data();
    void guard();
    void client_data();
    void client();
    void gateway_refusedItemsGetTheNoticeANamedLocalFeedWorks();
};

void tst_LocalNetwork::addressReason_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("reason"); // a piece of it; empty: a public address

    QTest::newRow("public IPv4") << u"93.184.216.34"_s << QString();
    QTest::newRow("loopback") << u"127.0.0.1"_s << u"loopback"_s;
    QTest::newRow("loopback, not the usual one") << u"127.254.0.9"_s << u"loopback"_s;
    QTest::newRow("10/8") << u"10.20.30.40"_s << u"private"_s;
    QTest::newRow("172.16/12") << u"172.31.255.255"_s << u"private"_s;
    QTest::newRow("just past 172.16/12") << u"172.32.0.1"_s << QString();
    QTest::newRow("192.168/16") << u"192.168.1.1"_s << u"private"_s;
    QTest::newRow("carrier-grade NAT") << u"100.64.0.1"_s << u"carrier-grade NAT"_s;
    QTest::newRow("just past carrier-grade NAT") << u"100.128.0.1"_s << QString();
    QTest::newRow("link-local, the cloud's metadata service")
        << u"169.254.169.254"_s << u"link-local"_s;
    QTest::newRow("unspecified") << u"0.0.0.0"_s << u"unspecified"_s;
    QTest::newRow("this network") << u"0.1.2.3"_s << u"unspecified"_s;
    QTest::newRow("multicast") << u"224.0.0.251"_s << u"multicast"_s;
    QTest::newRow("broadcast") << u"255.255.255.255"_s << u"reserved"_s;
    QTest::newRow("documentation") << u"203.0.113.7"_s << u"documentation"_s;
    QTest::newRow("benchmarking") << u"198.19.0.1"_s << u"benchmarking"_s;

    QTest::newRow("public IPv6") << u"2606:4700:4700::1111"_s << QString();
    QTest::newRow("IPv6 loopback") << u"::1"_s << u"loopback"_s;
    QTest::newRow("IPv6 unspecified") << u"::"_s << u"unspecified"_s;
    QTest::newRow("IPv6 link-local") << u"fe80::1"_s << u"link-local"_s;
    QTest::newRow("unique-local fc") << u"fc00::1"_s << u"unique-local"_s;
    QTest::newRow("unique-local fd") << u"fd12:3456::1"_s << u"unique-local"_s;
    QTest::newRow("site-local") << u"fec0::1"_s << u"site-local"_s;
    QTest::newRow("IPv6 multicast") << u"ff02::1"_s << u"multicast"_s;
    QTest::newRow("IPv6 documentation") << u"2001:db8::1"_s << u"documentation"_s;
    QTest::newRow("discard-only") << u"100::1"_s << u"discard-only"_s;
    QTest::newRow("just past discard-only") << u"100:0:0:1::1"_s << QString();

    QTest::newRow("IPv4-mapped loopback") << u"::ffff:127.0.0.1"_s << u"loopback"_s;
    QTest::newRow("IPv4-mapped private, in hex") << u"::ffff:a00:1"_s << u"private"_s;
    QTest::newRow("IPv4-mapped says so") << u"::ffff:192.168.0.1"_s << u"IPv4-mapped"_s;
    QTest::newRow("IPv4-mapped public") << u"::ffff:93.184.216.34"_s << QString();
    QTest::newRow("IPv4-compatible loopback") << u"::127.0.0.1"_s << u"IPv4-compatible"_s;
    QTest::newRow("NAT64 of a private address") << u"64:ff9b::10.0.0.1"_s << u"private"_s;
    QTest::newRow("NAT64 of a public address") << u"64:ff9b::93.184.216.34"_s << QString();
    QTest::newRow("local-use NAT64") << u"64:ff9b:1::1"_s << u"NAT64"_s;
    QTest::newRow("6to4 of a private address") << u"2002:c0a8:101::1"_s << u"6to4"_s;
    QTest::newRow("6to4 of a public address") << u"2002:5db8:d822::1"_s << QString();
}

void tst_LocalNetwork::addressReason()
{
    QFETCH(QString, address);
    QFETCH(QString, reason);
    const QHostAddress parsed(address);
    QVERIFY2(!parsed.isNull(), qPrintable(address));
    const QString got = LocalAddressReason(parsed);
    if (reason.isEmpty())
        QCOMPARE(got, QString());
    else
        QVERIFY2(got.contains(reason), qPrintable(got));
}

void tst_LocalNetwork::hostReason_data()
{
    QTest::addColumn<QString>("host");
    QTest::addColumn<bool>("local");

    QTest::newRow("localhost") << u"localhost"_s << true;
    QTest::newRow("localhost in capitals") << u"LocalHost"_s << true;
    QTest::newRow("a name under localhost") << u"admin.localhost"_s << true;
    QTest::newRow("an address written out") << u"192.168.0.1"_s << true;
    QTest::newRow("an IPv6 address written out") << u"::1"_s << true;
    QTest::newRow("a public address written out") << u"93.184.216.34"_s << false;
    // Only the name service knows where a name leads: the connection is checked then.
    QTest::newRow("a name") << u"router.lan"_s << false;
    QTest::newRow("a name that only looks local") << u"localhost.example.com"_s << false;
}

void tst_LocalNetwork::hostReason()
{
    QFETCH(QString, host);
    QFETCH(bool, local);
    QCOMPARE(!LocalHostReason(host).isEmpty(), local);
}

void tst_LocalNetwork::guard_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("address"); // where the connection goes
    QTest::addColumn<int>("port");
    QTest::addColumn<bool>("refused");

    QTest::newRow("a public name at a public address")
        << u"http://news.example/a"_s << u"93.184.216.34"_s << 80 << false;
    QTest::newRow("a public name at a loopback address")
        << u"http://news.example/a"_s << u"127.0.0.1"_s << 80 << true;
    QTest::newRow("the feed's host and port")
        << u"http://127.0.0.1:8080/page"_s << u"127.0.0.1"_s << 8080 << false;
    QTest::newRow("the feed's host at another port")
        << u"http://127.0.0.1:8081/"_s << u"127.0.0.1"_s << 8081 << true;
    QTest::newRow("a named local feed by its name")
        << u"http://intranet.lan/news"_s << u"10.1.1.1"_s << 80 << false;
    QTest::newRow("the named name over https is another port")
        << u"https://intranet.lan/news"_s << u"10.1.1.1"_s << 443 << true;
    QTest::newRow("the proxy the environment names")
        << u"http://news.example/a"_s << u"127.0.0.1"_s << 3128 << false;
    QTest::newRow("the proxy's address at another port")
        << u"http://news.example/a"_s << u"127.0.0.1"_s << 3129 << true;
    QTest::newRow("the proxy's address, IPv4-mapped")
        << u"http://news.example/a"_s << u"::ffff:127.0.0.1"_s << 3128 << false;
}

void tst_LocalNetwork::guard()
{
    QFETCH(QString, url);
    QFETCH(QString, address);
    QFETCH(int, port);
    QFETCH(bool, refused);

    const LocalNetworkGuard guard(
        {QUrl(u"http://127.0.0.1:8080/feed.xml"_s), QUrl(u"http://intranet.lan/rss"_s)},
        {QUrl(u"http://127.0.0.1:3128"_s)});
    const QString refusal = guard.refusalOfConnection(QUrl(url), QHostAddress(address), port);
    QCOMPARE(!refusal.isEmpty(), refused);
    if (refused) {
        // The fault line names the host, the address and the reason.
        QVERIFY2(refusal.contains(QUrl(url).host()), qPrintable(refusal));
        QVERIFY2(refusal.contains(QHostAddress(address).toString()), qPrintable(refusal));
        QVERIFY2(refusal.contains(u"address"_s), qPrintable(refusal));
    }
}

void tst_LocalNetwork::client_data()
{
    QTest::addColumn<QString>("path"); // on the named host; "inside:" for the unnamed one
    QTest::addColumn<int>("status");   // 0: refused
    QTest::addColumn<QString>("error");

    QTest::newRow("the named host") << u"/ok"_s << 200 << QString();
    QTest::newRow("the named host redirecting to itself") << u"/r/self"_s << 200 << QString();
    QTest::newRow("a public name that leads to loopback")
        << u"inside:/ok"_s << 0 << u"not connected to news.example at 127.0.0.1: a loopback"_s;
    QTest::newRow("a redirect to that name")
        << u"/r/inside"_s << 0 << u"not connected to news.example at 127.0.0.1: a loopback"_s;
    QTest::newRow("a redirect to a loopback address written out")
        << u"/r/literal"_s << 0 << u"redirected to http://127.0.0.1:"_s;
    QTest::newRow("a redirect to localhost") << u"/r/localhost"_s << 0 << u"localhost"_s;
}

void tst_LocalNetwork::client()
{
    QFETCH(QString, path);
    QFETCH(int, status);
    QFETCH(QString, error);

    FixtureHost named;
    FixtureHost inside;
    const QString insidePort = inside.base().section(u':', 2);
    const QByteArray insideName = "http://news.example:" + insidePort.toUtf8();
    named.set(u"/ok"_s, {200, "fine", "text/plain", {}, 0, {}});
    named.set(u"/r/self"_s, {302, {}, "text/plain", {{"Location", "/ok"}}, 0, {}});
    named.set(u"/r/inside"_s, {302, {}, "text/plain", {{"Location", insideName + "/ok"}}, 0, {}});
    named.set(u"/r/literal"_s,
              {302, {}, "text/plain", {{"Location", inside.url(u"/ok"_s).toUtf8()}}, 0, {}});
    named.set(u"/r/localhost"_s, {302,
                                  {},
                                  "text/plain",
                                  {{"Location", "http://localhost:" + insidePort.toUtf8() + "/ok"}},
                                  0,
                                  {}});
    inside.set(u"/ok"_s, {200, "the machine's own", "text/plain", {}, 0, {}});

    ManualClock clock(kNow);
    HostGate gate(std::chrono::milliseconds(0), 2, clock);
    UpstreamClient client(u"varnholt-portal/1.0.0"_s, gate, clock,
                          LocalNetworkGuard({QUrl(named.url(u"/feed.xml"_s))}),
                          {resolvedToLoopback(u"news.example"_s, inside)});
    UpstreamRequest request;
    request.url = path.startsWith(u"inside:"_s) ? QUrl(QString::fromUtf8(insideName) + path.mid(7))
                                                : QUrl(named.url(path));
    const UpstreamReply reply = client.get(request);

    QCOMPARE(reply.ok ? reply.status : 0, status);
    if (!error.isEmpty())
        QVERIFY2(reply.error.contains(error), qPrintable(reply.error));
    // Nothing reached the machine's own host: the refusal comes before the connection.
    QCOMPARE(inside.hits().size(), 0);
}

void tst_LocalNetwork::gateway_refusedItemsGetTheNoticeANamedLocalFeedWorks()
{
    FixtureHost news;   // the feed's host, on this machine: named in the feeds file
    FixtureHost inside; // this machine's own service, behind a public-looking name
    const QByteArray away = "http://news.example:" + inside.base().section(u':', 2).toUtf8();
    const QByteArray pageText =
        "市は７日、駅前の再開発計画の概要を発表した。老朽化した商業ビルを取り壊し、２０３０年までに"
        "図書館や保育所を備えた複合施設を整備する。事業費は約１２０億円を見込み、国の補助金と民間資"
        "金を組み合わせる。";
    news.set(u"/rss.xml"_s,
             {200,
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?><rss version=\"2.0\"><channel>"
              "<title>Src</title>"
              "<item><title>一</title><link>" +
                  away +
                  "/admin</link></item><item><title>二</title><link>/page</link></item>"
                  "<item><title>三</title><link>/moved</link></item></channel></rss>",
              "application/rss+xml",
              {},
              0,
              {}});
    news.set(u"/page"_s, {200,
                          "<html><head><meta charset=\"utf-8\"></head><body><article><p>" +
                              pageText + "</p></article></body></html>",
                          "text/html; charset=UTF-8",
                          {},
                          0,
                          {}});
    news.set(u"/moved"_s, {301, {}, "text/html", {{"Location", away + "/secret"}}, 0, {}});
    inside.set(u"/admin"_s, {200, "router settings", "text/html", {}, 0, {}});
    inside.set(u"/secret"_s, {200, "secrets", "text/html", {}, 0, {}});

    FeedsConfig config;
    config.settings.delay = std::chrono::milliseconds(0);
    config.categories.insert(u"dom"_s, {{QUrl(news.url(u"/rss.xml"_s))}, {}, {}});
    const ManualClock clock(kNow);
    HostGate gate(std::chrono::milliseconds(0), 2, clock);
    UpstreamClient client(u"varnholt-portal/1.0.0"_s, gate, clock,
                          LocalNetworkGuard(config.categories.value(u"dom"_s).feeds),
                          {resolvedToLoopback(u"news.example"_s, inside)});
    QStringList said;
    Gateway gateway(config, client, clock, [&said](const QString &line) { said << line; });
    QTemporaryDir dir;
    QVERIFY(gateway.open(dir.path()));

    QCOMPARE(gateway.page(u"/headlines/dom/"_s).status, 200);
    const auto article = [&](int id) {
        const PageReply reply = gateway.page(u"/article/"_s + QString::number(id));
        return reply.status == 200 ? CodePage::fromEucJp(reply.body) : QString();
    };
    // The item link and the redirect into this machine: the notice with the original address.
    const QString refused = article(1);
    QVERIFY2(refused.contains(u"元の記事"_s), qPrintable(refused));
    QVERIFY2(refused.contains(QString::fromUtf8(away) + u"/admin"_s), qPrintable(refused));
    const QString redirected = article(3);
    QVERIFY2(redirected.contains(u"元の記事"_s), qPrintable(redirected));
    // The named local feed's own page is read.
    QVERIFY2(article(2).contains(QString::fromUtf8(pageText).left(20)), qPrintable(article(2)));
    QCOMPARE(inside.hits().size(), 0);

    // Each refusal is a fault line with the host, the address and the reason.
    const QString faults = said.join(u'\n');
    QVERIFY2(faults.count(u"not connected to news.example at 127.0.0.1: a loopback"_s) >= 2,
             qPrintable(faults));
    QVERIFY2(faults.contains(QString::fromUtf8(away) + u"/secret"_s), qPrintable(faults));
}

QTEST_GUILESS_MAIN(tst_LocalNetwork)
#include "tst_localnetwork.moc"
