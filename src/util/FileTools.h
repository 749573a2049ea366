#pragma once

#include <QString>

// Path and file helpers. Paths use "/"; a folder ending in ":" after a drive letter keeps its
// meaning for portability, but on Linux paths simply join with one separator.

// Joins folder and name with exactly one "/" between them. A two-character drive folder such as
// "C:" gets its separator appended in the caller's variable first.
QString JoinPath(QString &folder, const QString &name);
QString ParentFolderOf(const QString &path);
QString FileNameOf(const QString &path);
QString BaseNameOf(const QString &path);
bool CanReadFile(const QString &path);
// Opens for appending (creating an empty file when missing) and closes again.
bool CanAppendFile(const QString &path);
// 0 copied or nothing to do (same path), 1 failed.
qint16 CopyFileTo(const QString &source, const QString &destination, bool overwrite);
bool IsDriveSpec(const QString &text);
QString TrimAtNul(const QString &text);
