#include "engine/ArticleText.h"

#include "engine/PortalMarkers.h"

using namespace Qt::StringLiterals;

QString ExtractArticleText(QStringView html)
{
    const qsizetype startMarker = html.indexOf(PortalMarkers::TextStart);
    const qsizetype e = html.indexOf(PortalMarkers::TextEnd);
    if (startMarker < 0 || e < 0)
        return {};
    const qsizetype s = startMarker + PortalMarkers::TextStart.size();
    if (e < s)
        return {};

    QString body = html.sliced(s, e - s).toString();
    body.remove(u"\r\n"_s);
    body.replace(u"<br>"_s, u"\r\n"_s, Qt::CaseInsensitive);
    return body;
}
