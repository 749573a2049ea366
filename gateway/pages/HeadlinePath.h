#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

// The portal's list page addresses: "/headlines/" + ("yymmdd/" for an earlier day) + code +
// "/" for the first page, + "/<n>" for page n >= 2.
struct HeadlineRequest
{
    QDate day;
    int daysAgo = 0; // relative to the portal's today; negative for a day still to come
    QString code;    // "dom"
    int page = 1;
};

// The category codes that have list pages, in the program's table order.
QStringList HeadlineCodes();
QString HeadlineCaption(const QString &code);

// nullopt when the path names no list page of a real category.
std::optional<HeadlineRequest> ParseHeadlinePath(QStringView path, QDate today);
QString HeadlineListPath(QDate day, QDate today, const QString &code, int page);
// "240501": the day part of list and article addresses.
QString DayStamp(QDate day);
