// The feeds file on any bytes: a person writes it, but it names what the gateway fetches, so a
// file that loads names only web addresses and sane numbers, and one that does not says where.
#include "FuzzInput.h"
#include "feeds/FeedsFile.h"

using namespace Qt::StringLiterals;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const FeedsFileResult result = ParseFeedsFile(fuzzBytes(data, size).toByteArray(), u"f.ini"_s);
    if (!result.ok) {
        fuzzRequire(result.error.startsWith(u"f.ini"));
        return 0;
    }
    const GatewaySettings &settings = result.config.settings;
    fuzzRequire(settings.itemsPerPage > 0 && settings.keepDays >= 0);
    fuzzRequire(settings.refresh.count() >= 0 && settings.delay.count() >= 0);
    for (const CategoryFeeds &category : result.config.categories) {
        fuzzRequire(!category.feeds.isEmpty());
        for (const QUrl &feed : category.feeds)
            fuzzRequire((feed.scheme() == u"http" || feed.scheme() == u"https") &&
                        !feed.host().isEmpty());
    }
    return 0;
}
