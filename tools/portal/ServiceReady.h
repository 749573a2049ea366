#pragma once

#include <QString>

// Tells a service manager that started the portal with NOTIFY_SOCKET (systemd's Type=notify)
// that it now listens, so that units ordered after it start only once requests are answered.
// statusLine is shown as the service's status. Without NOTIFY_SOCKET it does nothing. Returns
// an empty text, or what failed with the socket's name.
QString NotifyServiceReady(const QString &statusLine);
