#pragma once

#include "ini/iniMente.h"
#include "startup/KeyWordList.h"
#include "startup/RunOptions.h"
#include "startup/Settings.h"
#include "util/DebugLog.h"

#include <QString>

// Everything that lives for the whole process, owned by the one application object and passed
// to whoever needs it.
struct ProgramState
{
    QString programFolder; // DebugLog.txt, Default.ini, the help, the settings folders
    QString SettingFolder; // holds varnholt.ini and KeyWord.txt
    RunOptions runOptions;
    iniMente SettingIni;
    Settings settings;
    KeyWordList keyWords;
    QString BaseURL; // the portal's address, settled once by the application
    DebugLog log;
    // Why a settings file could not be read whole at start-up (empty when it was, or missing).
    // Such a file is never written over: what it holds beyond the failure would be lost.
    QString settingIniUnread;
    QString keyWordFileUnread;

    QString settingIniPath() const;     // SettingFolder/varnholt.ini
    QString keyWordFilePath() const;    // SettingFolder/KeyWord.txt
    QString savedAddressesPath() const; // SettingFolder/SavedAddresses.txt
};

// SaveKeyWords, then SaveSettings, each unless its file could not be read whole; the failures
// and the skipped files, joined, when any.
FileResult SaveKeyWordsAndSettings(ProgramState &state);
