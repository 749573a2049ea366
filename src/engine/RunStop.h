#pragma once

#include "engine/FetchProgress.h"
#include "util/Prompter.h"

#include <QMutex>

#include <atomic>
#include <functional>

// A request from outside the run (SIGTERM, SIGINT) to end it. Before the run writes anything
// the request stops it like a confirmed Cancel; once its writing has begun, the writing is
// finished first. Thread-safe.
class StopRequest
{
public:
    // From any thread. True when the run stops without writing or saving anything (call
    // act() next); false when its writing was under way and goes on.
    bool request();
    // Runs the stop action, when one is set.
    void act();
    // From the run, right before it writes its output or saves: false when a stop came first.
    // Once it has answered true, later requests no longer stop the run.
    bool beginWriting();
    // A stop was accepted.
    bool stopped() const;
    // What a stop does to the run under way (abort its requests, end its questions); called at
    // once when a stop has already been accepted.
    void setStopAction(std::function<void()> action);

private:
    enum class State { Running, Stopped, Writing };
    std::atomic<State> m_state{State::Running};
    mutable QMutex m_mutex;
    std::function<void()> m_action;
};

// The run's progress, stopped by a StopRequest as by the person's Cancel.
class StoppableProgress final : public FetchProgress
{
public:
    StoppableProgress(FetchProgress &inner, StopRequest &stop)
        : m_inner(inner)
        , m_stop(stop)
    {}

    void setInfo(const QString &text) override { m_inner.setInfo(text); }
    void setCaption(const QString &text) override { m_inner.setCaption(text); }
    void setMax(qint32 max) override { m_inner.setMax(max); }
    void setValue(qint32 value) override { m_inner.setValue(value); }
    void setUnit(const QString &unit) override { m_inner.setUnit(unit); }
    bool letEventsThrough() override { return m_inner.letEventsThrough() && !m_stop.stopped(); }
    bool mayGoOn() override { return m_inner.mayGoOn() && !m_stop.stopped(); }
    bool cancelled() const override { return m_inner.cancelled() || m_stop.stopped(); }
    bool beginWriting() override { return m_inner.beginWriting() && m_stop.beginWriting(); }

private:
    FetchProgress &m_inner;
    StopRequest &m_stop;
};

// Forwards a run's questions to the person until stopAsking(); after that nobody is there to
// answer, so every question is answered No and messages are dropped.
class StoppablePrompter final : public Prompter
{
public:
    explicit StoppablePrompter(Prompter &person)
        : m_person(person)
    {}

    // From any thread.
    void stopAsking() { m_stopped = true; }

    bool askYesNo(const QString &text, MessageIcon icon, const QString &title) override
    {
        return !m_stopped && m_person.askYesNo(text, icon, title);
    }
    void tell(const QString &text, MessageIcon icon, const QString &title) override
    {
        if (!m_stopped)
            m_person.tell(text, icon, title);
    }
    QString askText(const QString &prompt, const QString &title, const QString &suggested) override
    {
        return m_stopped ? QString() : m_person.askText(prompt, title, suggested);
    }
    void pageFetchStarted() override { m_person.pageFetchStarted(); }

private:
    Prompter &m_person;
    std::atomic<bool> m_stopped{false};
};
