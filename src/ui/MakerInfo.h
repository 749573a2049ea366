#pragma once

#include <QString>

// Where the maker can be reached. The addresses are the project's own.
inline const QString MakerHomePage = QStringLiteral("https://kestrane.example.org/varnholt/");
// A plain address: callers put "mailto:" in front.
inline const QString MakerMailAddress = QStringLiteral("varnholt@kestrane.example.org");
inline const QString PartnerSite = QStringLiteral("https://freeware-partner.example.org/");
