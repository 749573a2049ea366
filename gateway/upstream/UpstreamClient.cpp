#include "UpstreamClient.h"

#include "feeds/FeedDate.h"
#include "util/Version.h"

#include <QHostAddress>

#include <curl/curl.h>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

constexpr int kMostRedirects = 5;
constexpr qsizetype kMostBytes = qsizetype(8) * 1024 * 1024;
constexpr long kConnectTimeoutMs = 10'000;
// Nothing a source says keeps a feed away for longer than this.
constexpr std::chrono::seconds kLongestHoldOff = std::chrono::hours(6);
constexpr std::chrono::seconds kDefaultHoldOff = std::chrono::minutes(10);

struct EasyDeleter
{
    void operator()(CURL *handle) const { curl_easy_cleanup(handle); }
};
struct ListDeleter
{
    void operator()(curl_slist *list) const { curl_slist_free_all(list); }
};

struct Received
{
    QByteArray body;
    bool tooLarge = false;
    // Headers of the last response only: a redirect's or a 100 Continue's are dropped.
    QList<std::pair<QByteArray, QByteArray>> headers;

    QByteArray header(const char *name) const
    {
        for (const auto &[key, value] : headers) {
            if (key.compare(name, Qt::CaseInsensitive) == 0)
                return value;
        }
        return {};
    }
};

size_t onBody(char *data, size_t size, size_t count, void *user)
{
    auto *received = static_cast<Received *>(user);
    const size_t bytes = size * count;
    if (received->body.size() + qsizetype(bytes) > kMostBytes) {
        received->tooLarge = true;
        return 0;
    }
    received->body.append(data, qsizetype(bytes));
    return bytes;
}

size_t onHeader(char *data, size_t size, size_t count, void *user)
{
    auto *received = static_cast<Received *>(user);
    const QByteArray line = QByteArray(data, qsizetype(size * count)).trimmed();
    if (line.startsWith("HTTP/")) {
        received->headers.clear();
    } else if (const qsizetype colon = line.indexOf(':'); colon > 0) {
        received->headers.append({line.left(colon).trimmed(), line.mid(colon + 1).trimmed()});
    }
    return size * count;
}

bool isRedirect(int status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

} // namespace

QString GatewayUserAgent(const QString &contact)
{
    QString agent = u"varnholt-portal/"_s + VersionNumber();
    if (!contact.isEmpty())
        agent += u" (+"_s + contact + u')';
    return agent;
}

QString hostKey(const QUrl &url)
{
    const int defaultPort = url.scheme() == u"https" ? 443 : 80;
    return url.scheme() + u"://"_s + url.host().toLower() + u':' +
           QString::number(url.port(defaultPort));
}

bool isLocalHost(const QString &host)
{
    if (host.compare(u"localhost"_s, Qt::CaseInsensitive) == 0 ||
        host.endsWith(u".localhost"_s, Qt::CaseInsensitive))
        return true;
    QHostAddress address;
    if (!address.setAddress(host))
        return false;
    for (const auto &[network, bits] :
         {std::pair{"10.0.0.0", 8}, {"172.16.0.0", 12}, {"192.168.0.0", 16}, {"100.64.0.0", 10}}) {
        if (address.isInSubnet(QHostAddress(QString::fromLatin1(network)), bits))
            return true;
    }
    return address.isLoopback() || address.isLinkLocal() || address.isUniqueLocalUnicast() ||
           address.isNull() || address == QHostAddress::AnyIPv4 || address == QHostAddress::AnyIPv6;
}

std::optional<std::chrono::seconds> parseRetryAfter(const QByteArray &value, const QDateTime &now)
{
    const QByteArray trimmed = value.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    bool isNumber = false;
    const qint64 seconds = trimmed.toLongLong(&isNumber);
    if (isNumber)
        return std::clamp(std::chrono::seconds(std::max<qint64>(seconds, 0)),
                          std::chrono::seconds(0), kLongestHoldOff);
    const QDateTime when = parseFeedDate(QString::fromLatin1(trimmed));
    if (!when.isValid())
        return std::nullopt;
    return std::clamp(std::chrono::seconds(now.secsTo(when)), std::chrono::seconds(0),
                      kLongestHoldOff);
}

UpstreamClient::UpstreamClient(QString userAgent, HostGate &gate, const GatewayClock &clock)
    : m_userAgent(userAgent.toUtf8())
    , m_gate(gate)
    , m_clock(clock)
{}

UpstreamReply UpstreamClient::get(const UpstreamRequest &request)
{
    QUrl url = request.url;
    for (int hop = 0;; ++hop) {
        if (url.scheme() != u"http" && url.scheme() != u"https") {
            UpstreamReply refused;
            refused.error = url.toString() + u": not an http or https address"_s;
            return refused;
        }
        UpstreamReply reply = once(request, url);
        if (!reply.ok || !isRedirect(reply.status))
            return reply;
        const QUrl next = url.resolved(QUrl::fromEncoded(reply.location));
        if (hop == kMostRedirects) {
            reply.ok = false;
            reply.error =
                request.url.toString() +
                u": more than %1 redirects (last to %2)"_s.arg(kMostRedirects).arg(next.toString());
            return reply;
        }
        if (next.scheme() != u"http" && next.scheme() != u"https") {
            reply.ok = false;
            reply.error = url.toString() + u": redirected to "_s + next.toString() +
                          u", which is not an http or https address"_s;
            return reply;
        }
        // A public source must not send the gateway into the machine's own network.
        if (!next.isValid() || (isLocalHost(next.host()) && !isLocalHost(request.url.host()))) {
            reply.ok = false;
            reply.error = url.toString() + u": refused redirect to "_s + next.toString();
            return reply;
        }
        url = next;
    }
}

UpstreamReply UpstreamClient::once(const UpstreamRequest &request, const QUrl &url)
{
    UpstreamReply reply;
    reply.finalUrl = url;
    const QString address = url.toString();
    QString why;
    const auto pass = m_gate.enter(hostKey(url), request.maxWait, &why);
    if (!pass) {
        reply.error = address + u": "_s + why;
        return reply;
    }

    const std::unique_ptr<CURL, EasyDeleter> handle(curl_easy_init());
    if (!handle) {
        reply.error = address + u": the HTTP library could not be initialised"_s;
        return reply;
    }
    CURL *h = handle.get();
    Received received;
    char errorText[CURL_ERROR_SIZE] = {};
    const QByteArray encoded = url.toEncoded();
    curl_easy_setopt(h, CURLOPT_URL, encoded.constData());
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, kConnectTimeoutMs);
    curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, long(request.timeout.count()));
    curl_easy_setopt(h, CURLOPT_ACCEPT_ENCODING, "gzip, deflate");
    curl_easy_setopt(h, CURLOPT_USERAGENT, m_userAgent.constData());
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &onBody);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &received);
    curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, &onHeader);
    curl_easy_setopt(h, CURLOPT_HEADERDATA, &received);
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(h, CURLOPT_MAXFILESIZE_LARGE, curl_off_t(kMostBytes));

    curl_slist *headers = nullptr;
    if (!request.etag.isEmpty())
        headers =
            curl_slist_append(headers, QByteArray("If-None-Match: " + request.etag).constData());
    if (!request.lastModified.isEmpty())
        headers = curl_slist_append(
            headers, QByteArray("If-Modified-Since: " + request.lastModified).constData());
    const std::unique_ptr<curl_slist, ListDeleter> headerList(headers);
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers);

    const CURLcode code = curl_easy_perform(h);
    if (received.tooLarge || code == CURLE_FILESIZE_EXCEEDED) {
        reply.error = address + u": the reply is larger than %1 bytes"_s.arg(kMostBytes);
        return reply;
    }
    if (code != CURLE_OK) {
        reply.error = address + u": "_s +
                      (errorText[0] ? QString::fromUtf8(errorText)
                                    : QString::fromUtf8(curl_easy_strerror(code)));
        return reply;
    }
    long status = 0;
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status);
    reply.ok = true;
    reply.status = int(status);
    reply.body = std::move(received.body);
    reply.contentType = QString::fromLatin1(received.header("Content-Type"));
    reply.lastModified = received.header("Last-Modified");
    reply.etag = received.header("ETag");
    reply.location = received.header("Location");
    if (reply.status == 429 || reply.status == 503) {
        const QDateTime now = m_clock.now();
        reply.retryAfter =
            parseRetryAfter(received.header("Retry-After"), now).value_or(kDefaultHoldOff);
        m_gate.holdOff(hostKey(url), now.addSecs(reply.retryAfter->count()));
    }
    return reply;
}
