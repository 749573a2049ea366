#pragma once

#include <QString>

// The scheme, host and port a request to an address would go to, as libcurl reads the address
// (so that "http://a:1@b/x" names host b, exactly where the request would be sent).
struct UrlOrigin
{
    QString scheme;
    QString host;
    QString port;

    bool operator==(const UrlOrigin &) const = default;
    QString toString() const;
};

// False when the address cannot be parsed as a URL.
bool OriginOf(const QString &url, UrlOrigin &origin);

// True when both addresses parse and go to the same scheme, host and port.
bool IsSameOrigin(const QString &url, const QString &reference);
