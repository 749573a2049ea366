#pragma once

#include "startup/CategoryTable.h"
#include "util/FileResult.h"

#include <QString>

#include <array>

class iniMente;

// The user's stored settings: the settings window edits this object, a run reads it. Check
// states are kept as numbers: 0 unticked, 1 ticked, 2 greyed; the program tests for exactly 1
// (for NoCopyINI, exactly 0).
struct Settings
{
    QString SaveFolder;
    std::array<QString, 3> SaveFileName{QStringLiteral("VHT"), QStringLiteral("yyyymmdd"), {}};
    int IgnoreKey = 0; // selected keyword option 0..2; -1 when none is selected
    int NoCopyINI = 1;
    int OverWrite = 0;
    int Yesterday = 1;
    int NoKeyWord = 0;
    // 1: headlines whose addresses earlier runs saved are left out. Written only once it is on
    // or stored, so that files of earlier versions save unchanged.
    int SkipSaved = 0;
    std::array<int, CategoryCount> Category{};
    // Requests under way at once, each over a kept-alive connection of its own.
    int Connections = DefaultConnections;

    static constexpr int DefaultConnections = 4;
    static constexpr int MostConnections = 16;

    bool operator==(const Settings &) const = default;
};

void LoadSettings(const iniMente &SettingIni, Settings &settings, const QString &programFolder);
FileResult SaveSettings(iniMente &SettingIni, const Settings &settings);
