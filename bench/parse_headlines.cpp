// Times ParseHeadlines on a 20,000-item and a 40,000-item headline page (every address distinct)
// and prints the medians and their ratio: a linear parser gives a ratio near 2.
#include "PortalPages.h"
#include "engine/ArticleList.h"
#include "engine/FetchProgress.h"
#include "engine/HeadlineParser.h"
#include "engine/KeyWordMatcher.h"
#include "util/DebugLog.h"

#include <QElapsedTimer>
#include <QString>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

QString makePage(int items)
{
    QString lines;
    for (int i = 0; i < items; ++i) {
        lines += PortalPages::item(u"/headlines/dom/"_s + QString::number(i) + u".html"_s,
                                   u"国内ニュース見出しその"_s + QString::number(i));
    }
    return PortalPages::listPage(lines, u"/headlines/dom/2.html"_s);
}

double medianMilliseconds(const QString &page, int runs)
{
    const QString base = u"http://127.0.0.1:8080"_s;
    const KeyWordMatcher matcher({u"ニュース"_s, u"株価"_s});
    DebugLog quiet;
    SilentProgress progress;
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        ArticleList articles; // fresh each run: every address is new
        HeadlineContext context{matcher, 2, base, articles, quiet, progress};
        QElapsedTimer timer;
        timer.start();
        ParseHeadlines(page, context);
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
        if (articles.ArticleCount() == 0)
            std::fprintf(stderr, "parse_headlines: nothing recorded\n");
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main()
{
    constexpr int runs = 7;
    const double small = medianMilliseconds(makePage(20000), runs);
    const double large = medianMilliseconds(makePage(40000), runs);
    std::printf("ParseHeadlines, median of %d runs\n", runs);
    std::printf("  20000 items: %8.2f ms\n", small);
    std::printf("  40000 items: %8.2f ms\n", large);
    std::printf("  ratio 40000/20000: %.2f (linear is about 2)\n", small > 0 ? large / small : 0.0);
    return 0;
}
