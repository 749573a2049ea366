#include "FaultRoutes.h"

#include "ConnectionReset.h"
#include "FaultPages.h"
#include "GzipBody.h"

#include <chrono>
#include <memory>

namespace {

using httplib::Request;
using httplib::Response;

// Largest page /fault/large builds; bigger sizes are refused rather than streamed for hours.
constexpr qint64 kLargestPage = qint64(1) << 30;
constexpr size_t kTrickleChunks = 20;

void sendBytes(Response &response, const QByteArray &bytes)
{
    response.set_content(bytes.constData(), size_t(bytes.size()), kPageType);
}

void refuse(Response &response, const std::string &why)
{
    response.status = 404;
    response.set_content(why + "\r\n", "text/plain; charset=US-ASCII");
}

long long numberAt(const Request &request, size_t index)
{
    return std::stoll(request.matches[index].str());
}

// Sends bytes with a known length through a provider, which keeps the library from compressing
// them (a compressed stream would hide the pacing or double an existing encoding).
void sendUncompressed(Response &response, std::shared_ptr<const QByteArray> bytes)
{
    response.set_content_provider(size_t(bytes->size()), kPageType,
                                  [bytes](size_t offset, size_t length, httplib::DataSink &sink) {
                                      return sink.write(bytes->constData() + offset, length);
                                  });
}

} // namespace

FaultRoutes::FaultRoutes(const StopSignal &stop, RequestStats &stats)
    : m_stop(stop)
    , m_stats(stats)
{}

int FaultRoutes::countRequest(const std::string &path)
{
    std::lock_guard lock(m_countMutex);
    return ++m_counts[path];
}

void FaultRoutes::install(httplib::Server &server)
{
    server.Get("/fault/empty", [](const Request &, Response &response) {
        response.set_content(std::string(), kPageType);
    });
    server.Get("/fault/spaces", [](const Request &, Response &response) {
        response.set_content(std::string(40, ' '), kPageType);
    });
    server.Get("/fault/lf", [](const Request &, Response &response) {
        sendBytes(response, FaultPages::ArticleWithLf());
    });
    server.Get("/fault/nul", [](const Request &, Response &response) {
        sendBytes(response, FaultPages::ArticleWithNul());
    });
    server.Get("/fault/garbage", [](const Request &, Response &response) {
        sendBytes(response, FaultPages::Garbage());
    });
    server.Get("/fault/reset", [this](const Request &request, Response &response) {
        // Answered before the drop: the client may be back with its next request before this
        // handler returns, and a dropped connection never reaches the reply, where requests
        // count as answered.
        m_stats.answered(request.remote_addr, request.remote_port);
        if (!DropConnection(request)) {
            response.status = 500;
            response.set_content("varnholt-portal: could not find the connection to drop\r\n",
                                 "text/plain; charset=US-ASCII");
        }
    });
    server.Get(R"(/fault/delay/(\d{1,9}))", [this](const Request &request, Response &response) {
        m_stop.waitFor(std::chrono::milliseconds(numberAt(request, 1)));
        sendBytes(response, FaultPages::Article());
    });
    server.Get(R"(/fault/trickle/(\d{1,9}))", [this](const Request &request, Response &response) {
        const auto pause = std::chrono::milliseconds(numberAt(request, 1));
        auto page = std::make_shared<const QByteArray>(FaultPages::Article());
        const size_t total = size_t(page->size());
        response.set_content_provider(
            total, kPageType,
            [this, page, pause, total](size_t offset, size_t, httplib::DataSink &sink) {
                // Chunk k ends at (k + 1) * total / 20; find the first end past offset.
                size_t end = offset;
                for (size_t k = 1; k <= kTrickleChunks && end <= offset; ++k)
                    end = k * total / kTrickleChunks;
                if (offset > 0 && !m_stop.waitFor(pause))
                    return false;
                return sink.write(page->constData() + offset, end - offset);
            });
    });
    server.Get(R"(/fault/large/(\d{1,12}))", [](const Request &request, Response &response) {
        const qint64 size = numberAt(request, 1);
        if (size > kLargestPage) {
            refuse(response, "varnholt-portal: /fault/large serves at most 1073741824 bytes");
            return;
        }
        auto page = std::make_shared<const FaultPages::PaddedArticle>(size);
        response.set_content_provider(
            size_t(page->size()), kPageType,
            [page](size_t offset, size_t length, httplib::DataSink &sink) {
                const QByteArray piece =
                    page->slice(qint64(offset), std::min<qint64>(qint64(length), 65536));
                return sink.write(piece.constData(), size_t(piece.size()));
            });
    });
    server.Get(R"(/fault/empty-first/(\d{1,9})/([^/]+))",
               [this](const Request &request, Response &response) {
                   if (countRequest(request.path) <= numberAt(request, 1))
                       response.set_content(std::string(), kPageType);
                   else
                       sendBytes(response, FaultPages::Article());
               });
    server.Get(R"(/fault/redirect/(\d{1,4}))", [](const Request &request, Response &response) {
        const long long left = numberAt(request, 1);
        if (left == 0) {
            sendBytes(response, FaultPages::Article());
            return;
        }
        const std::string next = "/fault/redirect/" + std::to_string(left - 1);
        const std::string host = request.get_header_value("Host");
        response.set_redirect(host.empty() ? next : "http://" + host + next);
    });
    server.Get("/fault/redirect-away", [](const Request &request, Response &response) {
        response.set_redirect("http://127.0.0.2:" + std::to_string(request.local_port) +
                              "/article/x");
    });
    server.Get(R"(/fault/endless/(\d{1,12}))", [](const Request &request, Response &response) {
        sendBytes(response, FaultPages::EndlessList(numberAt(request, 1)));
    });
    server.Get(R"(/fault/slow-list/(\d{1,6})/(\d{1,9}))",
               [this](const Request &request, Response &response) {
                   const long long delay = numberAt(request, 1);
                   m_stop.waitFor(std::chrono::milliseconds(delay));
                   sendBytes(response, FaultPages::SlowList(delay, numberAt(request, 2)));
               });
    server.Get(R"(/fault/status/(\d{3}))", [](const Request &request, Response &response) {
        const int status = int(numberAt(request, 1));
        if (status < 200 || status > 599) {
            refuse(response, "varnholt-portal: /fault/status takes a code from 200 to 599");
            return;
        }
        response.status = status;
        // HTTP forbids a body on these two; one would corrupt the next reply on the connection.
        if (status != 204 && status != 304)
            sendBytes(response, FaultPages::Article());
    });
    server.Get("/fault/gzip", [](const Request &, Response &response) {
        const QByteArray packed = GzipCompress(FaultPages::Article());
        if (packed.isEmpty()) {
            response.status = 500;
            response.set_content("varnholt-portal: zlib could not compress the page\r\n",
                                 "text/plain; charset=US-ASCII");
            return;
        }
        response.set_header("Content-Encoding", "gzip");
        sendUncompressed(response, std::make_shared<const QByteArray>(packed));
    });
}
