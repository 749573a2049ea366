#pragma once

#include <QString>

#include <functional>
#include <thread>

// SIGTERM and SIGINT (what a service manager's stop and Ctrl+C send) delivered as ordinary calls
// on a thread of the watcher's own, so that nothing has to be done inside a signal handler.
//
// Call BlockStopSignals() first thing in main, before any thread starts: threads inherit the
// blocked signals, so none of them is ended by one. The watcher then receives every stop signal
// of the process, also those that came before it was created.
void BlockStopSignals();

class SignalWatcher
{
public:
    // signal: its number; count: how many stop signals have come so far, this one included.
    using Callback = std::function<void(int signal, int count)>;

    explicit SignalWatcher(Callback callback);
    // Stops and joins the thread; signals that come later stay pending.
    ~SignalWatcher();
    Q_DISABLE_COPY_MOVE(SignalWatcher)

    // False when the watcher could not be set up (the signals then keep their default action).
    bool isWatching() const { return m_thread.joinable(); }

    // "SIGTERM", "SIGINT", or "signal <n>".
    static QString nameOf(int signal);

private:
    void watch();

    Callback m_callback;
    int m_signalFd = -1;
    int m_wakeFd = -1;
    std::thread m_thread;
};
