#pragma once

#include <QString>

// The program folder holds DebugLog.txt, Default.ini, the help file and the per-user settings
// folders.

// The choice itself: home (VARNHOLT_HOME) when given; else the executable's folder when it can
// be written (a build tree, a portable copy); else the per-user data folder.
QString ChooseProgramFolder(const QString &home, const QString &executableFolder,
                            bool executableFolderWritable, const QString &userDataFolder);

// Where the shipped files lie: <executable folder>/../share/varnholt when the executable stands
// in an installed layout (so a relocated installation still finds its files); else the
// executable's folder when Default.ini lies beside it (a build tree, a portable copy); else the
// folder chosen when the program was built. Needs the application object.
QString InstalledDataFolder();

// The program folder of this process, created when missing. Needs the application object. When
// the folder cannot be created, error (if given) receives its path and the reason; the path is
// returned all the same, so that the failures that follow name it too.
QString ProgramFolder(QString *error = nullptr);

// A file shipped with the program (Default.ini, the help): the copy in the program folder when
// there is one, else the one in the installation's data folder, else the program-folder path.
QString ShippedFilePath(const QString &programFolder, const QString &name,
                        const QString &dataFolder = InstalledDataFolder());
