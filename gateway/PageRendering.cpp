#include "PageRendering.h"

#include "archive/Archive.h"
#include "feeds/PlainText.h"
#include "util/CodePage.h"

using namespace Qt::StringLiterals;

namespace {

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

QString sourceName(const ArchivedItem &item)
{
    return item.source.isEmpty() ? item.link.host() : item.source;
}

} // namespace

PageReply RenderTopPage(QDate today)
{
    return eucJp(200, PageTemplates::FormatTopPage(today, gatewayLook()));
}

PageReply RenderNotFound(const QString &path)
{
    return eucJp(404, PageTemplates::FormatNotFoundPage(path, gatewayLook()));
}

PageReply RenderNoArticles(const QString &code, QDate day)
{
    return eucJp(200, PageTemplates::FormatNoArticlePage(code, day, gatewayLook()));
}

PageReply RenderUnavailable(const QString &why, std::chrono::seconds retryAfter)
{
    PageReply reply = eucJp(503, PageTemplates::FormatUnavailablePage(why, gatewayLook()));
    reply.headers.append({"Retry-After", QByteArray::number(qint64(retryAfter.count()))});
    return reply;
}

PageReply RenderListPage(PageTemplates::ListPage list, const QList<ArchivedItem> &items)
{
    for (const ArchivedItem &item : items) {
        list.items.append({u"/article/"_s + QString::number(item.id), PageSafe(item.title),
                           PageSafe(sourceName(item)),
                           item.published.toLocalTime().toString(u"HH:mm"_s)});
    }
    return eucJp(200, PageTemplates::FormatListPage(list, gatewayLook()));
}

PageReply RenderArticlePage(const ArchivedItem &item, const QStringList &paragraphs)
{
    ArticleContent article;
    article.title = PageSafe(item.title);
    article.source = PageSafe(sourceName(item));
    const QDateTime published = item.published.toLocalTime();
    article.day = published.date();
    article.time = published.toString(u"HH:mm"_s);
    for (const QString &paragraph : paragraphs)
        article.paragraphs.append(paragraph.startsWith(u"http") ? paragraph : PageSafe(paragraph));
    return eucJp(200, PageTemplates::FormatArticlePage(article, gatewayLook()));
}
