// Times the gateway's main-text extraction on saved article pages.
// Usage: extract_speed [FOLDER [ROUNDS]] — FOLDER holds NAME.html files (by default the labelled
// pages). Prints, for the typical pages of 100-300 KB and for all pages, the page count, the
// sizes and the median of the pages' median extraction times, with the slowest page.

#include "MainText.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QUrl>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

struct Timed
{
    QString name;
    qsizetype bytes = 0;
    double milliseconds = 0; // median over the rounds
};

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

void report(const char *label, const std::vector<Timed> &pages)
{
    if (pages.empty()) {
        std::printf("%-22s no pages\n", label);
        return;
    }
    std::vector<double> times;
    std::vector<double> sizes;
    const Timed *slowest = &pages.front();
    for (const Timed &page : pages) {
        times.push_back(page.milliseconds);
        sizes.push_back(double(page.bytes) / 1024);
        if (page.milliseconds > slowest->milliseconds)
            slowest = &page;
    }
    std::printf("%-22s %3zu pages, %4.0f-%4.0f KB (median %4.0f KB): median %6.2f ms per page, "
                "slowest %6.2f ms (%s)\n",
                label, pages.size(), *std::min_element(sizes.begin(), sizes.end()),
                *std::max_element(sizes.begin(), sizes.end()), median(sizes), median(times),
                slowest->milliseconds, qPrintable(slowest->name));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const QDir folder(
        args.size() > 1 ? args.at(1)
                        : QStringLiteral(VARNHOLT_SOURCE_DIR "/tests/gateway/extract/data/pages"));
    const int rounds = args.size() > 2 ? std::max(1, args.at(2).toInt()) : 9;
    const QStringList files = folder.entryList({u"*.html"_s}, QDir::Files, QDir::Name);
    if (files.isEmpty()) {
        std::fprintf(stderr, "extract_speed: no .html files in %s\n", qPrintable(folder.path()));
        return 2;
    }

    std::vector<Timed> all;
    std::vector<Timed> typical;
    for (const QString &file : files) {
        QFile input(folder.filePath(file));
        if (!input.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "extract_speed: cannot read %s: %s\n",
                         qPrintable(input.fileName()), qPrintable(input.errorString()));
            return 2;
        }
        const QByteArray page = input.readAll();
        const QUrl address(u"https://news.example/"_s + file);
        std::vector<double> times;
        qsizetype found = 0;
        for (int round = 0; round < rounds; ++round) {
            QElapsedTimer timer;
            timer.start();
            const MainTextResult result = ExtractMainText(page, QString(), address);
            times.push_back(double(timer.nsecsElapsed()) / 1e6);
            found = result.paragraphs.size();
        }
        if (found == 0)
            std::fprintf(stderr, "extract_speed: nothing found in %s\n", qPrintable(file));
        const Timed timed{file.chopped(5), page.size(), median(times)};
        all.push_back(timed);
        if (page.size() >= 100 * 1024 && page.size() <= 300 * 1024)
            typical.push_back(timed);
    }
    std::printf("ExtractMainText, median of %d rounds per page\n", rounds);
    report("typical (100-300 KB)", typical);
    report("all pages", all);
    return 0;
}
