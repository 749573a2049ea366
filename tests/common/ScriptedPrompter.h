#pragma once

#include "util/Prompter.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// Answers from a script and records everything it was asked or told.
class ScriptedPrompter final : public Prompter
{
public:
    struct Call
    {
        QString text;
        MessageIcon icon = MessageIcon::Information;
        QString title;
    };
    struct TextPrompt
    {
        QString prompt;
        QString title;
        QString suggested;
    };

    // typed: what every text prompt gets back; without it, the suggestion is taken.
    explicit ScriptedPrompter(std::optional<QString> typed = std::nullopt)
        : m_typed(std::move(typed))
    {}

    bool askYesNo(const QString &text, MessageIcon icon, const QString &title = {}) override
    {
        questions.append({text, icon, title});
        return answers.isEmpty() ? false : answers.takeFirst();
    }
    void tell(const QString &text, MessageIcon icon, const QString &title = {}) override
    {
        messages.append({text, icon, title});
    }
    QString askText(const QString &prompt, const QString &title, const QString &suggested) override
    {
        textPrompts.append({prompt, title, suggested});
        return m_typed.value_or(suggested);
    }
    void pageFetchStarted() override { ++pagesStarted; }

    QStringList questionTexts() const { return textsOf(questions); }
    QStringList messageTexts() const { return textsOf(messages); }

    QList<bool> answers; // Yes/No answers in turn; No once they run out
    QList<Call> questions;
    QList<Call> messages;
    QList<TextPrompt> textPrompts;
    int pagesStarted = 0;

private:
    static QStringList textsOf(const QList<Call> &calls)
    {
        QStringList texts;
        for (const Call &call : calls)
            texts << call.text;
        return texts;
    }

    std::optional<QString> m_typed;
};
