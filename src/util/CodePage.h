#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// The two code pages the program speaks: CP932 for its own files, EUC-JP (Microsoft mapping,
// so that 0xA1C1 becomes U+FF5E and survives into CP932) for the portal's pages.
namespace CodePage {

// CP932 bytes; a character CP932 cannot hold becomes "?". replaced, when given, grows by the
// number of characters so replaced (a "?" of the text itself is not counted).
QByteArray toCp932(QStringView text, qsizetype *replaced = nullptr);
// Text of CP932 bytes; an undecodable byte becomes U+FFFD.
QString fromCp932(QByteArrayView bytes);

// Text of EUC-JP bytes; an undecodable byte becomes U+FFFD, a NUL byte stays U+0000.
QString fromEucJp(QByteArrayView bytes);
// EUC-JP bytes; a character EUC-JP cannot hold becomes "?".
QByteArray toEucJp(QStringView text);

} // namespace CodePage
