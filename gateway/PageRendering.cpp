#include "PageRendering.h"

#include "PageSafe.h"
#include "archive/Archive.h"
#include "util/CodePage.h"

using namespace Qt::StringLiterals;

namespace {

const QString kNoText = u"この記事の本文は取得できませんでした。元の記事:"_s;

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

// An address percent-encoded throughout is ASCII without spaces, quotes, "<" or ">": it needs no
// escaping, and its "&" must stay one to lead anywhere.
QString address(const ArchivedItem &item)
{
    return item.link.toString(QUrl::FullyEncoded);
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
    // An archive written before this page made the notice itself holds it as the text.
    const bool storedNotice = paragraphs == QStringList{kNoText, address(item)};
    for (const QString &paragraph : paragraphs) {
        if (!storedNotice && !paragraph.trimmed().isEmpty())
            article.paragraphs.append(PageSafe(paragraph));
    }
    // Never an empty text: Varnholt would take the page for a failed fetch and ask again.
    if (article.paragraphs.isEmpty())
        article.paragraphs = QStringList{kNoText, address(item)};
    return eucJp(200, PageTemplates::FormatArticlePage(article, gatewayLook()));
}
