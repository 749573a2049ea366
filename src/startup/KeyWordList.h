#pragma once

#include "util/FileResult.h"

#include <QCollator>
#include <QString>
#include <QStringList>
#include <QStringView>

// The keyword list, kept sorted in the user's locale's case-insensitive order (like a sorted
// list box), with the program's only change flag.
class KeyWordList
{
public:
    KeyWordList();

    const QStringList &items() const { return m_items; }
    int count() const { return int(m_items.size()); }

    // Inserts at its sorted place (after equal items) and returns the index.
    int insertSorted(const QString &text);
    // An index outside the list is ignored.
    void removeAt(int index);
    // Index of the first item equal to text ignoring case in the user's locale, or -1.
    int findCaseInsensitive(const QString &text) const;

    bool KeyWordChanged = false;

private:
    QCollator m_collator;
    QStringList m_items;
};

// The fields of a keyword file's text: a field ends at a comma or a line end (CR LF, CR or LF);
// a field that opens with a double quote runs to the closing quote, may hold commas and line
// ends, and reads "" as one quote; a quote that is never closed takes the rest of the text.
// A blank line is one empty field. Nothing is trimmed.
QStringList SplitKeyWordFields(QStringView text);
// The file text for the entries: one line each, CR LF after every line. An entry that would not
// read back as itself (holding a comma or a line end, or opening with a quote) is quoted.
QString JoinKeyWordLines(const QStringList &entries);

// Adds the fields of the CP932 file to the list; a missing file adds nothing. A file that is
// there but cannot be read (whole) fails with its path and the reason; what was read is kept.
FileResult LoadKeyWords(const QString &path, KeyWordList &list);
// Replaces the file with the list (CP932); clears KeyWordChanged only when that worked.
FileResult SaveKeyWords(const QString &path, KeyWordList &list);
