#include "CommandLineHelp.h"
#include "ProgramMain.h"
#include "engine/ExitStatus.h"
#include "util/SignalWatcher.h"

#include <QString>
#include <QStringList>

#ifdef VARNHOLT_WINDOWS_MODULE
#include "WindowsModule.h"
#endif

#include <cstdio>

namespace {

[[maybe_unused]] bool hasDisplay()
{
    return qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY") ||
           qEnvironmentVariableIsSet("QT_QPA_PLATFORM");
}

void print(const QString &text)
{
    std::fputs((text + u'\n').toLocal8Bit().constData(), stdout);
}

} // namespace

int main(int argc, char **argv)
{
    // Before any thread starts (also the windows module's), so that the signal watcher receives
    // every stop signal.
    BlockStopSignals();
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);

    switch (EarlyActionOf(arguments)) {
    case EarlyAction::PrintHelp:
        print(HelpText());
        return ExitNormal;
    case EarlyAction::PrintVersion:
        print(VersionLine());
        return ExitNormal;
    case EarlyAction::Run:
        break;
    }

#ifdef VARNHOLT_WINDOWS_MODULE
    if (hasDisplay())
        return RunWithWindows(argc, argv);
#endif
    return RunProgram(argc, argv, false);
}
