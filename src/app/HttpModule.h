#pragma once

#include "engine/HttpLibrary.h"

// libcurl and the libraries below it (TLS, SSH, LDAP, Kerberos...) live in a module of their
// own, loaded by the executable at its first request (HttpModuleLoader.h): a run that asks for
// nothing starts without loading any of them.
inline constexpr const char HttpModuleFile[] = "varnholt-http.so";

// The module's one export: sets libcurl up (the first call does) and returns the library, which
// lives as long as the process.
extern "C" HttpLibrary *VarnholtHttpModule();
using HttpModuleFunction = HttpLibrary *(*)();
