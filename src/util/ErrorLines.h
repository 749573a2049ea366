#pragma once

#include <QString>

#include <cstdio>

// Writes text to the stream (standard error unless told) as lines of "Varnholt: <line>": every
// line of a text that has several gets the prefix, so each one still says where it came from.
// endLine false leaves the cursor after the last line, for an answer typed on it.
void WriteErrorLines(const QString &text, std::FILE *stream = stderr, bool endLine = true);
