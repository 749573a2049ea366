#include "startup/StartUp.h"

#include "startup/ProgramState.h"
#include "startup/SettingFolder.h"
#include "util/FileTools.h"
#include "util/MakeFolder.h"
#include "util/Prompter.h"
#include "util/SafeFileName.h"
#include "util/SafeWrite.h"

using namespace Qt::StringLiterals;

namespace {

// Asks for the settings folder name, then creates and records it below the program folder.
// False when the person gave no usable name.
bool CreateSettingFolder(ProgramState &state, Prompter &prompter, QStringList &notes)
{
    const QString answer =
        prompter.askText(u"　保存に使用するフォルダ名を指定してください。\r\n\r\n例) Kazemi"_s,
                         u"設定保存フォルダ名の指定"_s, LoginName());
    const QString name = SettingFolderName(answer);
    if (name.isEmpty()) {
        prompter.tell(u"中止します。"_s, MessageIcon::Stop);
        return false;
    }

    QString programFolder = state.programFolder;
    QString folder = JoinPath(programFolder, name);
    // A folder that cannot be made is still recorded: the next start finds it missing and asks
    // again.
    if (!MakeFolder(folder))
        notes << folder + u": the settings folder could not be created"_s;
    if (const FileResult recorded = WriteSettingFolderRecord(folder); !recorded)
        notes << recorded.error;
    return true;
}

} // namespace

QString SettingFolderName(const QString &answer)
{
    return WithoutDotLevels(SafeFileName(answer.trimmed()));
}

StartUpResult StartUp(ProgramState &state, Prompter &prompter, QStringView commandLine)
{
    StartUpResult result;
    state.log.setProgramFolder(state.programFolder);

    if (!SettingFolderExists(ReadSettingFolderRecord(QString()))) {
        if (!CreateSettingFolder(state, prompter, result.notes))
            return result;
    }
    // Read back what was stored: when the record could not be kept, "NoOne" below the current
    // folder is used, as on every start before.
    state.SettingFolder = ReadSettingFolderRecord(u"NoOne"_s);

    // A file that stops part-way still gives what was read, but is never saved over.
    if (!state.SettingIni.iniLoader(state.settingIniPath()) &&
        !state.SettingIni.iniLoadError().isEmpty()) {
        state.settingIniUnread = state.SettingIni.iniLoadError();
        result.unreadFiles << state.settingIniPath() + u": "_s + state.settingIniUnread +
                                  u". The settings read before it are used; the file is not "
                                  "written over, so nothing of it is lost"_s;
    }
    if (const FileResult read = LoadKeyWords(state.keyWordFilePath(), state.keyWords); !read) {
        state.keyWordFileUnread = read.error.mid(state.keyWordFilePath().size() + 2);
        result.unreadFiles << read.error +
                                  u". The keywords read before it are used; the file is not "
                                  "written over, so nothing of it is lost"_s;
    }
    LoadSettings(state.SettingIni, state.settings, state.programFolder);

    state.runOptions = ParseCommandLine(commandLine);
    // Journals that a killed run left beside its output: the save mends its own file, this
    // mends the others in the folder (an earlier day's file, say).
    result.notes << RollBackAppendsIn(state.runOptions.OutputFolder.isEmpty()
                                          ? state.settings.SaveFolder
                                          : state.runOptions.OutputFolder);
    state.log.setOptions(state.runOptions.Debug, state.runOptions.Log);
    state.log.write(u"Program Started."_s);

    result.started = true;
    return result;
}
