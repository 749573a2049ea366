// The page decoder and the file code page on any bytes.
#include "FuzzInput.h"
#include "engine/PageFetcher.h"
#include "util/CodePage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView bytes = fuzzBytes(data, size);
    const QString page = ConvertCharset(bytes);
    fuzzRequire(!page.contains(QChar(0)));
    // Whatever was decoded can be written to a file and read back without growing.
    const QByteArray cp932 = CodePage::toCp932(page);
    fuzzRequire(CodePage::fromCp932(cp932).size() <= page.size());
    (void)CodePage::fromCp932(bytes);
    (void)CodePage::toEucJp(CodePage::fromEucJp(bytes));
    return 0;
}
