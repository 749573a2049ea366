#pragma once

#include "util/FileResult.h"

#include <QByteArray>
#include <QString>

// Replaces the file's contents through QSaveFile: a crash or a full disk leaves the old file whole.
FileResult WriteFileAtomically(const QString &path, const QByteArray &bytes);

// Adds all of the bytes to the end of the file (created when missing) or none of them: on a
// failed or short write the file is cut back to its old length.
FileResult AppendAllOrNothing(const QString &path, const QByteArray &bytes);
