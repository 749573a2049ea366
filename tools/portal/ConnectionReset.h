#pragma once

#include <httplib.h>

// Drops the connection a request arrived on without sending anything. The server library has
// no such call, so the socket is found by its two addresses. False when it could not be found.
bool DropConnection(const httplib::Request &request);
