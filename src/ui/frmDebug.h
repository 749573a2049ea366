#pragma once

#include "util/DebugLog.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <memory>

namespace Ui {
class frmDebug;
}

// The debug window: every log line on top of the ones before it.
class frmDebug final : public QWidget
{
    Q_OBJECT

public:
    explicit frmDebug(QWidget *parent = nullptr);
    ~frmDebug() override;

    // Stamps the text "[HH:MM:SS ] text" with the current time and puts it on top.
    void appendLine(const QString &text);
    // Puts an already stamped line on top. Inserts at the start instead of rewriting the
    // text, which a run of thousands of lines could not afford.
    void insertLine(const QString &line);

private:
    std::unique_ptr<Ui::frmDebug> m_ui;
};

// Owns the one debug window: creates it on the first line, shows it modeless in front of the
// other windows, and starts a fresh, empty one when the person closed the previous one. Lives on
// the GUI thread.
class DebugWindowSink final : public QObject
{
    Q_OBJECT

public:
    explicit DebugWindowSink(QObject *parent = nullptr);
    ~DebugWindowSink() override;

    // Shows the window (creating it when needed) with the stamped line on top.
    void showLine(const QString &line);
    // Closes the window, if any; the next line opens a new one.
    void closeWindow();
    // Until release(), lines go into the window without showing it: a window about to be shown
    // first would come up over it.
    void hold() { m_held = true; }
    // Shows the window, when there are lines, beside companion (where the screen has room) and
    // in front of it. Windows opened later go beside it too while it is visible.
    void release(QWidget *companion);
    // The open window, or null.
    frmDebug *window() const { return m_window; }

    // For DebugLog::setWindowSink: callable from any thread, carries each line over to this
    // object's thread. Unplug it from the log before this object goes.
    DebugLog::WindowSink sink();

private:
    // Shows the window in front, beside the companion where it can.
    void present();

    QPointer<frmDebug> m_window;
    QPointer<QWidget> m_companion;
    bool m_held = false;
};
