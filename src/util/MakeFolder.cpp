#include "util/MakeFolder.h"

#include <QDir>
#include <QFileInfo>

bool MakeFolder(QString &path)
{
    // An empty path names no folder; walking it would test the root instead.
    if (path.isEmpty())
        return false;
    if (QFileInfo::exists(path))
        return true;
    if (QDir().mkdir(path))
        return true;

    if (!path.endsWith(u'/'))
        path += u'/';
    bool allMade = true;
    for (qsizetype end = path.indexOf(u'/'); end >= 0; end = path.indexOf(u'/', end + 1)) {
        const QString level = path.left(end + 1);
        if (!QFileInfo::exists(level) && !QDir().mkdir(level))
            allMade = false;
    }
    return allMade;
}
