#include "engine/FetchAction.h"

#include "engine/FetchProgress.h"
#include "startup/ProgramState.h"
#include "util/FileTools.h"
#include "util/ProgramFolder.h"
#include "util/Prompter.h"

using namespace Qt::StringLiterals;

namespace {

// Default.ini goes beside the output file, named after it: VHT20010420.qfw -> VHT20010420.ini.
void copyCompanionIni(const ProgramState &state, const QString &outputPath, Prompter &prompter)
{
    const QString source = ShippedFilePath(state.programFolder, u"Default.ini"_s);
    if (!CanReadFile(source))
        return;
    QString folder = ParentFolderOf(outputPath);
    const QString target = JoinPath(folder, BaseNameOf(outputPath) + u".ini"_s);
    if (CopyFileTo(source, target, true) != 0)
        prompter.tell(u"設定ファイルをコピーできませんでした。\r\n"_s + source + u" -> "_s + target,
                      MessageIcon::Stop);
}

} // namespace

int btnFetch_Click(ProgramState &state, RunServices &services,
                   const std::function<bool(const QString &path)> &openDocument)
{
    const RunResult run = FetchNews(state, services);
    // A cancel confirmed while the run was finishing means the same: nothing more is saved.
    if (run.end == RunEnd::Cancelled || services.progress.cancelled())
        return 1;

    if (run.end == RunEnd::Completed && !run.SaveFilePath.isEmpty()) {
        if (state.runOptions.Open && openDocument && !openDocument(run.SaveFilePath))
            services.prompter.tell(u"ファイルを開けませんでした。\r\n"_s + run.SaveFilePath,
                                   MessageIcon::Stop);
        // Only an unticked box copies: a greyed one (2) counts as ticked.
        if (state.settings.NoCopyINI == 0)
            copyCompanionIni(state, run.SaveFilePath, services.prompter);
    }

    const FileResult saved = SaveKeyWordsAndSettings(state);
    if (!saved) {
        services.prompter.tell(u"設定を保存できませんでした。\r\n"_s + saved.error,
                               MessageIcon::Stop);
        return 1;
    }
    return run.end == RunEnd::Completed && run.outputWritten ? 0 : 1;
}
