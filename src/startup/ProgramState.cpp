#include "startup/ProgramState.h"

#include "util/FileTools.h"

using namespace Qt::StringLiterals;

QString ProgramState::settingIniPath() const
{
    QString folder = SettingFolder;
    return JoinPath(folder, u"varnholt.ini"_s);
}

QString ProgramState::keyWordFilePath() const
{
    QString folder = SettingFolder;
    return JoinPath(folder, u"KeyWord.txt"_s);
}

QString ProgramState::savedAddressesPath() const
{
    QString folder = SettingFolder;
    return JoinPath(folder, u"SavedAddresses.txt"_s);
}

FileResult SaveKeyWordsAndSettings(ProgramState &state)
{
    QStringList errors;
    const auto notSaved = [](const QString &path, const QString &unread) -> QString {
        return path + u": not saved, because it could not be read whole at start-up ("_s + unread +
               u"); the file is kept as it was"_s;
    };
    if (!state.keyWordFileUnread.isEmpty())
        errors << notSaved(state.keyWordFilePath(), state.keyWordFileUnread);
    else if (FileResult saved = SaveKeyWords(state.keyWordFilePath(), state.keyWords); !saved)
        errors << saved.error;
    if (!state.settingIniUnread.isEmpty())
        errors << notSaved(state.settingIniPath(), state.settingIniUnread);
    else if (FileResult saved = SaveSettings(state.SettingIni, state.settings); !saved)
        errors << saved.error;
    if (errors.isEmpty())
        return FileResult::success();
    return {false, errors.join(u"\r\n"_s)};
}
