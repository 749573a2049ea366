// Feed dates on any text: a date that reads is one a second reading of its own ISO form agrees
// with.
#include "FuzzInput.h"
#include "feeds/FeedDate.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QDateTime date = ParseFeedDate(fuzzText(data, size));
    if (!date.isValid() || date.date().year() < 1 || date.date().year() > 9999)
        return 0;
    const QDateTime again = ParseFeedDate(date.toString(Qt::ISODateWithMs));
    fuzzRequire(again.isValid() && again.toMSecsSinceEpoch() == date.toMSecsSinceEpoch());
    return 0;
}
