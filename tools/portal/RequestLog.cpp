#include "RequestLog.h"

using namespace Qt::StringLiterals;

bool RequestLog::open(const QString &path, QString *error)
{
    m_file.setFileName(path);
    if (m_file.open(QIODevice::WriteOnly | QIODevice::Append))
        return true;
    *error = u"cannot open the request log %1: %2"_s.arg(path, m_file.errorString());
    return false;
}

void RequestLog::write(const QByteArray &method, const QByteArray &target)
{
    std::lock_guard lock(m_mutex);
    m_file.write(method + ' ' + target + '\n');
    m_file.flush();
}
