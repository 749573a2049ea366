#pragma once

#include "LibXml.h"

#include <QString>

#include <libxml/HTMLparser.h>

// A parsed HTML page and the few questions the extractor asks of its nodes.
namespace HtmlTree {

using Document = XmlDocument;

// Parses text with libxml2's forgiving HTML parser; never null for non-empty text. The page's
// own charset declaration is ignored: the text is already decoded.
Document Parse(const QString &text);

using XPathResult = XPathObject;

// What an XPath expression evaluates to in the document; null when it does not compile. The
// expression's errors are not printed.
XPathResult Select(xmlDoc *doc, const QByteArray &expression);

// The <body> element, or the root when the page has none.
xmlNodePtr Body(xmlDoc *doc);

bool IsElement(const xmlNode *node);
// The element's name in lower case; empty for other nodes.
QString Tag(const xmlNode *node);
QString Attribute(const xmlNode *node, const char *name);
// "class", "id" and the component names of generated pages ("data-component", "data-testid")
// joined by spaces: what the boilerplate words are looked for in.
QString ClassAndId(const xmlNode *node);

// All text below the node, runs of white space collapsed to one space, trimmed.
QString Text(const xmlNode *node);
// Characters, not UTF-16 units: a Japanese character weighs as much as a Latin one.
qsizetype CodePoints(QStringView text);
// The share of the node's characters that sit inside links, 0 for a node without text.
double LinkDensity(const xmlNode *node);

// Removes the node from its tree and frees it.
void Remove(xmlNodePtr node);

// Collapses each run of white space to one space and trims the ends. A full-width space
// (U+3000) is the writer's own: a run keeps its full-width spaces and only them.
QString Simplified(QStringView text);

} // namespace HtmlTree
