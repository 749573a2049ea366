#include "RetryAfter.h"

#include "feeds/FeedDate.h"

#include <algorithm>

namespace {

// Nothing a source says keeps a feed away for longer than this.
constexpr std::chrono::seconds kLongestHoldOff = std::chrono::hours(6);

} // namespace

std::optional<std::chrono::seconds> ParseRetryAfter(const QByteArray &value, const QDateTime &now)
{
    const QByteArray trimmed = value.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    bool isNumber = false;
    const qint64 seconds = trimmed.toLongLong(&isNumber);
    if (isNumber)
        return std::clamp(std::chrono::seconds(std::max<qint64>(seconds, 0)),
                          std::chrono::seconds(0), kLongestHoldOff);
    const QDateTime when = ParseFeedDate(QString::fromLatin1(trimmed));
    if (!when.isValid())
        return std::nullopt;
    return std::clamp(std::chrono::seconds(now.secsTo(when)), std::chrono::seconds(0),
                      kLongestHoldOff);
}
