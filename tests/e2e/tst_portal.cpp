// End-to-end tests of varnholt-portal: the real binary on a free loopback port, spoken to with a
// hand-written HTTP client so every byte the portal sends is visible.

#include "PortalProcess.h"
#include "TestFiles.h"
#include "engine/PortalMarkers.h"
#include "util/CodePage.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>
#include <memory>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <zlib.h>

using namespace Qt::StringLiterals;

namespace {

const QStringList kCodes = {u"dom"_s, u"int"_s, u"bus"_s, u"brf"_s, u"biz"_s,
                            u"ent"_s, u"spo"_s, u"nkn"_s, u"cpt"_s, u"clm"_s};
const auto kToday = u"2024-05-01"_s;
const auto kPreviousDayPrefix = u"240430/"_s;

struct HttpReply
{
    bool connected = false;
    QByteArray raw;
    int status = 0;
    QByteArray headers;
    QByteArray body;

    QByteArray header(const QByteArray &name) const
    {
        for (const QByteArray &line : headers.split('\n')) {
            const qsizetype colon = line.indexOf(':');
            if (colon > 0 && line.left(colon).trimmed().compare(name, Qt::CaseInsensitive) == 0)
                return line.mid(colon + 1).trimmed();
        }
        return {};
    }
};

// One request on its own connection, read until the server closes it.
HttpReply httpGet(quint16 port, const QByteArray &target)
{
    HttpReply reply;
    QTcpSocket socket;
    socket.connectToHost(u"127.0.0.1"_s, port);
    if (!socket.waitForConnected(5000))
        return reply;
    reply.connected = true;
    socket.write("GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(port) +
                 "\r\nConnection: close\r\n\r\n");
    while (socket.state() == QAbstractSocket::ConnectedState && socket.waitForReadyRead(10000))
        reply.raw += socket.readAll();
    reply.raw += socket.readAll();

    const qsizetype split = reply.raw.indexOf("\r\n\r\n");
    if (split < 0)
        return reply;
    reply.headers = reply.raw.left(split);
    reply.body = reply.raw.mid(split + 4);
    const QList<QByteArray> statusLine = reply.headers.left(reply.headers.indexOf('\r')).split(' ');
    if (statusLine.size() >= 2)
        reply.status = statusLine.at(1).toInt();
    return reply;
}

QByteArray gunzip(const QByteArray &packed)
{
    z_stream stream{};
    if (inflateInit2(&stream, 15 + 16) != Z_OK)
        return {};
    QByteArray out(1 << 20, Qt::Uninitialized);
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(packed.data()));
    stream.avail_in = uInt(packed.size());
    stream.next_out = reinterpret_cast<Bytef *>(out.data());
    stream.avail_out = uInt(out.size());
    const int result = inflate(&stream, Z_FINISH);
    out.truncate(qsizetype(stream.total_out));
    inflateEnd(&stream);
    return result == Z_STREAM_END ? out : QByteArray();
}

// The portal, with requests on fresh connections.
class Portal final : public PortalProcess
{
public:
    using PortalProcess::PortalProcess;
    HttpReply get(const QString &target) const { return httpGet(port(), target.toUtf8()); }
};

struct ListItem
{
    QString link;
    QString title;
};

// The items between the list marker and the next "</ul>", in the layout the clipper reads.
QList<ListItem> listItems(const QString &page)
{
    static const QRegularExpression item(
        u"<li><a href=(/article/[^ >\"]+)>([^<]+)</a> <span>[^<]+ \\d\\d:\\d\\d</span></li>"_s);
    const qsizetype start = page.indexOf(PortalMarkers::Headlines);
    const qsizetype end = page.indexOf(PortalMarkers::ListEnd, start);
    QList<ListItem> items;
    if (start < 0 || end < 0)
        return items;
    auto matches = item.globalMatch(page.mid(start, end - start));
    while (matches.hasNext()) {
        const auto match = matches.next();
        items.append({match.captured(1), match.captured(2)});
    }
    return items;
}

// The next page's path by the clipper's rule: the last "次ページ", the last link opened before.
QString nextPagePath(const QString &page)
{
    const qsizetype next = page.lastIndexOf(u"次ページ");
    if (next < 0)
        return {};
    const qsizetype link = page.lastIndexOf(u"<a href=", next);
    if (link < 0)
        return {};
    return page.mid(link + 8, next - link - 9);
}

bool hasOnlyCrLf(const QByteArray &bytes)
{
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes.at(i) == '\n' && (i == 0 || bytes.at(i - 1) != '\r'))
            return false;
    }
    return true;
}

struct Walk
{
    int pages = 0;
    bool empty = false; // the first page says the category had no articles
    QList<ListItem> items;
    QString failure;
};

// Reads a category from its first page along the next-page links, as the clipper does.
Walk walkCategory(const Portal &portal, const QString &firstPath)
{
    Walk walk;
    QString path = firstPath;
    QSet<QString> seen;
    while (!path.isEmpty()) {
        if (seen.contains(path) || walk.pages > 50) {
            walk.failure = u"the walk does not end: "_s + path;
            return walk;
        }
        seen.insert(path);
        const HttpReply reply = portal.get(path);
        if (reply.status != 200) {
            walk.failure = u"%1 answered %2"_s.arg(path).arg(reply.status);
            return walk;
        }
        const QString page = CodePage::fromEucJp(reply.body);
        if (page.count(PortalMarkers::NextPage) > 1) {
            walk.failure = path + u" names the next page more than once"_s;
            return walk;
        }
        ++walk.pages;
        if (page.contains(PortalMarkers::NoArticle))
            walk.empty = true;
        walk.items += listItems(page);
        path = nextPagePath(page);
    }
    return walk;
}

// A service manager's notification socket: a datagram socket bound to a path, or to a name in
// the abstract namespace when the name starts with "@".
class NotifySocket
{
public:
    explicit NotifySocket(const QByteArray &name)
        : m_fd(::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0))
    {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path, name.constData(), std::size_t(name.size()));
        if (name.startsWith('@'))
            address.sun_path[0] = '\0';
        const auto length = socklen_t(offsetof(sockaddr_un, sun_path) + std::size_t(name.size()));
        m_bound = m_fd >= 0 && ::bind(m_fd, reinterpret_cast<sockaddr *>(&address), length) == 0;
    }
    ~NotifySocket()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Q_DISABLE_COPY_MOVE(NotifySocket)

    bool bound() const { return m_bound; }
    // The first datagram within the time, or nothing.
    QByteArray receive(int timeoutMs) const
    {
        pollfd ready{m_fd, POLLIN, 0};
        if (::poll(&ready, 1, timeoutMs) != 1)
            return {};
        QByteArray message(4096, '\0');
        const ssize_t size = ::recv(m_fd, message.data(), std::size_t(message.size()), 0);
        return size > 0 ? message.left(size) : QByteArray();
    }

private:
    int m_fd;
    bool m_bound = false;
};

} // namespace

class TestPortal : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void listPage_isEucJpWithMarkers_data();
    void listPage_isEucJpWithMarkers();
    void categoryWalk_endsAndKeepsItemsOnce_data();
    void categoryWalk_endsAndKeepsItemsOnce();
    void sampleCorpus_holdsTheCasesTheClipperMeets();
    void articlePages_carryTextBetweenMarkers();
    void unknownPages_answer404_data();
    void unknownPages_answer404();

    void rootFolder_mapsPathsAndRefusesEscapes_data();
    void rootFolder_mapsPathsAndRefusesEscapes();
    void requestLog_recordsEveryPathWithQuery();
    void generatedCorpus_servesExactlyTheAskedCount_data();
    void generatedCorpus_servesExactlyTheAskedCount();

    void faults_behaveAsNamed_data();
    void faults_behaveAsNamed();
    void faultReset_closesWithoutAnyByte();
    void faultEmptyFirst_countsPerPath();
    void faultGzip_isCompressedArticle();

    void commandLine_refusesBadValues_data();
    void commandLine_refusesBadValues();
    void sigterm_endsCleanly();
    void serviceManager_hearsReadyOnceListening_data();
    void serviceManager_hearsReadyOnceListening();

private:
    std::unique_ptr<Portal> m_portal;
};

void TestPortal::initTestCase()
{
    m_portal = std::make_unique<Portal>(QStringList{u"--today"_s, kToday});
    QVERIFY2(m_portal->port() != 0, "the portal did not print its port");
}

void TestPortal::listPage_isEucJpWithMarkers_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("hasItems");
    QTest::addColumn<bool>("hasNext");

    QTest::newRow("today first page") << u"/headlines/dom/"_s << true << true;
    QTest::newRow("today last page") << u"/headlines/dom/2"_s << true << false;
    QTest::newRow("previous day") << u"/headlines/"_s + kPreviousDayPrefix + u"int/"_s << true
                                  << true;
    QTest::newRow("category without articles") << u"/headlines/brf/"_s << false << false;
}

void TestPortal::listPage_isEucJpWithMarkers()
{
    QFETCH(QString, path);
    QFETCH(bool, hasItems);
    QFETCH(bool, hasNext);

    const HttpReply reply = m_portal->get(path);
    QCOMPARE(reply.status, 200);
    QCOMPARE(reply.header("Content-Type"), QByteArray("text/html; charset=EUC-JP"));
    QVERIFY(hasOnlyCrLf(reply.body));
    const QString page = CodePage::fromEucJp(reply.body);
    QVERIFY2(!page.contains(QChar::ReplacementCharacter), "the page is not clean EUC-JP");
    QVERIFY(
        page.contains(u"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=EUC-JP\">"));

    QCOMPARE(page.contains(PortalMarkers::NoArticle), !hasItems);
    QCOMPARE(!listItems(page).isEmpty(), hasItems);
    QCOMPARE(page.contains(PortalMarkers::NextPage), hasNext);
    if (hasItems) {
        // The next-page link lies after the list, so the list never swallows it.
        const qsizetype listEnd =
            page.indexOf(PortalMarkers::ListEnd, page.indexOf(PortalMarkers::Headlines));
        QVERIFY(listEnd > 0);
        if (hasNext)
            QVERIFY(page.indexOf(PortalMarkers::NextPage) > listEnd);
    }
}

void TestPortal::categoryWalk_endsAndKeepsItemsOnce_data()
{
    QTest::addColumn<QString>("firstPath");
    for (const QString &code : kCodes) {
        QTest::addRow("today %s", qPrintable(code)) << u"/headlines/"_s + code + u'/';
        QTest::addRow("previous day %s", qPrintable(code))
            << u"/headlines/"_s + kPreviousDayPrefix + code + u'/';
    }
}

void TestPortal::categoryWalk_endsAndKeepsItemsOnce()
{
    QFETCH(QString, firstPath);

    const Walk walk = walkCategory(*m_portal, firstPath);
    QVERIFY2(walk.failure.isEmpty(), qPrintable(walk.failure));
    QSet<QString> links;
    for (const ListItem &item : walk.items)
        links.insert(item.link);
    QCOMPARE(links.size(), walk.items.size());
    QCOMPARE(walk.empty, walk.items.isEmpty());
    // Pages hold three items; a walk never ends on an empty follow-on page.
    QCOMPARE(walk.pages, std::max<qsizetype>(1, (walk.items.size() + 2) / 3));
}

void TestPortal::sampleCorpus_holdsTheCasesTheClipperMeets()
{
    for (const QString &dayPrefix : {QString(), kPreviousDayPrefix}) {
        int multiPage = 0;
        QHash<QString, QStringList> categoriesOfLink;
        QStringList titles;
        for (const QString &code : kCodes) {
            const Walk walk = walkCategory(*m_portal, u"/headlines/"_s + dayPrefix + code + u'/');
            QVERIFY2(walk.failure.isEmpty(), qPrintable(walk.failure));
            if (walk.pages > 1)
                ++multiPage;
            for (const ListItem &item : walk.items) {
                categoriesOfLink[item.link].append(code);
                titles.append(item.title);
            }
        }
        const QString day = dayPrefix.isEmpty() ? u"today"_s : u"previous day"_s;
        QVERIFY2(multiPage >= 6, qPrintable(day));
        const bool sharedLink =
            std::any_of(categoriesOfLink.cbegin(), categoriesOfLink.cend(),
                        [](const QStringList &codes) { return codes.size() > 1; });
        QVERIFY2(sharedLink, qPrintable(day + u": no article is listed in two categories"_s));
        const QString all = titles.join(u'\n');
        for (const QString &form : {u"ＡＩ"_s, u"AI"_s, u","_s})
            QVERIFY2(all.contains(form), qPrintable(day + u" lacks "_s + form));
    }
}

void TestPortal::articlePages_carryTextBetweenMarkers()
{
    int capitalBreaks = 0;
    for (const QString &dayPrefix : {QString(), kPreviousDayPrefix}) {
        for (const QString &code : kCodes) {
            const Walk walk = walkCategory(*m_portal, u"/headlines/"_s + dayPrefix + code + u'/');
            for (const ListItem &item : walk.items) {
                const HttpReply reply = m_portal->get(item.link);
                QCOMPARE(reply.status, 200);
                QVERIFY(hasOnlyCrLf(reply.body));
                const QString page = CodePage::fromEucJp(reply.body);
                const qsizetype start = page.indexOf(PortalMarkers::TextStart);
                const qsizetype end = page.indexOf(PortalMarkers::TextEnd);
                const qsizetype from = start + PortalMarkers::TextStart.size();
                QVERIFY2(start > 0 && end > from, qPrintable(item.link));
                const QString text = page.mid(from, end - from);
                QVERIFY2(text.contains(u"<br>", Qt::CaseInsensitive), qPrintable(item.link));
                QVERIFY2(page.contains(item.title), qPrintable(item.link));
                if (text.contains(u"<BR>"))
                    ++capitalBreaks;
            }
        }
    }
    QVERIFY(capitalBreaks > 0);
}

void TestPortal::unknownPages_answer404_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("placeholder code") << u"/headlines/---/"_s;
    QTest::newRow("placeholder code previous day")
        << u"/headlines/"_s + kPreviousDayPrefix + u"---/"_s;
    QTest::newRow("unknown code") << u"/headlines/xyz/"_s;
    QTest::newRow("page past the last") << u"/headlines/dom/3"_s;
    QTest::newRow("second page of an empty category") << u"/headlines/brf/2"_s;
    QTest::newRow("two days ago") << u"/headlines/240429/dom/"_s;
    QTest::newRow("tomorrow") << u"/headlines/240502/dom/"_s;
    QTest::newRow("impossible date") << u"/headlines/241340/dom/"_s;
    QTest::newRow("unknown article") << u"/article/240501/999"_s;
    QTest::newRow("unknown fault") << u"/fault/nothing"_s;
}

void TestPortal::unknownPages_answer404()
{
    QFETCH(QString, path);
    const HttpReply reply = m_portal->get(path);
    QCOMPARE(reply.status, 404);
    // The clipper looks only at bodies: a 404 must not look like a list or an article.
    const QString page = CodePage::fromEucJp(reply.body);
    QVERIFY(!page.contains(PortalMarkers::Headlines));
    QVERIFY(!page.contains(PortalMarkers::TextStart));
    QVERIFY(!page.contains(PortalMarkers::NextPage));
}

void TestPortal::rootFolder_mapsPathsAndRefusesEscapes_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("file"); // relative to the root; empty: 404
    QTest::addColumn<bool>("converted");

    QTest::newRow("folder index") << u"/headlines/dom/"_s << u"headlines/dom/index.html"_s << true;
    QTest::newRow("page without extension")
        << u"/headlines/dom/2"_s << u"headlines/dom/2.html"_s << true;
    QTest::newRow("raw file") << u"/article/raw"_s << u"article/raw"_s << false;
    QTest::newRow("html named in full") << u"/article/a.html"_s << u"article/a.html"_s << true;
    QTest::newRow("missing") << u"/article/missing"_s << QString() << false;
    QTest::newRow("dot dot") << u"/../outside.html"_s << QString() << false;
    QTest::newRow("encoded dot dot") << u"/article/%2e%2e/%2e%2e/outside"_s << QString() << false;
    QTest::newRow("link leading out") << u"/article/escape"_s << QString() << false;
}

void TestPortal::rootFolder_mapsPathsAndRefusesEscapes()
{
    QFETCH(QString, path);
    QFETCH(QString, file);
    QFETCH(bool, converted);

    QTemporaryDir base;
    QVERIFY(base.isValid());
    const QString root = base.filePath(u"root"_s);
    QVERIFY(QDir().mkpath(root + u"/headlines/dom"_s) && QDir().mkpath(root + u"/article"_s));
    const QHash<QString, QByteArray> files = {
        {u"headlines/dom/index.html"_s, u"<!-- GEN_HEADLINES -->一覧～\r\n"_s.toUtf8()},
        {u"headlines/dom/2.html"_s, u"二ページ目\r\n"_s.toUtf8()},
        {u"article/a.html"_s, u"<!-- TextStart -->記事<!-- TextEnd -->"_s.toUtf8()},
        {u"article/raw"_s, QByteArray("\xff\xfe\x00\x8e garbage \xa4", 14)},
    };
    for (auto it = files.cbegin(); it != files.cend(); ++it)
        QVERIFY(writeFile(root + u'/' + it.key(), it.value()));
    QVERIFY(writeFile(base.filePath(u"outside.html"_s), "secret"));
    QVERIFY(QFile::link(base.filePath(u"outside.html"_s), root + u"/article/escape"_s));

    const Portal portal({u"--root"_s, root});
    QVERIFY(portal.port() != 0);
    const HttpReply reply = portal.get(path);
    if (file.isEmpty()) {
        QCOMPARE(reply.status, 404);
        QVERIFY(!reply.body.contains("secret"));
        return;
    }
    QCOMPARE(reply.status, 200);
    const QByteArray source = files.value(file);
    const QByteArray expected = converted ? CodePage::toEucJp(QString::fromUtf8(source)) : source;
    QCOMPARE(reply.body, expected);
}

void TestPortal::requestLog_recordsEveryPathWithQuery()
{
    QTemporaryDir dir;
    const QString logFile = dir.filePath(u"requests.log"_s);
    QVERIFY(writeFile(logFile, "GET /from/an/earlier/run\n"));
    const Portal portal({u"--log"_s, logFile});
    QVERIFY(portal.port() != 0);
    const QStringList paths = {u"/headlines/dom/"_s, u"/fault/empty?try=2"_s, u"/headlines/---/"_s,
                               u"/fault/reset"_s};
    for (const QString &path : paths)
        portal.get(path);

    // Each line is flushed at once: readable while the portal still runs.
    QStringList expected = {u"GET /from/an/earlier/run"_s};
    for (const QString &path : paths)
        expected.append(u"GET "_s + path);
    QCOMPARE(QString::fromUtf8(readFile(logFile)).split(u'\n', Qt::SkipEmptyParts), expected);
}

void TestPortal::generatedCorpus_servesExactlyTheAskedCount_data()
{
    QTest::addColumn<QStringList>("pageSize");
    QTest::addColumn<int>("pages"); // of every category: 1234 over ten is 124 or 123 items

    QTest::newRow("fifty to a page") << QStringList{} << 3;
    QTest::newRow("nineteen to a page") << QStringList{u"--page-size"_s, u"19"_s} << 7;
    QTest::newRow("all on one page") << QStringList{u"--page-size"_s, u"124"_s} << 1;
}

void TestPortal::generatedCorpus_servesExactlyTheAskedCount()
{
    QFETCH(QStringList, pageSize);
    QFETCH(int, pages);
    const Portal portal(QStringList{u"--generate"_s, u"1234"_s, u"--today"_s, kToday} + pageSize);
    QVERIFY(portal.port() != 0);

    QSet<QString> links;
    qsizetype items = 0;
    for (const QString &code : kCodes) {
        const Walk walk = walkCategory(portal, u"/headlines/"_s + code + u'/');
        QVERIFY2(walk.failure.isEmpty(), qPrintable(walk.failure));
        QCOMPARE(walk.pages, pages);
        for (const ListItem &item : walk.items) {
            QVERIFY2(item.title.contains(u"速報"), qPrintable(item.title));
            links.insert(item.link);
        }
        items += walk.items.size();

        const Walk previous =
            walkCategory(portal, u"/headlines/"_s + kPreviousDayPrefix + code + u'/');
        QVERIFY(previous.empty);
        QVERIFY(previous.items.isEmpty());
    }
    QCOMPARE(items, 1234);
    QCOMPARE(links.size(), 1234);

    const HttpReply article = portal.get(*links.cbegin());
    QCOMPARE(article.status, 200);
    const qsizetype start = article.body.indexOf(PortalMarkers::TextStart.toLatin1());
    const qsizetype end = article.body.indexOf(PortalMarkers::TextEnd.toLatin1());
    QVERIFY(start > 0 && end > start);
    const qsizetype textBytes = end - start - 18;
    QVERIFY2(textBytes > 1200 && textBytes < 2000, qPrintable(QString::number(textBytes)));
    QVERIFY(article.body.mid(start, end - start).contains("<br>"));
}

void TestPortal::faults_behaveAsNamed_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("status");
    QTest::addColumn<qsizetype>("size"); // -1: any
    QTest::addColumn<QString>("expect");

    QTest::newRow("empty") << u"/fault/empty"_s << 200 << qsizetype(0) << u"nothing"_s;
    QTest::newRow("spaces") << u"/fault/spaces"_s << 200 << qsizetype(40) << u"spaces"_s;
    QTest::newRow("lf") << u"/fault/lf"_s << 200 << qsizetype(-1) << u"lf article"_s;
    QTest::newRow("nul") << u"/fault/nul"_s << 200 << qsizetype(-1) << u"nul article"_s;
    QTest::newRow("garbage") << u"/fault/garbage"_s << 200 << qsizetype(4096) << u"garbage"_s;
    QTest::newRow("delay") << u"/fault/delay/20"_s << 200 << qsizetype(-1) << u"article"_s;
    QTest::newRow("trickle") << u"/fault/trickle/2"_s << 200 << qsizetype(-1) << u"article"_s;
    QTest::newRow("large") << u"/fault/large/300000"_s << 200 << qsizetype(300000) << u"article"_s;
    QTest::newRow("large below the bare page")
        << u"/fault/large/10"_s << 200 << qsizetype(-1) << u"article"_s;
    QTest::newRow("redirect end") << u"/fault/redirect/0"_s << 200 << qsizetype(-1) << u"article"_s;
    QTest::newRow("redirect") << u"/fault/redirect/3"_s << 302 << qsizetype(-1)
                              << u"location /fault/redirect/2"_s;
    QTest::newRow("redirect away")
        << u"/fault/redirect-away"_s << 302 << qsizetype(-1) << u"location away"_s;
    QTest::newRow("status") << u"/fault/status/503"_s << 503 << qsizetype(-1) << u"article"_s;
    QTest::newRow("status without body")
        << u"/fault/status/204"_s << 204 << qsizetype(0) << u"nothing"_s;
}

void TestPortal::faults_behaveAsNamed()
{
    QFETCH(QString, path);
    QFETCH(int, status);
    QFETCH(qsizetype, size);
    QFETCH(QString, expect);

    const HttpReply reply = m_portal->get(path);
    QCOMPARE(reply.status, status);
    if (size >= 0)
        QCOMPARE(reply.body.size(), size);

    const QByteArray body = reply.body;
    const qsizetype start = body.indexOf(PortalMarkers::TextStart.toLatin1());
    const qsizetype end = body.indexOf(PortalMarkers::TextEnd.toLatin1());
    if (expect == u"nothing") {
        QVERIFY(body.isEmpty());
    } else if (expect == u"spaces") {
        QCOMPARE(body, QByteArray(40, ' '));
    } else if (expect == u"garbage") {
        QCOMPARE(m_portal->get(path).body, body); // the same bytes every time
        QVERIFY(CodePage::fromEucJp(body).contains(QChar::ReplacementCharacter));
    } else if (expect.startsWith(u"location")) {
        const QByteArray location = reply.header("Location");
        if (expect.endsWith(u"away"))
            QCOMPARE(location,
                     "http://127.0.0.2:" + QByteArray::number(m_portal->port()) + "/article/x");
        else
            QVERIFY2(location.endsWith(expect.mid(9).toUtf8()), location.constData());
    } else {
        QVERIFY2(start > 0 && end > start, "no article markers");
        QVERIFY(CodePage::fromEucJp(body.mid(start, end - start)).contains(u"記事"));
        if (expect == u"lf article") {
            QVERIFY(body.contains('\n'));
            QVERIFY(!body.contains('\r'));
        } else if (expect == u"nul article") {
            const qsizetype nul = body.indexOf('\0');
            QVERIFY(nul > start && nul < end);
            QCOMPARE(body.count('\0'), 1);
        } else {
            QVERIFY(hasOnlyCrLf(body));
            QVERIFY(!body.contains('\0'));
        }
    }
}

void TestPortal::faultReset_closesWithoutAnyByte()
{
    const HttpReply reply = m_portal->get(u"/fault/reset"_s);
    QVERIFY(reply.connected);
    QVERIFY2(reply.raw.isEmpty(), reply.raw.left(80).constData());
    // The portal lives on.
    QCOMPARE(m_portal->get(u"/headlines/dom/"_s).status, 200);
}

void TestPortal::faultEmptyFirst_countsPerPath()
{
    const auto first = u"/fault/empty-first/2/count-a"_s;
    const auto other = u"/fault/empty-first/2/count-b"_s;
    QVERIFY(m_portal->get(first).body.isEmpty());
    QVERIFY(m_portal->get(first).body.isEmpty());
    QVERIFY(m_portal->get(other).body.isEmpty()); // its own counter
    QVERIFY(m_portal->get(first).body.contains("<!-- TextStart -->"));
    QVERIFY(m_portal->get(first).body.contains("<!-- TextStart -->"));
    QVERIFY(m_portal->get(other).body.isEmpty());
    QVERIFY(m_portal->get(other).body.contains("<!-- TextStart -->"));
}

void TestPortal::faultGzip_isCompressedArticle()
{
    const HttpReply reply = m_portal->get(u"/fault/gzip"_s);
    QCOMPARE(reply.status, 200);
    QCOMPARE(reply.header("Content-Encoding"), QByteArray("gzip"));
    QCOMPARE(reply.header("Content-Encoding").size(), 4); // one header, not a doubled one
    const QByteArray page = gunzip(reply.body);
    QVERIFY(page.contains("<!-- TextStart -->"));
    QVERIFY(page.contains("<!-- TextEnd -->"));
}

void TestPortal::commandLine_refusesBadValues_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("said"); // in stdout for 0, stderr otherwise

    QTest::newRow("help") << QStringList{u"--help"_s} << 0 << u"/fault/empty-first/"_s;
    QTest::newRow("port out of range") << QStringList{u"--port"_s, u"70000"_s} << 2 << u"--port"_s;
    QTest::newRow("port not a number") << QStringList{u"--port"_s, u"http"_s} << 2 << u"--port"_s;
    QTest::newRow("bad date") << QStringList{u"--today"_s, u"2024-02-30"_s} << 2 << u"--today"_s;
    QTest::newRow("missing root") << QStringList{u"--root"_s, u"/nonexistent/varnholt"_s} << 2
                                  << u"/nonexistent/varnholt"_s;
    QTest::newRow("zero generated") << QStringList{u"--generate"_s, u"0"_s} << 2 << u"--generate"_s;
    QTest::newRow("page size without generate")
        << QStringList{u"--page-size"_s, u"10"_s} << 2 << u"--page-size needs --generate"_s;
    QTest::newRow("zero page size")
        << QStringList{u"--generate"_s, u"5"_s, u"--page-size"_s, u"0"_s} << 2 << u"--page-size"_s;
    QTest::newRow("root and generate")
        << QStringList{u"--root"_s, u"/"_s, u"--generate"_s, u"5"_s} << 2 << u"together"_s;
    QTest::newRow("log in a missing folder")
        << QStringList{u"--port"_s, u"0"_s, u"--log"_s, u"/nonexistent/varnholt/log.txt"_s} << 2
        << u"/nonexistent/varnholt/log.txt"_s;
    QTest::newRow("address not on this machine")
        << QStringList{u"--port"_s, u"0"_s, u"--bind"_s, u"192.0.2.1"_s} << 2 << u"192.0.2.1"_s;
}

void TestPortal::commandLine_refusesBadValues()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, said);

    QProcess process;
    process.start(QStringLiteral(VARNHOLT_PORTAL_BINARY), arguments);
    QVERIFY(process.waitForFinished(10000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), exitCode);
    const QByteArray out =
        exitCode == 0 ? process.readAllStandardOutput() : process.readAllStandardError();
    QVERIFY2(QString::fromUtf8(out).contains(said), out.constData());
}

void TestPortal::sigterm_endsCleanly()
{
    Portal portal;
    QVERIFY(portal.port() != 0);
    // A slow reply in flight must not hold the portal up.
    QTcpSocket slow;
    slow.connectToHost(u"127.0.0.1"_s, portal.port());
    QVERIFY(slow.waitForConnected(5000));
    slow.write("GET /fault/delay/600000 HTTP/1.1\r\nHost: x\r\n\r\n");
    QVERIFY(slow.waitForBytesWritten(5000));
    QTest::qWait(100);

    portal.process().terminate();
    QVERIFY(portal.process().waitForFinished(10000));
    QCOMPARE(portal.process().exitStatus(), QProcess::NormalExit);
    QCOMPARE(portal.process().exitCode(), 0);
}

void TestPortal::serviceManager_hearsReadyOnceListening_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<bool>("told");

    QTest::newRow("socket path") << QByteArray("notify") << true;
    QTest::newRow("abstract socket")
        << "@varnholt-portal-test-" + QByteArray::number(::getpid()) << true;
    QTest::newRow("no such socket") << QByteArray("missing") << false;
}

void TestPortal::serviceManager_hearsReadyOnceListening()
{
    QFETCH(QByteArray, name);
    QFETCH(bool, told);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    if (!name.startsWith('@'))
        name = QFile::encodeName(dir.filePath(QString::fromLatin1(name)));
    std::unique_ptr<NotifySocket> socket;
    if (told) {
        socket = std::make_unique<NotifySocket>(name);
        QVERIFY(socket->bound());
    }
    // The child inherits it; no other test starts a portal meanwhile.
    qputenv("NOTIFY_SOCKET", name);
    Portal portal;
    qunsetenv("NOTIFY_SOCKET");
    QVERIFY2(portal.failure().isEmpty(), qPrintable(portal.failure()));

    if (told) {
        const QByteArray message = socket->receive(10000);
        QVERIFY2(message.startsWith("READY=1\nSTATUS=serving "), message.constData());
        const QByteArray address = "at http://127.0.0.1:" + QByteArray::number(portal.port()) + '/';
        QVERIFY2(message.contains(address), message.constData());
        QVERIFY(!message.mid(8).contains('\n'));
    } else {
        // A socket that cannot be reached is named, and the portal serves all the same.
        const QByteArray named = "NOTIFY_SOCKET " + name + ": ";
        QByteArray said;
        QTRY_VERIFY_WITH_TIMEOUT((said += portal.process().readAllStandardError()).contains(named),
                                 10000);
    }
    QCOMPARE(portal.get(u"/headlines/dom/"_s).status, 200);
}

QTEST_GUILESS_MAIN(TestPortal)
#include "tst_portal.moc"
