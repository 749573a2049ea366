#pragma once

#include <QDBusConnection>
#include <QString>

#include <chrono>

struct FetchOutcome;

// Desktop notifications through the freedesktop notification service (org.freedesktop.
// Notifications on the session bus).
class DesktopNotifier
{
public:
    explicit DesktopNotifier(QDBusConnection bus = QDBusConnection::sessionBus());

    // Sends one notification and waits at most `bound` for the service to take it, so that an
    // ending process neither drops it nor waits on a service that does not answer. False when no
    // service took it in time (none is running, or the bus is not there).
    bool notify(const QString &summary, const QString &body, std::chrono::milliseconds bound);

private:
    QDBusConnection m_bus;
};

// The notification for the end of a run that wrote its output: how many records went to which
// file, and how many pages were missed. Empty summary when there is nothing to tell.
struct RunNotice
{
    QString summary;
    QString body;
};
RunNotice RunEndNotice(const FetchOutcome &outcome);
