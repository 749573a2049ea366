#pragma once

#include <QString>

class QWidget;

// What the settings window asks of the program around it: the desktop, the other windows, the
// run and the end of the process. The desktop session answers for real; tests record the calls.
class SettingWindowHost
{
public:
    virtual ~SettingWindowHost() = default;

    // False when nothing could open it.
    virtual bool openAddress(const QString &target) = 0;
    // False when there is no such document or nothing could open it.
    virtual bool openDocument(const QString &path) = 0;
    // The chosen folder, or "" when the person cancelled.
    virtual QString browseForFolder(QWidget *owner, const QString &title,
                                    const QString &initialFolder) = 0;
    // The about window, modal to owner.
    virtual void showAbout(QWidget *owner) = 0;
    // Runs one collection with the settings as they stand; ends the program when it is done.
    virtual void startFetch() = 0;
    // Ends the whole program with this exit status, at once.
    virtual void endProgram(int status) = 0;
};
