#include "engine/HeadlineParser.h"

#include "engine/ArticleList.h"
#include "engine/FetchProgress.h"
#include "engine/KeyWordMatcher.h"
#include "engine/PortalMarkers.h"
#include "engine/SavedAddresses.h"
#include "util/DebugLog.h"

using namespace Qt::StringLiterals;

namespace {

// A title that lost its "</a>" ends at the next item or the list end.
constexpr QStringView NextItem = u"<li>";
constexpr QStringView ItemEnd = u"</li>";

void record(HeadlineContext &context, const QString &url, const QString &title,
            const QString &KeyWord, bool URLOnly)
{
    ArticleList &articles = context.articles;
    const qint32 i = articles.AddArticle();
    articles.setURL(i, url);
    articles[i].Title = title;
    articles[i].KeyWord = KeyWord;
    articles[i].URLOnly = URLOnly;
}

} // namespace

void ParseHeadlines(QStringView page, HeadlineContext &context)
{
    DebugLog &log = context.log;
    if (page.contains(PortalMarkers::NoArticle)) {
        if (log.enabled())
            log.write(u"本日は配信がありませんでした。"_s);
        return;
    }

    // Positions are 0-based; -1 means "not found". The list ends at the first "</ul>" at or
    // after the list start, and an item is read only while its link target starts before it.
    qsizetype a = page.indexOf(PortalMarkers::Headlines);
    if (a < 0)
        a = 0;
    const qsizetype e = page.indexOf(PortalMarkers::ListEnd, a);
    qsizetype m = page.indexOf(PortalMarkers::ItemStart, a);

    while (m >= 0 && e >= 0 && m + PortalMarkers::ItemStart.size() < e) {
        const qsizetype c = m + PortalMarkers::ItemStart.size();
        const qsizetype d = page.indexOf(u'>', c);
        if (d < 0)
            return;
        const QString url = context.BaseURL + page.sliced(c, d - c);

        if (context.articles.IsListedURL(url)) {
            m = page.indexOf(PortalMarkers::ItemStart, d + 1);
            continue;
        }

        const qsizetype t = d + 1;
        qsizetype f = page.indexOf(PortalMarkers::TitleEnd, t);
        qsizetype next = f + 1; // where the search for the next item starts
        // A title that lost its "</a>" ends with its item, at the next item or the list end,
        // instead of taking the following headlines in.
        qsizetype boundary = page.indexOf(NextItem, t);
        if (e >= t && (boundary < 0 || boundary > e))
            boundary = e;
        if (boundary >= 0 && (f < 0 || f > boundary)) {
            const qsizetype itemEnd = page.indexOf(ItemEnd, t);
            f = itemEnd >= 0 && itemEnd < boundary ? itemEnd : boundary;
            next = boundary;
        }
        if (f < 0)
            return;
        const QString title = page.sliced(t, f - t).toString();

        // An earlier run saved it: no keyword test, so no article request either.
        if (context.saved && context.saved->contains(url)) {
            if (log.enabled())
                log.write(title + u"は保存済みのため除外");
            m = page.indexOf(PortalMarkers::ItemStart, f + 1);
            continue;
        }

        if (log.enabled()) {
            // The number is the 1-based position of "</a>" plus one, as the log has always shown.
            log.write(QString::number(f + 2) + u": " + title + u'(' + url + u")を照合中...");
        }

        const QString k = context.matcher.MatchKeyWord(title);
        if (!k.isEmpty() || context.KeyMode == 2) {
            record(context, url, title, k.isEmpty() ? u"その他"_s : k, false);
            if (log.enabled())
                log.write(u"「" + title + u"」を追加");
        } else if (context.KeyMode == 1) {
            record(context, url, title, u"記事なし"_s, true);
            if (log.enabled())
                log.write(u"「" + title + u"」のURLを追加");
        }

        context.progress.setUnit(u" Article(s) / " +
                                 QString::number(context.articles.ArticleCount()) + u" Article(s)");

        m = page.indexOf(PortalMarkers::ItemStart, next);
    }
}
