#pragma once

#include "engine/UrlOrigin.h"

// Reads an address with libcurl's own URL parser; false when it cannot be parsed.
bool OriginOf(const QString &url, UrlOrigin &origin);
