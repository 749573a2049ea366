#pragma once

#include "PageSource.h"
#include "PageTemplates.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <chrono>

class FaultLog;
struct ArchivedItem;

// The gateway's pages in the portal's forms, under the gateway's own name, as they go on the
// wire (EUC-JP). Every title, source and paragraph from the feeds and pages goes through
// PageSafe; the characters of an item that became "?" are said once on faults.

PageReply RenderTopPage(QDate today);
PageReply RenderNotFound(const QString &path);
// A day of a category without items (the first page only: later pages are not found).
PageReply RenderNoArticles(const QString &code, QDate day);
// 503 with a Retry-After: the page cannot be made now, and why (plain text).
PageReply RenderUnavailable(const QString &why, std::chrono::seconds retryAfter);
// list as PageTemplates::ListPageOf gave it, with the items of its page.
PageReply RenderListPage(PageTemplates::ListPage list, const QList<ArchivedItem> &items,
                         FaultLog &faults);
// paragraphs: the item's text; without any, the page says that the text could not be read and
// gives the item's own address.
PageReply RenderArticlePage(const ArchivedItem &item, const QStringList &paragraphs,
                            FaultLog &faults);
