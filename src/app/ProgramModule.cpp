#include "ProgramModule.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <dlfcn.h>

using namespace Qt::StringLiterals;

namespace {

QStringList candidatePaths(const QString &file)
{
    QStringList paths;
    const QString executable = QFileInfo(u"/proc/self/exe"_s).canonicalFilePath();
    if (!executable.isEmpty()) {
        const QString folder = QFileInfo(executable).absolutePath();
        paths << folder + u'/' + file;
        paths << QFileInfo(folder + u"/"_s + QStringLiteral(VARNHOLT_MODULE_DIR_FROM_BIN) + u'/' +
                           file)
                     .absoluteFilePath();
    }
    paths << QStringLiteral(VARNHOLT_MODULE_DIR) + u'/' + file;
    paths.removeDuplicates();
    return paths;
}

} // namespace

void *LoadModuleEntry(const char *file, const char *entry, QString &failure)
{
    const QStringList paths = candidatePaths(QString::fromLatin1(file));
    for (const QString &path : paths) {
        if (!QFile::exists(path))
            continue;
        void *module = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
        if (!module) {
            failure = QString::fromLocal8Bit(dlerror());
            return nullptr;
        }
        void *function = dlsym(module, entry);
        if (!function)
            failure = path + u": "_s + QString::fromLocal8Bit(dlerror());
        return function;
    }
    failure = u"found in none of "_s + paths.join(u", "_s);
    return nullptr;
}
