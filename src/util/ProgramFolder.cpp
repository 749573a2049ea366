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

QString ProgramFolder(QString *error)
{
    const QString executableFolder = QCoreApplication::applicationDirPath();
    QString dataLocation = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const QString folder =
        QDir(ChooseProgramFolder(qEnvironmentVariable("VARNHOLT_HOME"), executableFolder,
                                 QFileInfo(executableFolder).isWritable(),
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
