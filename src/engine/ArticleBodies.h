#pragma once

#include <QString>

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

// "<i> / <n>(受信中) - Varnholt Ver.1.0.0"
QString ReceivingCaption(qint32 number, qint32 count);
