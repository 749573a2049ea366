#include "Gateway.h"

#include "GatewayClock.h"
#include "HeadlinePath.h"
#include "PageRendering.h"

#include <QDir>

using namespace Qt::StringLiterals;

Gateway::Gateway(FeedsConfig config, Upstream &upstream, const GatewayClock &clock,
                 std::function<void(const QString &)> say)
    : m_config(std::move(config))
    , m_clock(clock)
    , m_faults(std::move(say))
    , m_parts{m_config, m_archive, upstream, clock, m_faults}
    , m_refresher(m_parts)
    , m_articles(m_parts)
{}

FileResult Gateway::open(const QString &folder)
{
    return m_archive.open(QDir(folder).filePath(u"archive.sqlite"_s));
}

PageReply Gateway::page(const QString &path)
{
    const QDate today = m_clock.now().date();
    if (path == u"/")
        return RenderTopPage(today);
    if (path.startsWith(u"/headlines/"))
        return listPage(path, today);
    const auto articlePrefix = u"/article/"_s;
    if (path.startsWith(articlePrefix)) {
        bool ok = false;
        const qint64 id = path.mid(articlePrefix.size()).toLongLong(&ok);
        if (ok && id > 0)
            return articlePage(id);
    }
    return RenderNotFound(path);
}

PageReply Gateway::listPage(const QString &path, QDate today)
{
    const auto request = ParseHeadlinePath(path, today);
    if (!request || request->daysAgo < 0)
        return RenderNotFound(path);
    const auto noArticles = [&] {
        return request->page == 1 ? RenderNoArticles(request->code, request->day)
                                  : RenderNotFound(path);
    };
    if (!m_config.categories.contains(request->code))
        return noArticles();
    // Only a category's first page fetches: its later pages must show the same list.
    if (request->page == 1)
        m_refresher.refresh(request->code);

    const qsizetype count = m_archive.count(request->code, request->day);
    if (count == 0)
        return noArticles();
    const qsizetype pageSize = m_config.settings.itemsPerPage;
    const std::optional<PageTemplates::ListPage> list =
        PageTemplates::ListPageOf(*request, today, count, pageSize);
    if (!list)
        return RenderNotFound(path);
    return RenderListPage(
        *list,
        m_archive.list(request->code, request->day, (request->page - 1) * pageSize, pageSize),
        m_faults);
}

PageReply Gateway::articlePage(qint64 id)
{
    const auto item = m_archive.item(id);
    if (!item)
        return RenderNotFound(u"/article/"_s + QString::number(id));
    return RenderArticlePage(*item, m_articles.paragraphs(*item), m_faults);
}
