#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>

// The one place where text meets its charset: the clipper's portal pages, the gateway's feeds and
// article pages. Charsets go by canonical names: "UTF-8", "UTF-16LE", "UTF-16BE", "Shift_JIS"
// (read as CP932), "EUC-JP" (the Microsoft mapping, as the portal's pages), "ISO-8859-1" and
// "windows-1252"; any other charset Qt can decode goes by its label in lower case.
namespace Charset {

// The canonical name of a label as pages, feeds and headers spell it ("x-sjis", "EUC-JP",
// "latin1"); empty when nothing here can decode it.
QString Canonical(QStringView label);

// What declares a charset, each as written, or empty: a byte-order mark; the charset parameter of
// a Content-Type value (`text/html; charset="Shift_JIS"`); the encoding of an XML declaration; a
// <meta charset> or <meta http-equiv="Content-Type"> in the first 8 KiB of a page.
QString FromBom(QByteArrayView bytes);
QString FromContentType(QStringView contentType);
QString FromXmlDeclaration(QByteArrayView document);
QString FromMeta(QByteArrayView page);

// The charset a page declares, canonical: its byte-order mark, else the first known one of the
// header's and the page's <meta>; UTF-8 when none.
QString OfPage(QByteArrayView page, QStringView contentType);
// The charset an XML document declares, canonical: its byte-order mark, else the first known one
// of its declaration and the header's; UTF-8 when none.
QString OfXml(QByteArrayView document, QStringView contentType);

// Text of bytes in exactly this canonical charset, nothing guessed. An undecodable sequence
// becomes U+FFFD; ISO-8859-1 is read as windows-1252 (as browsers do: its bytes 0x80-0x9F are
// windows-1252's quotes, dashes and euro sign in practice); an unknown name reads as UTF-8.
QString DecodeAs(QByteArrayView bytes, QStringView charset);

// Text of bytes declared to be in charset (canonical), without a byte-order mark. Where the bytes
// contradict the declaration, the bytes win: text that is valid UTF-8 and not plain ASCII is
// UTF-8 whatever single- or multi-byte charset it claims (valid UTF-8 throughout is practically
// never Shift_JIS, EUC-JP or windows-1252), and text declared as UTF-8 that mostly is not UTF-8
// is read as EUC-JP or Shift_JIS when one of them reads it without a fault.
QString Decode(QByteArrayView bytes, QStringView charset);

// Decode() in the charset the page or the document declares.
QString DecodePage(QByteArrayView page, QStringView contentType);
QString DecodeXml(QByteArrayView document, QStringView contentType);

} // namespace Charset
