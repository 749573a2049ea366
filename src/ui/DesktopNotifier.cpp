#include "ui/DesktopNotifier.h"

#include "engine/FetchAction.h"
#include "ui/ProductLook.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QEventLoop>
#include <QTimer>
#include <QVariantMap>

using namespace Qt::StringLiterals;

DesktopNotifier::DesktopNotifier(QDBusConnection bus)
    : m_bus(std::move(bus))
{}

bool DesktopNotifier::notify(const QString &summary, const QString &body,
                             std::chrono::milliseconds bound)
{
    if (!m_bus.isConnected())
        return false;
    QDBusMessage call = QDBusMessage::createMethodCall(
        u"org.freedesktop.Notifications"_s, u"/org/freedesktop/Notifications"_s,
        u"org.freedesktop.Notifications"_s, u"Notify"_s);
    // app_name, replaces_id, app_icon, summary, body, actions, hints, expire_timeout (-1: the
    // service's default).
    call << ProductName() << 0u << QString() << summary << body << QStringList() << QVariantMap()
         << qint32(-1);
    QDBusPendingCallWatcher watcher(m_bus.asyncCall(call, int(bound.count())));
    if (watcher.isFinished())
        return !watcher.isError();
    QEventLoop wait;
    QTimer timeout;
    timeout.setSingleShot(true);
    QObject::connect(&timeout, &QTimer::timeout, &wait, &QEventLoop::quit);
    QObject::connect(&watcher, &QDBusPendingCallWatcher::finished, &wait, &QEventLoop::quit);
    timeout.start(bound);
    wait.exec(QEventLoop::ExcludeUserInputEvents);
    return watcher.isFinished() && !watcher.isError();
}

RunNotice RunEndNotice(const FetchOutcome &outcome)
{
    const RunResult &run = outcome.run;
    if (run.end != RunEnd::Completed || !run.outputWritten)
        return {};
    QString body =
        u"%1 件の記事を %2 に保存しました。"_s.arg(run.recordsWritten).arg(run.SaveFilePath);
    if (!run.missedPages.isEmpty())
        body += u"\n取得できなかったページが %1 ページあります。"_s.arg(run.missedPages.size());
    return {ProductName() + u": 取得が終わりました"_s, body};
}
