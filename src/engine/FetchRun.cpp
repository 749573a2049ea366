#include "engine/FetchRun.h"

#include "engine/ArticleBodies.h"
#include "engine/ArticleList.h"
#include "engine/CategoryCrawl.h"
#include "engine/FetchProgress.h"
#include "engine/HeadlineParser.h"
#include "engine/KeyWordMatcher.h"
#include "engine/OutputWriters.h"
#include "engine/PageFetcher.h"
#include "engine/SavedAddresses.h"
#include "startup/CategoryTable.h"
#include "startup/KeyWordList.h"
#include "startup/Settings.h"
#include "util/DateFormat.h"
#include "util/DebugLog.h"
#include "util/FileErrorReason.h"
#include "util/FileTools.h"
#include "util/OutputProbe.h"
#include "util/Prompter.h"
#include "util/SafeFileName.h"

using namespace Qt::StringLiterals;

namespace {

// Options the command line left open come from the settings; the run never clears a switch.
void settleRunOptions(RunOptions &options, const Settings &settings)
{
    if (settings.Yesterday == 1)
        options.Yesterday = true;
    if (options.KeyMode == 0 && settings.IgnoreKey >= 0 && settings.IgnoreKey <= 2)
        options.KeyMode = qint16(settings.IgnoreKey);
    if (settings.NoKeyWord == 1)
        options.NoAddKey = true;
}

QStringList runKeyWords(const KeyWordList &list)
{
    if (list.count() > 0)
        return list.items();
    // Stands for a keyword no headline contains.
    return {u"無指定なので適当に入力してヒットを避ける。"_s};
}

QString scanLabel(int index)
{
    return u"取得すべきデータの一覧を作成しています(%1/%2)"_s.arg(index).arg(CategoryCount - 1);
}

// Output folder and the three file-name parts; only part 1 is a date pattern. A name made of
// nothing but dot levels leaves the layout's extension alone as the file name.
QString outputPathWithoutExtension(RunOptions &options, const Settings &settings,
                                   const QDateTime &now)
{
    if (options.OutputFolder.isEmpty())
        options.OutputFolder = settings.SaveFolder;
    for (std::size_t part = 0; part < 3; ++part) {
        if (!options.FileNamePart[part])
            options.FileNamePart[part] = settings.SaveFileName[part];
    }
    QString &pattern = *options.FileNamePart[1];
    if (!pattern.isEmpty())
        pattern = FormatDate(now, pattern);
    const QString typed = SafeFileName(*options.FileNamePart[0] + *options.FileNamePart[1] +
                                       *options.FileNamePart[2]);
    // "." and ".." levels are dropped, so the file and its companion stay inside the folder.
    const QString name = WithoutDotLevels(typed);
    if (name.isEmpty() && !typed.isEmpty())
        return JoinPath(options.OutputFolder, QString()) + u'/';
    return JoinPath(options.OutputFolder, name);
}

// The output file as it would be named now, probed before anything is downloaded for it: empty
// when it can be written, else its path, and the person has been told why not.
QString unwritableOutput(const RunOptions &options, const Settings &settings, const QDateTime &now,
                         Prompter &prompter, DebugLog &log)
{
    RunOptions naming = options;
    const QString path =
        outputPathWithoutExtension(naming, settings, now) + LayoutExtension(ChooseLayout(naming));
    const OutputProbe probe = ProbeOutputFile(path);
    if (probe)
        return {};
    const QString reason = (probe.where == path ? QString() : probe.where + u": "_s) +
                           FileErrorReason(probe.systemError);
    const QString text = OutputUnwritableMessage(path, reason);
    log.write(text);
    prompter.tell(text, MessageIcon::Stop);
    return path;
}

// The record of saved addresses, when SkipSaved is on; a damaged one is told about.
std::optional<OpenedRecord> openRecord(const Settings &settings, const QString &path,
                                       const QDate &today, Prompter &prompter, DebugLog &log)
{
    if (settings.SkipSaved != 1 || path.isEmpty())
        return std::nullopt;
    OpenedRecord opened = OpenSavedRecord(path, today);
    if (!opened.problem.isEmpty()) {
        log.write(opened.problem);
        prompter.tell(opened.problem, MessageIcon::Exclamation);
    }
    return opened;
}

// Only after the output is safe: a death before this costs a duplicate next time, never a loss.
void recordSaved(const QString &path, OpenedRecord &record, const ArticleList &articles,
                 const QDate &today, Prompter &prompter, DebugLog &log)
{
    if (!record.writable)
        return;
    for (qint32 i = 0; i < articles.ArticleCount(); ++i)
        record.addresses.add(articles[i].URL, today);
    KillPointForTests(u"record");
    const FileResult saved = SaveSavedRecord(path, record.addresses);
    if (!saved) {
        const QString text = u"保存済みの記事の記録を書き込めませんでした。"
                             u"次回は今回の記事をもう一度取得します。\r\n"_s +
                             saved.error;
        log.write(text);
        prompter.tell(text, MessageIcon::Exclamation);
    }
}

// Each category's walk starts at a known address; the later ones can be asked ahead.
void expectFirstListPages(PageFetcher &fetcher, const Settings &settings,
                          const CategoryTable &table)
{
    for (int i = 0; i < CategoryCount; ++i) {
        const QString url = table.BaseURL + table.CategoryURL[std::size_t(i)];
        if (settings.Category[std::size_t(i)] == 1 && fetcher.isSameOrigin(url, table.BaseURL))
            fetcher.expect(url);
    }
}

} // namespace

RunResult FetchNews(RunInput input, RunServices &services)
{
    RunResult result;
    RunOptions &options = result.options;
    options = std::move(input.options);
    const Settings &settings = input.settings;
    settleRunOptions(options, settings);

    // As after a run whose output could not be written: nothing written, the settings saved.
    if (QString path =
            unwritableOutput(options, settings, services.now(), services.prompter, input.log);
        !path.isEmpty()) {
        result.SaveFilePath = std::move(path);
        return result;
    }

    const KeyWordMatcher matcher(runKeyWords(input.keyWords));
    ArticleList articles;
    articles.ClearArticles();

    PageFetcher fetcher(services.http, services.prompter, input.log, &services.progress,
                        input.BaseURL);
    // Today's table: the Yesterday pass rebuilds it for the previous day.
    CategoryTable table;
    table.BaseURL = input.BaseURL;
    table.MakeCategoryURL(QString());
    HeadlineContext headlines{matcher,  options.KeyMode, table.BaseURL,
                              articles, input.log,       services.progress};
    std::optional<OpenedRecord> record = openRecord(
        settings, input.savedAddressesPath, services.now().date(), services.prompter, input.log);
    if (record && record->skip)
        headlines.saved = &record->addresses;

    const auto ended = [&](RunEnd end) {
        result.end = end;
        result.missedPages = fetcher.missedPages();
        if (fetcher.portalRefused())
            result.refusingPortal = input.BaseURL;
        for (const QString &missed : result.missedPages)
            input.log.write(u"取得できなかったページ: "_s + missed);
        return result;
    };
    const int passes = options.Yesterday ? 2 : 1;
    for (int pass = 0; pass < passes; ++pass) {
        expectFirstListPages(fetcher, settings, table);
        for (int i = 0; i < CategoryCount; ++i) {
            services.progress.setInfo(scanLabel(i));
            if (settings.Category[std::size_t(i)] != 1)
                continue;
            const QString url = table.BaseURL + table.CategoryURL[std::size_t(i)];
            input.log.write(url + u"を調査します。"_s);
            switch (CrawlCategory(url, fetcher, headlines)) {
            case CrawlEnd::Done:
                break;
            case CrawlEnd::GaveUp:
                return ended(RunEnd::GaveUp);
            case CrawlEnd::Cancelled:
                return ended(RunEnd::Cancelled);
            }
        }
        table.MakeCategoryURL(FormatDate(services.now().addDays(-1), u"yymmdd") + u'/');
    }

    // The output's folder is known before its dated name is: the bodies wait there, nameless.
    if (articles.ArticleCount() > 0) {
        const QString folder =
            options.OutputFolder.isEmpty() ? settings.SaveFolder : options.OutputFolder;
        if (const FileResult spool = articles.spoolBodiesIn(folder.isEmpty() ? u"."_s : folder);
            !spool)
            input.log.write(SpoolFailureText(spool));
    }
    BodiesContext bodies{fetcher, articles, table.BaseURL, input.log, services.progress};
    switch (GetArticleBodies(bodies)) {
    case BodiesEnd::Done:
        KillPointForTests(u"bodies");
        break;
    case BodiesEnd::GaveUp:
        return ended(RunEnd::GaveUp);
    case BodiesEnd::Cancelled:
        return ended(RunEnd::Cancelled);
    }

    // A cancel confirmed during the last article's request writes nothing either.
    if (!services.progress.beginWriting())
        return ended(RunEnd::Cancelled);

    const QString path = outputPathWithoutExtension(options, settings, services.now());
    SaveContext save{options, settings.OverWrite, services.prompter, services.now};
    save.log = &input.log;
    const SaveResult saved = SaveArticles(path, articles, save);
    result.SaveFilePath = saved.SaveFilePath;
    result.outputWritten = saved.written;
    result.lostCharacters = saved.lostCharacters;
    if (saved.written)
        result.recordsWritten = articles.ArticleCount();
    if (saved.written && record)
        recordSaved(input.savedAddressesPath, *record, articles, services.now().date(),
                    services.prompter, input.log);
    return ended(RunEnd::Completed);
}
