#pragma once

#include "engine/ExitStatus.h"
#include "engine/RunStop.h"
#include "startup/ProgramState.h"
#include "util/Prompter.h"

#include <QString>

#include <memory>

// The one application object: owns everything that lives for the whole process, runs the
// start-up and hands over to an unattended run or to the windows.
class Application
{
public:
    enum class Mode { Headless, Windows };

    Application(Mode mode, QString commandLine, std::unique_ptr<Prompter> prompter);
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
    ProgramState m_state;
    StopRequest m_stop;
};
