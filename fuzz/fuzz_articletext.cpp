// The article text cut on any article page.
#include "FuzzInput.h"
#include "engine/ArticleText.h"

using namespace Qt::StringLiterals;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString page = fuzzText(data, size);
    const QString text = ExtractArticleText(page);
    fuzzRequire(text.isEmpty() || page.contains(u"<!-- TextEnd -->"_s));
    return 0;
}
