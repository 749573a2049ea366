#include "FeedParser.h"

#include "FeedDate.h"
#include "HtmlTree.h"
#include "LibXml.h"
#include "PlainText.h"
#include "util/Charset.h"

#include <QRegularExpression>

#include <libxml/HTMLparser.h>
#include <libxml/parser.h>

using namespace Qt::StringLiterals;

namespace {

// A feed longer than this is cut: nothing in a feed may make the archive grow without bound.
constexpr qsizetype kMostItems = 300;

bool named(const xmlNode *node, const char *name)
{
    return node && node->type == XML_ELEMENT_NODE &&
           xmlStrcmp(node->name, reinterpret_cast<const xmlChar *>(name)) == 0;
}

bool inNamespace(const xmlNode *node, const char *uriPart)
{
    return node->ns && node->ns->href &&
           xmlStrstr(node->ns->href, reinterpret_cast<const xmlChar *>(uriPart));
}

QString textOf(const xmlNode *node)
{
    if (!node)
        return {};
    const XmlText text(xmlNodeGetContent(node));
    return FromXml(text.get());
}

QString attribute(const xmlNode *node, const char *name)
{
    const XmlText value(xmlGetProp(node, reinterpret_cast<const xmlChar *>(name)));
    return FromXml(value.get());
}

const xmlNode *child(const xmlNode *parent, const char *name)
{
    for (const xmlNode *node = parent ? parent->children : nullptr; node; node = node->next) {
        if (named(node, name))
            return node;
    }
    return nullptr;
}

QList<const xmlNode *> children(const xmlNode *parent, const char *name)
{
    QList<const xmlNode *> found;
    for (const xmlNode *node = parent ? parent->children : nullptr; node; node = node->next) {
        if (named(node, name))
            found.append(node);
    }
    return found;
}

// XML knows five entities; feeds written by HTML tools use the rest too (&nbsp;, &copy;).
// Outside the five, a named entity that HTML defines becomes its character reference.
QString mapHtmlEntities(const QString &text)
{
    static const QRegularExpression entity(u"&([A-Za-z][A-Za-z0-9]{1,31});"_s);
    static const QStringList xmlOwn{u"amp"_s, u"lt"_s, u"gt"_s, u"quot"_s, u"apos"_s};
    QString out;
    qsizetype last = 0;
    auto it = entity.globalMatch(text);
    while (it.hasNext()) {
        const auto m = it.next();
        const QString name = m.captured(1);
        if (xmlOwn.contains(name))
            continue;
        const htmlEntityDesc *desc =
            htmlEntityLookup(reinterpret_cast<const xmlChar *>(name.toLatin1().constData()));
        out += QStringView(text).mid(last, m.capturedStart() - last);
        out += desc ? u"&#%1;"_s.arg(desc->value) : u"&amp;"_s + name + u';';
        last = m.capturedEnd();
    }
    if (last > 0)
        out += QStringView(text).mid(last);
    else
        out = text;
    // An "&" that starts no reference at all ("Q&A") would make the parser drop the rest.
    static const QRegularExpression stray(
        u"&(?![A-Za-z][A-Za-z0-9]*;|#[0-9]+;|#[xX][0-9A-Fa-f]+;)"_s);
    return out.replace(stray, u"&amp;"_s);
}

QString paragraphsText(const QString &html)
{
    return HtmlParagraphs(html).join(u'\n');
}

QUrl webLink(const QUrl &base, const QString &link)
{
    const QString trimmed = link.trimmed();
    if (trimmed.isEmpty())
        return {};
    const QUrl url = base.resolved(QUrl(trimmed));
    if (!url.isValid() || (url.scheme() != u"http" && url.scheme() != u"https") ||
        url.host().isEmpty())
        return {};
    // The fragment stays: a diary's or a news list's items lead to parts of one page.
    return url;
}

// libxml2's structured error handler: keeps the first error that makes the document not
// well-formed (a bad entity, a tag cut off); warnings and namespace slips do not count.
void keepFirstBreak(void *, xmlErrorPtr error)
{
    auto *context = error ? static_cast<xmlParserCtxt *>(error->ctxt) : nullptr;
    if (!context || !context->_private || error->domain != XML_FROM_PARSER ||
        error->level != XML_ERR_FATAL)
        return;
    auto &broken = *static_cast<std::optional<FeedBreak> *>(context->_private);
    if (!broken)
        broken = FeedBreak{error->line, QString::fromUtf8(error->message).trimmed()};
}

QDateTime firstDate(const xmlNode *item, std::initializer_list<const char *> names)
{
    for (const char *name : names) {
        const QDateTime date = ParseFeedDate(textOf(child(item, name)));
        if (date.isValid())
            return date;
    }
    return {};
}

FeedItem rssItem(const xmlNode *item, const QUrl &base)
{
    FeedItem out;
    out.title = HtmlLine(textOf(child(item, "title")));
    out.link = webLink(base, textOf(child(item, "link")));
    if (out.link.isEmpty()) {
        const xmlNode *guid = child(item, "guid");
        if (guid && attribute(guid, "isPermaLink") != u"false")
            out.link = webLink(base, textOf(guid));
    }
    if (out.link.isEmpty())
        out.link = webLink(base, attribute(item, "about"));
    out.id = textOf(child(item, "guid")).trimmed();
    if (out.id.isEmpty())
        out.id = attribute(item, "about").trimmed();
    out.description = paragraphsText(textOf(child(item, "description")));
    for (const xmlNode *encoded : children(item, "encoded")) {
        if (inNamespace(encoded, "content"))
            out.content = paragraphsText(textOf(encoded));
    }
    out.published = firstDate(item, {"pubDate", "date", "published", "updated"});
    return out;
}

QString atomText(const xmlNode *node)
{
    if (!node)
        return {};
    // type="text" is plain text, but "&" or "<" in it must survive as written.
    if (attribute(node, "type") == u"text")
        return HtmlTree::Simplified(textOf(node));
    return paragraphsText(textOf(node));
}

FeedItem atomEntry(const xmlNode *entry, const QUrl &base)
{
    FeedItem out;
    const xmlNode *title = child(entry, "title");
    out.title = attribute(title ? title : entry, "type") == u"text"
                    ? HtmlTree::Simplified(textOf(title))
                    : HtmlLine(textOf(title));
    for (const xmlNode *link : children(entry, "link")) {
        const QString rel = attribute(link, "rel");
        if (rel.isEmpty() || rel == u"alternate") {
            out.link = webLink(base, attribute(link, "href"));
            if (!out.link.isEmpty())
                break;
        }
    }
    out.id = textOf(child(entry, "id")).trimmed();
    out.description = atomText(child(entry, "summary"));
    out.content = atomText(child(entry, "content"));
    out.published = firstDate(entry, {"published", "issued", "updated", "modified", "date"});
    return out;
}

} // namespace

FeedParseResult ParseFeed(const QByteArray &bytes, const QString &contentType, const QUrl &address)
{
    FeedParseResult result;
    // Lines stay where they were: a break's line is the feed's own.
    const QByteArray utf8 = mapHtmlEntities(Charset::DecodeXml(bytes, contentType)).toUtf8();

    // The bytes are UTF-8 now whatever the declaration says; the parser must not re-read them
    // in the declared charset. Recovering, libxml2 keeps what it read before an error.
    const XmlParserContext context(xmlNewParserCtxt());
    if (!context) {
        result.error = u"out of memory"_s;
        return result;
    }
    std::optional<FeedBreak> broken;
    context->_private = &broken;
    context->sax->serror = keepFirstBreak;
    const XmlDocument doc(
        xmlCtxtReadMemory(context.get(), utf8.constData(), int(utf8.size()), nullptr, "UTF-8",
                          XML_PARSE_RECOVER | XML_PARSE_NONET | XML_PARSE_NOERROR |
                              XML_PARSE_NOWARNING | XML_PARSE_NOCDATA | XML_PARSE_IGNORE_ENC));
    const xmlNode *root = doc ? xmlDocGetRootElement(doc.get()) : nullptr;
    if (!root) {
        result.error = broken ? u"not XML (line %1: %2)"_s.arg(broken->line).arg(broken->reason)
                              : u"not XML"_s;
        return result;
    }
    result.broken = std::move(broken);

    QList<const xmlNode *> items;
    bool atom = false;
    if (named(root, "rss")) {
        const xmlNode *channel = child(root, "channel");
        result.source = HtmlLine(textOf(child(channel, "title")));
        items = children(channel, "item") + children(root, "item");
    } else if (named(root, "RDF")) {
        result.source = HtmlLine(textOf(child(child(root, "channel"), "title")));
        items = children(root, "item");
    } else if (named(root, "feed")) {
        atom = true;
        result.source = HtmlLine(textOf(child(root, "title")));
        items = children(root, "entry");
    } else {
        result.error = u"not an RSS or Atom feed (the document is <%1>)"_s.arg(FromXml(root->name));
        return result;
    }

    for (const xmlNode *node : items) {
        if (result.items.size() == kMostItems)
            break;
        FeedItem item = atom ? atomEntry(node, address) : rssItem(node, address);
        if (!item.title.isEmpty() && !item.link.isEmpty())
            result.items.append(std::move(item));
    }
    result.ok = true;
    return result;
}
