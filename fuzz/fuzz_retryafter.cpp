// Retry-After on any header value: nothing a source says holds the gateway off for less than
// nothing or for more than six hours.
#include "FuzzInput.h"
#include "upstream/RetryAfter.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const QDateTime now(QDate(2024, 5, 1), QTime(9, 0), Qt::UTC);
    const auto seconds = ParseRetryAfter(fuzzBytes(data, size).toByteArray(), now);
    fuzzRequire(!seconds || (seconds->count() >= 0 && seconds->count() <= 6 * 3600));
    return 0;
}
