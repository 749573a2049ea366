#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// The built varnholt-portal on a port it picks itself ("--port 0"); stopped when this goes.
class PortalProcess
{
public:
    explicit PortalProcess(QStringList arguments = {})
    {
        using namespace Qt::StringLiterals;
        m_process.start(QStringLiteral(VARNHOLT_PORTAL_BINARY), arguments << u"--port"_s << u"0"_s);
        if (!m_process.waitForStarted(10000)) {
            m_failure = m_process.errorString();
            return;
        }
        while (!m_process.canReadLine()) {
            if (!m_process.waitForReadyRead(10000)) {
                m_failure = u"varnholt-portal printed no PORT line"_s;
                return;
            }
        }
        const QString first = QString::fromUtf8(m_process.readLine()).trimmed();
        if (first.startsWith(u"PORT "_s))
            m_port = quint16(first.mid(5).toUInt());
        if (m_port == 0)
            m_failure = u"varnholt-portal printed "_s + first;
    }
    ~PortalProcess()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            if (!m_process.waitForFinished(5000))
                m_process.kill();
        }
    }
    Q_DISABLE_COPY_MOVE(PortalProcess)

    // Why the portal is not serving; empty once it is.
    const QString &failure() const { return m_failure; }
    quint16 port() const { return m_port; }
    QString baseUrl() const
    {
        return QStringLiteral("http://127.0.0.1:") + QString::number(m_port);
    }
    QProcess &process() { return m_process; }

private:
    QProcess m_process;
    quint16 m_port = 0;
    QString m_failure;
};
