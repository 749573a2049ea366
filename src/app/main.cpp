#include "CommandLineHelp.h"
#include "HttpModuleLoader.h"
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
    switch (EarlyActionOf(ArgumentsOf(argc, argv))) {
    case EarlyAction::PrintHelp:
        print(HelpText());
        return ExitNormal;
    case EarlyAction::PrintVersion:
        print(VersionLine());
        return ExitNormal;
    case EarlyAction::Run:
        break;
    }

    // libcurl's module, loaded at the first request of either kind of run.
    LoadedHttpLibrary http;
#ifdef VARNHOLT_WINDOWS_MODULE
    if (hasDisplay())
        return RunWithWindows(argc, argv, http);
#endif
    return RunProgram(argc, argv, http);
}
