// The windows module's side of the program: the Qt application with widgets, message boxes for
// the prompter, and the desktop session as the application object's windows.
#include "ProgramMain.h"
#include "WindowsModule.h"
#include "ui/DesktopSession.h"
#include "ui/GuiPrompter.h"
#include "ui/QtTranslations.h"

#include <QApplication>

namespace {

class WindowsDesktop final : public Desktop
{
public:
    WindowsDesktop(ProgramState &state, Prompter &prompter, StopRequest *stop, HttpLibrary &http)
        : m_session(state, prompter, http, stop)
    {}

    int run() override { return m_session.run(); }

private:
    DesktopSession m_session;
};

} // namespace

extern "C" __attribute__((visibility("default"))) int VarnholtWindowsMain(int *argc, char **argv,
                                                                          HttpLibrary *http)
{
    const QStringList arguments = ArgumentsOf(*argc, argv);
    const QApplication qtApplication(*argc, argv);
    const std::unique_ptr<QTranslator> qtTexts = LoadQtTranslator(QLocale());
    if (qtTexts)
        QCoreApplication::installTranslator(qtTexts.get());
    // Message boxes, also for the questions of a run on its own thread.
    return RunApplication(
        Application::Mode::Windows, arguments, std::make_unique<GuiPrompter>(), *http,
        [](ProgramState &state, Prompter &prompter, StopRequest *stop, HttpLibrary &library) {
            return std::make_unique<WindowsDesktop>(state, prompter, stop, library);
        });
}
