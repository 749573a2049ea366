// Main-text extraction on any page: whatever it finds is plain paragraphs, none empty.
#include "FuzzInput.h"
#include "MainText.h"

using namespace Qt::StringLiterals;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const QUrl address(u"https://news.test/articles/1.html"_s);
    const MainTextResult result =
        ExtractMainText(fuzzBytes(data, size).toByteArray(), u"text/html"_s, address);
    for (const QString &paragraph : result.paragraphs)
        fuzzRequire(!paragraph.isEmpty() && paragraph == paragraph.trimmed());
    return 0;
}
