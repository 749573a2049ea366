#include "engine/CurlRequest.h"

#include "engine/CurlFailure.h"
#include "engine/HttpTransport.h"
#include "engine/UrlGuard.h"
#include "util/Version.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

constexpr int kMaxRedirects = 5;
// A reply larger than this is refused rather than allowed to exhaust memory.
constexpr qsizetype kMaxBodyBytes = qsizetype(64) * 1024 * 1024;
constexpr std::chrono::milliseconds kMaxConnectTimeout = std::chrono::seconds(15);

// libcurl asks this during every transfer, and about once a second while it waits.
int keepGoing(void *user, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    return static_cast<const std::atomic<bool> *>(user)->load() ? 1 : 0;
}

} // namespace

std::unique_ptr<CurlRequest> CurlRequest::make(std::chrono::milliseconds timeout,
                                               const std::atomic<bool> &aborted)
{
    CURL *handle = curl_easy_init();
    if (!handle)
        return nullptr;
    return std::unique_ptr<CurlRequest>(new CurlRequest(handle, timeout, aborted));
}

CurlRequest::CurlRequest(CURL *h, std::chrono::milliseconds timeout,
                         const std::atomic<bool> &aborted)
    : m_handle(h)
    , m_aborted(aborted)
{
    const auto connectTimeout = std::min(timeout, kMaxConnectTimeout);
    curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, long(timeout.count()));
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, long(connectTimeout.count()));
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    // Redirects are followed by hand so that each target can be checked before it is asked.
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
    // Compressed replies are welcome, but only in the cheap encodings: a server asked for
    // brotli may spend far longer compressing a page than sending it.
    curl_easy_setopt(h, CURLOPT_ACCEPT_ENCODING, "gzip, deflate");
    // libcurl keeps its own copy of the text.
    curl_easy_setopt(h, CURLOPT_USERAGENT, UserAgent().toLatin1().constData());
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &CurlRequest::receive);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, m_errorText.data());
    curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, &keepGoing);
    curl_easy_setopt(h, CURLOPT_XFERINFODATA, &m_aborted);
}

CurlRequest::~CurlRequest()
{
    curl_easy_cleanup(m_handle);
}

size_t CurlRequest::receive(char *data, size_t size, size_t count, void *user)
{
    auto *request = static_cast<CurlRequest *>(user);
    const size_t bytes = size * count;
    if (request->m_body.size() + qsizetype(bytes) > kMaxBodyBytes) {
        request->m_tooLarge = true;
        return 0; // makes libcurl stop with a write error
    }
    request->m_body.append(data, qsizetype(bytes));
    return bytes;
}

void CurlRequest::prepare(const QString &address)
{
    m_address = address;
    m_body = QByteArray();
    m_tooLarge = false;
    m_errorText[0] = '\0';
    // libcurl copies the address.
    curl_easy_setopt(m_handle, CURLOPT_URL, address.toUtf8().constData());
}

Hop CurlRequest::finish(CURLcode code)
{
    Hop hop;
    if (m_aborted) {
        hop.error = CancelledError(m_address);
        return hop;
    }
    if (m_tooLarge) {
        hop.error = m_address + u": the reply is larger than %1 bytes"_s.arg(kMaxBodyBytes);
        return hop;
    }
    if (code != CURLE_OK) {
        QString detail = m_errorText[0] != '\0' ? QString::fromLocal8Bit(m_errorText.data())
                                                : QString::fromUtf8(curl_easy_strerror(code));
        // libcurl sends a request again when a kept-alive connection closes without a reply,
        // over whichever pooled connection is idle, and words the end by how many it tried:
        // the person reads the same reason whatever the number of connections.
        if (detail.startsWith(u"Connection died, tried"_s))
            detail = u"Empty reply from server"_s;
        hop.error = m_address + u": "_s + detail;
        long systemError = 0;
        curl_easy_getinfo(m_handle, CURLINFO_OS_ERRNO, &systemError);
        hop.failure = FailureOf(code, systemError);
        return hop;
    }
    hop.ok = true;
    long status = 0;
    curl_easy_getinfo(m_handle, CURLINFO_RESPONSE_CODE, &status);
    char *target = nullptr;
    if (status >= 300 && status < 400 &&
        curl_easy_getinfo(m_handle, CURLINFO_REDIRECT_URL, &target) == CURLE_OK && target)
        hop.redirect = QString::fromUtf8(target);
    hop.body = std::exchange(m_body, QByteArray());
    return hop;
}

HttpReply FollowRedirects(const QString &url, Hop first,
                          const std::function<Hop(const QString &address)> &request)
{
    HttpReply reply;
    QString address = url;
    Hop hop = std::move(first);
    for (int hops = 0;; ++hops) {
        if (!hop.ok) {
            reply.error = std::move(hop.error);
            reply.failure = hop.failure;
            return reply;
        }
        if (hop.redirect.isEmpty()) {
            reply.ok = true;
            reply.body = std::move(hop.body);
            return reply;
        }
        if (hops == kMaxRedirects) {
            reply.error = url + u": more than %1 redirects (last to "_s.arg(kMaxRedirects) +
                          hop.redirect + u')';
            return reply;
        }
        if (!IsSameOrigin(hop.redirect, address)) {
            reply.error = address + u": redirected to "_s + hop.redirect +
                          u", which is not on the same scheme, host and port"_s;
            return reply;
        }
        address = hop.redirect;
        hop = request(address);
    }
}

QString CancelledError(const QString &address)
{
    return address + u": the request was cancelled"_s;
}
