#pragma once

#include "engine/HttpTransport.h"
#include "engine/UrlGuard.h"

#include <chrono>
#include <memory>

// libcurl and the libraries below it (TLS, SSH, LDAP, Kerberos...) live in a module of their
// own, loaded by the executable at its first request or address check: a run that asks for
// nothing starts without loading any of them. The executable's MakeCurlTransport, OriginOf and
// CurlGlobal hand on to it; everything else links the HTTP side directly.
struct HttpModuleEntry
{
    std::unique_ptr<HttpTransport> (*makeTransport)(std::chrono::milliseconds timeout,
                                                    int connections);
    bool (*originOf)(const QString &url, UrlOrigin &origin);
    void (*cleanUp)();
};

inline constexpr const char HttpModuleFile[] = "varnholt-http.so";

// Sets libcurl up (the first call does) and returns the module's functions.
extern "C" const HttpModuleEntry *VarnholtHttpModule();
using HttpModuleFunction = const HttpModuleEntry *(*)();
