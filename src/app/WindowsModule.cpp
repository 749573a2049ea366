#include "WindowsModule.h"

#include "ProgramModule.h"
#include "engine/ExitStatus.h"
#include "util/ErrorLines.h"

using namespace Qt::StringLiterals;

int RunWithWindows(int &argc, char **argv, HttpLibrary &http)
{
    QString failure;
    const auto entry = reinterpret_cast<WindowsMainFunction>(
        LoadModuleEntry(WindowsModuleFile, "VarnholtWindowsMain", failure));
    if (!entry) {
        WriteErrorLines(u"the windows could not be loaded: "_s + failure);
        return ExitCouldNotStart;
    }
    return entry(&argc, argv, &http);
}
