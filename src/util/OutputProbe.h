#pragma once

#include <QString>

// What a probe of an output file found: whether the file can be created at its path, or
// appended to or replaced there, and when not, which path failed and why.
struct OutputProbe
{
    bool ok = true;
    QString where;       // the file, or its folder when that is what failed
    int systemError = 0; // errno
    explicit operator bool() const { return ok; }
};

// Finds out, before a run downloads anything, whether its output can be written at path: the
// name must be usable there, an existing file open for appending, and the folder must take new
// files (a new output, a replacement and an append's journal are all made there). Leaves
// nothing behind: no file, no journal, and an existing file unchanged. A device or pipe at
// path passes, as the writers append to it plainly.
OutputProbe ProbeOutputFile(const QString &path);
