#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

class Prompter;
struct ProgramState;

struct StartUpResult
{
    bool started = false; // false: no settings folder was named, nothing was created
    QStringList notes;    // problems that did not stop the start, each naming its path
    // Settings files that could not be read whole, each naming its path, where it stopped and
    // that it will be left as it is: for the person, on the terminal or in a window.
    QStringList unreadFiles;
};

// Finds (on the first start: asks for, creates and records) the settings folder, loads the
// settings INI, the keyword list and the settings, parses the command line, rolls back appends
// that a killed run left in the output folder, and logs "Program Started.". state.programFolder
// must be set; each run builds its own category table.
StartUpResult StartUp(ProgramState &state, Prompter &prompter, QStringView commandLine);

// The answer to the folder prompt as a path below the program folder: trimmed, made safe, and
// without empty, "." and ".." levels, so it can never name the program folder itself or leave
// it. Empty when no usable name remains.
QString SettingFolderName(const QString &answer);
