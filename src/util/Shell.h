#pragma once

#include <QString>

// Hands a document or an address to the desktop.

// Opens an ordinary file with its default program. False when there is no such file or the
// desktop could not open it.
bool OpenDocument(const QString &path);
// Opens a web or mail address (or anything the desktop knows how to open). False when the
// desktop has no program for it.
bool OpenAddress(const QString &target);
