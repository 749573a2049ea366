#include "WordShingles.h"

#include <QHash>
#include <QStringList>

#include <algorithm>
#include <utility>

namespace {

constexpr qsizetype kShingle = 4;

bool IsCharacterWord(char32_t c)
{
    const QChar::Script script = QChar::script(c);
    return script == QChar::Script_Han || script == QChar::Script_Hiragana ||
           script == QChar::Script_Katakana || script == QChar::Script_Hangul ||
           c == U'\u30FC'; // the long-vowel mark counts with the kana it lengthens
}

QStringList Tokens(const QString &text)
{
    QStringList tokens;
    QString word;
    const auto flush = [&] {
        if (!word.isEmpty())
            tokens.append(std::exchange(word, QString()));
    };
    for (const char32_t c : text.toUcs4()) {
        if (IsCharacterWord(c)) {
            flush();
            tokens.append(QString::fromUcs4(&c, 1));
        } else if (QChar::isLetterOrNumber(c)) {
            word += QString::fromUcs4(&c, 1).toLower();
        } else {
            flush();
        }
    }
    flush();
    return tokens;
}

QHash<QString, qsizetype> Shingles(const QStringList &tokens)
{
    QHash<QString, qsizetype> counts;
    if (tokens.isEmpty())
        return counts;
    if (tokens.size() < kShingle) {
        ++counts[tokens.join(QChar(1))];
        return counts;
    }
    for (qsizetype i = 0; i + kShingle <= tokens.size(); ++i)
        ++counts[tokens.mid(i, kShingle).join(QChar(1))];
    return counts;
}

qsizetype Total(const QHash<QString, qsizetype> &counts)
{
    qsizetype total = 0;
    for (const qsizetype n : counts)
        total += n;
    return total;
}

} // namespace

namespace WordShingles {

Score Overlap(const QString &extracted, const QString &expected)
{
    const QHash<QString, qsizetype> got = Shingles(Tokens(extracted));
    const QHash<QString, qsizetype> want = Shingles(Tokens(expected));
    const qsizetype gotTotal = Total(got);
    const qsizetype wantTotal = Total(want);
    if (gotTotal == 0 && wantTotal == 0)
        return {1, 1, 1};
    qsizetype common = 0;
    for (auto it = got.cbegin(); it != got.cend(); ++it)
        common += std::min(it.value(), want.value(it.key()));
    Score score;
    score.precision = gotTotal > 0 ? double(common) / double(gotTotal) : 0;
    score.recall = wantTotal > 0 ? double(common) / double(wantTotal) : 0;
    const double sum = score.precision + score.recall;
    score.f1 = sum > 0 ? 2 * score.precision * score.recall / sum : 0;
    return score;
}

} // namespace WordShingles
