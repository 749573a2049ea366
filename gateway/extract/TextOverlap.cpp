#include "TextOverlap.h"

#include <QHash>
#include <QStringList>

#include <algorithm>
#include <utility>

namespace {

using Bag = QHash<QString, qsizetype>;

TextOverlap::Score compare(const Bag &extracted, qsizetype extractedCount, const Bag &expected,
                           qsizetype expectedCount)
{
    TextOverlap::Score score;
    if (extractedCount == 0 && expectedCount == 0) {
        score.precision = score.recall = score.f1 = 1;
        return score;
    }
    qsizetype shared = 0;
    for (auto it = extracted.begin(); it != extracted.end(); ++it)
        shared += std::min(it.value(), expected.value(it.key()));
    if (shared == 0)
        return score;
    score.precision = double(shared) / double(extractedCount);
    score.recall = double(shared) / double(expectedCount);
    score.f1 = 2 * score.precision * score.recall / (score.precision + score.recall);
    return score;
}

Bag characters(const QString &text, qsizetype *count)
{
    Bag bag;
    *count = 0;
    const QList<uint> codePoints = text.toUcs4();
    for (uint c : codePoints) {
        if (QChar::isSpace(c))
            continue;
        ++bag[QString::fromUcs4(reinterpret_cast<const char32_t *>(&c), 1)];
        ++*count;
    }
    return bag;
}

Bag fourGrams(const QString &text, qsizetype *count)
{
    QList<uint> kept;
    for (uint c : text.toUcs4()) {
        if (!QChar::isSpace(c))
            kept.append(c);
    }
    Bag bag;
    *count = 0;
    for (qsizetype i = 0; i + 4 <= kept.size(); ++i) {
        ++bag[QString::fromUcs4(reinterpret_cast<const char32_t *>(kept.constData() + i), 4)];
        ++*count;
    }
    return bag;
}

Bag words(const QString &text, qsizetype *count)
{
    Bag bag;
    const QStringList tokens = text.simplified().split(u' ', Qt::SkipEmptyParts);
    for (const QString &token : tokens)
        ++bag[token];
    *count = tokens.size();
    return bag;
}

bool isCharacterWord(char32_t c)
{
    const QChar::Script script = QChar::script(c);
    return script == QChar::Script_Han || script == QChar::Script_Hiragana ||
           script == QChar::Script_Katakana || script == QChar::Script_Hangul ||
           c == U'\u30FC'; // the long-vowel mark counts with the kana it lengthens
}

QStringList shingleWords(const QString &text)
{
    QStringList words;
    QString word;
    const auto flush = [&] {
        if (!word.isEmpty())
            words.append(std::exchange(word, QString()));
    };
    for (const char32_t c : text.toUcs4()) {
        if (isCharacterWord(c)) {
            flush();
            words.append(QString::fromUcs4(&c, 1));
        } else if (QChar::isLetterOrNumber(c)) {
            word += QString::fromUcs4(&c, 1).toLower();
        } else {
            flush();
        }
    }
    flush();
    return words;
}

Bag shingles(const QString &text, qsizetype *count)
{
    constexpr qsizetype kWords = 4;
    const QStringList words = shingleWords(text);
    Bag bag;
    *count = 0;
    if (words.isEmpty())
        return bag;
    // A text shorter than a shingle is one shingle of what it has.
    const qsizetype last = std::max<qsizetype>(0, words.size() - kWords);
    for (qsizetype i = 0; i <= last; ++i)
        ++bag[words.mid(i, kWords).join(QChar(1))];
    *count = last + 1;
    return bag;
}

TextOverlap::Score overlap(const QString &extracted, const QString &expected,
                           Bag (*tokens)(const QString &, qsizetype *))
{
    qsizetype extractedCount = 0;
    qsizetype expectedCount = 0;
    const Bag a = tokens(extracted, &extractedCount);
    const Bag b = tokens(expected, &expectedCount);
    return compare(a, extractedCount, b, expectedCount);
}

} // namespace

namespace TextOverlap {

Score Characters(const QString &extracted, const QString &expected)
{
    return overlap(extracted, expected, characters);
}

Score Words(const QString &extracted, const QString &expected)
{
    return overlap(extracted, expected, words);
}

Score FourGrams(const QString &extracted, const QString &expected)
{
    return overlap(extracted, expected, fourGrams);
}

Score Shingles(const QString &extracted, const QString &expected)
{
    return overlap(extracted, expected, shingles);
}

} // namespace TextOverlap
