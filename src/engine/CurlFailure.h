#pragma once

#include "engine/HttpTransport.h"

#include <curl/curl.h>

// What a failed transfer comes to for the person, from libcurl's result code and the system's
// error number of the connection attempt (CURLINFO_OS_ERRNO; 0 when none).
HttpFailure FailureOf(CURLcode code, long systemError);
