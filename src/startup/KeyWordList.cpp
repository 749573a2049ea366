#include "startup/KeyWordList.h"

#include "util/CodePage.h"
#include "util/FileTools.h"
#include "util/SafeWrite.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <algorithm>

using namespace Qt::StringLiterals;

KeyWordList::KeyWordList()
    : m_collator(QLocale())
{
    m_collator.setCaseSensitivity(Qt::CaseInsensitive);
}

int KeyWordList::insertSorted(const QString &text)
{
    const auto place = std::upper_bound(
        m_items.cbegin(), m_items.cend(), text,
        [this](const QString &a, const QString &b) { return m_collator.compare(a, b) < 0; });
    const qsizetype index = place - m_items.cbegin();
    m_items.insert(index, text);
    return int(index);
}

void KeyWordList::removeAt(int index)
{
    if (index >= 0 && index < m_items.size())
        m_items.removeAt(index);
}

int KeyWordList::findCaseInsensitive(const QString &text) const
{
    for (qsizetype i = 0; i < m_items.size(); ++i) {
        if (m_collator.compare(m_items.at(i), text) == 0)
            return int(i);
    }
    return -1;
}

namespace {

bool isLineEnd(QChar c)
{
    return c == u'\r' || c == u'\n';
}

} // namespace

QStringList SplitKeyWordFields(QStringView text)
{
    QStringList fields;
    const qsizetype size = text.size();
    qsizetype i = 0;
    while (i < size) {
        QString field;
        if (text[i] == u'"') {
            ++i;
            while (i < size) {
                if (text[i] != u'"') {
                    field += text[i++];
                } else if (i + 1 < size && text[i + 1] == u'"') {
                    field += u'"';
                    i += 2;
                } else {
                    ++i;
                    break;
                }
            }
        }
        // Unquoted text, or whatever follows a closing quote, runs to the next delimiter.
        const qsizetype start = i;
        while (i < size && text[i] != u',' && !isLineEnd(text[i]))
            ++i;
        field += text.sliced(start, i - start);
        fields.append(field);

        if (i == size)
            break;
        if (text[i] == u',') {
            ++i;
            if (i == size)
                fields.append(QString()); // "a," at the very end still names an empty field
        } else {
            i += (text[i] == u'\r' && i + 1 < size && text[i + 1] == u'\n') ? 2 : 1;
        }
    }
    return fields;
}

QString JoinKeyWordLines(const QStringList &entries)
{
    QString text;
    for (const QString &entry : entries) {
        const bool quote = entry.startsWith(u'"') || entry.contains(u',') ||
                           entry.contains(u'\r') || entry.contains(u'\n');
        if (quote) {
            QString escaped = entry;
            escaped.replace(u"\""_s, u"\"\""_s);
            text += u'"' + escaped + u'"';
        } else {
            text += entry;
        }
        text += u"\r\n"_s;
    }
    return text;
}

FileResult LoadKeyWords(const QString &path, KeyWordList &list)
{
    if (!QFileInfo::exists(path))
        return FileResult::success();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return FileResult::failure(path, file.errorString());
    // A read error ends the file early; whatever arrived is still used.
    const QByteArray bytes = file.readAll();
    for (const QString &field : SplitKeyWordFields(CodePage::fromCp932(bytes)))
        list.insertSorted(field);
    if (file.error() != QFileDevice::NoError)
        return FileResult::failure(path, file.errorString());
    return FileResult::success();
}

FileResult SaveKeyWords(const QString &path, KeyWordList &list)
{
    FileResult result =
        WriteFileAtomically(path, CodePage::toCp932(JoinKeyWordLines(list.items())));
    if (result)
        list.KeyWordChanged = false;
    return result;
}
