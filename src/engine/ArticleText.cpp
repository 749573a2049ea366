#include "engine/ArticleText.h"

using namespace Qt::StringLiterals;

namespace {

constexpr QStringView TextStart = u"<!-- TextStart -->";
constexpr QStringView TextEnd = u"<!-- TextEnd -->";

} // namespace

QString ExtractArticleText(QStringView html)
{
    const qsizetype startMarker = html.indexOf(TextStart);
    const qsizetype e = html.indexOf(TextEnd);
    if (startMarker < 0 || e < 0)
        return {};
    const qsizetype s = startMarker + TextStart.size();
    if (e < s)
        return {};

    QString body = html.sliced(s, e - s).toString();
    body.remove(u"\r\n"_s);
    body.replace(u"<br>"_s, u"\r\n"_s, Qt::CaseInsensitive);
    return body;
}
