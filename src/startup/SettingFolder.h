#pragma once

#include "util/FileResult.h"

#include <QString>

// The per-user record of where the settings folder is: QSettings in native format, user scope,
// organisation "Kestrane SoftWares", application "Varnholt", key "Varnholt/SettingFolder".

QString ReadSettingFolderRecord(const QString &defaultValue);
// Fails with the record's file and the reason when the store cannot be written.
FileResult WriteSettingFolderRecord(const QString &folder);

// True when a file or folder of that name exists; an empty path never exists.
bool SettingFolderExists(const QString &folder);

// The login name offered as the settings folder name: UserName, else USER, else LOGNAME, else
// the name of the effective user's passwd entry.
QString LoginName();
