#include "engine/KeyWordMatcher.h"

KeyWordMatcher::KeyWordMatcher(const QStringList &KeyWords)
{
    m_entries.reserve(size_t(KeyWords.size()));
    for (const QString &keyWord : KeyWords) {
        QString normalized = normalizedForMatch(keyWord);
        if (!normalized.isEmpty())
            m_entries.push_back({keyWord, std::move(normalized)});
    }
}

QString KeyWordMatcher::MatchKeyWord(const QString &title) const
{
    if (m_entries.empty())
        return {};
    const QString normalizedTitle = normalizedForMatch(title);
    for (const Entry &entry : m_entries) {
        if (normalizedTitle.contains(entry.normalized))
            return entry.keyWord;
    }
    return {};
}

QString KeyWordMatcher::normalizedForMatch(const QString &text)
{
    // NFKC folds half-width katakana and full-width Latin into their standard forms.
    QString folded = text.normalized(QString::NormalizationForm_KC).toCaseFolded();
    for (QChar &c : folded) {
        const char16_t u = c.unicode();
        if (u >= 0x3041 && u <= 0x3096)
            c = QChar(char16_t(u + 0x60));
    }
    return folded;
}
