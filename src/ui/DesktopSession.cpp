#include "ui/DesktopSession.h"

#include "engine/ExitStatus.h"
#include "engine/FetchAction.h"
#include "engine/FetchRun.h"
#include "engine/HttpLibrary.h"
#include "engine/RunStop.h"
#include "startup/ProgramState.h"
#include "ui/BrowseForFolder.h"
#include "ui/DesktopNotifier.h"
#include "ui/DesktopOpen.h"
#include "ui/FetchWorker.h"
#include "ui/HelpKey.h"
#include "ui/SplashForm.h"
#include "ui/frmDebug.h"
#include "ui/frmFetch.h"
#include "ui/frmSetting.h"
#include "util/Prompter.h"
#include "util/Shell.h"

#include <QApplication>
#include <QThread>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

// How long an ending program waits for a cancelled run to notice: an aborted request returns
// within about a second.
constexpr std::chrono::seconds kRunStopWait{5};
// How long an ending program lets the notification service take its notification.
constexpr std::chrono::milliseconds kNoticeWait{500};

} // namespace

// "/HideMe": nothing to show, and only the program's end stops the run.
class DesktopSession::HiddenProgress final : public FetchProgress
{
public:
    void stop() { m_stopped = true; }

    void setInfo(const QString &) override {}
    void setCaption(const QString &) override {}
    void setMax(qint32) override {}
    void setValue(qint32) override {}
    void setUnit(const QString &) override {}
    bool letEventsThrough() override { return !m_stopped; }
    bool mayGoOn() override { return !m_stopped; }
    bool cancelled() const override { return m_stopped; }

private:
    std::atomic<bool> m_stopped{false};
};

DesktopSession::DesktopSession(ProgramState &state, Prompter &prompter, HttpLibrary &httpLibrary,
                               StopRequest *stop)
    : m_state(state)
    , m_prompter(prompter)
    , m_httpLibrary(httpLibrary)
    , m_stop(stop)
    , m_debugSink(std::make_unique<DebugWindowSink>())
    , m_helpKey(
          std::make_unique<HelpKey>([this] { OpenHelp(m_state.programFolder, *this, m_prompter); }))
{
    // Shown with the first window of the run or the settings, so that it comes up in front.
    m_debugSink->hold();
    m_state.log.setWindowSink(m_debugSink->sink());
    qApp->installEventFilter(m_helpKey.get());
    if (m_stop) {
        // Requested from any thread; the windows are looked after on their own.
        m_stop->setStopAction([this] {
            QMetaObject::invokeMethod(
                qApp, [this] { endProgram(ExitNoOutput); }, Qt::QueuedConnection);
        });
    }
}

DesktopSession::~DesktopSession()
{
    if (m_stop)
        m_stop->setStopAction({});
    m_worker.reset();
    m_state.log.setWindowSink({});
}

int DesktopSession::run()
{
    // Every way out ends the program explicitly; a closed last window does not.
    QApplication::setQuitOnLastWindowClosed(false);
    m_window = std::make_unique<frmSetting>(m_state, m_prompter, *this);
    if (m_state.runOptions.AutoGet) {
        m_debugSink->release(nullptr);
        m_window->btnFetch_Click();
    } else {
        m_window->show();
        m_debugSink->release(m_window.get());
    }

    const int status = m_endStatus ? *m_endStatus : m_loop.exec();
    if (m_worker && m_worker->isRunning()) {
        // The person cancelled while the run works. Its requests fail at once and its questions
        // are answered No, so it reaches its next stop point and ends without writing or saving
        // anything more; an output file it was already writing is finished, whole. Should it
        // not end in time, end the process as asked: every file is replaced whole or not at all.
        stopRun();
        if (!m_worker->wait(kRunStopWait)) {
            std::fflush(nullptr);
            std::_Exit(status);
        }
    }
    // The windows are gone; the person learns what the run did without waiting for it.
    if (m_runEnded && !m_runNotice.summary.isEmpty())
        DesktopNotifier().notify(m_runNotice.summary, m_runNotice.body, kNoticeWait);
    return status;
}

bool DesktopSession::openAddress(const QString &target)
{
    return OpenAddress(target);
}

bool DesktopSession::openDocument(const QString &path)
{
    return OpenDocument(path);
}

QString DesktopSession::browseForFolder(QWidget *owner, const QString &title,
                                        const QString &initialFolder)
{
    return BrowseForFolder(owner, initialFolder, title);
}

void DesktopSession::showAbout(QWidget *owner)
{
    SplashForm about([this](const QString &address) { OpenLink(address, *this, m_prompter); },
                     owner);
    about.exec();
}

bool DesktopSession::openOutput(const QString &path)
{
    if (QThread::currentThread() == qApp->thread())
        return OpenDocument(path);
    bool opened = false;
    QMetaObject::invokeMethod(
        qApp, [&opened, &path] { opened = OpenDocument(path); }, Qt::BlockingQueuedConnection);
    return opened;
}

void DesktopSession::startFetch()
{
    if (m_worker)
        return;
    if (!m_state.runOptions.HideMe) {
        m_fetchWindow = std::make_unique<frmFetch>(m_prompter);
        // A confirmed cancel (also after closing the window) ends the program without saving.
        QObject::connect(m_fetchWindow.get(), &frmFetch::cancelConfirmed, m_fetchWindow.get(),
                         [this] { endProgram(ExitNoOutput); });
        m_fetchWindow->show();
    }
    m_hiddenProgress = std::make_unique<HiddenProgress>();
    FetchProgress *progress =
        m_fetchWindow ? static_cast<FetchProgress *>(m_fetchWindow.get()) : m_hiddenProgress.get();
    // A stop accepted before the writing keeps the run from beginning it.
    if (m_stop) {
        m_stoppableProgress = std::make_unique<StoppableProgress>(*progress, *m_stop);
        progress = m_stoppableProgress.get();
    }

    m_http = m_httpLibrary.makeTransport(std::chrono::seconds(60), m_state.settings.Connections);
    if (m_fetchWindow) {
        // While the person decides, not even the requests asked ahead go out.
        QObject::connect(m_fetchWindow.get(), &frmFetch::cancelQuestionOpen, m_fetchWindow.get(),
                         [this](bool open) { m_http->hold(open); });
    }
    m_runPrompter = std::make_unique<StoppablePrompter>(m_prompter);
    m_services = std::make_unique<RunServices>(RunServices{*m_http, *m_runPrompter, *progress});
    m_worker = std::make_unique<FetchWorker>([this] {
        const FetchOutcome outcome = FetchAndSave(
            m_state, *m_services, [this](const QString &path) { return openOutput(path); });
        m_runNotice = RunEndNotice(outcome);
        return outcome.exitStatus;
    });
    // Read only once finished() has arrived, after the run wrote it.
    QObject::connect(m_worker.get(), &FetchWorker::finished, m_worker.get(), [this](int status) {
        m_runEnded = true;
        endProgram(status);
    });
    m_worker->start();
}

void DesktopSession::stopRun()
{
    if (m_fetchWindow)
        m_fetchWindow->stop();
    if (m_hiddenProgress)
        m_hiddenProgress->stop();
    if (m_runPrompter)
        m_runPrompter->stopAsking();
    if (m_http)
        m_http->abort();
}

void DesktopSession::endProgram(int status)
{
    if (m_endStatus)
        return;
    m_endStatus = status;
    // A run that has not ended by itself is stopped before anything else can let it go on.
    if (m_worker && m_worker->isRunning())
        stopRun();
    if (m_window)
        m_window->hide();
    if (m_fetchWindow)
        m_fetchWindow->hide();
    m_debugSink->closeWindow();
    // An open question (the cancel question, or one of the run's) would hold the program in its
    // own event loop; closed, it answers No, which the stopped run no longer acts on.
    while (QWidget *box = QApplication::activeModalWidget()) {
        if (!box->close())
            break;
    }
    m_loop.exit(status);
}
