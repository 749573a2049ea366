#pragma once

#include <QString>

struct FileResult;
class ArticleList;
class DebugLog;
class FetchProgress;
class PageFetcher;

enum class BodiesEnd {
    Done,
    GaveUp,    // the person gave up on a page: save and exit, nothing written
    Cancelled, // the person cancelled the run
};

struct BodiesContext
{
    PageFetcher &fetcher;
    ArticleList &articles;
    const QString &BaseURL; // articles elsewhere are not requested
    DebugLog &log;
    FetchProgress &progress;
};

// Fetches every article that is not address-only and keeps its text (CP932) as the body. One
// article that fails keeps an empty body; the run goes on.
BodiesEnd GetArticleBodies(BodiesContext &context);

// Announces to the fetcher the article pages of records from..end that GetArticleBodies will
// request, so that they can be asked ahead while the run goes on.
void ExpectArticles(PageFetcher &fetcher, const ArticleList &articles, qint32 from,
                    const QString &BaseURL);

// The log line for a spool that could not be made or written: the bodies stay in memory, which
// costs memory but nothing of the output.
QString SpoolFailureText(const FileResult &failure);

// "<i> / <n>(受信中) - Varnholt Ver.1.0.0"
QString ReceivingCaption(qint32 number, qint32 count);
