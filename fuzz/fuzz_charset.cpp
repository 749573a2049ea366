// The charset sniffers (header, XML declaration, byte-order mark, <meta>) and decoders on any
// bytes, as the gateway meets them in pages and feeds: the first line plays the Content-Type
// header, the rest the document.
#include "FuzzInput.h"
#include "util/Charset.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView bytes = fuzzBytes(data, size);
    const qsizetype newline = bytes.indexOf('\n');
    const QString contentType =
        newline < 0 ? QString() : QString::fromLatin1(bytes.first(newline).toByteArray());
    const QByteArrayView document = newline < 0 ? bytes : bytes.sliced(newline + 1);

    // Each sniffer gives a piece of what it read, as written, or nothing: the header's charset,
    // the XML declaration's encoding, a <meta> in the page's first 8 KiB; a byte-order mark
    // names its charset canonically.
    fuzzRequire(contentType.contains(Charset::FromContentType(contentType)));
    fuzzRequire(document.toByteArray().contains(Charset::FromXmlDeclaration(document).toLatin1()));
    const QString meta = Charset::FromMeta(document);
    fuzzRequire(document.first(std::min<qsizetype>(document.size(), 8192))
                    .toByteArray()
                    .contains(meta.toLatin1()));
    const QString bom = Charset::FromBom(document);
    fuzzRequire(bom.isEmpty() || Charset::Canonical(bom) == bom);
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
