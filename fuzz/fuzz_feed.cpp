// The feed parser on any document, as the gateway meets feeds: RSS 2.0, RSS 1.0 and Atom in any
// charset, broken anywhere. Whatever it yields, every link leads to the web, and every text is
// one the portal's pages can carry once PageSafe has made it page-safe.
#include "FuzzInput.h"
#include "PageSafe.h"
#include "PortalCharacters.h"
#include "feeds/FeedParser.h"

using namespace Qt::StringLiterals;

namespace {

// No markup, no control character, nothing a code page on the way would lose.
bool pageSafe(const QString &text)
{
    for (const char32_t c : PageSafe(text).toUcs4()) {
        if (c == u'<' || c == u'>' || c == u'&' || c < 0x20 || (c >= 0x7F && c < 0xA0))
            return false;
        if (c != u'?' && !PortalCharacters::Holds(c))
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const QUrl address(u"http://news.test/feeds/rss.xml"_s);
    const FeedParseResult result =
        ParseFeed(fuzzBytes(data, size).toByteArray(), QString(), address);
    fuzzRequire(result.ok != !result.error.isEmpty());
    fuzzRequire(result.items.size() <= 300);
    fuzzRequire(pageSafe(result.source));
    for (const FeedItem &item : result.items) {
        fuzzRequire(item.link.scheme() == u"http" || item.link.scheme() == u"https");
        // The #part stays: it tells apart the items that lead into one page.
        fuzzRequire(!item.link.host().isEmpty());
        fuzzRequire(!item.title.isEmpty());
        fuzzRequire(pageSafe(item.title) && pageSafe(item.description) && pageSafe(item.content));
    }
    return 0;
}
