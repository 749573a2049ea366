#pragma once

#include "engine/HttpTransport.h"

#include <chrono>
#include <memory>

// The HTTP library as the program uses it: it makes the transports. main hands the one it has
// down to the run: the executable's loads libcurl's module (varnholt-http.so) at the first
// request, so that a run that asks for nothing never loads libcurl; tests and varnholt-portal
// link libcurl's side itself (CurlLibrary).
class HttpLibrary
{
public:
    virtual ~HttpLibrary() = default;
    // One connection: one handle reused for the whole run, nothing asked ahead. More: announced
    // addresses are asked ahead over up to that many connections, never more requests at once.
    virtual std::unique_ptr<HttpTransport> makeTransport(std::chrono::milliseconds timeout,
                                                         int connections) = 0;
};
