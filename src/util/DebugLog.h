#pragma once

#include <QMutex>
#include <QString>

#include <functional>

// The program's one log. With Debug a line "[HH:MM:SS ] text" goes to the window sink (the
// debug window, or standard error until one is plugged in); with Log the text alone is
// appended to DebugLog.txt in the program folder, in CP932 with CR LF.
class DebugLog
{
public:
    using WindowSink = std::function<void(const QString &line)>;

    void setOptions(bool debug, bool log);
    void setProgramFolder(const QString &folder);
    void setWindowSink(WindowSink sink);

    // False when neither destination is on: callers skip building costly texts.
    bool enabled() const;
    // Safe to call from the run's thread: the sink decides how the line reaches its window.
    void write(const QString &text);

    QString logFilePath() const;

private:
    mutable QMutex m_mutex;
    bool m_debug = false;
    bool m_log = false;
    bool m_fileErrorReported = false;
    QString m_programFolder;
    WindowSink m_sink;
};
