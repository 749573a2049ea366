#pragma once

#include "engine/HttpTransport.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <atomic>
#include <chrono>
#include <curl/curl.h>
#include <functional>
#include <memory>

// What one request (one hop, before redirects) came to.
struct Hop
{
    bool ok = false;
    QByteArray body;
    QString error;                            // when !ok, naming the address
    QString redirect;                         // the target of a 3xx reply, empty otherwise
    HttpFailure failure = HttpFailure::Other; // when !ok
};

// One easy handle with the program's request options; reused for request after request, so
// that libcurl keeps the connection alive.
class CurlRequest
{
public:
    // Null when libcurl cannot give a handle. aborted must outlive the request.
    static std::unique_ptr<CurlRequest> make(std::chrono::milliseconds timeout,
                                             const std::atomic<bool> &aborted);
    ~CurlRequest();
    Q_DISABLE_COPY_MOVE(CurlRequest) // libcurl holds pointers to the members

    CURL *handle() const { return m_handle; }
    // Points the handle at address and empties what the previous request left.
    void prepare(const QString &address);
    // After libcurl ended the transfer with code.
    Hop finish(CURLcode code);

private:
    CurlRequest(CURL *handle, std::chrono::milliseconds timeout, const std::atomic<bool> &aborted);
    static size_t receive(char *data, size_t size, size_t count, void *user);

    CURL *m_handle;
    const std::atomic<bool> &m_aborted;
    std::array<char, CURL_ERROR_SIZE> m_errorText{};
    QString m_address;
    QByteArray m_body;
    bool m_tooLarge = false;
};

// The reply for url, given its first hop: redirects are followed through request up to five
// times, each only on the same scheme, host and port as the address before it.
HttpReply FollowRedirects(const QString &url, Hop first,
                          const std::function<Hop(const QString &address)> &request);

// The error text of a cancelled request.
QString CancelledError(const QString &address);
