#include "engine/ArticleBodies.h"

#include "engine/ArticleList.h"
#include "engine/ArticleText.h"
#include "engine/FetchProgress.h"
#include "engine/PageFetcher.h"
#include "util/CodePage.h"
#include "util/DebugLog.h"
#include "util/Version.h"

using namespace Qt::StringLiterals;

QString SpoolFailureText(const FileResult &failure)
{
    return u"記事の本文を一時ファイルに書き込めないため、メモリに保持します。\r\n"_s +
           failure.error;
}

QString ReceivingCaption(qint32 number, qint32 count)
{
    static const QString suffix = u"(受信中) - "_s + ProgramTitle();
    return QString::number(number) + u" / "_s + QString::number(count) + suffix;
}

void ExpectArticles(PageFetcher &fetcher, const ArticleList &articles, qint32 from,
                    const QString &BaseURL)
{
    for (qint32 i = from; i < articles.ArticleCount(); ++i) {
        const ArticleRecord &record = articles[i];
        if (!record.URLOnly && fetcher.isSameOrigin(record.URL, BaseURL))
            fetcher.expect(record.URL);
    }
}

BodiesEnd GetArticleBodies(BodiesContext &context)
{
    ArticleList &articles = context.articles;
    const qint32 count = articles.ArticleCount();
    if (count == 0)
        return BodiesEnd::Done;

    context.log.write(u"記事の取得を開始します。"_s);
    context.progress.setMax(count);
    const QString receiving = u"記事を受信しています。"_s;
    for (qint32 i = 0; i < count; ++i) {
        ArticleRecord &record = articles[i];
        context.progress.setInfo(receiving);
        context.progress.setValue(i + 1);
        context.progress.setCaption(ReceivingCaption(i + 1, count));
        if (!context.progress.letEventsThrough()) {
            context.fetcher.forgetExpected();
            return BodiesEnd::Cancelled;
        }
        if (record.URLOnly)
            continue;

        context.log.write(record.Title + u"の記事を取得しています..."_s);
        if (!context.fetcher.isSameOrigin(record.URL, context.BaseURL)) {
            // A link target such as "@other.host/x" turns the address into one elsewhere.
            context.log.write(record.URL + u"は"_s + context.BaseURL +
                              u"の外を指しているため取得しません。"_s);
            continue;
        }
        const FetchedPage page = context.fetcher.GetHTML(record.URL);
        if (page.gaveUp || page.cancelled) {
            context.fetcher.forgetExpected();
            return page.gaveUp ? BodiesEnd::GaveUp : BodiesEnd::Cancelled;
        }
        qsizetype lost = 0;
        const QByteArray body = CodePage::toCp932(ExtractArticleText(page.text), &lost);
        if (const FileResult kept = articles.setBody(i, body, qint32(lost)); !kept)
            context.log.write(SpoolFailureText(kept));
    }
    context.log.write(u"記事の取得を完了しました。"_s);
    return BodiesEnd::Done;
}
