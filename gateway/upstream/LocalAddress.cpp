#include "LocalAddress.h"

#include <QHostAddress>

#include <array>
#include <cstdint>

using namespace Qt::StringLiterals;

namespace {

struct Range4
{
    quint32 network;
    int bits;
    const char *reason;
};

constexpr quint32 v4(int a, int b, int c, int d)
{
    return quint32(a) << 24 | quint32(b) << 16 | quint32(c) << 8 | quint32(d);
}

// The IPv4 ranges of RFC 6890's special-purpose registry that no public site answers from.
constexpr std::array kRanges4{
    Range4{v4(0, 0, 0, 0), 8, "an unspecified address (0.0.0.0/8)"},
    Range4{v4(10, 0, 0, 0), 8, "a private network's address"},
    Range4{v4(100, 64, 0, 0), 10, "a carrier-grade NAT's shared address"},
    Range4{v4(127, 0, 0, 0), 8, "a loopback address (this machine)"},
    Range4{v4(169, 254, 0, 0), 16, "a link-local address"},
    Range4{v4(172, 16, 0, 0), 12, "a private network's address"},
    Range4{v4(192, 0, 0, 0), 24, "a reserved address"},
    Range4{v4(192, 0, 2, 0), 24, "a documentation address"},
    Range4{v4(192, 168, 0, 0), 16, "a private network's address"},
    Range4{v4(198, 18, 0, 0), 15, "a benchmarking address"},
    Range4{v4(198, 51, 100, 0), 24, "a documentation address"},
    Range4{v4(203, 0, 113, 0), 24, "a documentation address"},
    Range4{v4(224, 0, 0, 0), 4, "a multicast address"},
    Range4{v4(240, 0, 0, 0), 4, "a reserved address"},
};

QString reason4(quint32 address)
{
    for (const Range4 &range : kRanges4) {
        const quint32 mask = ~quint32(0) << (32 - range.bits);
        if ((address & mask) == range.network)
            return QString::fromLatin1(range.reason);
    }
    return {};
}

struct Range6
{
    std::array<quint8, 8> prefix; // the network's first bytes
    int bits;
    const char *reason;
};

constexpr std::array kRanges6{
    Range6{{0x01, 0x00, 0x00, 0x00}, 64, "a discard-only address"},
    Range6{{0x00, 0x64, 0xff, 0x9b, 0x00, 0x01}, 48, "a local-use NAT64 address"},
    Range6{{0x20, 0x01, 0x0d, 0xb8}, 32, "a documentation address"},
    Range6{{0xfc, 0x00, 0x00, 0x00}, 7, "a unique-local address"},
    Range6{{0xfe, 0x80, 0x00, 0x00}, 10, "a link-local address"},
    Range6{{0xfe, 0xc0, 0x00, 0x00}, 10, "a site-local address"},
    Range6{{0xff, 0x00, 0x00, 0x00}, 8, "a multicast address"},
};

constexpr bool prefixesFit()
{
    for (const Range6 &range : kRanges6) {
        if (range.bits > int(range.prefix.size()) * 8)
            return false;
    }
    return true;
}
static_assert(prefixesFit(), "a network longer than the bytes given for it");

bool inPrefix(const Q_IPV6ADDR &address, const quint8 *prefix, int bits)
{
    for (int i = 0; bits > 0; ++i, bits -= 8) {
        const quint8 mask = bits >= 8 ? 0xff : quint8(0xff << (8 - bits));
        if ((address[i] & mask) != (prefix[i] & mask))
            return false;
    }
    return true;
}

quint32 v4At(const Q_IPV6ADDR &address, int offset)
{
    return quint32(address[offset]) << 24 | quint32(address[offset + 1]) << 16 |
           quint32(address[offset + 2]) << 8 | quint32(address[offset + 3]);
}

QString reason6(const Q_IPV6ADDR &address)
{
    static constexpr quint8 kZero[16] = {};
    static constexpr quint8 kMapped[12] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xff, 0xff};
    static constexpr quint8 kNat64[12] = {0x00, 0x64, 0xff, 0x9b};
    static constexpr quint8 k6to4[2] = {0x20, 0x02};
    if (inPrefix(address, kZero, 128))
        return u"the unspecified address"_s;
    if (inPrefix(address, kZero, 127))
        return u"a loopback address (this machine)"_s;
    // IPv6 forms that carry an IPv4 address lead where the IPv4 address does.
    const auto carried = [&](int offset, const char *form) {
        const QString inner = reason4(v4At(address, offset));
        return inner.isEmpty() ? inner : inner + u", written as "_s + QLatin1StringView(form);
    };
    if (inPrefix(address, kMapped, 96))
        return carried(12, "an IPv4-mapped IPv6 address");
    if (inPrefix(address, kZero, 96))
        return carried(12, "an IPv4-compatible IPv6 address");
    if (inPrefix(address, kNat64, 96))
        return carried(12, "a NAT64 address");
    if (inPrefix(address, k6to4, 16))
        return carried(2, "a 6to4 address");
    for (const Range6 &range : kRanges6) {
        if (inPrefix(address, range.prefix.data(), range.bits))
            return QString::fromLatin1(range.reason);
    }
    return {};
}

} // namespace

QString LocalAddressReason(const QHostAddress &address)
{
    switch (address.protocol()) {
    case QAbstractSocket::IPv4Protocol:
        return reason4(address.toIPv4Address());
    case QAbstractSocket::IPv6Protocol:
        return reason6(address.toIPv6Address());
    default:
        return u"not an IPv4 or IPv6 address"_s;
    }
}

QString LocalHostReason(const QString &host)
{
    if (host.compare(u"localhost"_s, Qt::CaseInsensitive) == 0 ||
        host.endsWith(u".localhost"_s, Qt::CaseInsensitive))
        return u"the name of this machine"_s;
    QHostAddress address;
    if (!address.setAddress(host))
        return {};
    return LocalAddressReason(address);
}
