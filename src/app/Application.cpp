#include "Application.h"

#include "TerminalProgress.h"
#include "engine/DeferredTransport.h"
#include "engine/FetchAction.h"
#include "engine/FetchProgress.h"
#include "engine/HttpLibrary.h"
#include "startup/CategoryTable.h"
#include "startup/StartUp.h"
#include "util/ErrorLines.h"
#include "util/ProgramFolder.h"
#include "util/SignalWatcher.h"

#include <cstdio>
#include <cstdlib>

using namespace Qt::StringLiterals;

Application::Application(Mode mode, QString commandLine, std::unique_ptr<Prompter> prompter,
                         HttpLibrary &http, DesktopMaker makeDesktop)
    : m_mode(mode)
    , m_commandLine(std::move(commandLine))
    , m_prompter(std::move(prompter))
    , m_http(http)
    , m_makeDesktop(std::move(makeDesktop))
{}

void Application::say(const QString &text) const
{
    WriteErrorLines(text);
}

void Application::onStopSignal(int signal, int count)
{
    const QString name = SignalWatcher::nameOf(signal);
    if (count > 1) {
        say(name + u" received again: ending at once"_s);
        std::fflush(nullptr);
        std::_Exit(ExitNoOutput);
    }
    if (m_stop.request()) {
        say(name + u" received: the run stops; nothing is written or saved"_s);
        m_stop.act();
    } else {
        say(name + u" received: the files being written are finished first"_s);
    }
}

int Application::run()
{
    // The one place the environment names the portal.
    m_state.BaseURL = PortalBaseURL(qEnvironmentVariable("VARNHOLT_BASE_URL"));
    if (m_mode == Mode::Headless) {
        // Until the run begins there is nothing to stop or finish: starting up writes nothing
        // that a sudden end could damage.
        m_stop.setStopAction([] {
            std::fflush(nullptr);
            std::_Exit(ExitNoOutput);
        });
    }

    QString folderError;
    m_state.programFolder = ProgramFolder(&folderError);
    // The log and the settings folders fail with their own paths later; start all the same.
    if (!folderError.isEmpty())
        say(folderError);

    // The windows, set up before the start-up so the debug window shows its first line.
    std::unique_ptr<Desktop> desktop;
    if (m_mode == Mode::Windows && m_makeDesktop)
        desktop = m_makeDesktop(m_state, *m_prompter, &m_stop, m_http);

    const StartUpResult started = StartUp(m_state, *m_prompter, m_commandLine);
    for (const QString &note : started.notes)
        say(note);
    for (const QString &unread : started.unreadFiles) {
        // Told like any other message (a window, or the terminal without one), and kept on the
        // terminal in either case.
        if (m_mode == Mode::Windows)
            say(unread);
        m_prompter->tell(unread, MessageIcon::Exclamation);
    }
    if (!started.started)
        return ExitCouldNotStart;

    // A display is available: show the settings window (or run at once with /AutoGet).
    if (desktop)
        return desktop->run();
    if (!m_state.runOptions.AutoGet) {
        say(u"no display is available: start with \"/AutoGet\" to collect without windows, or "
            "run on a desktop (DISPLAY or WAYLAND_DISPLAY)"_s);
        return ExitCouldNotStart;
    }
    return runUnattended();
}

int Application::runUnattended()
{
    const int connections = m_state.settings.Connections;
    const auto http = std::make_unique<DeferredTransport>([this, connections] {
        return m_http.makeTransport(std::chrono::seconds(60), connections);
    });
    // The progress line stays off with "/HideMe" and when "/Debug" lines share the terminal.
    const RunOptions &options = m_state.runOptions;
    std::unique_ptr<TerminalProgress> terminal;
    if (!options.HideMe && !options.Debug)
        terminal = TerminalProgress::forStandardError();
    SilentProgress silent;
    std::unique_ptr<LineClearingPrompter> clearing;
    if (terminal)
        clearing = std::make_unique<LineClearingPrompter>(*m_prompter, *terminal);
    Prompter &prompter = clearing ? static_cast<Prompter &>(*clearing) : *m_prompter;
    FetchProgress &progress = terminal ? static_cast<FetchProgress &>(*terminal) : silent;
    StoppableProgress stoppable(progress, m_stop);
    StoppablePrompter quiet(prompter);
    m_stop.setStopAction([&http, &quiet] {
        quiet.stopAsking();
        http->abort();
    });
    RunServices services{*http, quiet, stoppable};
    // Without a display nothing can show a document: the fetch action says so with the path.
    const auto openDocument = [](const QString &) {
        return false;
    };
    const FetchOutcome outcome = FetchAndSave(m_state, services, openDocument);
    m_stop.setStopAction({});
    say(RunSummary(outcome));
    return outcome.exitStatus;
}
