#include "ui/BrowseForFolder.h"

#include "util/FileTools.h"

#include <QFileDialog>

using namespace Qt::StringLiterals;

QString PreselectFolderOf(const QString &initialFolder)
{
    if (initialFolder.size() > 1 && initialFolder.endsWith(u'/'))
        return initialFolder.chopped(1);
    return initialFolder;
}

QString BrowseForFolder(QWidget *owner, const QString &initialFolder, const QString &title,
                        const FolderDialog &dialog)
{
    return TrimAtNul(dialog(owner, title, PreselectFolderOf(initialFolder)));
}

QString BrowseForFolder(QWidget *owner, const QString &initialFolder, const QString &title)
{
    return BrowseForFolder(owner, initialFolder, title,
                           [](QWidget *parent, const QString &caption, const QString &preselect) {
                               return QFileDialog::getExistingDirectory(parent, caption, preselect,
                                                                        QFileDialog::ShowDirsOnly);
                           });
}
