#include "PlainText.h"

#include <libxml/HTMLparser.h>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

struct DocDeleter
{
    void operator()(xmlDoc *doc) const { xmlFreeDoc(doc); }
};

bool isBlock(const xmlChar *name)
{
    static const char *const blocks[] = {
        "p",  "div", "br", "li", "h1", "h2",    "h3",      "h4",      "h5",        "h6",
        "tr", "dd",  "dt", "ul", "ol", "table", "section", "article", "blockquote"};
    for (const char *block : blocks) {
        if (xmlStrcasecmp(name, reinterpret_cast<const xmlChar *>(block)) == 0)
            return true;
    }
    return false;
}

bool isHidden(const xmlChar *name)
{
    for (const char *hidden : {"script", "style", "noscript", "template"}) {
        if (xmlStrcasecmp(name, reinterpret_cast<const xmlChar *>(hidden)) == 0)
            return true;
    }
    return false;
}

class Collector
{
public:
    void walk(const xmlNode *node)
    {
        for (; node; node = node->next) {
            if (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE) {
                m_current += QString::fromUtf8(reinterpret_cast<const char *>(node->content));
            } else if (node->type == XML_ELEMENT_NODE && !isHidden(node->name)) {
                const bool block = isBlock(node->name);
                if (block)
                    breakParagraph();
                walk(node->children);
                if (block)
                    breakParagraph();
            }
        }
    }
    QStringList paragraphs()
    {
        breakParagraph();
        return m_paragraphs;
    }

private:
    void breakParagraph()
    {
        // U+00A0 (from &nbsp;) counts as white space here; the full-width space stays.
        QString text = m_current.replace(QChar(0xA0), u' ').simplified();
        if (!text.isEmpty())
            m_paragraphs.append(text);
        m_current.clear();
    }

    QString m_current;
    QStringList m_paragraphs;
};

} // namespace

QStringList htmlParagraphs(const QString &html)
{
    if (!html.contains(u'<') && !html.contains(u'&')) {
        QStringList lines;
        for (const QString &line : html.split(u'\n')) {
            const QString text = QString(line).replace(QChar(0xA0), u' ').simplified();
            if (!text.isEmpty())
                lines.append(text);
        }
        return lines;
    }
    const QByteArray bytes = u"<html><body>"_s.toUtf8() + html.toUtf8() + "</body></html>";
    const std::unique_ptr<xmlDoc, DocDeleter> doc(htmlReadMemory(
        bytes.constData(), int(bytes.size()), nullptr, "UTF-8",
        HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET));
    if (!doc)
        return {};
    Collector collector;
    collector.walk(xmlDocGetRootElement(doc.get()));
    return collector.paragraphs();
}

QString htmlLine(const QString &html)
{
    return htmlParagraphs(html).join(u' ');
}

QString pageSafe(QString text)
{
    return text.replace(u'&', u'＆').replace(u'<', u'＜').replace(u'>', u'＞');
}
