#pragma once

#include <QString>

class HttpTransport;

// The scheme, host and port a request to an address would go to, as the transport's HTTP
// library reads the address (so that "http://a:1@b/x" names host b, exactly where the request
// would be sent).
struct UrlOrigin
{
    QString scheme;
    QString host;
    QString port;

    bool operator==(const UrlOrigin &) const = default;
    QString toString() const;
};

// True when both addresses parse and a request to either would go to the same scheme, host and
// port through http.
bool IsSameOrigin(HttpTransport &http, const QString &url, const QString &reference);
