#pragma once

#include <QByteArray>
#include <QString>

// The code page a fetched page is written in, and its text. The byte-order mark wins, then the
// charset of the Content-Type header, then the page's own <meta>; without any, UTF-8.
namespace PageCharset {

// One of "UTF-8", "UTF-16LE", "UTF-16BE", "Shift_JIS", "EUC-JP", "ISO-8859-1".
QString Detect(const QByteArray &page, const QString &contentType);

// The canonical name of a charset label as pages and headers spell it; empty when unknown.
QString Canonical(const QString &label);

// The page's text in the detected code page, without the byte-order mark. Shift_JIS is read as
// CP932 and EUC-JP with the Microsoft mapping, so vendor characters survive.
QString DecodePage(const QByteArray &page, const QString &contentType);

} // namespace PageCharset
