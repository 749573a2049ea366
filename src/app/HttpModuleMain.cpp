#include "HttpModule.h"
#include "engine/CurlLibrary.h"

extern "C" __attribute__((visibility("default"))) HttpLibrary *VarnholtHttpModule()
{
    // Made at the first call (the loader's call_once); libcurl is cleaned up as the process ends.
    static CurlLibrary library;
    return &library;
}
