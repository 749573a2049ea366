// Next-page discovery on any list page.
#include "FuzzInput.h"
#include "engine/NextPage.h"
#include "util/DebugLog.h"

using namespace Qt::StringLiterals;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const QString base = u"http://127.0.0.1:8642"_s;
    static DebugLog log;
    const QString page = fuzzText(data, size);
    const QString next = GetNextPageURL(page, base, log);
    fuzzRequire(next.isEmpty() || next.startsWith(base));
    fuzzRequire(next.isEmpty() || page.contains(u"次ページ"_s));
    return 0;
}
