#include "engine/CategoryCrawl.h"

#include "engine/ArticleBodies.h"
#include "engine/ArticleList.h"
#include "engine/HeadlineParser.h"
#include "engine/NextPage.h"
#include "engine/PageFetcher.h"
#include "util/DebugLog.h"

#include <QSet>

using namespace Qt::StringLiterals;

CrawlEnd CrawlCategory(const QString &url, PageFetcher &fetcher, HeadlineContext &headlines,
                       int pageLimit)
{
    QSet<QString> visited;
    QString address = url;
    while (!address.isEmpty()) {
        if (!fetcher.isSameOrigin(address, headlines.BaseURL)) {
            headlines.log.write(address + u"は"_s + headlines.BaseURL +
                                u"の外を指しているため取得しません。カテゴリ終了。"_s);
            return CrawlEnd::Done;
        }
        if (visited.contains(address)) {
            // A next-page link back to an earlier page would otherwise loop for ever.
            headlines.log.write(address + u"は既に読んだページです。カテゴリ終了。"_s);
            return CrawlEnd::Done;
        }
        if (visited.size() >= pageLimit) {
            headlines.log.write(u"1カテゴリのページ数が上限(%1)に達したため、"_s.arg(pageLimit) +
                                address + u"は取得しません。カテゴリ終了。"_s);
            fetcher.addMissedPage(address);
            return CrawlEnd::Done;
        }
        visited.insert(address);

        const FetchedPage page = fetcher.GetHTML(address);
        if (page.gaveUp || page.cancelled) {
            fetcher.forgetExpected();
            return page.gaveUp ? CrawlEnd::GaveUp : CrawlEnd::Cancelled;
        }
        if (page.text.isEmpty())
            return CrawlEnd::Done;
        const qint32 known = headlines.articles.ArticleCount();
        ParseHeadlines(page.text, headlines);
        ExpectArticles(fetcher, headlines.articles, known, headlines.BaseURL);
        address = GetNextPageURL(page.text, headlines.BaseURL, headlines.log);
    }
    return CrawlEnd::Done;
}
