#pragma once

#include <QByteArray>
#include <QString>

// The charset named in a Content-Type value ("text/xml; charset=Shift_JIS"), lower case;
// empty when none.
QString charsetOfContentType(const QString &contentType);

// The encoding named by an XML document's BOM or declaration, lower case; empty when neither
// names one.
QString xmlDeclaredEncoding(const QByteArray &bytes);

// Text of bytes in a charset. Shift_JIS and EUC-JP are read with their vendor extensions
// (so "髙" or "①" survive); an unknown charset is read as UTF-8.
QString decodeCharset(const QByteArray &bytes, const QString &charset);
