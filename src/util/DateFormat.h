#pragma once

#include <QDateTime>
#include <QString>
#include <QStringView>

// Formats with the program's date patterns: yyyy yy mm m dd d hh h nn n ss s (case-insensitive);
// "mm"/"m" after "hh"/"h" means minutes, also with separators between ("hh:mm", "hh時mm分");
// every other character is copied.
QString FormatDate(const QDateTime &when, QStringView pattern);
