#pragma once

#include <QList>
#include <QString>
#include <QStringView>

// The characters a portal page carries to the person unchanged: those its EUC-JP holds (read
// back with the Microsoft mapping, as Varnholt reads it) and Varnholt's CP932 files hold too.
namespace PortalCharacters {

bool Holds(char32_t c);

// text with every character the portal cannot carry replaced, in this order: an invisible
// format character (zero-width space, joiner, byte-order mark, soft hyphen) and a variation
// selector are dropped; a combining sound mark joins the kana before it (か + U+3099: が); a
// compatibility character becomes its NFKC form (⽤: 用, ℓ: l, a thin space: a space); then the
// look-alike of LookAlike; then the letter without its accent (é: e); what is left becomes "?"
// and is appended to lost.
QString Kept(QStringView text, QList<char32_t> *lost = nullptr);

// The documented table: dashes, middle dots, quotes, the wave dash and its relatives, the
// currency and bar signs that Shift_JIS-era text confuses. Empty for a character without one.
QString LookAlike(char32_t c);

} // namespace PortalCharacters
