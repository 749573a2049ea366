// What needs no URL parser of its own; OriginOf (UrlGuard.cpp) reads addresses with libcurl's.
#include "engine/UrlGuard.h"

using namespace Qt::StringLiterals;

QString UrlOrigin::toString() const
{
    return scheme + u"://"_s + host + u':' + port;
}

bool IsSameOrigin(const QString &url, const QString &reference)
{
    UrlOrigin a;
    UrlOrigin b;
    return OriginOf(url, a) && OriginOf(reference, b) && a == b;
}
