// How well `varnholt-portal --extract` recovers the hand-labelled text of saved pages.
// Usage: extract_score PORTAL FOLDER — FOLDER holds NAME.html with NAME.txt beside it.
// Prints character and word precision, recall and F1 per page, then over the set: the mean of
// the pages' precisions and recalls with the F1 of those means, as the article-extraction
// benchmarks report it, and the mean of the per-page F1s.

#include "TextOverlap.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

struct Totals
{
    double precision = 0;
    double recall = 0;
    double f1 = 0;

    void add(const TextOverlap::Score &score)
    {
        precision += score.precision;
        recall += score.recall;
        f1 += score.f1;
    }
    QString summary(qsizetype pages) const
    {
        const double p = precision / double(pages);
        const double r = recall / double(pages);
        const double f = p + r > 0 ? 2 * p * r / (p + r) : 0;
        return u"precision %1  recall %2  F1 %3  (mean per-page F1 %4)"_s.arg(
            QString::number(p, 'f', 4), QString::number(r, 'f', 4), QString::number(f, 'f', 4),
            QString::number(f1 / double(pages), 'f', 4));
    }
};

void print(const QString &line)
{
    std::puts(line.toLocal8Bit().constData());
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3) {
        std::fputs("usage: extract_score PORTAL FOLDER\n", stderr);
        return 2;
    }
    const QString portal = args.at(1);
    const QDir folder(args.at(2));
    const QStringList pages = folder.entryList({u"*.html"_s}, QDir::Files, QDir::Name);
    if (pages.isEmpty()) {
        std::fprintf(stderr, "extract_score: no .html files in %s\n", qPrintable(folder.path()));
        return 2;
    }

    Totals characters;
    Totals words;
    print(u"%1  %2  %3"_s.arg(u"page"_s, -28).arg(u"char P/R/F1"_s, -20).arg(u"word P/R/F1"_s));
    for (const QString &page : pages) {
        QFile labelled(folder.filePath(page.chopped(5) + u".txt"_s));
        if (!labelled.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "extract_score: %s has no labelled text\n", qPrintable(page));
            return 2;
        }
        const QString expected = QString::fromUtf8(labelled.readAll());
        QProcess run;
        run.start(portal, {u"--extract"_s, folder.filePath(page)});
        if (!run.waitForFinished(30'000)) {
            std::fprintf(stderr, "extract_score: %s did not finish on %s\n", qPrintable(portal),
                         qPrintable(page));
            return 2;
        }
        const QString extracted = QString::fromUtf8(run.readAllStandardOutput());
        const TextOverlap::Score c = TextOverlap::Characters(extracted, expected);
        const TextOverlap::Score w = TextOverlap::Words(extracted, expected);
        characters.add(c);
        words.add(w);
        const auto triple = [](const TextOverlap::Score &s) {
            return u"%1/%2/%3"_s.arg(QString::number(s.precision, 'f', 2),
                                     QString::number(s.recall, 'f', 2),
                                     QString::number(s.f1, 'f', 3));
        };
        print(u"%1  %2  %3"_s.arg(page.chopped(5), -28).arg(triple(c), -20).arg(triple(w)));
    }
    print(u"\n%1 pages"_s.arg(pages.size()));
    print(u"characters: "_s + characters.summary(pages.size()));
    print(u"words:      "_s + words.summary(pages.size()));
    return 0;
}
