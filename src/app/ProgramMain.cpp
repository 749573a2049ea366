#include "ProgramMain.h"

#include "HeadlessPrompter.h"
#include "startup/RunOptions.h"
#include "util/SignalWatcher.h"

#include <QCoreApplication>

QStringList ArgumentsOf(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

int RunApplication(Application::Mode mode, const QStringList &arguments,
                   std::unique_ptr<Prompter> prompter, HttpLibrary &http,
                   Application::DesktopMaker makeDesktop)
{
    QCoreApplication::setApplicationName(QStringLiteral("Varnholt"));
    Application application(mode, UnparsedCommandLine(arguments), std::move(prompter), http,
                            std::move(makeDesktop));
    const SignalWatcher watcher(
        [&application](int signal, int count) { application.onStopSignal(signal, count); });
    return application.run();
}

int RunProgram(int &argc, char **argv, HttpLibrary &http)
{
    const QStringList arguments = ArgumentsOf(argc, argv);
    const QCoreApplication qtApplication(argc, argv);
    return RunApplication(Application::Mode::Headless, arguments,
                          std::make_unique<HeadlessPrompter>(), http);
}
