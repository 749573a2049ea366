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
    if (FileResult saved = SaveKeyWords(state.keyWordFilePath(), state.keyWords); !saved)
        return saved;
    return SaveSettings(state.SettingIni, state.settings);
}
