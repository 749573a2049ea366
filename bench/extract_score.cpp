// How well `varnholt-portal --extract` recovers the hand-labelled text of saved pages.
// Usage: extract_score PORTAL FOLDER [KINDS] — FOLDER holds NAME.html with NAME.txt beside it;
// KINDS is a file of "kind: page page ..." lines (the labelled set's classes.txt).
// Prints character, four-character and four-word-shingle precision, recall and F1 per page, then
// over the set: the mean of the pages' precisions and recalls with the F1 of those means, as the
// article-extraction benchmarks report it, and the mean of the per-page F1s (also for words);
// then the mean per-page F1s over the pages of each kind of fault.

#include "TextOverlap.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHash>
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

// The kinds of fault and their pages: "kind: page page \\" lines, "#" comments.
QList<std::pair<QString, QStringList>> readKinds(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString text = QString::fromUtf8(file.readAll()).replace(u"\\\n"_s, u" "_s);
    QList<std::pair<QString, QStringList>> kinds;
    for (const QString &line : text.split(u'\n')) {
        if (!line.startsWith(u'#') && line.contains(u':'))
            kinds.append({line.section(u':', 0, 0).trimmed(),
                          line.section(u':', 1).split(u' ', Qt::SkipEmptyParts)});
    }
    return kinds;
}

struct PageScores
{
    double characters = 0;
    double fourGrams = 0;
    double shingles = 0;
};

QString Triple(const TextOverlap::Score &s)
{
    return u"%1/%2/%3"_s.arg(QString::number(s.precision, 'f', 2),
                             QString::number(s.recall, 'f', 2), QString::number(s.f1, 'f', 3));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3 && args.size() != 4) {
        std::fputs("usage: extract_score PORTAL FOLDER [KINDS]\n", stderr);
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
    Totals fourGrams;
    Totals words;
    Totals shingles;
    QHash<QString, PageScores> scores;
    print(u"%1  %2  %3  %4"_s.arg(u"page"_s, -28)
              .arg(u"char P/R/F1"_s, -20)
              .arg(u"4-gram P/R/F1"_s, -20)
              .arg(u"shingle P/R/F1"_s));
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
        const TextOverlap::Score g = TextOverlap::FourGrams(extracted, expected);
        characters.add(c);
        fourGrams.add(g);
        words.add(TextOverlap::Words(extracted, expected));
        const TextOverlap::Score w = TextOverlap::Shingles(extracted, expected);
        shingles.add(w);
        scores.insert(page.chopped(5), {c.f1, g.f1, w.f1});
        print(u"%1  %2  %3  %4"_s.arg(page.chopped(5), -28)
                  .arg(Triple(c), -20)
                  .arg(Triple(g), -20)
                  .arg(Triple(w)));
    }
    print(u"\n%1 pages"_s.arg(pages.size()));
    print(u"characters: "_s + characters.summary(pages.size()));
    print(u"4-grams:    "_s + fourGrams.summary(pages.size()));
    print(u"words:      "_s + words.summary(pages.size()));
    print(u"shingles:   "_s + shingles.summary(pages.size()));

    if (args.size() < 4)
        return 0;
    const QList<std::pair<QString, QStringList>> kinds = readKinds(args.at(3));
    if (kinds.isEmpty()) {
        std::fprintf(stderr, "extract_score: no kinds in %s\n", qPrintable(args.at(3)));
        return 2;
    }
    print(u"\nby kind of fault: mean per-page F1, characters, 4-grams and shingles"_s);
    for (const auto &[kind, names] : kinds) {
        PageScores mean;
        qsizetype found = 0;
        for (const QString &name : names) {
            const auto it = scores.constFind(name);
            if (it == scores.cend())
                continue;
            mean.characters += it->characters;
            mean.fourGrams += it->fourGrams;
            mean.shingles += it->shingles;
            ++found;
        }
        const double count = double(std::max<qsizetype>(1, found));
        print(u"  %1 %2 pages  %3  %4  %5"_s.arg(kind, -18)
                  .arg(found, 3)
                  .arg(mean.characters / count, 0, 'f', 4)
                  .arg(mean.fourGrams / count, 0, 'f', 4)
                  .arg(mean.shingles / count, 0, 'f', 4));
    }
    return 0;
}
