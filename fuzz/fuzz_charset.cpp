// The charset sniffers and decoders on any bytes, as the gateway meets them in pages and feeds:
// the first line plays the Content-Type header, the rest the document.
#include "FuzzInput.h"
#include "util/Charset.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView bytes = fuzzBytes(data, size);
    const qsizetype newline = bytes.indexOf('\n');
    const QString contentType =
        newline < 0 ? QString() : QString::fromLatin1(bytes.first(newline).toByteArray());
    const QByteArrayView document = newline < 0 ? bytes : bytes.sliced(newline + 1);

    // What a document declares is always a name the module itself knows.
    for (const QString &charset :
         {Charset::OfPage(document, contentType), Charset::OfXml(document, contentType)})
        fuzzRequire(Charset::Canonical(charset) == charset);
    Charset::DecodePage(document, contentType);
    Charset::DecodeXml(document, contentType);
    // A single-byte charset gives one character a byte.
    fuzzRequire(Charset::DecodeAs(document, u"windows-1252").size() == document.size());
    return 0;
}
