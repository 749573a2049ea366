#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// The run's KeyWords, matched against titles ignoring letter case, full/half width and
// hiragana/katakana. Keywords are normalised once, when the matcher is made.
class KeyWordMatcher
{
public:
    explicit KeyWordMatcher(const QStringList &KeyWords);

    // The first keyword (in list order) that the title contains, as written in the list; empty
    // when none does. Empty keywords never match: they would take every title.
    QString MatchKeyWord(const QString &title) const;

    // The comparison form: NFKC, case-folded, hiragana as katakana.
    static QString normalizedForMatch(const QString &text);

private:
    struct Entry
    {
        QString keyWord;
        QString normalized;
    };
    std::vector<Entry> m_entries;
};
