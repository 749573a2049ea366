#pragma once

#include "engine/HttpTransport.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <array>
#include <atomic>
#include <chrono>
#include <curl/curl.h>
#include <functional>
#include <memory>
#include <sys/socket.h>
#include <utility>

// The program's one libcurl layer, under the engine's transports and the gateway's upstream
// client alike: the owner of an easy handle with the request options every request shares
// (http and https only, no redirect followed by libcurl, time-outs, a size cap, gzip), the text
// of every failure, and the redirect policy's loop.

// What one kind of client asks of each of its requests.
struct CurlSettings
{
    std::chrono::milliseconds timeout{60'000};         // the whole request
    std::chrono::milliseconds longestConnect{15'000};  // connecting, within the timeout
    qsizetype mostBytes = qsizetype(64) * 1024 * 1024; // a larger reply is refused
    QByteArray userAgent;
    bool keepHeaders = false; // the last response's header lines, for Hop::header
    // Asked before every connection libcurl opens, once for each address it tries (a name with
    // several addresses, a proxy): empty lets it connect, anything else is why not, and the
    // request fails with it unless another address connects. address: the request's own.
    // Checking the address at connect time, after the name service answered, is what keeps a
    // name that changes its answer between two lookups out. A request with a check never rides
    // on a kept-alive connection, which would escape it.
    std::function<QString(const QString &address, const sockaddr *to)> connectCheck;
    // "host:port:address" entries that answer for the name service (CURLOPT_RESOLVE).
    QList<QByteArray> resolve;
};

// What one request (one hop, before redirects) came to.
struct Hop
{
    bool ok = false; // a reply arrived, whatever its status
    int status = 0;
    QByteArray body;
    QString error;    // when !ok: what failed, naming the address
    QString address;  // the address asked
    QString redirect; // the target of a 301, 302, 303, 307 or 308 reply; empty otherwise
    HttpFailure failureKind = HttpFailure::Other;     // when !ok
    QList<std::pair<QByteArray, QByteArray>> headers; // when kept

    static Hop failure(const QString &address, const QString &reason);
    static Hop cancelled(const QString &address);
    // The value of the header (case-insensitive name); empty when absent.
    QByteArray header(QByteArrayView name) const;
};

// One easy handle with a client's settings; reused for request after request, so that libcurl
// keeps the connection alive.
class CurlRequest
{
public:
    // Null when libcurl cannot give a handle. aborted, when given, must outlive the request:
    // once it is set, the request under way ends soon and later ones fail at once.
    static std::unique_ptr<CurlRequest> make(const CurlSettings &settings,
                                             const std::atomic<bool> *aborted = nullptr);
    ~CurlRequest();
    Q_DISABLE_COPY_MOVE(CurlRequest) // libcurl holds pointers to the members

    CURL *handle() const { return m_handle; }
    // Points the handle at address, with extra request header lines ("If-None-Match: x"), and
    // empties what the previous request left.
    void prepare(const QString &address, const QList<QByteArray> &headerLines = {});
    // After libcurl ended the transfer with code.
    Hop finish(CURLcode code);
    // prepare, the transfer on this thread, finish.
    Hop perform(const QString &address, const QList<QByteArray> &headerLines = {});

private:
    CurlRequest(CURL *handle, const CurlSettings &settings, const std::atomic<bool> *aborted);
    static size_t receive(char *data, size_t size, size_t count, void *user);
    static size_t receiveHeader(char *data, size_t size, size_t count, void *user);
    static curl_socket_t openSocket(void *user, curlsocktype purpose, curl_sockaddr *address);

    struct ListFree
    {
        void operator()(curl_slist *list) const { curl_slist_free_all(list); }
    };

    CURL *m_handle;
    CurlSettings m_settings;
    const std::atomic<bool> *m_aborted;
    std::array<char, CURL_ERROR_SIZE> m_errorText{};
    std::unique_ptr<curl_slist, ListFree> m_headerLines;
    std::unique_ptr<curl_slist, ListFree> m_resolve;
    QString m_address;
    QByteArray m_body;
    QList<std::pair<QByteArray, QByteArray>> m_headers;
    bool m_tooLarge = false;
    QString m_refusal; // why connectCheck refused the last address it was asked about
};

// Whether a client follows a redirect from one address to another: empty when it does, else
// why not, worded to follow "redirected to <to>, " ("which is not an http or https address").
using RedirectCheck = std::function<QString(const QString &from, const QString &to)>;

// The last hop for url, given its first: redirects are followed through request up to five
// times, each target first passing check. A refused or sixth redirect is a failed hop naming
// the addresses.
Hop FollowRedirects(const QString &url, Hop first,
                    const std::function<Hop(const QString &address)> &request,
                    const RedirectCheck &check);
