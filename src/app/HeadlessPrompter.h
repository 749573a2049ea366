#pragma once

#include "util/Prompter.h"

#include <cstdio>

// Talks to the person on the terminal when no window can be shown. Every message goes to the
// error stream as "Varnholt: <text>". Questions answer themselves: within one page fetch the first
// two are answered Yes (retry), later ones No (give up), and the answer is printed. A text
// question is asked on the terminal when there is one, else the suggestion is taken.
class HeadlessPrompter final : public Prompter
{
public:
    // terminal: where text questions are read from, or nullptr when nobody can answer them.
    explicit HeadlessPrompter(std::FILE *errors, std::FILE *terminal);
    // Standard error, and standard input when it is a terminal.
    HeadlessPrompter();

    bool askYesNo(const QString &text, MessageIcon icon, const QString &title = {}) override;
    void tell(const QString &text, MessageIcon icon, const QString &title = {}) override;
    QString askText(const QString &prompt, const QString &title, const QString &suggested) override;
    void pageFetchStarted() override;

private:
    void say(const QString &text);

    std::FILE *m_errors;
    std::FILE *m_terminal;
    int m_questionsThisPage = 0;
};
