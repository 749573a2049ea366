#include "util/Shell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

bool OpenDocument(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
}

bool OpenAddress(const QString &target)
{
    QUrl url(target, QUrl::TolerantMode);
    if (url.scheme().isEmpty())
        url = QUrl::fromUserInput(target);
    return QDesktopServices::openUrl(url);
}
