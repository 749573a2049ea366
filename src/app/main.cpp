#include "Application.h"
#include "CommandLineHelp.h"
#include "HeadlessPrompter.h"
#include "engine/CurlTransport.h"
#include "startup/RunOptions.h"
#include "util/SignalWatcher.h"

#include <QCoreApplication>
#include <QStringList>

#ifdef VARNHOLT_WITH_UI
#include "ui/GuiPrompter.h"
#include "ui/QtTranslations.h"

#include <QApplication>
#endif

#include <cstdio>
#include <memory>

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
    // Before any thread starts, so that the watcher below receives every stop signal.
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

#ifdef VARNHOLT_WITH_UI
    const bool windows = hasDisplay();
#else
    const bool windows = false;
#endif

    std::unique_ptr<QCoreApplication> qtApplication;
    std::unique_ptr<Prompter> prompter;
#ifdef VARNHOLT_WITH_UI
    std::unique_ptr<QTranslator> qtTexts;
    if (windows) {
        qtApplication = std::make_unique<QApplication>(argc, argv);
        qtTexts = LoadQtTranslator(QLocale());
        if (qtTexts)
            QCoreApplication::installTranslator(qtTexts.get());
        // Message boxes, also for the questions of a run on its own thread.
        prompter = std::make_unique<GuiPrompter>();
    }
#endif
    if (!windows) {
        qtApplication = std::make_unique<QCoreApplication>(argc, argv);
        prompter = std::make_unique<HeadlessPrompter>();
    }
    QCoreApplication::setApplicationName(QStringLiteral("Varnholt"));

    const CurlGlobal curl;
    Application application(windows ? Application::Mode::Windows : Application::Mode::Headless,
                            UnparsedCommandLine(arguments), std::move(prompter));
    const SignalWatcher watcher(
        [&application](int signal, int count) { application.onStopSignal(signal, count); });
    return application.run();
}
