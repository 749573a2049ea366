#pragma once

#include <QString>

enum class MessageIcon { Stop, Question, Exclamation, Information };

// How the program talks to the person in front of it. The windows answer with message boxes,
// headless runs on the terminal; tests script the answers.
class Prompter
{
public:
    virtual ~Prompter() = default;

    // A question with Yes and No buttons (Yes is the default); true for Yes. An empty title
    // means the program's title.
    virtual bool askYesNo(const QString &text, MessageIcon icon, const QString &title = {}) = 0;
    // A message with an OK button.
    virtual void tell(const QString &text, MessageIcon icon, const QString &title = {}) = 0;
    // A line of text, pre-filled with suggested; empty when cancelled.
    virtual QString askText(const QString &prompt, const QString &title,
                            const QString &suggested) = 0;
    // A page fetch begins: the headless policy counts its questions per page.
    virtual void pageFetchStarted() {}
};
