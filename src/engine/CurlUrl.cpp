#include "engine/CurlUrl.h"

#include <curl/curl.h>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

struct CurlUrlDeleter
{
    void operator()(CURLU *url) const { curl_url_cleanup(url); }
};

bool partOf(CURLU *url, CURLUPart part, unsigned flags, QString &out)
{
    char *text = nullptr;
    if (curl_url_get(url, part, &text, flags) != CURLUE_OK)
        return false;
    out = QString::fromUtf8(text);
    curl_free(text);
    return true;
}

} // namespace

bool OriginOf(const QString &url, UrlOrigin &origin)
{
    std::unique_ptr<CURLU, CurlUrlDeleter> handle(curl_url());
    if (!handle)
        return false;
    if (curl_url_set(handle.get(), CURLUPART_URL, url.toUtf8().constData(), 0) != CURLUE_OK)
        return false;
    if (!partOf(handle.get(), CURLUPART_SCHEME, 0, origin.scheme) ||
        !partOf(handle.get(), CURLUPART_HOST, 0, origin.host) ||
        !partOf(handle.get(), CURLUPART_PORT, CURLU_DEFAULT_PORT, origin.port))
        return false;
    origin.scheme = origin.scheme.toLower();
    origin.host = origin.host.toLower();
    return true;
}
