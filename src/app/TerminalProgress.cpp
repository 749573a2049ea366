#include "TerminalProgress.h"

#include <QElapsedTimer>
#include <QList>

#include <algorithm>
#include <sys/ioctl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 kRedrawInterval = 100; // ms
constexpr int kBarWidth = 20;

// Columns a character takes on a terminal: East Asian wide forms take two.
int columnsOf(char32_t c)
{
    const bool wide = (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) ||
                      (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
                      (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
                      (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
    return wide ? 2 : 1;
}

QString cutToColumns(const QString &text, int columns)
{
    QString out;
    int used = 0;
    for (const char32_t c : text.toUcs4()) {
        const int width = columnsOf(c);
        if (used + width > columns)
            break;
        used += width;
        out += QString::fromUcs4(&c, 1);
    }
    return out;
}

int terminalColumns(int fd)
{
    winsize size{};
    if (ioctl(fd, TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
    return 80;
}

} // namespace

TerminalProgress::TerminalProgress(std::FILE *out, int columns, Clock clock)
    : m_out(out)
    , m_columns(columns)
    , m_clock(std::move(clock))
{}

TerminalProgress::~TerminalProgress()
{
    if (!m_drawn)
        return;
    draw(true); // the final state stays on screen
    std::fputs("\n", m_out);
    std::fflush(m_out);
}

std::unique_ptr<TerminalProgress> TerminalProgress::forStandardError()
{
    if (!isatty(STDERR_FILENO))
        return nullptr;
    auto timer = std::make_shared<QElapsedTimer>();
    timer->start();
    return std::make_unique<TerminalProgress>(stderr, terminalColumns(STDERR_FILENO),
                                              [timer] { return timer->elapsed(); });
}

void TerminalProgress::setInfo(const QString &text)
{
    if (text == m_info)
        return;
    m_info = text;
    draw(false);
}

void TerminalProgress::setMax(qint32 max)
{
    m_max = max;
    m_value = 0;
    draw(false);
}

void TerminalProgress::setValue(qint32 value)
{
    m_value = value;
    draw(m_max > 0 && value >= m_max);
}

QString TerminalProgress::lineText() const
{
    QString line = m_info;
    if (m_max > 0) {
        const qint64 filled = std::clamp<qint64>(qint64(m_value) * kBarWidth / m_max, 0, kBarWidth);
        line += u" ["_s + QString(qsizetype(filled), u'#') +
                QString(qsizetype(kBarWidth - filled), u'.') + u"] "_s + QString::number(m_value) +
                u" / "_s + QString::number(m_max);
    }
    // One column stays free so that the cursor never wraps to a new line.
    return cutToColumns(line, m_columns - 1);
}

void TerminalProgress::draw(bool force)
{
    const qint64 now = m_clock();
    if (!force && m_drawn && now - m_lastDraw < kRedrawInterval)
        return;
    m_lastDraw = now;
    m_drawn = true;
    std::fputs(("\r\x1b[K"_L1 + lineText()).toLocal8Bit().constData(), m_out);
    std::fflush(m_out);
}

void TerminalProgress::clearLine()
{
    if (!m_drawn)
        return;
    std::fputs("\r\x1b[K", m_out);
    std::fflush(m_out);
    m_drawn = false; // the next change draws at once
}

LineClearingPrompter::LineClearingPrompter(Prompter &inner, TerminalProgress &progress)
    : m_inner(inner)
    , m_progress(progress)
{}

bool LineClearingPrompter::askYesNo(const QString &text, MessageIcon icon, const QString &title)
{
    m_progress.clearLine();
    return m_inner.askYesNo(text, icon, title);
}

void LineClearingPrompter::tell(const QString &text, MessageIcon icon, const QString &title)
{
    m_progress.clearLine();
    m_inner.tell(text, icon, title);
}

QString LineClearingPrompter::askText(const QString &prompt, const QString &title,
                                      const QString &suggested)
{
    m_progress.clearLine();
    return m_inner.askText(prompt, title, suggested);
}
