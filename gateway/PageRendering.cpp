#include "PageRendering.h"

#include "FaultLog.h"
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

// One item's text on its way into a page, and what of it no page could carry.
class ItemText
{
public:
    QString operator()(QStringView text) { return PageSafe(text, &m_lost); }

    // Once for each item and page: the count and the characters, to add look-alikes for.
    void sayLost(FaultLog &faults, const ArchivedItem &item, const QString &part) const
    {
        if (m_lost.isEmpty())
            return;
        QStringList characters;
        for (const char32_t c : m_lost) {
            const QString name =
                u"U+"_s + QString::number(uint(c), 16).toUpper().rightJustified(4, u'0');
            if (!characters.contains(name))
                characters << name;
        }
        faults.fault(u"characters of "_s + part + u' ' + QString::number(item.id),
                     u"article %1 (%2): %3 character(s) of its %4 became \"?\", neither EUC-JP nor "
                     u"CP932 holds them: %5"_s.arg(QString::number(item.id), address(item),
                                                   QString::number(m_lost.size()), part,
                                                   characters.join(u' ')));
    }

private:
    QList<char32_t> m_lost;
};

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

PageReply RenderListPage(PageTemplates::ListPage list, const QList<ArchivedItem> &items,
                         FaultLog &faults)
{
    for (const ArchivedItem &item : items) {
        ItemText safe;
        list.items.append({u"/article/"_s + QString::number(item.id), safe(item.title),
                           safe(sourceName(item)),
                           item.published.toLocalTime().toString(u"HH:mm"_s)});
        safe.sayLost(faults, item, u"headline"_s);
    }
    return eucJp(200, PageTemplates::FormatListPage(list, gatewayLook()));
}

PageReply RenderArticlePage(const ArchivedItem &item, const QStringList &paragraphs,
                            FaultLog &faults)
{
    ItemText safe;
    ArticleContent article;
    article.title = safe(item.title);
    article.source = safe(sourceName(item));
    const QDateTime published = item.published.toLocalTime();
    article.day = published.date();
    article.time = published.toString(u"HH:mm"_s);
    // An archive written before this page made the notice itself holds it as the text.
    const bool storedNotice = paragraphs == QStringList{kNoText, address(item)};
    for (const QString &paragraph : paragraphs) {
        if (!storedNotice && !paragraph.trimmed().isEmpty())
            article.paragraphs.append(safe(paragraph));
    }
    // Never an empty text: Varnholt would take the page for a failed fetch and ask again.
    if (article.paragraphs.isEmpty())
        article.paragraphs = QStringList{kNoText, address(item)};
    safe.sayLost(faults, item, u"page"_s);
    return eucJp(200, PageTemplates::FormatArticlePage(article, gatewayLook()));
}
