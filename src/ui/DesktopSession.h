#pragma once

#include "engine/FetchProgress.h"
#include "ui/DesktopNotifier.h"
#include "ui/SettingWindowHost.h"

#include <QEventLoop>

#include <memory>
#include <optional>

class DebugWindowSink;
class FetchWorker;
class HelpKey;
class HttpLibrary;
class HttpTransport;
class Prompter;
class StopRequest;
class StoppableProgress;
class StoppablePrompter;
class frmFetch;
class frmSetting;
struct ProgramState;
struct RunServices;

// The windows of one interactive process. Create it before the start-up, so the debug window
// shows the log from its first line; run it after the start-up.
class DesktopSession final : public SettingWindowHost
{
public:
    // prompter must be usable from a run's thread (a GuiPrompter); both outlive the session, as
    // do httpLibrary, which makes the run's transport, and stop, whose accepted request (a
    // signal) ends the program through endProgram().
    DesktopSession(ProgramState &state, Prompter &prompter, HttpLibrary &httpLibrary,
                   StopRequest *stop = nullptr);
    ~DesktopSession() override;
    Q_DISABLE_COPY_MOVE(DesktopSession)

    // Shows the settings window, or with "/AutoGet" runs the fetch action at once, and returns
    // the exit status once the program ends.
    int run();

    bool openAddress(const QString &target) override;
    bool openDocument(const QString &path) override;
    QString browseForFolder(QWidget *owner, const QString &title,
                            const QString &initialFolder) override;
    void showAbout(QWidget *owner) override;
    void startFetch() override;
    // Also how the program ends for a reason of its own (a signal): a run under way, even one
    // waiting for the cancel question, ends as if Cancel had been confirmed.
    void endProgram(int status) override;

private:
    // The /Open request of a run, carried over to the window thread.
    bool openOutput(const QString &path);

    // Releases a run waiting for an answer and makes it stop at its next stop point.
    void stopRun();

    class HiddenProgress;

    ProgramState &m_state;
    Prompter &m_prompter;
    HttpLibrary &m_httpLibrary;
    StopRequest *m_stop;
    // The run's questions: once the program is ending, answered No without a box.
    std::unique_ptr<StoppablePrompter> m_runPrompter;
    QEventLoop m_loop;
    std::optional<int> m_endStatus;
    std::unique_ptr<DebugWindowSink> m_debugSink;
    std::unique_ptr<HelpKey> m_helpKey;
    std::unique_ptr<frmSetting> m_window;
    std::unique_ptr<HttpTransport> m_http;
    std::unique_ptr<frmFetch> m_fetchWindow;
    std::unique_ptr<HiddenProgress> m_hiddenProgress;
    std::unique_ptr<StoppableProgress> m_stoppableProgress;
    std::unique_ptr<RunServices> m_services;
    RunNotice m_runNotice; // written by the run's thread before finished()
    bool m_runEnded = false;
    // Declared last: the run's thread is joined before anything it uses goes away.
    std::unique_ptr<FetchWorker> m_worker;
};
