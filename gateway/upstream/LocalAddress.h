#pragma once

#include <QString>

class QHostAddress;

// Why the gateway must not connect to an address: it lies in this machine's own network
// (loopback, a private, shared or link-local network) or in a range no public site answers
// from (multicast, unspecified, reserved, documentation), in IPv4, in IPv6, or in an IPv6 form
// that carries an IPv4 address. Empty for an address of the public internet.
QString LocalAddressReason(const QHostAddress &address);

// The same for a host as an address names it: an address written out, or "localhost" and its
// subdomains, which never leave the machine. Empty for any other name: only the address it
// resolves to tells.
QString LocalHostReason(const QString &host);
