#include "startup/SettingFolder.h"

#include <QFileInfo>
#include <QSettings>

#include <pwd.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

const QString kRecordKey = u"Varnholt/SettingFolder"_s;

const QString kOrganisation = u"Kestrane SoftWares"_s;
const QString kApplication = u"Varnholt"_s;

} // namespace

QString ReadSettingFolderRecord(const QString &defaultValue)
{
    const QSettings store(QSettings::NativeFormat, QSettings::UserScope, kOrganisation,
                          kApplication);
    return store.value(kRecordKey, defaultValue).toString();
}

FileResult WriteSettingFolderRecord(const QString &folder)
{
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, kOrganisation, kApplication);
    store.setValue(kRecordKey, folder);
    store.sync();
    switch (store.status()) {
    case QSettings::NoError:
        return FileResult::success();
    case QSettings::AccessError:
        return FileResult::failure(store.fileName(), u"the settings record cannot be written"_s);
    case QSettings::FormatError:
        return FileResult::failure(store.fileName(), u"the settings record is damaged"_s);
    }
    return FileResult::failure(store.fileName(), u"unknown settings record error"_s);
}

bool SettingFolderExists(const QString &folder)
{
    return !folder.isEmpty() && QFileInfo::exists(folder);
}

QString LoginName()
{
    for (const char *variable : {"UserName", "USER", "LOGNAME"}) {
        const QString name = qEnvironmentVariable(variable);
        if (!name.isEmpty())
            return name;
    }
    // Started by a scheduler or a service manager, the environment may name nobody.
    if (const passwd *entry = getpwuid(geteuid()); entry && entry->pw_name)
        return QString::fromLocal8Bit(entry->pw_name);
    return {};
}
