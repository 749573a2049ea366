#include "engine/UrlOrigin.h"

#include "engine/HttpTransport.h"

using namespace Qt::StringLiterals;

QString UrlOrigin::toString() const
{
    return scheme + u"://"_s + host + u':' + port;
}

bool IsSameOrigin(HttpTransport &http, const QString &url, const QString &reference)
{
    UrlOrigin a;
    UrlOrigin b;
    return http.originOf(url, a) && http.originOf(reference, b) && a == b;
}
