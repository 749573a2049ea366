#include "engine/FetchRun.h"

#include "engine/ArticleBodies.h"
#include "engine/ArticleList.h"
#include "engine/CategoryCrawl.h"
#include "engine/FetchProgress.h"
#include "engine/HeadlineParser.h"
#include "engine/KeyWordMatcher.h"
#include "engine/OutputWriters.h"
#include "engine/PageFetcher.h"
#include "startup/CategoryTable.h"
#include "startup/KeyWordList.h"
#include "startup/Settings.h"
#include "util/DateFormat.h"
#include "util/DebugLog.h"
#include "util/FileTools.h"
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

// Output folder and the three file-name parts; only part 1 is a date pattern.
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
    const QString name = SafeFileName(*options.FileNamePart[0] + *options.FileNamePart[1] +
                                      *options.FileNamePart[2]);
    return JoinPath(options.OutputFolder, name);
}

} // namespace

RunResult FetchNews(RunInput input, RunServices &services)
{
    RunResult result;
    RunOptions &options = result.options;
    options = std::move(input.options);
    const Settings &settings = input.settings;
    settleRunOptions(options, settings);

    const KeyWordMatcher matcher(runKeyWords(input.keyWords));
    ArticleList articles;
    articles.ClearArticles();

    PageFetcher fetcher(services.http, services.prompter, input.log);
    // Today's table: the Yesterday pass rebuilds it for the previous day.
    CategoryTable table;
    table.BaseURL = input.BaseURL;
    table.MakeCategoryURL(QString());
    HeadlineContext headlines{matcher,  options.KeyMode, table.BaseURL,
                              articles, input.log,       services.progress};

    const auto ended = [&](RunEnd end) {
        result.end = end;
        result.missedPages = fetcher.missedPages();
        for (const QString &missed : result.missedPages)
            input.log.write(u"取得できなかったページ: "_s + missed);
        return result;
    };
    const int passes = options.Yesterday ? 2 : 1;
    for (int pass = 0; pass < passes; ++pass) {
        for (int i = 0; i < CategoryCount; ++i) {
            services.progress.setInfo(scanLabel(i));
            if (settings.Category[std::size_t(i)] != 1)
                continue;
            const QString url = table.BaseURL + table.CategoryURL[std::size_t(i)];
            input.log.write(url + u"を調査します。"_s);
            if (!CrawlCategory(url, fetcher, headlines))
                return ended(RunEnd::GaveUp);
        }
        table.MakeCategoryURL(FormatDate(services.now().addDays(-1), u"yymmdd") + u'/');
    }

    BodiesContext bodies{fetcher, articles, table.BaseURL, input.log, services.progress};
    switch (GetArticleBodies(bodies)) {
    case BodiesEnd::Done:
        break;
    case BodiesEnd::GaveUp:
        return ended(RunEnd::GaveUp);
    case BodiesEnd::Cancelled:
        return ended(RunEnd::Cancelled);
    }

    // A cancel confirmed during the last article's request writes nothing either.
    if (services.progress.cancelled())
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
    return ended(RunEnd::Completed);
}
