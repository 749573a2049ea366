#pragma once

#include <QByteArray>

// The bytes in gzip format (as sent with "Content-Encoding: gzip"); empty when zlib fails.
QByteArray GzipCompress(const QByteArray &bytes);
