#include "engine/CurlTransport.h"

#include "engine/HttpTransport.h"
#include "engine/UrlGuard.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <curl/curl.h>

using namespace Qt::StringLiterals;

CurlGlobal::CurlGlobal()
    : m_ok(curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK)
{}

CurlGlobal::~CurlGlobal()
{
    if (m_ok)
        curl_global_cleanup();
}

namespace {

constexpr int kMaxRedirects = 5;
// A reply larger than this is refused rather than allowed to exhaust memory.
constexpr qsizetype kMaxBodyBytes = qsizetype(64) * 1024 * 1024;
constexpr std::chrono::milliseconds kMaxConnectTimeout = std::chrono::seconds(15);

struct CurlEasyDeleter
{
    void operator()(CURL *handle) const { curl_easy_cleanup(handle); }
};
using CurlEasy = std::unique_ptr<CURL, CurlEasyDeleter>;

struct Receiver
{
    QByteArray body;
    bool tooLarge = false;
};

size_t receive(char *data, size_t size, size_t count, void *user)
{
    auto *receiver = static_cast<Receiver *>(user);
    const size_t bytes = size * count;
    if (receiver->body.size() + qsizetype(bytes) > kMaxBodyBytes) {
        receiver->tooLarge = true;
        return 0; // makes libcurl stop with a write error
    }
    receiver->body.append(data, qsizetype(bytes));
    return bytes;
}

// libcurl asks this during every transfer, and about once a second while it waits.
int keepGoing(void *user, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    return static_cast<const std::atomic<bool> *>(user)->load() ? 1 : 0;
}

class CurlTransport final : public HttpTransport
{
public:
    CurlTransport(CurlEasy handle, std::chrono::milliseconds timeout)
        : m_handle(std::move(handle))
    {
        CURL *h = m_handle.get();
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
        curl_easy_setopt(h, CURLOPT_USERAGENT, "Varnholt/1.0.0");
        curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &receive);
        curl_easy_setopt(h, CURLOPT_ERRORBUFFER, m_errorText.data());
        curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, &keepGoing);
        curl_easy_setopt(h, CURLOPT_XFERINFODATA, &m_aborted);
    }

    Q_DISABLE_COPY_MOVE(CurlTransport) // libcurl holds pointers to m_errorText and m_aborted

    void abort() override { m_aborted = true; }

    HttpReply get(const QString &url) override
    {
        HttpReply reply;
        QString address = url;
        for (int hop = 0;; ++hop) {
            Receiver receiver;
            QString redirect;
            if (!request(address, receiver, redirect, reply.error))
                return reply;
            if (redirect.isEmpty()) {
                reply.ok = true;
                reply.body = std::move(receiver.body);
                return reply;
            }
            if (hop == kMaxRedirects) {
                reply.error = url + u": more than %1 redirects (last to "_s.arg(kMaxRedirects) +
                              redirect + u')';
                return reply;
            }
            if (!IsSameOrigin(redirect, address)) {
                reply.error = address + u": redirected to "_s + redirect +
                              u", which is not on the same scheme, host and port"_s;
                return reply;
            }
            address = redirect;
        }
    }

private:
    // One request; redirect receives the target of a 3xx reply, empty otherwise.
    bool request(const QString &address, Receiver &receiver, QString &redirect, QString &error)
    {
        CURL *h = m_handle.get();
        m_errorText[0] = '\0';
        const QByteArray encoded = address.toUtf8();
        curl_easy_setopt(h, CURLOPT_URL, encoded.constData());
        curl_easy_setopt(h, CURLOPT_WRITEDATA, &receiver);
        const CURLcode code = m_aborted ? CURLE_ABORTED_BY_CALLBACK : curl_easy_perform(h);
        if (m_aborted) {
            error = address + u": the request was cancelled"_s;
            return false;
        }
        if (receiver.tooLarge) {
            error = address + u": the reply is larger than %1 bytes"_s.arg(kMaxBodyBytes);
            return false;
        }
        if (code != CURLE_OK) {
            const QString detail = m_errorText[0] != '\0'
                                       ? QString::fromLocal8Bit(m_errorText.data())
                                       : QString::fromUtf8(curl_easy_strerror(code));
            error = address + u": "_s + detail;
            return false;
        }
        long status = 0;
        curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status);
        char *target = nullptr;
        if (status >= 300 && status < 400 &&
            curl_easy_getinfo(h, CURLINFO_REDIRECT_URL, &target) == CURLE_OK && target)
            redirect = QString::fromUtf8(target);
        return true;
    }

    CurlEasy m_handle;
    std::array<char, CURL_ERROR_SIZE> m_errorText{};
    std::atomic<bool> m_aborted{false};
};

// Stands in when libcurl cannot give a handle, so that every request reports why.
class BrokenTransport final : public HttpTransport
{
public:
    HttpReply get(const QString &url) override
    {
        return {false, {}, url + u": the HTTP library could not be initialised"_s};
    }
};

} // namespace

std::unique_ptr<HttpTransport> MakeCurlTransport(std::chrono::milliseconds timeout)
{
    CurlEasy handle(curl_easy_init());
    if (!handle)
        return std::make_unique<BrokenTransport>();
    return std::make_unique<CurlTransport>(std::move(handle), timeout);
}
