#pragma once

#include <QString>

// `varnholt-portal --extract FILE [--url ADDRESS]`: prints the main text of a saved page, one
// paragraph a line, in UTF-8. Returns the exit status: 0 text printed, 1 no main text that the
// gateway would serve for an item without a summary, 2 the file could not be read.
int RunExtractCommand(const QString &file, const QString &address);
