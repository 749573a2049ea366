#include "engine/NextPage.h"

#include "engine/PortalMarkers.h"
#include "util/DebugLog.h"

using namespace Qt::StringLiterals;

namespace {

QString noNextPage(DebugLog &log)
{
    log.write(u"次ページは存在しませんでした(カテゴリ終了)。"_s);
    return {};
}

} // namespace

QString GetNextPageURL(QStringView page, const QString &BaseURL, DebugLog &log)
{
    log.write(u"次ページの存在確認をしています..."_s);

    const qsizetype a = page.lastIndexOf(PortalMarkers::NextPage);
    if (a < 0)
        return noNextPage(log);

    // The link must lie wholly before the text; its target runs up to the ">" that closes the tag,
    // which is the character just before "次ページ".
    const qsizetype lastStart = a - PortalMarkers::LinkStart.size();
    const qsizetype b = lastStart < 0 ? -1 : page.lastIndexOf(PortalMarkers::LinkStart, lastStart);
    if (b < 0)
        return noNextPage(log);
    const qsizetype c = b + PortalMarkers::LinkStart.size();
    if (a - c - 1 < 0)
        return noNextPage(log);

    log.write(u"次ページが存在しました。"_s);
    return BaseURL + page.sliced(c, a - c - 1);
}
