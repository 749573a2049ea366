#pragma once

#include <QFile>
#include <QString>

#include <mutex>

// The request log: one line per request, appended and flushed at once, so a reader sees every
// request that reached the portal even while it runs.
class RequestLog
{
public:
    // False with the reason (naming the file) when it cannot be opened for appending.
    bool open(const QString &path, QString *error);
    bool isOpen() const { return m_file.isOpen(); }
    // method and target as they came: "GET /headlines/dom/?x=1".
    void write(const QByteArray &method, const QByteArray &target);

private:
    std::mutex m_mutex;
    QFile m_file;
};
