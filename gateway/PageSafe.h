#pragma once

#include <QList>
#include <QString>
#include <QStringView>

// Text from a feed or a page as the portal's pages can carry it: the one way such text enters a
// page. Control characters and line separators become spaces (a NUL would end the page for
// Varnholt, a line break would split a title); the characters no code page on the way to the
// person holds are kept as PortalCharacters::Kept says (those that become "?" are appended to
// lost); "&", "<" and ">" take their full-width forms, so that no text can write a marker or a
// tag of the portal's pages.
QString PageSafe(QStringView text, QList<char32_t> *lost = nullptr);
