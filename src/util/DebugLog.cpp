#include "util/DebugLog.h"

#include "util/CodePage.h"
#include "util/ErrorLines.h"
#include "util/FileTools.h"
#include "util/SafeWrite.h"

#include <QMutexLocker>
#include <QTime>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

void writeToStandardError(const QString &line)
{
    std::fputs((line + u'\n').toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
}

} // namespace

void DebugLog::setOptions(bool debug, bool log)
{
    QMutexLocker lock(&m_mutex);
    m_debug = debug;
    m_log = log;
}

void DebugLog::setProgramFolder(const QString &folder)
{
    QMutexLocker lock(&m_mutex);
    m_programFolder = folder;
}

void DebugLog::setWindowSink(WindowSink sink)
{
    QMutexLocker lock(&m_mutex);
    m_sink = std::move(sink);
}

bool DebugLog::enabled() const
{
    QMutexLocker lock(&m_mutex);
    return m_debug || m_log;
}

QString DebugLog::logFilePath() const
{
    QMutexLocker lock(&m_mutex);
    QString folder = m_programFolder;
    return JoinPath(folder, u"DebugLog.txt"_s);
}

void DebugLog::write(const QString &text)
{
    QMutexLocker lock(&m_mutex);
    if (m_log) {
        QString folder = m_programFolder;
        const FileResult appended = AppendUnjournaled(JoinPath(folder, u"DebugLog.txt"_s),
                                                      CodePage::toCp932(QString(text + u"\r\n"_s)));
        // Losing the log must not stop the run; one notice is enough to find out why.
        if (!appended && !m_fileErrorReported) {
            m_fileErrorReported = true;
            WriteErrorLines(u"the debug log could not be written: "_s + appended.error);
        }
    }
    if (!m_debug)
        return;
    const QString line = u"["_s + QTime::currentTime().toString(u"HH:mm:ss"_s) + u" ] "_s + text;
    // The sink may log or block on its window: call it without holding the lock.
    const WindowSink sink = m_sink;
    lock.unlock();
    if (sink)
        sink(line);
    else
        writeToStandardError(line);
}
