#pragma once

#include "util/Prompter.h"

#include <QList>
#include <QString>
#include <QStringList>

// Answers questions from a script and records everything it was asked or told.
class ScriptedPrompter final : public Prompter
{
public:
    struct Call
    {
        QString text;
        MessageIcon icon;
        QString title;
    };

    bool askYesNo(const QString &text, MessageIcon icon, const QString &title = {}) override
    {
        questions.append({text, icon, title});
        return answers.isEmpty() ? false : answers.takeFirst();
    }
    void tell(const QString &text, MessageIcon icon, const QString &title = {}) override
    {
        messages.append({text, icon, title});
    }
    QString askText(const QString &, const QString &, const QString &suggested) override
    {
        return suggested;
    }

    QList<bool> answers;
    QList<Call> questions;
    QList<Call> messages;
};
