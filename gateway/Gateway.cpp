#include "Gateway.h"

#include "HeadlinePath.h"
#include "PageTemplates.h"
#include "extract/ExtractionAcceptance.h"
#include "extract/MainText.h"
#include "feeds/PlainText.h"
#include "util/CodePage.h"
#include "util/Version.h"

#include <QDir>

#include <future>

using namespace Qt::StringLiterals;

namespace {

// A fallback stored after a failed fetch is served this long before the page is tried again.
constexpr qint64 kRetryFailedSeconds = 3600;
constexpr int kRequestsPerHost = 2;

const PageTemplates::SiteLook &gatewayLook()
{
    static const PageTemplates::SiteLook look{
        u"Varnholtゲートウェイ"_s,
        u"見出しと本文は各配信元のもので、著作権は配信元にあります。個人の閲覧用です。"_s};
    return look;
}

PageReply eucJp(int status, const QString &page)
{
    return {status, CodePage::toEucJp(page)};
}

PageReply notFound(const QString &path)
{
    return eucJp(404, PageTemplates::notFoundPage(path, gatewayLook()));
}

QStringList lines(const QString &text)
{
    QStringList out;
    for (const QString &line : text.split(u'\n')) {
        if (!line.trimmed().isEmpty())
            out.append(line);
    }
    return out;
}

QString sourceName(const ArchivedItem &item)
{
    return item.source.isEmpty() ? item.link.host() : item.source;
}

bool titleMatches(const QString &title, const QStringList &words)
{
    if (words.isEmpty())
        return true;
    return std::any_of(words.cbegin(), words.cend(),
                       [&](const QString &word) { return title.contains(word); });
}

} // namespace

QString Gateway::userAgent(const QString &contact)
{
    QString agent = u"varnholt-portal/"_s + VersionNumber();
    if (!contact.isEmpty())
        agent += u" (+"_s + contact + u')';
    return agent;
}

Gateway::Gateway(FeedsConfig config, QDate fixedToday, std::function<void(const QString &)> say)
    : m_config(std::move(config))
    , m_fixedToday(fixedToday)
    , m_say(say)
    , m_faults(say)
    , m_archive(std::make_unique<Archive>())
    , m_gate(std::make_unique<HostGate>(m_config.settings.delay, kRequestsPerHost))
    , m_client(std::make_unique<UpstreamClient>(userAgent(m_config.settings.contact), *m_gate))
    , m_robots(std::make_unique<RobotsCache>(*m_client, userAgent(m_config.settings.contact)))
{
    for (const CategoryFeeds &category : std::as_const(m_config.categories)) {
        for (const QUrl &feed : category.feeds)
            m_localFeeds = m_localFeeds || isLocalHost(feed.host());
    }
}

Gateway::~Gateway() = default;

bool Gateway::open(const QString &folder, QString *error)
{
    return m_archive->open(QDir(folder).filePath(u"archive.sqlite"_s), error);
}

QDateTime Gateway::now() const
{
    return m_fixedToday.isValid() ? QDateTime(m_fixedToday, QTime::currentTime())
                                  : QDateTime::currentDateTime();
}

std::mutex &Gateway::lockFor(const QString &key)
{
    return m_locks[qHash(key) % m_locks.size()];
}

PageReply Gateway::page(const QString &path)
{
    const QDateTime time = now();
    if (path == u"/")
        return eucJp(200, PageTemplates::topPage(time.date(), gatewayLook()));
    if (path.startsWith(u"/headlines/"))
        return listPage(path, time);
    const auto articlePrefix = u"/article/"_s;
    if (path.startsWith(articlePrefix)) {
        bool ok = false;
        const qint64 id = path.mid(articlePrefix.size()).toLongLong(&ok);
        if (ok && id > 0)
            return articlePage(id);
    }
    return notFound(path);
}

PageReply Gateway::listPage(const QString &path, const QDateTime &time)
{
    const QDate today = time.date();
    const auto request = parseHeadlinePath(path, today);
    if (!request || request->daysAgo < 0)
        return notFound(path);
    const auto noArticles = [&] {
        if (request->page != 1)
            return notFound(path);
        return eucJp(200, PageTemplates::noArticlePage(request->code, request->day, gatewayLook()));
    };
    if (!m_config.categories.contains(request->code))
        return noArticles();
    // Only a category's first page fetches: its later pages must show the same list.
    if (request->page == 1)
        refreshCategory(request->code, time);

    const qsizetype count = m_archive->count(request->code, request->day);
    if (count == 0)
        return noArticles();
    const qsizetype pageSize = m_config.settings.itemsPerPage;
    std::optional<PageTemplates::ListPage> list =
        PageTemplates::listPageOf(*request, today, count, pageSize);
    if (!list)
        return notFound(path);
    for (const ArchivedItem &item :
         m_archive->list(request->code, request->day, (request->page - 1) * pageSize, pageSize)) {
        list->items.append({u"/article/"_s + QString::number(item.id), pageSafe(item.title),
                            pageSafe(sourceName(item)),
                            item.published.toLocalTime().toString(u"HH:mm"_s)});
    }
    return eucJp(200, PageTemplates::listPage(*list, gatewayLook()));
}

void Gateway::refreshCategory(const QString &code, const QDateTime &time)
{
    m_archive->prune(time.date().addDays(-m_config.settings.keepDays));
    const CategoryFeeds category = m_config.categories.value(code);
    // The feeds of a category are fetched side by side: Varnholt waits for the whole list page.
    std::vector<std::future<void>> running;
    for (const QUrl &feed : category.feeds)
        running.push_back(std::async(std::launch::async,
                                     [this, code, feed, time] { refreshFeed(code, feed, time); }));
    for (auto &done : running)
        done.wait();
}

void Gateway::refreshFeed(const QString &code, const QUrl &feed, const QDateTime &time)
{
    const QString address = feed.toString();
    const QString key = code + u' ' + address;
    std::lock_guard lock(lockFor(key));
    FeedState state = m_archive->feedState(key);
    if (state.retryAfter.isValid() && state.retryAfter > time)
        return;
    const qint64 since = state.checked.isValid() ? state.checked.secsTo(time) : -1;
    if (since >= 0 && since < m_config.settings.refresh.count())
        return;

    UpstreamRequest request;
    request.url = feed;
    request.etag = state.etag;
    request.lastModified = state.lastModified;
    const UpstreamReply reply = m_client->get(request);
    state.checked = time;
    const auto fault = [&](const QString &reason) {
        m_faults.fault(key, u"[%1] feed %2: %3"_s.arg(code, address, reason));
        m_archive->storeFeedState(key, state);
    };
    if (!reply.ok)
        return fault(reply.error);
    if (reply.retryAfter) {
        state.retryAfter = time.addSecs(reply.retryAfter->count());
        return fault(
            u"answered %1, retrying in %2 s"_s.arg(reply.status).arg(reply.retryAfter->count()));
    }
    if (reply.status == 304) {
        m_faults.worked(key);
        m_archive->storeFeedState(key, state);
        return;
    }
    if (reply.status < 200 || reply.status >= 300)
        return fault(u"answered HTTP %1"_s.arg(reply.status));
    const FeedParseResult parsed = parseFeed(reply.body, reply.contentType, reply.finalUrl);
    if (!parsed.ok)
        return fault(parsed.error);

    QList<FeedItem> items;
    const QStringList match = m_config.categories.value(code).match;
    for (const FeedItem &item : parsed.items) {
        if (titleMatches(item.title, match))
            items.append(item);
    }
    QString error;
    m_archive->store(code, parsed.source, items, time, &error);
    if (!error.isEmpty())
        return fault(error);
    state.etag = reply.etag;
    state.lastModified = reply.lastModified;
    state.retryAfter = {};
    m_faults.worked(key);
    m_archive->storeFeedState(key, state);
}

PageReply Gateway::articlePage(qint64 id)
{
    const auto item = m_archive->item(id);
    if (!item)
        return notFound(u"/article/"_s + QString::number(id));

    QStringList paragraphs;
    {
        std::lock_guard lock(lockFor(u"article "_s + QString::number(id)));
        const QDateTime time = QDateTime::currentDateTime();
        const auto stored = m_archive->article(id);
        if (stored && (stored->complete || stored->fetched.secsTo(time) < kRetryFailedSeconds)) {
            paragraphs = stored->paragraphs;
        } else {
            bool complete = false;
            paragraphs = articleText(*item, &complete);
            m_archive->storeArticle(id, {paragraphs, time, complete});
        }
    }

    ArticleContent article;
    article.title = pageSafe(item->title);
    article.source = pageSafe(sourceName(*item));
    const QDateTime published = item->published.toLocalTime();
    article.day = published.date();
    article.time = published.toString(u"HH:mm"_s);
    for (const QString &paragraph : paragraphs)
        article.paragraphs.append(paragraph.startsWith(u"http") ? paragraph : pageSafe(paragraph));
    return eucJp(200, PageTemplates::articlePage(article, gatewayLook()));
}

QStringList Gateway::articleText(const ArchivedItem &item, bool *complete)
{
    const TextRule rule =
        item.codes.isEmpty() ? TextRule{} : m_config.categories.value(item.codes.first()).text;
    const QStringList fromFeed = lines(item.content.isEmpty() ? item.description : item.content);
    *complete = true;
    if (rule.kind != TextRule::Kind::Feed) {
        const QStringList fromPage = pageText(item, rule, complete);
        if (!fromPage.isEmpty())
            return fromPage;
    }
    if (!fromFeed.isEmpty())
        return fromFeed;
    // Never an empty page: Varnholt would take it for a failed fetch and ask again.
    const QString address = item.link.toString(QUrl::FullyEncoded);
    return {u"この記事の本文は取得できませんでした。元の記事:"_s, address};
}

QStringList Gateway::pageText(const ArchivedItem &item, const TextRule &rule, bool *complete)
{
    const QString address = item.link.toString(QUrl::FullyEncoded);
    const QString host = hostKey(item.link);
    // A public feed must not make the gateway read pages of this machine's own network.
    if (isLocalHost(item.link.host()) && !m_localFeeds) {
        m_faults.fault(host,
                       u"article %1: a local address in a public feed, not fetched"_s.arg(address));
        return {};
    }
    QString why;
    if (!m_robots->allows(item.link, &why)) {
        m_faults.fault(u"robots "_s + host, u"article "_s + why);
        *complete = false;
        return {};
    }
    UpstreamRequest request;
    request.url = item.link;
    const UpstreamReply reply = m_client->get(request);
    if (!reply.ok || reply.status < 200 || reply.status >= 300) {
        m_faults.fault(host, u"article "_s + (reply.ok ? u"%1: answered HTTP %2"_s.arg(address).arg(
                                                             reply.status)
                                                       : reply.error));
        // A page that is gone stays gone; anything else may work later.
        *complete = reply.ok && (reply.status == 404 || reply.status == 410);
        return {};
    }
    m_faults.worked(host);
    const MainTextResult result =
        rule.kind == TextRule::Kind::XPath
            ? ExtractByXPath(reply.body, reply.contentType, rule.xpath)
            : ExtractMainText(reply.body, reply.contentType, reply.finalUrl);
    QStringList paragraphs;
    for (const QString &paragraph : result.paragraphs) {
        const QString text = QString(paragraph).replace(u'\n', u' ').trimmed();
        if (!text.isEmpty())
            paragraphs.append(text);
    }
    if (rule.kind == TextRule::Kind::Auto && !AcceptsExtraction(result, item.description))
        return {};
    return paragraphs;
}
