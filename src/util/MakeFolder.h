#pragma once

#include <QString>

// Makes sure the folder exists, creating every missing level. Silent: the result is the only
// report. True when the folder exists or no creation step failed. When the folder cannot be
// made in one step, path gets a trailing "/" (when it had none) and is walked level by level;
// a failed level makes the result false even if a later level was created.
bool MakeFolder(QString &path);
