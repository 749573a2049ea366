#pragma once

#include <QString>

// How much of an expected text an extraction recovers, as the article-extraction benchmarks
// measure it: the two texts as bags of tokens, precision and recall over the tokens they share.
namespace TextOverlap {

struct Score
{
    double precision = 0;
    double recall = 0;
    double f1 = 0;
};

// Tokens are the characters other than white space: fair to Japanese, which has no spaces.
Score Characters(const QString &extracted, const QString &expected);
// Tokens are the runs between white space.
Score Words(const QString &extracted, const QString &expected);
// Tokens are the overlapping runs of four characters of the text without white space: order
// counts, so a text with the right characters in the wrong places scores low.
Score FourGrams(const QString &extracted, const QString &expected);
// Tokens are the overlapping runs of four words, as the public article-extraction benchmark
// scores pages: words are runs of letters and digits in lower case, except that each Han, kana
// or Hangul character is a word of its own (those scripts put no spaces between words).
Score Shingles(const QString &extracted, const QString &expected);

} // namespace TextOverlap
