// The JSON-LD reader on any page: the article body and headline a page describes, its body cut
// into paragraphs and compared with the page's text.
#include "FuzzInput.h"
#include "HtmlTree.h"
#include "JsonLdBody.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString page = fuzzText(data, size);
    if (page.isEmpty())
        return 0;
    const HtmlTree::Document doc = HtmlTree::Parse(page);
    const QString body = JsonLdArticleBody(doc.get());
    JsonLdHeadline(doc.get());
    const QStringList paragraphs = EmbeddedParagraphs(body);
    for (const QString &paragraph : paragraphs)
        fuzzRequire(!paragraph.isEmpty());
    IsTeaserOf(paragraphs, paragraphs + paragraphs);
    return 0;
}
