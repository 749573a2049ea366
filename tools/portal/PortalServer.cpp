#include "PortalServer.h"

#include <exception>

using namespace Qt::StringLiterals;

namespace {

// Clients keep connections alive, and delay and trickle routes hold a thread while they wait.
constexpr size_t kServerThreads = 24;
// Not a page: neither logged nor counted.
constexpr const char *kStatsPath = "/portal/stats";

} // namespace

PortalServer::PortalServer(std::unique_ptr<PageSource> pages, RequestLog *log)
    : m_pages(std::move(pages))
    , m_log(log)
    , m_faults(m_stop, m_stats)
{
    // The library takes ownership of the queue it is handed.
    m_server.new_task_queue = [] {
        return new httplib::ThreadPool(kServerThreads);
    };

    // A client reads a whole category over one connection: without TCP_NODELAY, replies stall
    // on delayed acknowledgements, and the library's default of five requests per connection
    // would make it reconnect all the time.
    m_server.set_tcp_nodelay(true);
    m_server.set_keep_alive_max_count(100000);

    m_server.set_pre_routing_handler([this](const httplib::Request &request, httplib::Response &) {
        if (request.path == kStatsPath)
            return httplib::Server::HandlerResponse::Unhandled;
        m_stats.arrived(request.remote_addr, request.remote_port);
        if (m_log)
            m_log->write(QByteArray::fromStdString(request.method),
                         QByteArray::fromStdString(request.target));
        return httplib::Server::HandlerResponse::Unhandled;
    });
    m_server.set_post_routing_handler([this](const httplib::Request &request, httplib::Response &) {
        if (request.path != kStatsPath)
            m_stats.answered(request.remote_addr, request.remote_port);
    });
    m_server.set_exception_handler(
        [](const httplib::Request &request, httplib::Response &response, std::exception_ptr) {
            response.status = 500;
            response.set_content("varnholt-portal: internal failure while answering " +
                                     request.path + "\r\n",
                                 "text/plain; charset=US-ASCII");
        });

    m_server.Get(kStatsPath, [this](const httplib::Request &, httplib::Response &response) {
        const QByteArray report = m_stats.report();
        response.set_content(report.constData(), size_t(report.size()),
                             "text/plain; charset=US-ASCII");
    });
    m_faults.install(m_server);
    m_server.Get(".*", [this](const httplib::Request &request, httplib::Response &response) {
        const PageReply reply = m_pages->page(QString::fromStdString(request.path));
        response.status = reply.status;
        for (const auto &[name, value] : reply.headers)
            response.set_header(name.toStdString(), value.toStdString());
        response.set_content(reply.body.constData(), size_t(reply.body.size()), kPageType);
    });
}

bool PortalServer::bind(const QString &address, int port, QString *error)
{
    const std::string host = address.toStdString();
    if (port == 0) {
        m_port = m_server.bind_to_any_port(host);
        if (m_port > 0)
            return true;
    } else if (m_server.bind_to_port(host, port)) {
        m_port = port;
        return true;
    }
    *error =
        u"cannot listen on %1 port %2: the address is not on this machine or the port is in use"_s
            .arg(address)
            .arg(port);
    return false;
}

bool PortalServer::run()
{
    return m_server.listen_after_bind();
}

void PortalServer::stop()
{
    m_stop.raise();
    m_server.stop();
}
