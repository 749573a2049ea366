#pragma once

#include "util/CodePage.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <cstdio>

// What readFile gives for a file it cannot open, so that a missing file never passes for an
// empty one.
inline const QByteArray kUnreadable = QByteArrayLiteral("<unreadable>");

inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : kUnreadable;
}

// Writes the whole file, making the folders above it first; false unless every byte landed.
inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline bool writeCp932(const QString &path, const QString &text)
{
    return writeFile(path, CodePage::toCp932(text));
}

inline QString readCp932(const QString &path)
{
    return CodePage::fromCp932(readFile(path));
}

// Everything written so far to a temporary stream, as text.
inline QString streamText(std::FILE *stream)
{
    std::fflush(stream);
    std::rewind(stream);
    QByteArray bytes;
    char buffer[4096];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, stream)) > 0)
        bytes.append(buffer, qsizetype(got));
    return QString::fromLocal8Bit(bytes);
}
