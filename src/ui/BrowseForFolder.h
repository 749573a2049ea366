#pragma once

#include <QString>

#include <functional>

class QWidget;

// Shows the folder picker: (owner, title, folder to preselect or "") -> chosen folder or "".
using FolderDialog =
    std::function<QString(QWidget *owner, const QString &title, const QString &preselect)>;

// The desktop's folder picker over the owner, opened at initialFolder. Returns the chosen
// folder, or "" when the person cancelled.
QString BrowseForFolder(QWidget *owner, const QString &initialFolder, const QString &title);
// The same with another dialog in place of the desktop's, for tests.
QString BrowseForFolder(QWidget *owner, const QString &initialFolder, const QString &title,
                        const FolderDialog &dialog);

// The folder the picker opens at: initialFolder without one trailing "/", a bare "/" kept.
QString PreselectFolderOf(const QString &initialFolder);
