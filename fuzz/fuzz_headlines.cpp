// The headline parser on any list page, in every keyword mode.
#include "FuzzInput.h"
#include "engine/ArticleList.h"
#include "engine/FetchProgress.h"
#include "engine/HeadlineParser.h"
#include "engine/KeyWordMatcher.h"
#include "util/DebugLog.h"

using namespace Qt::StringLiterals;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    static const KeyWordMatcher matcher({u"速報"_s, u"円"_s, QString()});
    static const QString base = u"http://127.0.0.1:8642"_s;
    static DebugLog log;
    static SilentProgress progress;

    ArticleList articles;
    HeadlineContext context{matcher, qint16(data[0] % 3), base, articles, log, progress};
    const QString page = fuzzText(data + 1, size - 1);
    ParseHeadlines(page, context);
    // A second reading of the same page records nothing new.
    const qint32 count = articles.ArticleCount();
    ParseHeadlines(page, context);
    fuzzRequire(articles.ArticleCount() == count);
    for (qint32 i = 0; i < count; ++i)
        fuzzRequire(articles[i].URL.startsWith(base));
    return 0;
}
