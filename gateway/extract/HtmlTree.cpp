#include "HtmlTree.h"

#include <QStringList>

#include <libxml/tree.h>

using namespace Qt::StringLiterals;

namespace {

void appendText(const xmlNode *node, QString &out)
{
    for (const xmlNode *child = node->children; child; child = child->next) {
        if (child->type == XML_TEXT_NODE || child->type == XML_CDATA_SECTION_NODE) {
            out += FromXml(child->content);
        } else if (child->type == XML_ELEMENT_NODE) {
            const QString tag = HtmlTree::Tag(child);
            if (tag == u"script" || tag == u"style" || tag == u"noscript" || tag == u"template")
                continue;
            // Block ends separate words that the markup alone keeps apart.
            if (tag == u"br")
                out += u' ';
            appendText(child, out);
            if (tag != u"a" && tag != u"span" && tag != u"b" && tag != u"i" && tag != u"em" &&
                tag != u"strong" && tag != u"font" && tag != u"small" && tag != u"sup" &&
                tag != u"sub" && tag != u"ruby" && tag != u"rt" && tag != u"rb" && tag != u"u")
                out += u' ';
        }
    }
}

qsizetype linkCharacters(const xmlNode *node)
{
    qsizetype count = 0;
    for (const xmlNode *child = node->children; child; child = child->next) {
        if (child->type != XML_ELEMENT_NODE)
            continue;
        if (HtmlTree::Tag(child) == u"a")
            count += HtmlTree::CodePoints(HtmlTree::Text(child));
        else
            count += linkCharacters(child);
    }
    return count;
}

} // namespace

namespace HtmlTree {

Document Parse(const QString &text)
{
    QByteArray utf8 = text.toUtf8();
    if (utf8.isEmpty())
        utf8 = "<html></html>";
    return Document(htmlReadMemory(utf8.constData(), int(utf8.size()), nullptr, "UTF-8",
                                   HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING |
                                       HTML_PARSE_NONET | HTML_PARSE_IGNORE_ENC));
}

XPathResult Select(xmlDoc *doc, const QByteArray &expression)
{
    if (!doc)
        return nullptr;
    const XPathContext context(xmlXPathNewContext(doc));
    // libxml2 keeps its error handler per thread, so this silences only this evaluation.
    xmlSetStructuredErrorFunc(nullptr, [](void *, xmlErrorPtr) {});
    XPathResult result(xmlXPathEvalExpression(
        reinterpret_cast<const xmlChar *>(expression.constData()), context.get()));
    xmlSetStructuredErrorFunc(nullptr, nullptr);
    return result;
}

xmlNodePtr Body(xmlDoc *doc)
{
    if (!doc)
        return nullptr;
    xmlNodePtr root = xmlDocGetRootElement(doc);
    for (xmlNodePtr node = root; node;) {
        if (Tag(node) == u"body")
            return node;
        // Depth first, in document order, until the first <body>.
        if (node->children) {
            node = node->children;
            continue;
        }
        while (node && !node->next)
            node = node->parent;
        if (node)
            node = node->next;
    }
    return root;
}

bool IsElement(const xmlNode *node)
{
    return node && node->type == XML_ELEMENT_NODE;
}

QString Tag(const xmlNode *node)
{
    return IsElement(node) ? FromXml(node->name).toLower() : QString();
}

QString Attribute(const xmlNode *node, const char *name)
{
    if (!IsElement(node))
        return {};
    const XmlText value(xmlGetProp(node, reinterpret_cast<const xmlChar *>(name)));
    return FromXml(value.get());
}

namespace {

// A heading's anchor made from its own words ("#what-time-is-it") names no part of the page: its
// words are the text's, not the site's.
bool IsTextAnchor(const QString &id, const xmlNode *node)
{
    static const QStringList kHeadings = {u"h2"_s, u"h3"_s, u"h4"_s, u"h5"_s, u"h6"_s};
    if (id.count(u'-') + id.count(u'_') < 2 || !kHeadings.contains(Tag(node)))
        return false;
    QString slug;
    for (const QChar c : Text(node).toLower())
        slug += c.isLetterOrNumber() ? c : u'-';
    QString plain = id.toLower();
    plain.replace(u'_', u'-');
    return slug.contains(plain);
}

} // namespace

QString ClassAndId(const xmlNode *node)
{
    QString id = Attribute(node, "id");
    if (IsTextAnchor(id, node))
        id.clear();
    return Attribute(node, "class") + u' ' + id + u' ' + Attribute(node, "data-component") + u' ' +
           Attribute(node, "data-testid");
}

QString Text(const xmlNode *node)
{
    QString out;
    if (node && (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE))
        out = FromXml(node->content);
    else if (node)
        appendText(node, out);
    return Simplified(out);
}

qsizetype CodePoints(QStringView text)
{
    qsizetype count = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!(text[i].isLowSurrogate() && i > 0 && text[i - 1].isHighSurrogate()))
            ++count;
    }
    return count;
}

double LinkDensity(const xmlNode *node)
{
    const qsizetype all = CodePoints(Text(node));
    return all == 0 ? 0.0 : double(linkCharacters(node)) / double(all);
}

void Remove(xmlNodePtr node)
{
    xmlUnlinkNode(node);
    xmlFreeNode(node);
}

QString Simplified(QStringView text)
{
    QString out;
    out.reserve(text.size());
    QString run; // the white space since the last other character
    for (QChar c : text) {
        if (c == QChar(0x3000)) {
            run += c;
            continue;
        }
        if (c.isSpace() || c == QChar(0xA0) || c == QChar(0x200B)) {
            if (run.isEmpty())
                run = u" "_s;
            continue;
        }
        if (!out.isEmpty() && !run.isEmpty())
            out += run.startsWith(u' ') && run.size() > 1 ? run.sliced(1) : run;
        run.clear();
        out += c;
    }
    return out;
}

} // namespace HtmlTree
