#pragma once

#include <QString>

// How the program names itself, from the one version in the build.

// "Varnholt"
QString ProductName();
// "1.0.0": major.minor.revision.
QString VersionNumber();
// " Ver.1.0.0": a leading space, then the version number.
QString VersionText();
// "Varnholt Ver.1.0.0": the captions of the settings, progress and about windows, "--version".
QString ProgramTitle();
// "Varnholt/1.0.0": how the program introduces itself to the portal.
QString UserAgent();
