#pragma once

#include <QString>

// The overlap of four-token shingles, as the public article-extraction benchmark scores pages:
// tokens are runs of letters and digits, lower-cased, except that each Han, kana or Hangul
// character is a token of its own (those scripts do not put spaces between words).
namespace WordShingles {

struct Score
{
    double precision = 0;
    double recall = 0;
    double f1 = 0;
};

Score Overlap(const QString &extracted, const QString &expected);

} // namespace WordShingles
