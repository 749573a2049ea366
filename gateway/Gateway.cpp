#include "Gateway.h"

#include "GatewayClock.h"
#include "HeadlinePath.h"
#include "PageRendering.h"

#include <QDir>

using namespace Qt::StringLiterals;

namespace {

// How soon a reader may try again after the archive failed to answer.
constexpr std::chrono::seconds kArchiveRetry{60};

} // namespace

Gateway::Gateway(FeedsConfig config, Upstream &upstream, const GatewayClock &clock,
                 std::function<void(const QString &)> say)
    : m_config(std::move(config))
    , m_clock(clock)
    , m_faults(std::move(say))
    , m_archive([this](const QString &line) { m_faults.note(line); })
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
    CategoryRefresh refreshed;
    if (request->page == 1)
        refreshed = m_refresher.refresh(request->code);

    const ArchiveRead<qsizetype> count = m_archive.count(request->code, request->day);
    if (!count.ok)
        return archiveFailed(count.error);
    m_faults.worked(ArchiveFaults.toString());
    const QString unavailable = u"unavailable "_s + request->code;
    if (count.value == 0 && refreshed.allFailed())
        return sourcesFailed(request->code, request->day, refreshed.nextTry);
    m_faults.worked(unavailable);
    if (count.value == 0)
        return noArticles();
    const qsizetype pageSize = m_config.settings.itemsPerPage;
    const std::optional<PageTemplates::ListPage> list =
        PageTemplates::ListPageOf(*request, today, count.value, pageSize);
    if (!list)
        return RenderNotFound(path);
    const ArchiveRead<QList<ArchivedItem>> items =
        m_archive.list(request->code, request->day, (request->page - 1) * pageSize, pageSize);
    if (!items.ok)
        return archiveFailed(items.error);
    return RenderListPage(*list, items.value, m_faults);
}

PageReply Gateway::articlePage(qint64 id)
{
    const ArchiveRead<std::optional<ArchivedItem>> item = m_archive.item(id);
    if (!item.ok)
        return archiveFailed(item.error);
    if (!item.value)
        return RenderNotFound(u"/article/"_s + QString::number(id));
    return RenderArticlePage(*item.value, m_articles.paragraphs(*item.value), m_faults);
}

PageReply Gateway::sourcesFailed(const QString &code, QDate day, const QDateTime &nextTry)
{
    // An empty day would read as a day without news: Varnholt is told to come back, asks the
    // person, and counts the page as not fetched.
    const qint64 seconds = std::max<qint64>(1, m_clock.now().secsTo(nextTry));
    m_faults.fault(u"unavailable "_s + code,
                   u"[%1] every feed failed and nothing is kept for %2: answered 503 Service "
                   u"Unavailable"_s.arg(code, day.toString(Qt::ISODate)));
    return RenderUnavailable(u"このカテゴリの配信元からは、いずれも記事を取得できませんでした。"
                             u"しばらくしてからもう一度お試しください。"_s,
                             std::chrono::seconds(seconds));
}

PageReply Gateway::archiveFailed(const QString &error)
{
    // Never an empty day or a missing article: the reader is told to come back.
    m_faults.fault(ArchiveFaults.toString(), error);
    return RenderUnavailable(
        u"記事の保管庫を読めませんでした。しばらくしてからもう一度お試しください。"_s,
        kArchiveRetry);
}
