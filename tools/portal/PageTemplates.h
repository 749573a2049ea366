#pragma once

#include "NewsCorpus.h"

#include <QDate>
#include <QList>
#include <QString>

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

QString listPage(const ListPage &list);
QString noArticlePage(const QString &code, QDate day);
QString articlePage(const ArticleContent &article);
QString notFoundPage(const QString &path);
QString topPage(QDate today);

} // namespace PageTemplates
