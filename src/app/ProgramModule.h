#pragma once

#include <QString>

// The program's own modules (the windows, the HTTP side), loaded when first needed: looked for
// beside the executable (a build tree, a portable copy), then in the installation's library
// folder (found from the executable's folder first, so that a moved installation works). They
// are never unloaded.

// The module's entry point, or null with what failed and where in failure.
void *LoadModuleEntry(const char *file, const char *entry, QString &failure);
