#include "HttpModule.h"

#include <curl/curl.h>

namespace {

void cleanUp()
{
    curl_global_cleanup();
}

} // namespace

extern "C" __attribute__((visibility("default"))) const HttpModuleEntry *VarnholtHttpModule()
{
    // Called once, from the loader's call_once, before any handle is made.
    static const HttpModuleEntry entry{&MakeCurlTransport, &OriginOf, &cleanUp};
    curl_global_init(CURL_GLOBAL_DEFAULT);
    return &entry;
}
