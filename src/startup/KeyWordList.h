#pragma once

#include "util/FileResult.h"

#include <QString>
#include <QStringList>

// The keyword list, kept sorted in the user's locale's case-insensitive order (like a sorted
// list box), with the program's only change flag.
class KeyWordList
{
public:
    const QStringList &items() const { return m_items; }
    int count() const { return int(m_items.size()); }

    // Inserts at its sorted place (after equal items) and returns the index.
    int insertSorted(const QString &text);
    void removeAt(int index);
    // Index of the first item equal to text ignoring case in the user's locale, or -1.
    int findCaseInsensitive(const QString &text) const;

    bool KeyWordChanged = false;

private:
    QStringList m_items;
};

void LoadKeyWords(const QString &path, KeyWordList &list);
FileResult SaveKeyWords(const QString &path, KeyWordList &list);
