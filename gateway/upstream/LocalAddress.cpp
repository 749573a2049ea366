#include "LocalAddress.h"

#include <QHostAddress>

using namespace Qt::StringLiterals;

bool IsLocalHost(const QString &host)
{
    if (host.compare(u"localhost"_s, Qt::CaseInsensitive) == 0 ||
        host.endsWith(u".localhost"_s, Qt::CaseInsensitive))
        return true;
    QHostAddress address;
    if (!address.setAddress(host))
        return false;
    for (const auto &[network, bits] :
         {std::pair{"10.0.0.0", 8}, {"172.16.0.0", 12}, {"192.168.0.0", 16}, {"100.64.0.0", 10}}) {
        if (address.isInSubnet(QHostAddress(QString::fromLatin1(network)), bits))
            return true;
    }
    return address.isLoopback() || address.isLinkLocal() || address.isUniqueLocalUnicast() ||
           address.isNull() || address == QHostAddress::AnyIPv4 || address == QHostAddress::AnyIPv6;
}
