#pragma once

#include "RequestStats.h"
#include "StopSignal.h"

#include <QtGlobal>

#include <httplib.h>
#include <map>
#include <mutex>
#include <string>

// The "/fault/..." routes: replies that misbehave on purpose, for the page fetcher's tests.
class FaultRoutes
{
public:
    FaultRoutes(const StopSignal &stop, RequestStats &stats);
    Q_DISABLE_COPY_MOVE(FaultRoutes)

    // Adds the routes; this object must outlive the server.
    void install(httplib::Server &server);

private:
    // How many times this exact path was asked for before, counting this request.
    int countRequest(const std::string &path);

    const StopSignal &m_stop;
    RequestStats &m_stats;
    std::mutex m_countMutex;
    std::map<std::string, int> m_counts;
};

// The content type of every page the portal sends.
inline constexpr const char *kPageType = "text/html; charset=EUC-JP";
