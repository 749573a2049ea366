#pragma once

#include <QString>

// A loopback, private or link-local address, or "localhost": the machine's own network, which a
// public feed must not make the gateway read.
bool IsLocalHost(const QString &host);
