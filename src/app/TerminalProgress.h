#pragma once

#include "engine/FetchProgress.h"
#include "util/Prompter.h"

#include <QString>

#include <cstdio>
#include <functional>
#include <memory>

// The fetch window's texts on one terminal line: the category-scan label, then a text bar with
// the "n / N" article counter. The line is redrawn in place at most ten times a second.
class TerminalProgress final : public FetchProgress
{
public:
    using Clock = std::function<qint64()>; // milliseconds, any origin

    TerminalProgress(std::FILE *out, int columns, Clock clock);
    ~TerminalProgress() override;
    TerminalProgress(const TerminalProgress &) = delete;
    TerminalProgress &operator=(const TerminalProgress &) = delete;

    // Progress on standard error when it is a terminal; nullptr otherwise.
    static std::unique_ptr<TerminalProgress> forStandardError();

    void setInfo(const QString &text) override;
    void setCaption(const QString &) override {}
    void setMax(qint32 max) override;
    void setValue(qint32 value) override;
    void setUnit(const QString &) override {}
    bool letEventsThrough() override { return true; }

    // Wipes the line so that a message can be printed on a clean one.
    void clearLine();

    // The line as it would be drawn now, cut to the width.
    QString lineText() const;

private:
    void draw(bool force);

    std::FILE *m_out;
    int m_columns;
    Clock m_clock;
    QString m_info;
    qint32 m_max = 0;
    qint32 m_value = 0;
    qint64 m_lastDraw = 0;
    bool m_drawn = false;
};

// Clears the progress line before every message, so messages never share a line with it.
class LineClearingPrompter final : public Prompter
{
public:
    LineClearingPrompter(Prompter &inner, TerminalProgress &progress);

    bool askYesNo(const QString &text, MessageIcon icon, const QString &title = {}) override;
    void tell(const QString &text, MessageIcon icon, const QString &title = {}) override;
    QString askText(const QString &prompt, const QString &title, const QString &suggested) override;
    void pageFetchStarted() override { m_inner.pageFetchStarted(); }

private:
    Prompter &m_inner;
    TerminalProgress &m_progress;
};
