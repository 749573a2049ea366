// robots.txt on any bytes: the first line is the path asked about, the rest the file. robots.txt
// itself is always allowed, and rules never take long however many stars they hold.
#include "FuzzInput.h"
#include "upstream/RobotsRules.h"

using namespace Qt::StringLiterals;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView bytes = fuzzBytes(data, size);
    const qsizetype newline = bytes.indexOf('\n');
    const QString path = QString::fromUtf8(newline < 0 ? bytes : bytes.first(newline));
    const QByteArray text =
        (newline < 0 ? QByteArrayView() : bytes.sliced(newline + 1)).toByteArray();
    const RobotsRules rules = RobotsRules::parse(text, u"varnholt-portal/1.0.0"_s);
    rules.allows(path);
    fuzzRequire(rules.allows(u"/robots.txt"_s));
    return 0;
}
