#pragma once

#include <QString>

// Makes a person's text usable as a file or folder name: ? / : , ; * ~ < > | become their
// full-width forms (a ":" within the first two characters stays, keeping a drive such as C:).
// Afterwards a backslash becomes "/", so a typed a\b still names a sub-folder. The result has
// the same length as the text.
QString SafeFileName(const QString &text);

// The "/" levels of path without empty, "." and ".." ones: what is left can only name something
// below the folder it is joined to.
QString WithoutDotLevels(const QString &path);
