#include "Application.h"

#include "startup/StartUp.h"
#include "util/ProgramFolder.h"

#include <cstdio>

#ifdef VARNHOLT_WITH_UI
#include "ui/DesktopSession.h"

#include <optional>
#endif

// Switch to 1 once btnFetch_Click is built into varnholt_engine (src/engine/FetchAction.cpp).
#define VARNHOLT_FETCH_ACTION_LINKED 1

#if VARNHOLT_FETCH_ACTION_LINKED
#include "TerminalProgress.h"
#include "engine/CurlTransport.h"
#include "engine/FetchAction.h"
#include "engine/FetchProgress.h"
#include "engine/HttpTransport.h"
#endif

using namespace Qt::StringLiterals;

Application::Application(Mode mode, QString commandLine, std::unique_ptr<Prompter> prompter)
    : m_mode(mode)
    , m_commandLine(std::move(commandLine))
    , m_prompter(std::move(prompter))
{}

void Application::say(const QString &text) const
{
    std::fputs((u"Varnholt: "_s + text + u'\n').toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
}

int Application::run()
{
    QString folderError;
    m_state.programFolder = ProgramFolder(&folderError);
    // The log and the settings folders fail with their own paths later; start all the same.
    if (!folderError.isEmpty())
        say(folderError);

#ifdef VARNHOLT_WITH_UI
    // DESKTOP: the windows, set up before the start-up so the debug window shows its first line.
    std::optional<DesktopSession> desktop;
    if (m_mode == Mode::Windows)
        desktop.emplace(m_state, *m_prompter);
#endif

    const StartUpResult started = StartUp(m_state, *m_prompter, m_commandLine);
    for (const QString &note : started.notes)
        say(note);
    if (!started.started)
        return ExitCouldNotStart;

#ifdef VARNHOLT_WITH_UI
    // DESKTOP: a display is available: show the settings window (or run at once with /AutoGet).
    if (desktop)
        return desktop->run();
#endif
    if (m_mode == Mode::Windows)
        return runWithWindows();
    if (!m_state.runOptions.AutoGet) {
        say(u"no display is available: start with \"/AutoGet\" to collect without windows, or "
            "run on a desktop (DISPLAY or WAYLAND_DISPLAY)"_s);
        return ExitCouldNotStart;
    }
    return runUnattended();
}

int Application::runUnattended()
{
#if VARNHOLT_FETCH_ACTION_LINKED
    return runFetch();
#else
    // Until the fetch action is built in, an unattended start shows where it would work.
    say(u"settings folder: "_s + m_state.SettingFolder);
    say(u"debug log: "_s + m_state.log.logFilePath());
    return ExitNormal;
#endif
}

#if VARNHOLT_FETCH_ACTION_LINKED
int Application::runFetch()
{
    const CurlGlobal curl;
    const std::unique_ptr<HttpTransport> http = MakeCurlTransport();
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
    RunServices services{*http, prompter, progress};
    // Nothing can show a document without a display.
    const auto openDocument = [this](const QString &path) {
        say(path + u": not opened, no display is available"_s);
        return false;
    };
    return btnFetch_Click(m_state, services, openDocument);
}
#endif

int Application::runWithWindows()
{
    // DESKTOP HOOK: create the settings window here (hidden until now: Show it, or run its fetch
    // action at once with "/AutoGet") and return the exit status of its event loop.
    say(u"this build has no settings window: start with \"/AutoGet\""_s);
    return ExitCouldNotStart;
}
