#pragma once

#include "engine/HttpTransport.h"

#include <QString>
#include <QStringList>

// How a person starts the portal: the installed program's user service, or a built one.
inline constexpr QStringView PortalServiceStart = u"systemctl --user start varnholt-portal.service";
inline constexpr QStringView PortalBuildStart = u"varnholt-portal &";

// What became of the failed request for url, in Japanese for the person: what happened and
// where. When the portal at BaseURL refused the connection, also that it may not be running
// and how to start it.
// http: the transport that asked, which knows where an address leads.
QStringList FailureReasonLines(HttpTransport &http, const HttpReply &reply, const QString &url,
                               const QString &BaseURL);

// The portal at BaseURL refused url: it is most likely not running at all.
bool IsPortalRefusal(HttpTransport &http, const HttpReply &reply, const QString &url,
                     const QString &BaseURL);
