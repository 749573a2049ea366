#include "engine/FetchAction.h"

#include "engine/FailureReason.h"
#include "engine/FetchProgress.h"
#include "startup/ProgramState.h"
#include "util/FileTools.h"
#include "util/ProgramFolder.h"
#include "util/Prompter.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// Default.ini goes beside the output file, named after it: VHT20010420.qfw -> VHT20010420.ini.
// False when the copy failed (the person has been told why).
bool copyCompanionIni(const ProgramState &state, const QString &outputPath, Prompter &prompter)
{
    const QString source = ShippedFilePath(state.programFolder, u"Default.ini"_s);
    if (!CanReadFile(source))
        return true;
    QString folder = ParentFolderOf(outputPath);
    const QString target = JoinPath(folder, BaseNameOf(outputPath) + u".ini"_s);
    QString error;
    if (CopyFileTo(source, target, true, &error) == 0)
        return true;
    prompter.tell(u"設定ファイルをコピーできませんでした。\r\n"_s + source + u" -> "_s + target +
                      u"\r\n"_s + error,
                  MessageIcon::Stop);
    return false;
}

} // namespace

FetchOutcome FetchAndSave(ProgramState &state, RunServices &services,
                          const std::function<bool(const QString &path)> &openDocument)
{
    FetchOutcome outcome;
    outcome.run = FetchNews({state.settings, state.keyWords, state.runOptions, state.BaseURL,
                             state.log, state.savedAddressesPath()},
                            services);
    const RunResult &run = outcome.run;
    // A cancel confirmed while the run was finishing means the same: nothing more is saved.
    if (run.end == RunEnd::Cancelled || services.progress.cancelled() ||
        !services.progress.beginWriting()) {
        outcome.run.end = RunEnd::Cancelled;
        return outcome;
    }

    bool copied = true;
    if (run.end == RunEnd::Completed && !run.SaveFilePath.isEmpty()) {
        if (run.options.Open && openDocument && !openDocument(run.SaveFilePath))
            services.prompter.tell(u"ファイルを開けませんでした。\r\n"_s + run.SaveFilePath,
                                   MessageIcon::Stop);
        // Only an unticked box copies: a greyed one (2) counts as ticked. An output that could
        // not be written gets no companion.
        if (state.settings.NoCopyINI == 0 && run.outputWritten)
            copied = copyCompanionIni(state, run.SaveFilePath, services.prompter);
    }

    const FileResult saved = SaveKeyWordsAndSettings(state);
    outcome.settingsSaved = bool(saved);
    if (!saved) {
        services.prompter.tell(u"設定を保存できませんでした。\r\n"_s + saved.error,
                               MessageIcon::Stop);
        return outcome;
    }
    if (run.end == RunEnd::Completed && run.outputWritten && copied)
        outcome.exitStatus = run.missedPages.isEmpty() ? ExitNormal : ExitSomePagesFailed;
    return outcome;
}

QString RunSummary(const FetchOutcome &outcome)
{
    const RunResult &run = outcome.run;
    QStringList parts;
    if (run.outputWritten)
        parts << u"%1 record(s) written to %2"_s.arg(run.recordsWritten).arg(run.SaveFilePath);
    else if (run.end == RunEnd::Cancelled)
        parts << u"cancelled, nothing written"_s;
    else if (run.end == RunEnd::GaveUp)
        parts << u"gave up on a page, nothing written"_s;
    else if (!run.SaveFilePath.isEmpty())
        parts << u"nothing written to "_s + run.SaveFilePath;
    else
        parts << u"nothing written"_s;

    // The addresses of the first few; the log has every one.
    constexpr qsizetype shown = 3;
    const QStringList &missed = run.missedPages;
    if (missed.isEmpty()) {
        if (run.outputWritten)
            parts << u"every page fetched"_s;
    } else {
        QString pages = u"%1 page(s) not fetched: "_s.arg(missed.size()) +
                        missed.first(std::min(shown, missed.size())).join(u' ');
        if (missed.size() > shown)
            pages += u" and %1 more"_s.arg(missed.size() - shown);
        parts << pages;
    }
    if (!run.refusingPortal.isEmpty())
        parts << u"the portal at "_s + run.refusingPortal +
                     u" refused the connection and may not be running (start it with `"_s +
                     PortalServiceStart + u"`, or `"_s + PortalBuildStart + u"` from a build)"_s;
    if (run.outputWritten && run.lostCharacters > 0)
        parts << u"%1 character(s) CP932 cannot hold written as \"?\""_s.arg(run.lostCharacters);
    if (!outcome.settingsSaved && run.end != RunEnd::Cancelled)
        parts << u"settings not saved"_s;
    return parts.join(u"; "_s);
}
