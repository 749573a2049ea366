#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>
#include <optional>

// Options of one process, taken from the command line. Switches never reach the settings files.
struct RunOptions
{
    bool AutoGet = false;
    bool HideMe = false;
    bool Open = false;
    bool Yesterday = false;
    bool NoAddKey = false;
    qint16 KeyMode = 0; // 0 keyword articles only (or not given), 1 plus addresses, 2 all
    bool Debug = false;
    bool Log = false;
    bool Csv = false;
    bool Qfk = false;
    bool Qfb = false;
    bool OverWrite = false;
    bool Append = false;
    std::array<std::optional<QString>, 3> FileNamePart; // nullopt: not given
    QString OutputFolder;                               // empty: not given
};

// Switches are case-insensitive substrings anywhere in the text; valued switches ("/F1".."/F3",
// "/FO") run to the next space. No quoting.
RunOptions ParseCommandLine(QStringView commandLine);

// The arguments after the program name (arguments[0], as QCoreApplication::arguments() gives
// them) joined with single spaces.
QString UnparsedCommandLine(const QStringList &arguments);
