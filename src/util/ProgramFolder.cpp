#include "util/ProgramFolder.h"

#include "util/FileTools.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

QString ChooseProgramFolder(const QString &home, const QString &executableFolder,
                            bool executableFolderWritable, const QString &userDataFolder)
{
    if (!home.isEmpty())
        return home;
    if (!executableFolder.isEmpty() && executableFolderWritable)
        return executableFolder;
    return userDataFolder;
}

namespace {

QString installedLayoutDataFolder(const QString &executableFolder)
{
    return QDir::cleanPath(executableFolder + u"/../share/varnholt"_s);
}

} // namespace

QString InstalledDataFolder()
{
    const QString executableFolder = QCoreApplication::applicationDirPath();
    const QString relative = installedLayoutDataFolder(executableFolder);
    if (QFileInfo(relative).isDir())
        return relative;
    // A build tree or a portable copy carries its shipped files beside the executable.
    if (QFileInfo(executableFolder + u"/Default.ini"_s).isFile())
        return executableFolder;
    return QStringLiteral(VARNHOLT_DATA_DIR);
}

QString ProgramFolder(QString *error)
{
    const QString executableFolder = QCoreApplication::applicationDirPath();
    // An installed program keeps the user's files in the per-user data folder even where it
    // could write beside itself (run as root, say): its bin folder is nobody's program folder.
    const bool installed = QFileInfo(installedLayoutDataFolder(executableFolder)).isDir();
    QString dataLocation = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const QString folder =
        QDir(ChooseProgramFolder(qEnvironmentVariable("VARNHOLT_HOME"), executableFolder,
                                 !installed && QFileInfo(executableFolder).isWritable(),
                                 JoinPath(dataLocation, u"Varnholt"_s)))
            .absolutePath();

    if (QFileInfo(folder).isDir() || QDir().mkpath(folder))
        return folder;
    if (error) {
        *error = QFileInfo::exists(folder)
                     ? folder + u": a file of that name stands where the folder belongs"_s
                     : folder + u": the folder could not be created"_s;
    }
    return folder;
}

QString ShippedFilePath(const QString &programFolder, const QString &name,
                        const QString &dataFolder)
{
    QString folder = programFolder;
    const QString own = JoinPath(folder, name);
    if (QFileInfo(own).isFile())
        return own;
    QString installed = dataFolder;
    const QString shipped = JoinPath(installed, name);
    if (QFileInfo(shipped).isFile())
        return shipped;
    return own;
}
