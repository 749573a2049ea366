#include "WindowsModule.h"

#include "engine/ExitStatus.h"
#include "util/ErrorLines.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <dlfcn.h>

using namespace Qt::StringLiterals;

namespace {

QStringList candidatePaths()
{
    const QString file = QString::fromLatin1(WindowsModuleFile);
    QStringList paths;
    const QString executable = QFileInfo(u"/proc/self/exe"_s).canonicalFilePath();
    if (!executable.isEmpty())
        paths << QFileInfo(executable).absolutePath() + u'/' + file;
    paths << QStringLiteral(VARNHOLT_MODULE_DIR) + u'/' + file;
    return paths;
}

} // namespace

int RunWithWindows(int &argc, char **argv)
{
    const QStringList paths = candidatePaths();
    QString failure;
    for (const QString &path : paths) {
        if (!QFile::exists(path))
            continue;
        // Never unloaded: its objects live until the process ends.
        void *module = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
        if (!module) {
            failure = QString::fromLocal8Bit(dlerror());
            break;
        }
        const auto entry =
            reinterpret_cast<WindowsMainFunction>(dlsym(module, "VarnholtWindowsMain"));
        if (!entry) {
            failure = path + u": "_s + QString::fromLocal8Bit(dlerror());
            break;
        }
        return entry(&argc, argv);
    }
    if (failure.isEmpty())
        failure = u"found in none of "_s + paths.join(u", "_s);
    WriteErrorLines(u"the windows could not be loaded: "_s + failure);
    return ExitCouldNotStart;
}
