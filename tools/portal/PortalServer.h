#pragma once

#include "FaultRoutes.h"
#include "PageSource.h"
#include "RequestLog.h"
#include "RequestStats.h"
#include "StopSignal.h"

#include <QString>

#include <httplib.h>
#include <memory>

// The portal's HTTP server: fault routes first, then every other GET from the page source,
// each request logged and counted before it is answered.
class PortalServer
{
public:
    // log may be null (no request log); it must outlive the server.
    PortalServer(std::unique_ptr<PageSource> pages, RequestLog *log);
    Q_DISABLE_COPY_MOVE(PortalServer)

    // port 0 picks a free port. False with the reason, naming the address.
    bool bind(const QString &address, int port, QString *error);
    int port() const { return m_port; }
    // Serves until stop(); false when serving failed.
    bool run();
    // From any thread: ends run() and cuts short the waits of slow fault routes.
    void stop();

private:
    std::unique_ptr<PageSource> m_pages;
    RequestLog *m_log;
    RequestStats m_stats;
    StopSignal m_stop;
    FaultRoutes m_faults;
    // Last member: destroyed first, while the routes it calls still exist.
    httplib::Server m_server;
    int m_port = 0;
};
