#pragma once

#include <QString>

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xpath.h>
#include <memory>

// What libxml2 hands out, each held by a std::unique_ptr that frees it as libxml2 wants: the one
// way the gateway owns libxml2's documents, parser contexts, strings and XPath results.
struct XmlFree
{
    void operator()(xmlDoc *doc) const { xmlFreeDoc(doc); }
    void operator()(xmlParserCtxt *context) const { xmlFreeParserCtxt(context); }
    void operator()(xmlChar *text) const { xmlFree(text); }
    void operator()(xmlXPathObject *object) const { xmlXPathFreeObject(object); }
    void operator()(xmlXPathContext *context) const { xmlXPathFreeContext(context); }
};
using XmlDocument = std::unique_ptr<xmlDoc, XmlFree>;
using XmlParserContext = std::unique_ptr<xmlParserCtxt, XmlFree>;
using XmlText = std::unique_ptr<xmlChar, XmlFree>;
using XPathObject = std::unique_ptr<xmlXPathObject, XmlFree>;
using XPathContext = std::unique_ptr<xmlXPathContext, XmlFree>;

// libxml2's UTF-8 text as a QString; empty for none.
inline QString FromXml(const xmlChar *text)
{
    return text ? QString::fromUtf8(reinterpret_cast<const char *>(text)) : QString();
}
