#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// One article of the built-in sample corpus. All names, places and events are made up.
struct SampleArticle
{
    int daysAgo = 0;        // 0 today, 1 the previous day
    QStringList categories; // codes without slash; the order of the table is the listing order
    QString title;          // as written in the page
    QString source;
    QString time; // "hh:mm"
    QStringList paragraphs;
};

// The sample corpus in listing order: today's articles first, then the previous day's.
QList<SampleArticle> SampleArticles();
