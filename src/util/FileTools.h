#pragma once

#include <QString>

// Path and file helpers. Paths use "/". A two-character drive folder such as "C:" keeps the
// meaning it has on a drive-letter system, so paths written there still join the same way.

// Joins folder and name with exactly one "/" between them. A two-character drive folder such as
// "C:" gets its separator appended in the caller's variable first.
QString JoinPath(QString &folder, const QString &name);
// The path without its last component ("" for a bare name or the root).
QString ParentFolderOf(const QString &path);
// The last component; a trailing "/" is ignored.
QString FileNameOf(const QString &path);
// FileNameOf up to its last "."; "" when the name starts with ".".
QString BaseNameOf(const QString &path);
bool CanReadFile(const QString &path);
// Opens for appending (creating an empty file when missing) and closes again.
bool CanAppendFile(const QString &path);
// 0 copied or nothing to do (same path), 1 failed. An existing destination is replaced only
// with overwrite, and then whole or not at all; error, when given, receives the path and reason.
qint16 CopyFileTo(const QString &source, const QString &destination, bool overwrite,
                  QString *error = nullptr);
bool IsDriveSpec(const QString &text);
QString TrimAtNul(const QString &text);
