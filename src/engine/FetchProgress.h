#pragma once

#include <QString>

// What a run shows while it works: the fetch window, a terminal line, or nothing.
class FetchProgress
{
public:
    virtual ~FetchProgress() = default;

    virtual void setInfo(const QString &text) = 0;    // lblInfo
    virtual void setCaption(const QString &text) = 0; // the window's caption
    virtual void setMax(qint32 max) = 0;              // progress bar Max
    virtual void setValue(qint32 value) = 0;          // progress bar Value
    virtual void setUnit(const QString &unit) = 0;    // progress bar Unit
    // Once per article: let pending events through. False when the person cancelled the run.
    virtual bool letEventsThrough() = 0;
    // From the run's thread, before every request and every question of the run: waits while
    // the person is deciding whether to cancel, so that nothing new is asked meanwhile. False
    // when the run is to stop.
    virtual bool mayGoOn() { return true; }
    // From the run's thread, without letting events through: has the person cancelled? Checked
    // before the output is written and before anything is saved. False commits the run: from
    // then on it writes and saves all, so a window no longer offers Cancel.
    virtual bool cancelled() const { return false; }
    // The run is about to write its output or save: false when it was cancelled first. A cancel
    // that comes later may still end the program, but no longer stops the writing.
    virtual bool beginWriting() { return !cancelled(); }
};

// For runs nobody watches.
class SilentProgress final : public FetchProgress
{
public:
    void setInfo(const QString &) override {}
    void setCaption(const QString &) override {}
    void setMax(qint32) override {}
    void setValue(qint32) override {}
    void setUnit(const QString &) override {}
    bool letEventsThrough() override { return true; }
};
