#include "CorpusSite.h"

#include "HeadlinePath.h"
#include "PageTemplates.h"
#include "util/CodePage.h"

using namespace Qt::StringLiterals;

PageReply NotFound(const QString &path)
{
    return {404, CodePage::toEucJp(PageTemplates::FormatNotFoundPage(path))};
}

CorpusSite::CorpusSite(std::unique_ptr<NewsCorpus> corpus, QDate fixedToday)
    : m_corpus(std::move(corpus))
    , m_fixedToday(fixedToday)
{}

QDate CorpusSite::today() const
{
    // Asked per request, so a portal running over midnight moves on to the new day.
    return m_fixedToday.isValid() ? m_fixedToday : QDate::currentDate();
}

PageReply CorpusSite::page(const QString &path) const
{
    const QDate now = today();
    if (path == u"/")
        return {200, CodePage::toEucJp(PageTemplates::FormatTopPage(now))};
    if (path.startsWith(u"/headlines/"))
        return listPage(path, now);
    const auto articlePrefix = u"/article/"_s;
    if (path.startsWith(articlePrefix)) {
        if (const auto article = m_corpus->article(now, path.mid(articlePrefix.size())))
            return {200, CodePage::toEucJp(PageTemplates::FormatArticlePage(*article))};
    }
    return NotFound(path);
}

PageReply CorpusSite::listPage(const QString &path, QDate now) const
{
    const auto request = ParseHeadlinePath(path, now);
    // The portal keeps no archive beyond the previous day.
    if (!request || request->daysAgo < 0 || request->daysAgo > 1)
        return NotFound(path);

    const qsizetype count = m_corpus->headlineCount(now, request->daysAgo, request->code);
    if (count == 0) {
        if (request->page != 1)
            return NotFound(path);
        return {200,
                CodePage::toEucJp(PageTemplates::FormatNoArticlePage(request->code, request->day))};
    }
    const qsizetype pageSize = m_corpus->pageSize();
    std::optional<PageTemplates::ListPage> list =
        PageTemplates::ListPageOf(*request, now, count, pageSize);
    if (!list)
        return NotFound(path);
    list->items = m_corpus->headlines(now, request->daysAgo, request->code,
                                      (request->page - 1) * pageSize, pageSize);
    return {200, CodePage::toEucJp(PageTemplates::FormatListPage(*list))};
}
