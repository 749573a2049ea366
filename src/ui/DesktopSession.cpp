#include "ui/DesktopSession.h"

#include "engine/FetchAction.h"
#include "engine/FetchRun.h"
#include "engine/HttpTransport.h"
#include "startup/ProgramState.h"
#include "ui/BrowseForFolder.h"
#include "ui/FetchWorker.h"
#include "ui/SplashForm.h"
#include "ui/frmDebug.h"
#include "ui/frmFetch.h"
#include "ui/frmSetting.h"
#include "util/Shell.h"

#include <QApplication>
#include <QThread>

#include <cstdio>
#include <cstdlib>

DesktopSession::DesktopSession(ProgramState &state, Prompter &prompter)
    : m_state(state)
    , m_prompter(prompter)
    , m_debugSink(std::make_unique<DebugWindowSink>())
{
    m_state.log.setWindowSink(m_debugSink->sink());
}

DesktopSession::~DesktopSession()
{
    m_worker.reset();
    m_state.log.setWindowSink({});
}

int DesktopSession::run()
{
    // Every way out ends the program explicitly; a closed last window does not.
    QApplication::setQuitOnLastWindowClosed(false);
    m_window = std::make_unique<frmSetting>(m_state, m_prompter, *this);
    if (m_state.runOptions.AutoGet)
        m_window->btnFetch_Click();
    else
        m_window->show();

    const int status = m_endStatus ? *m_endStatus : m_loop.exec();
    if (m_worker && m_worker->isRunning()) {
        // The person cancelled while the run waits in a request or a question that cannot be
        // interrupted. End now, as asked: every file a run writes is replaced whole or not at
        // all, so nothing is left half-written, and nothing more gets saved.
        std::fflush(nullptr);
        std::_Exit(status);
    }
    return status;
}

void DesktopSession::openAddress(const QString &target)
{
    OpenAddress(target);
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
    SplashForm about([](const QString &address) { OpenAddress(address); }, owner);
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
        // A confirmed cancel or a closed progress window ends the program without saving.
        QObject::connect(m_fetchWindow.get(), &frmFetch::cancelConfirmed, m_fetchWindow.get(),
                         [this] { endProgram(1); });
        QObject::connect(m_fetchWindow.get(), &frmFetch::closedByUser, m_fetchWindow.get(),
                         [this] { endProgram(1); });
        m_fetchWindow->show();
    }
    FetchProgress &progress =
        m_fetchWindow ? static_cast<FetchProgress &>(*m_fetchWindow) : m_silentProgress;

    m_http = MakeCurlTransport();
    m_services = std::make_unique<RunServices>(RunServices{*m_http, m_prompter, progress});
    m_worker = std::make_unique<FetchWorker>([this] {
        return btnFetch_Click(m_state, *m_services,
                              [this](const QString &path) { return openOutput(path); });
    });
    QObject::connect(m_worker.get(), &FetchWorker::finished, m_worker.get(),
                     [this](int status) { endProgram(status); });
    m_worker->start();
}

void DesktopSession::endProgram(int status)
{
    if (m_endStatus)
        return;
    m_endStatus = status;
    if (m_window)
        m_window->hide();
    if (m_fetchWindow)
        m_fetchWindow->hide();
    m_debugSink->closeWindow();
    m_loop.exit(status);
}
