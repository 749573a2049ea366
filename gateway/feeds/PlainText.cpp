#include "PlainText.h"

#include "HtmlTree.h"
#include "ParagraphText.h"

using namespace Qt::StringLiterals;

QStringList HtmlParagraphs(const QString &html)
{
    if (!html.contains(u'<') && !html.contains(u'&')) {
        // Plain text: its own line breaks end its paragraphs.
        QStringList lines;
        for (const QString &line : html.split(u'\n')) {
            const QString text = HtmlTree::Simplified(line);
            if (!text.isEmpty())
                lines.append(text);
        }
        return lines;
    }
    const HtmlTree::Document doc = HtmlTree::Parse(u"<html><body>"_s + html + u"</body></html>"_s);
    return ParagraphText::WholeTextOf(HtmlTree::Body(doc.get()));
}

QString HtmlLine(const QString &html)
{
    return HtmlParagraphs(html).join(u' ');
}
