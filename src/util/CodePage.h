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
// toCp932 written onto the end of bytes, without a buffer of its own.
void appendCp932(QByteArray &bytes, QStringView text, qsizetype *replaced = nullptr);
// Text of CP932 bytes; an undecodable byte, or a lead byte cut off at the end, becomes U+FFFD
// and decoding resumes at the next byte.
QString fromCp932(QByteArrayView bytes);

// Text of EUC-JP bytes; an undecodable byte, or a sequence cut off at the end, becomes U+FFFD
// and decoding resumes at the next byte; a NUL byte stays U+0000. Bytes 0x80-0x9F other than
// 0x8E and 0x8F are the C1 controls, as iconv reads them.
QString fromEucJp(QByteArrayView bytes);
// EUC-JP bytes; a character EUC-JP cannot hold becomes "?".
// Both encoders drop the tag characters U+E0000-U+E007F without a "?", as iconv does.
QByteArray toEucJp(QStringView text);

} // namespace CodePage
