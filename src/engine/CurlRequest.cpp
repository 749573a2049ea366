#include "engine/CurlRequest.h"

#include "engine/CurlFailure.h"

#include <algorithm>
#include <sys/socket.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int kMaxRedirects = 5;

// libcurl asks this during every transfer, and about once a second while it waits.
int keepGoing(void *user, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    return static_cast<const std::atomic<bool> *>(user)->load() ? 1 : 0;
}

bool isRedirect(long status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

} // namespace

Hop Hop::failure(const QString &address, const QString &reason)
{
    Hop hop;
    hop.address = address;
    hop.error = address + u": "_s + reason;
    return hop;
}

Hop Hop::cancelled(const QString &address)
{
    return failure(address, u"the request was cancelled"_s);
}

QByteArray Hop::header(QByteArrayView name) const
{
    for (const auto &[key, value] : headers) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

std::unique_ptr<CurlRequest> CurlRequest::make(const CurlSettings &settings,
                                               const std::atomic<bool> *aborted)
{
    CURL *handle = curl_easy_init();
    if (!handle)
        return nullptr;
    return std::unique_ptr<CurlRequest>(new CurlRequest(handle, settings, aborted));
}

CurlRequest::CurlRequest(CURL *h, const CurlSettings &settings, const std::atomic<bool> *aborted)
    : m_handle(h)
    , m_settings(settings)
    , m_aborted(aborted)
{
    const auto connectTimeout = std::min(settings.timeout, settings.longestConnect);
    curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, long(settings.timeout.count()));
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, long(connectTimeout.count()));
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    // Redirects are followed by hand so that each target can be checked before it is asked.
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
    // A reply that says in advance that it is too large is refused before it comes.
    curl_easy_setopt(h, CURLOPT_MAXFILESIZE_LARGE, curl_off_t(settings.mostBytes));
    // Compressed replies are welcome, but only in the cheap encodings: a server asked for
    // brotli may spend far longer compressing a page than sending it.
    curl_easy_setopt(h, CURLOPT_ACCEPT_ENCODING, "gzip, deflate");
    // libcurl keeps its own copy of the text.
    curl_easy_setopt(h, CURLOPT_USERAGENT, m_settings.userAgent.constData());
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &CurlRequest::receive);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, this);
    if (settings.keepHeaders) {
        curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, &CurlRequest::receiveHeader);
        curl_easy_setopt(h, CURLOPT_HEADERDATA, this);
    }
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, m_errorText.data());
    if (settings.connectCheck) {
        curl_easy_setopt(h, CURLOPT_OPENSOCKETFUNCTION, &CurlRequest::openSocket);
        curl_easy_setopt(h, CURLOPT_OPENSOCKETDATA, this);
        curl_easy_setopt(h, CURLOPT_FRESH_CONNECT, 1L);
        curl_easy_setopt(h, CURLOPT_FORBID_REUSE, 1L);
    }
    if (!settings.resolve.isEmpty()) {
        curl_slist *entries = nullptr;
        for (const QByteArray &entry : settings.resolve)
            entries = curl_slist_append(entries, entry.constData());
        m_resolve.reset(entries);
        curl_easy_setopt(h, CURLOPT_RESOLVE, entries);
    }
    if (m_aborted) {
        curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, &keepGoing);
        curl_easy_setopt(h, CURLOPT_XFERINFODATA, m_aborted);
    }
}

CurlRequest::~CurlRequest()
{
    curl_easy_cleanup(m_handle);
}

size_t CurlRequest::receive(char *data, size_t size, size_t count, void *user)
{
    auto *request = static_cast<CurlRequest *>(user);
    const size_t bytes = size * count;
    if (request->m_body.size() + qsizetype(bytes) > request->m_settings.mostBytes) {
        request->m_tooLarge = true;
        return 0; // makes libcurl stop with a write error
    }
    request->m_body.append(data, qsizetype(bytes));
    return bytes;
}

size_t CurlRequest::receiveHeader(char *data, size_t size, size_t count, void *user)
{
    auto *request = static_cast<CurlRequest *>(user);
    const QByteArray line = QByteArray(data, qsizetype(size * count)).trimmed();
    // Each response starts with its status line: a redirect's or a 100 Continue's headers go.
    if (line.startsWith("HTTP/"))
        request->m_headers.clear();
    else if (const qsizetype colon = line.indexOf(':'); colon > 0)
        request->m_headers.append({line.left(colon).trimmed(), line.mid(colon + 1).trimmed()});
    return size * count;
}

curl_socket_t CurlRequest::openSocket(void *user, curlsocktype purpose, curl_sockaddr *address)
{
    auto *request = static_cast<CurlRequest *>(user);
    if (purpose == CURLSOCKTYPE_IPCXN) {
        QString refusal = request->m_settings.connectCheck(request->m_address, &address->addr);
        if (!refusal.isEmpty()) {
            request->m_refusal = std::move(refusal);
            return CURL_SOCKET_BAD;
        }
    }
    int type = address->socktype;
#ifdef SOCK_CLOEXEC
    type |= SOCK_CLOEXEC;
#endif
    return ::socket(address->family, type, address->protocol);
}

void CurlRequest::prepare(const QString &address, const QList<QByteArray> &headerLines)
{
    m_address = address;
    m_body = QByteArray();
    m_headers.clear();
    m_tooLarge = false;
    m_refusal.clear();
    m_errorText[0] = '\0';
    // libcurl copies the address, but not the list of header lines.
    curl_easy_setopt(m_handle, CURLOPT_URL, address.toUtf8().constData());
    curl_slist *lines = nullptr;
    for (const QByteArray &line : headerLines)
        lines = curl_slist_append(lines, line.constData());
    m_headerLines.reset(lines);
    curl_easy_setopt(m_handle, CURLOPT_HTTPHEADER, lines);
}

Hop CurlRequest::perform(const QString &address, const QList<QByteArray> &headerLines)
{
    prepare(address, headerLines);
    const bool aborted = m_aborted && m_aborted->load();
    return finish(aborted ? CURLE_ABORTED_BY_CALLBACK : curl_easy_perform(m_handle));
}

Hop CurlRequest::finish(CURLcode code)
{
    if (m_aborted && m_aborted->load())
        return Hop::cancelled(m_address);
    if (m_tooLarge || code == CURLE_FILESIZE_EXCEEDED)
        return Hop::failure(m_address,
                            u"the reply is larger than %1 bytes"_s.arg(m_settings.mostBytes));
    if (code == CURLE_UNSUPPORTED_PROTOCOL)
        return Hop::failure(m_address, u"not an http or https address"_s);
    // No other address of the host connected either.
    if (code == CURLE_COULDNT_CONNECT && !m_refusal.isEmpty())
        return Hop::failure(m_address, m_refusal);
    if (code != CURLE_OK) {
        QString detail = m_errorText[0] != '\0' ? QString::fromLocal8Bit(m_errorText.data())
                                                : QString::fromUtf8(curl_easy_strerror(code));
        // libcurl sends a request again when a kept-alive connection closes without a reply,
        // over whichever pooled connection is idle, and words the end by how many it tried:
        // the person reads the same reason whatever the number of connections.
        if (detail.startsWith(u"Connection died, tried"_s))
            detail = u"Empty reply from server"_s;
        Hop hop = Hop::failure(m_address, detail);
        long systemError = 0;
        curl_easy_getinfo(m_handle, CURLINFO_OS_ERRNO, &systemError);
        hop.failureKind = FailureOf(code, systemError);
        return hop;
    }
    Hop hop;
    hop.ok = true;
    hop.address = m_address;
    long status = 0;
    curl_easy_getinfo(m_handle, CURLINFO_RESPONSE_CODE, &status);
    hop.status = int(status);
    char *target = nullptr;
    if (isRedirect(status) &&
        curl_easy_getinfo(m_handle, CURLINFO_REDIRECT_URL, &target) == CURLE_OK && target)
        hop.redirect = QString::fromUtf8(target);
    hop.body = std::exchange(m_body, QByteArray());
    hop.headers = std::exchange(m_headers, {});
    return hop;
}

Hop FollowRedirects(const QString &url, Hop first,
                    const std::function<Hop(const QString &address)> &request,
                    const RedirectCheck &check)
{
    Hop hop = std::move(first);
    for (int hops = 0; hop.ok && !hop.redirect.isEmpty(); ++hops) {
        if (hops == kMaxRedirects) {
            Hop tooMany =
                Hop::failure(url, u"more than %1 redirects (last to "_s.arg(kMaxRedirects) +
                                      hop.redirect + u')');
            tooMany.address = hop.address;
            return tooMany;
        }
        if (const QString refusal = check(hop.address, hop.redirect); !refusal.isEmpty())
            return Hop::failure(hop.address,
                                u"redirected to "_s + hop.redirect + u", "_s + refusal);
        hop = request(hop.redirect);
    }
    return hop;
}
