#include "ProgramMain.h"

#include "Application.h"
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

#include <memory>

int RunProgram(int &argc, char **argv, [[maybe_unused]] bool windows)
{
#ifndef VARNHOLT_WITH_UI
    windows = false;
#endif
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);

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
