// Times the page code pages on the generated corpus's pages: EUC-JP decoding and CP932 encoding
// through util/CodePage's tables beside the same work through iconv, interleaved round by round,
// and prints the medians as page megabytes per second with their ratio.
#include "GeneratedCorpus.h"
#include "HeadlinePath.h"
#include "IconvCodePage.h"
#include "PageTemplates.h"
#include "util/CodePage.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

constexpr qsizetype kArticles = 2000;
constexpr int kRounds = 9;

// The article pages and the list pages that lead to them, as the portal sends them.
QList<QByteArray> corpusPages()
{
    const QDate today(2026, 12, 7);
    const GeneratedCorpus corpus(kArticles);
    QList<QByteArray> pages;
    for (qsizetype number = 1; number <= kArticles; ++number) {
        const auto article =
            corpus.article(today, DayStamp(today) + u'/' + QString::number(number));
        pages.append(CodePage::toEucJp(PageTemplates::FormatArticlePage(*article)));
    }
    for (const QString &code : HeadlineCodes()) {
        const qsizetype count = corpus.headlineCount(today, 0, code);
        for (qsizetype from = 0; from < count; from += corpus.pageSize()) {
            PageTemplates::ListPage list;
            list.code = code;
            list.day = today;
            list.items = corpus.headlines(today, 0, code, from, corpus.pageSize());
            pages.append(CodePage::toEucJp(PageTemplates::FormatListPage(list)));
        }
    }
    return pages;
}

double median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

double secondsOf(const std::function<void()> &work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e9;
}

} // namespace

int main()
{
    const QList<QByteArray> pages = corpusPages();
    qsizetype bytes = 0;
    for (const QByteArray &page : pages)
        bytes += page.size();

    IconvCodePage::Reference iconv;
    QList<QString> texts(pages.size());
    QList<QString> iconvTexts(pages.size());
    // Kept across rounds, so that each round replaces buffers instead of growing the heap anew.
    QList<QByteArray> ours(pages.size());
    QList<QByteArray> theirs(pages.size());
    qsizetype sink = 0;
    std::vector<double> decodeOurs, decodeIconv, encodeOurs, encodeIconv;
    bool same = true;
    for (int round = 0; round < kRounds; ++round) {
        decodeOurs.push_back(secondsOf([&] {
            for (qsizetype i = 0; i < pages.size(); ++i)
                texts[i] = CodePage::fromEucJp(pages[i]);
        }));
        decodeIconv.push_back(secondsOf([&] {
            for (qsizetype i = 0; i < pages.size(); ++i)
                iconvTexts[i] = iconv.fromEucJp(pages[i]);
        }));
        same = same && texts == iconvTexts;
        encodeOurs.push_back(secondsOf([&] {
            for (qsizetype i = 0; i < texts.size(); ++i) {
                qsizetype lost = 0;
                ours[i] = CodePage::toCp932(texts[i], &lost);
                sink += lost;
            }
        }));
        encodeIconv.push_back(secondsOf([&] {
            for (qsizetype i = 0; i < texts.size(); ++i) {
                qsizetype lost = 0;
                theirs[i] = iconv.toCp932(texts[i], &lost);
                sink += lost;
            }
        }));
        same = same && ours == theirs;
    }

    const double megabytes = double(bytes) / 1e6;
    const auto line = [&](const char *what, double ours, double theirs) {
        std::printf("  %-17s %8.1f MB/s  %8.1f MB/s  %6.2fx\n", what, megabytes / ours,
                    megabytes / theirs, theirs / ours);
    };
    std::printf("Code pages on %lld generated pages (%.2f MB of EUC-JP), median of %d rounds\n",
                static_cast<long long>(pages.size()), megabytes, kRounds);
    std::printf("  %-17s %13s  %13s  %7s\n", "", "tables", "iconv", "speed-up");
    line("EUC-JP decode", median(decodeOurs), median(decodeIconv));
    line("CP932 encode", median(encodeOurs), median(encodeIconv));
    std::vector<double> bothOurs, bothIconv;
    for (int round = 0; round < kRounds; ++round) {
        bothOurs.push_back(decodeOurs[size_t(round)] + encodeOurs[size_t(round)]);
        bothIconv.push_back(decodeIconv[size_t(round)] + encodeIconv[size_t(round)]);
    }
    line("decode + encode", median(bothOurs), median(bothIconv));
    std::printf("  results identical to iconv: %s (%lld characters replaced)\n",
                same ? "yes" : "NO", static_cast<long long>(sink));
    return same ? 0 : 1;
}
