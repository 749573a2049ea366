#pragma once

#include <QObject>
#include <QThread>

#include <chrono>
#include <functional>
#include <memory>

// Runs one collection off the window thread, so the windows stay responsive while requests
// block. The job's exit status arrives as finished() on the thread that started it.
class FetchWorker final : public QObject
{
    Q_OBJECT

public:
    using Job = std::function<int()>;

    explicit FetchWorker(Job job);
    ~FetchWorker() override;

    // Starts the job on a thread of its own; once only.
    void start();
    bool isRunning() const;
    // Waits up to the time-out for the job to end; true when it has ended (or never started).
    bool wait(std::chrono::milliseconds timeout);

signals:
    void finished(int status);

private:
    // A worker thread is stopped and joined before it goes away.
    struct QuitAndWait
    {
        void operator()(QThread *thread) const;
    };

    class Runner;

    Job m_job;
    std::unique_ptr<Runner> m_runner;
    std::unique_ptr<QThread, QuitAndWait> m_thread;
};
