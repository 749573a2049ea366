#pragma once

#include "engine/ExitStatus.h"
#include "engine/RunStop.h"
#include "startup/ProgramState.h"
#include "util/Prompter.h"

#include <QString>

#include <functional>
#include <memory>

class HttpLibrary;

// The windows, as the application object sees them: made before the start-up (so that the debug
// window shows the log from its first line), run after it.
class Desktop
{
public:
    virtual ~Desktop() = default;
    // The settings window, or with "/AutoGet" a run at once; returns the exit status.
    virtual int run() = 0;
};

// The one application object: owns everything that lives for the whole process, runs the
// start-up and hands over to an unattended run or to the windows.
class Application
{
public:
    enum class Mode { Headless, Windows };
    // Makes the windows; the windows module gives one, a process without windows none.
    using DesktopMaker = std::function<std::unique_ptr<Desktop>(
        ProgramState &state, Prompter &prompter, StopRequest *stop, HttpLibrary &http)>;

    // http: the HTTP library main hands down; it outlives the application.
    Application(Mode mode, QString commandLine, std::unique_ptr<Prompter> prompter,
                HttpLibrary &http, DesktopMaker makeDesktop = {});
    Q_DISABLE_COPY_MOVE(Application)

    // Returns the exit status.
    int run();

    // From the signal watcher's thread: the first SIGTERM or SIGINT stops the run before it
    // writes (or lets a write under way finish); a second one ends the process at once, which
    // every writer survives (replacements are whole or not at all, appends are journaled).
    void onStopSignal(int signal, int count);

private:
    int runUnattended();
    void say(const QString &text) const;

    Mode m_mode;
    QString m_commandLine;
    std::unique_ptr<Prompter> m_prompter;
    HttpLibrary &m_http;
    DesktopMaker m_makeDesktop;
    ProgramState m_state;
    StopRequest m_stop;
};
