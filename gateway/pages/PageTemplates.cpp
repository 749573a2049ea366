#include "PageTemplates.h"

#include "HeadlinePath.h"
#include "engine/PortalMarkers.h"

#include <QStringList>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace PageTemplates {

namespace {

QString dayCaption(QDate day)
{
    static const QStringList weekDays = {u"月"_s, u"火"_s, u"水"_s, u"木"_s,
                                         u"金"_s, u"土"_s, u"日"_s};
    return u"%1年%2月%3日(%4)"_s.arg(day.year())
        .arg(day.month())
        .arg(day.day())
        .arg(weekDays.at(day.dayOfWeek() - 1));
}

QStringList header(const QString &title, const SiteLook &look)
{
    return {
        u"<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">"_s,
        u"<html lang=\"ja\">"_s,
        u"<head>"_s,
        u"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=EUC-JP\">"_s,
        u"<title>"_s + title + u" - "_s + look.name + u"</title>"_s,
        u"</head>"_s,
        u"<body>"_s,
        u"<div class=\"site\"><a href=\"/\">"_s + look.name + u"</a></div>"_s,
    };
}

// The category menu: list items with links, before the headline list, so a reader that
// ignores the list marker would pick them up as headlines.
QStringList categoryMenu()
{
    QStringList lines{u"<ul class=\"menu\">"_s};
    for (const QString &code : HeadlineCodes())
        lines.append(
            u"<li><a href=\"/headlines/%1/\">%2</a></li>"_s.arg(code, HeadlineCaption(code)));
    lines.append(u"</ul>"_s);
    return lines;
}

QStringList footer(const SiteLook &look)
{
    return {
        u"<hr>"_s,
        u"<div class=\"footer\"><a href=\"/\">トップへ戻る</a> | "_s + look.notice,
        u"Copyright (C) "_s + look.name + u"</div>"_s,
        u"</body>"_s,
        u"</html>"_s,
        QString(),
    };
}

QString crlf(const QStringList &lines)
{
    return lines.join(u"\r\n"_s);
}

// A page that says one thing: its heading and one paragraph (HTML).
QString noticePage(const QString &heading, const QString &paragraph, const SiteLook &look)
{
    QStringList lines = header(heading, look);
    lines.append(u"<h1>"_s + heading + u"</h1>"_s);
    lines.append(u"<p>"_s + paragraph + u"</p>"_s);
    lines += footer(look);
    return crlf(lines);
}

// Breaks a long paragraph once after a comma, as the portal's editors wrap their source.
QString wrapped(const QString &paragraph)
{
    const qsizetype comma = paragraph.indexOf(u'、', 12);
    if (comma < 0 || comma + 1 >= paragraph.size())
        return paragraph;
    return paragraph.left(comma + 1) + u"\r\n"_s + paragraph.mid(comma + 1);
}

} // namespace

const SiteLook &SampleLook()
{
    static const SiteLook look{u"Varnholtサンプルニュース"_s,
                               u"掲載記事はすべて架空の見本です。"_s};
    return look;
}

std::optional<ListPage> ListPageOf(const HeadlineRequest &request, QDate today, qsizetype count,
                                   qsizetype pageSize)
{
    const int pageCount = int((count + pageSize - 1) / pageSize);
    if (request.page > pageCount)
        return std::nullopt;
    ListPage list;
    list.code = request.code;
    list.day = request.day;
    list.page = request.page;
    list.pageCount = pageCount;
    if (request.page > 1)
        list.previousPath = HeadlineListPath(request.day, today, request.code, request.page - 1);
    if (request.page < pageCount)
        list.nextPath = HeadlineListPath(request.day, today, request.code, request.page + 1);
    return list;
}

QString FormatListPage(const ListPage &list, const SiteLook &look)
{
    const QString caption = HeadlineCaption(list.code);
    QStringList lines = header(caption, look);
    lines += categoryMenu();
    lines.append(u"<h1>"_s + caption + u"</h1>"_s);
    lines.append(u"<p class=\"date\">"_s + dayCaption(list.day) + u"</p>"_s);
    lines.append(PortalMarkers::Headlines.toString());
    lines.append(u"<ul>"_s);
    for (const Headline &item : list.items)
        lines.append(PortalMarkers::ItemStart.toString() + item.link + u'>' + item.title +
                     PortalMarkers::TitleEnd +
                     u" <span>%1 %2</span></li>"_s.arg(item.source, item.time));
    lines.append(PortalMarkers::ListEnd.toString());
    QString pager = u"<p class=\"pager\">%1/%2ページ"_s.arg(list.page).arg(list.pageCount);
    if (!list.previousPath.isEmpty())
        pager += u" <a href=%1>前ページ</a>"_s.arg(list.previousPath);
    if (!list.nextPath.isEmpty())
        pager += u' ' + PortalMarkers::LinkStart + list.nextPath + u'>' + PortalMarkers::NextPage +
                 u"</a>"_s;
    lines.append(pager + u"</p>"_s);
    // Varnholt follows the link before the page's last "次ページ". On a category's last page a
    // headline saying those words would be that last one, so an empty link after it ends the
    // walk there.
    const auto saysNextPage = [](const Headline &item) {
        return item.title.contains(PortalMarkers::NextPage) ||
               item.source.contains(PortalMarkers::NextPage) ||
               item.time.contains(PortalMarkers::NextPage);
    };
    if (list.nextPath.isEmpty() &&
        std::any_of(list.items.cbegin(), list.items.cend(), saysNextPage))
        lines.append(u"<!-- "_s + PortalMarkers::LinkStart + PortalMarkers::NextPage + u" -->"_s);
    lines += footer(look);
    return crlf(lines);
}

QString FormatNoArticlePage(const QString &code, QDate day, const SiteLook &look)
{
    const QString caption = HeadlineCaption(code);
    QStringList lines = header(caption, look);
    lines += categoryMenu();
    lines.append(u"<h1>"_s + caption + u"</h1>"_s);
    lines.append(u"<p class=\"date\">"_s + dayCaption(day) + u"</p>"_s);
    lines.append(PortalMarkers::NoArticle.toString());
    lines.append(u"<p>この日の配信記事はありません。</p>"_s);
    lines += footer(look);
    return crlf(lines);
}

QString FormatArticlePage(const ArticleContent &article, const SiteLook &look)
{
    QStringList lines = header(article.title, look);
    lines.append(u"<h1>"_s + article.title + u"</h1>"_s);
    lines.append(u"<p class=\"info\">%1 %2 %3</p>"_s.arg(dayCaption(article.day), article.time,
                                                         article.source));
    lines.append(PortalMarkers::TextStart.toString());
    for (qsizetype i = 0; i < article.paragraphs.size(); ++i) {
        QString paragraph = u"　"_s + wrapped(article.paragraphs.at(i));
        if (i + 1 < article.paragraphs.size()) {
            const bool capital = article.capitalBreak && i == 0;
            paragraph += capital ? u"<BR>"_s : u"<br>"_s;
            lines.append(paragraph);
            lines.append(u"<br>"_s);
        } else {
            lines.append(paragraph);
        }
    }
    lines.append(PortalMarkers::TextEnd.toString());
    lines.append(u"<p class=\"source\">("_s + article.source + u")</p>"_s);
    lines += footer(look);
    return crlf(lines);
}

QString FormatNotFoundPage(const QString &path, const SiteLook &look)
{
    return noticePage(u"ページが見つかりません"_s,
                      path.toHtmlEscaped() + u" はこのサイトにありません。"_s, look);
}

QString FormatUnavailablePage(const QString &why, const SiteLook &look)
{
    return noticePage(u"ただいま表示できません"_s, why.toHtmlEscaped(), look);
}

QString FormatTopPage(QDate today, const SiteLook &look)
{
    QStringList lines = header(u"トップ"_s, look);
    lines.append(u"<h1>"_s + look.name + u"</h1>"_s);
    lines.append(u"<p class=\"date\">"_s + dayCaption(today) + u"</p>"_s);
    lines += categoryMenu();
    lines += footer(look);
    return crlf(lines);
}

} // namespace PageTemplates
