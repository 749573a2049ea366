// What the gateway adds per article: a source whose article pages answer after 100 ms, read
// once directly and once through varnholt-portal --feeds, one article after another as
// Varnholt reads them. Prints milliseconds per article.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <httplib.h>
#include <thread>

using namespace Qt::StringLiterals;

namespace {

constexpr int kArticles = 20;
constexpr int kSourceDelayMs = 100;

std::string articlePage(int n)
{
    std::string body = "<html><head><meta charset=\"utf-8\"><title>記事" + std::to_string(n) +
                       "</title></head><body><nav><a href=\"/\">トップ</a></nav><article>";
    for (int p = 0; p < 6; ++p)
        body +=
            "<p>計測用の記事の本文です。段落ごとに、ある程度の長さの文章が続き、句読点も含まれて"
            "います。これは第" +
            std::to_string(p + 1) + "段落です。</p>";
    return body + "</article><footer>フッター</footer></body></html>";
}

std::string feed(int port)
{
    std::string items;
    for (int n = 1; n <= kArticles; ++n)
        items += "<item><title>計測記事" + std::to_string(n) +
                 "</title><link>http://127.0.0.1:" + std::to_string(port) + "/a/" +
                 std::to_string(n) + "</link><description>要約</description></item>";
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><rss version=\"2.0\"><channel><title>計測"
           "</title>" +
           items + "</channel></rss>";
}

// Milliseconds per request for these paths, one after another on one connection.
double perRequest(int port, const std::vector<std::string> &paths)
{
    httplib::Client client("127.0.0.1", port);
    client.set_keep_alive(true);
    // Without it every reply waits for a delayed acknowledgement.
    client.set_tcp_nodelay(true);
    client.set_read_timeout(60, 0);
    QElapsedTimer clock;
    clock.start();
    for (const std::string &path : paths) {
        const auto reply = client.Get(path.c_str());
        if (!reply || reply->status != 200) {
            std::fprintf(stderr, "gateway_article: %s failed\n", path.c_str());
            return -1;
        }
    }
    return double(clock.nsecsElapsed()) / 1e6 / double(paths.size());
}

// Starts the gateway on a free port; 0 when it did not start.
int startGateway(QProcess &process, const QString &feeds, const QString &cache)
{
    process.start(QStringLiteral(VARNHOLT_PORTAL_BINARY),
                  {u"--feeds"_s, feeds, u"--cache"_s, cache, u"--port"_s, u"0"_s});
    if (!process.waitForStarted(10000) || !process.waitForReadyRead(10000))
        return 0;
    const QByteArray line = process.readLine().trimmed();
    return line.startsWith("PORT ") ? line.mid(5).toInt() : 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    httplib::Server source;
    source.set_tcp_nodelay(true);
    const int sourcePort = source.bind_to_any_port("127.0.0.1");
    source.Get("/feed.xml", [&](const httplib::Request &, httplib::Response &response) {
        response.set_content(feed(sourcePort), "application/rss+xml");
    });
    source.Get(R"(/a/(\d+))", [](const httplib::Request &request, httplib::Response &response) {
        std::this_thread::sleep_for(std::chrono::milliseconds(kSourceDelayMs));
        response.set_content(articlePage(std::stoi(request.matches[1])),
                             "text/html; charset=UTF-8");
    });
    std::thread serving([&] { source.listen_after_bind(); });

    std::vector<std::string> direct;
    for (int n = 1; n <= kArticles; ++n)
        direct.push_back("/a/" + std::to_string(n));
    const double sourceMs = perRequest(sourcePort, direct);
    std::printf("source, direct:                 %7.1f ms per article (%d articles)\n", sourceMs,
                kArticles);

    for (const int delay : {0, 1000}) {
        QTemporaryDir dir;
        const QString feeds = dir.filePath(u"feeds.ini"_s);
        QFile file(feeds);
        if (!file.open(QIODevice::WriteOnly))
            return 1;
        file.write("[portal]\ncontact = bench@example.com\ndelay = " + QByteArray::number(delay) +
                   "\n[dom]\nfeeds = http://127.0.0.1:" + QByteArray::number(sourcePort) +
                   "/feed.xml\n");
        file.close();
        QProcess gateway;
        const int port = startGateway(gateway, feeds, dir.filePath(u"cache"_s));
        if (port == 0) {
            std::fprintf(stderr, "gateway_article: varnholt-portal did not start\n");
            return 1;
        }
        const double listMs = perRequest(port, {"/headlines/dom/"});
        std::vector<std::string> articles;
        for (int n = 1; n <= kArticles; ++n)
            articles.push_back("/article/" + std::to_string(n));
        const double firstMs = perRequest(port, articles);
        const double cachedMs = perRequest(port, articles);
        std::printf("gateway, delay = %4d ms: list %7.1f ms; article first %7.1f ms (adds %6.1f), "
                    "cached %5.1f ms\n",
                    delay, listMs, firstMs, firstMs - sourceMs, cachedMs);
        gateway.terminate();
        gateway.waitForFinished(5000);
    }
    source.stop();
    serving.join();
    return 0;
}
