#pragma once

#include "engine/PortalMarkers.h"

#include <QList>
#include <QString>

// Pages in the portal's form for tests and benchmarks that serve their own, with the markers from
// the header the engine reads them from. Lines end in LF: the fetcher reads such a page as CR LF
// throughout, so a lone LF inside an article's text disappears with the page's line ends.
namespace PortalPages {

struct Headline
{
    QString path; // the link target as the page gives it ("/a/1.html")
    QString title;
};

// One list item, followed by the source and time the portal prints after the title.
inline QString item(const QString &path, const QString &title)
{
    QString line = PortalMarkers::ItemStart.toString();
    line += path + u'>' + title;
    line += PortalMarkers::TitleEnd;
    line += QStringLiteral(" (共同) 12時34分</li>\n");
    return line;
}

// A headline list page around ready-made item lines, with a next-page link when next is given.
inline QString listPage(const QString &items, const QString &next = {})
{
    QString page = QStringLiteral("<html><body>\n");
    page += PortalMarkers::Headlines;
    page += QStringLiteral("\n<ul>\n") + items;
    page += PortalMarkers::ListEnd;
    page += QStringLiteral("\n");
    if (!next.isEmpty()) {
        page += PortalMarkers::LinkStart;
        page += next + u'>';
        page += PortalMarkers::NextPage;
        page += QStringLiteral("</a>\n");
    }
    return page + QStringLiteral("</body></html>\n");
}

inline QString headlinePage(const QList<Headline> &headlines, const QString &next = {})
{
    QString items;
    for (const Headline &headline : headlines)
        items += item(headline.path, headline.title);
    return listPage(items, next);
}

// A day without headlines.
inline QString noArticlePage()
{
    QString page = QStringLiteral("<html><body>\n");
    page += PortalMarkers::NoArticle;
    return page + QStringLiteral("\n</body></html>\n");
}

// An article page whose text is exactly text.
inline QString articlePage(const QString &text)
{
    QString page = QStringLiteral("<html><body>\n");
    page += PortalMarkers::TextStart;
    page += text;
    page += PortalMarkers::TextEnd;
    return page + QStringLiteral("\n</body></html>\n");
}

} // namespace PortalPages
