#pragma once

#include "HeadlinePath.h"
#include "NewsCorpus.h"

#include <QDate>
#include <QList>
#include <QString>

#include <optional>

// The portal's HTML, as text with CR LF line ends; encoding to EUC-JP happens on the way out.
namespace PageTemplates {

struct ListPage
{
    QString code;
    QDate day;
    QList<Headline> items;
    int page = 1;
    int pageCount = 1;
    QString previousPath; // empty on the first page
    QString nextPath;     // empty on the category's last page
};

// The site's name in every title and heading, and the note in every footer.
struct SiteLook
{
    QString name;
    QString notice;
};
const SiteLook &SampleLook();

// The requested page of a list of count headlines, pageSize to a page, with its neighbours'
// addresses and no items yet (the caller takes items [from, from + pageSize)); nullopt past the
// last page.
std::optional<ListPage> ListPageOf(const HeadlineRequest &request, QDate today, qsizetype count,
                                   qsizetype pageSize);
QString FormatListPage(const ListPage &list, const SiteLook &look = SampleLook());
QString FormatNoArticlePage(const QString &code, QDate day, const SiteLook &look = SampleLook());
QString FormatArticlePage(const ArticleContent &article, const SiteLook &look = SampleLook());
QString FormatNotFoundPage(const QString &path, const SiteLook &look = SampleLook());
// A page that cannot be shown now, and why (plain text).
QString FormatUnavailablePage(const QString &why, const SiteLook &look = SampleLook());
QString FormatTopPage(QDate today, const SiteLook &look = SampleLook());

} // namespace PageTemplates
