// The page decoder and the file code page on any bytes, each against iconv.
#include "FuzzInput.h"
#include "IconvCodePage.h"
#include "engine/PageFetcher.h"
#include "util/CodePage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static IconvCodePage::Reference iconv;
    const QByteArrayView bytes = fuzzBytes(data, size);
    const QString page = ConvertCharset(bytes);
    fuzzRequire(!page.contains(QChar(0)));
    const QString text = CodePage::fromEucJp(bytes);
    fuzzRequire(text == iconv.fromEucJp(bytes));
    fuzzRequire(CodePage::fromCp932(bytes) == iconv.fromCp932(bytes));
    // The page is the text up to its first NUL.
    const qsizetype nul = text.indexOf(QChar(0));
    fuzzRequire(page == (nul < 0 ? text : text.first(nul)));

    // Whatever was decoded can be written to a file and read back without growing.
    qsizetype ours = 0;
    qsizetype theirs = 0;
    const QByteArray cp932 = CodePage::toCp932(page, &ours);
    fuzzRequire(cp932 == iconv.toCp932(page, &theirs) && ours == theirs);
    fuzzRequire(CodePage::fromCp932(cp932).size() <= page.size());
    fuzzRequire(CodePage::toEucJp(text) == iconv.toEucJp(text));

    // The bytes as UTF-16 units: lone and paired surrogates anywhere.
    const QStringView units(reinterpret_cast<const char16_t *>(data), qsizetype(size / 2));
    ours = theirs = 0;
    fuzzRequire(CodePage::toCp932(units, &ours) == iconv.toCp932(units, &theirs) && ours == theirs);
    fuzzRequire(CodePage::toEucJp(units) == iconv.toEucJp(units));
    return 0;
}
