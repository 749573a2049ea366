#include "ui/FetchWorker.h"

// The object that lives on the worker thread: the job runs in its slot.
class FetchWorker::Runner final : public QObject
{
    Q_OBJECT

public:
    explicit Runner(Job job)
        : m_job(std::move(job))
    {}

    void run() { emit done(m_job()); }

signals:
    void done(int status);

private:
    Job m_job;
};

void FetchWorker::QuitAndWait::operator()(QThread *thread) const
{
    thread->quit();
    thread->wait();
    delete thread;
}

FetchWorker::FetchWorker(Job job)
    : m_job(std::move(job))
{}

// The thread goes first (declared last), so the runner is never deleted while it works.
FetchWorker::~FetchWorker() = default;

void FetchWorker::start()
{
    if (m_thread)
        return;
    m_runner = std::make_unique<Runner>(std::move(m_job));
    m_thread.reset(new QThread);
    m_runner->moveToThread(m_thread.get());
    connect(m_thread.get(), &QThread::started, m_runner.get(), &Runner::run);
    connect(m_runner.get(), &Runner::done, this, &FetchWorker::finished, Qt::QueuedConnection);
    m_thread->start();
}

bool FetchWorker::isRunning() const
{
    return m_thread && m_thread->isRunning();
}

bool FetchWorker::wait(std::chrono::milliseconds timeout)
{
    if (!m_thread)
        return true;
    // The thread's event loop ends as soon as the job's slot returns.
    m_thread->quit();
    return m_thread->wait(QDeadlineTimer(timeout));
}

#include "FetchWorker.moc"
