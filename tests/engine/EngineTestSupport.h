#pragma once

#include "engine/FetchProgress.h"
#include "util/DebugLog.h"
#include "util/Prompter.h"

#include <QString>
#include <QStringList>

#include <memory>

// A debug log that keeps the texts it was given, without their time stamps.
class CapturedLog
{
public:
    CapturedLog()
    {
        m_log.setOptions(true, false);
        m_log.setWindowSink([lines = m_lines](const QString &line) {
            lines->append(line.mid(line.indexOf(u"] ") + 2));
        });
    }

    DebugLog &log() { return m_log; }
    const QStringList &lines() const { return *m_lines; }

private:
    std::shared_ptr<QStringList> m_lines = std::make_shared<QStringList>();
    DebugLog m_log;
};

// Keeps every progress Unit text.
class RecordingProgress final : public FetchProgress
{
public:
    void setInfo(const QString &) override {}
    void setCaption(const QString &) override {}
    void setMax(qint32) override {}
    void setValue(qint32) override {}
    void setUnit(const QString &unit) override { units.append(unit); }
    bool letEventsThrough() override { return true; }
    QStringList units;
};

// Remembers what it was told; every question is answered No.
class RecordingPrompter final : public Prompter
{
public:
    bool askYesNo(const QString &, MessageIcon, const QString &) override { return false; }
    void tell(const QString &text, MessageIcon icon, const QString &) override
    {
        told.append(text);
        icons.append(icon);
    }
    QString askText(const QString &, const QString &, const QString &) override { return {}; }

    QStringList told;
    QList<MessageIcon> icons;
};
