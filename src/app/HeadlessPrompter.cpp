#include "HeadlessPrompter.h"

#include "util/ErrorLines.h"

#include <QByteArray>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int kYesAnswersPerPage = 2;

// Reads one line without its line end; false at the end of input.
bool readLine(std::FILE *in, QByteArray &line)
{
    line.clear();
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, in)) {
        line += buffer;
        if (line.endsWith('\n')) {
            line.chop(1);
            if (line.endsWith('\r'))
                line.chop(1);
            return true;
        }
    }
    return !line.isEmpty();
}

} // namespace

HeadlessPrompter::HeadlessPrompter(std::FILE *errors, std::FILE *terminal)
    : m_errors(errors)
    , m_terminal(terminal)
{}

HeadlessPrompter::HeadlessPrompter()
    : HeadlessPrompter(stderr, isatty(STDIN_FILENO) ? stdin : nullptr)
{}

void HeadlessPrompter::say(const QString &text)
{
    WriteErrorLines(text, m_errors);
}

bool HeadlessPrompter::askYesNo(const QString &text, MessageIcon, const QString &)
{
    ++m_questionsThisPage;
    const bool yes = m_questionsThisPage <= kYesAnswersPerPage;
    say(text);
    say(yes ? u"-> Yes"_s : u"-> No"_s);
    return yes;
}

void HeadlessPrompter::tell(const QString &text, MessageIcon, const QString &)
{
    say(text);
}

QString HeadlessPrompter::askText(const QString &prompt, const QString &, const QString &suggested)
{
    say(prompt);
    if (!m_terminal) {
        say(u"-> "_s + suggested);
        return suggested;
    }
    WriteErrorLines(u'[' + suggested + u"] "_s, m_errors, false);
    QByteArray line;
    // End of input is the terminal's Cancel.
    if (!readLine(m_terminal, line))
        return {};
    return line.isEmpty() ? suggested : QString::fromLocal8Bit(line);
}

void HeadlessPrompter::pageFetchStarted()
{
    m_questionsThisPage = 0;
}
