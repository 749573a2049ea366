#include "ParagraphText.h"

#include "BoilerplateWords.h"
#include "HtmlTree.h"

using namespace Qt::StringLiterals;

namespace {

// Collects text into lines; a break ends the current line unless it is empty. On a page, a line
// that is all link ("一覧へ戻る", a related headline), a dateline or a boilerplate heading is left
// out; whole text keeps every line.
class Lines
{
public:
    Lines(QStringList &out, bool whole)
        : m_out(out)
        , m_whole(whole)
    {}
    bool whole() const { return m_whole; }
    void add(const QString &text, bool inLink)
    {
        m_line += text;
        if (inLink)
            m_linked += HtmlTree::CodePoints(HtmlTree::Simplified(text));
    }
    // Inside a small table cell a block or a break does not end the line: a row of a table of
    // facts is one line, whatever its cells wrap their text in.
    void beginCell()
    {
        ++m_inCell;
        ++m_cellsInLine;
    }
    void endCell() { --m_inCell; }
    void breakLine()
    {
        if (m_inCell > 0) {
            m_line += u' ';
            return;
        }
        const QString line = HtmlTree::Simplified(m_line);
        const bool allLink = m_linked >= HtmlTree::CodePoints(line) * 0.9;
        // A row of a table of facts ("Published | April 7, 2026") names what its date is.
        const bool row = m_cellsInLine >= 2;
        m_line.clear();
        m_linked = 0;
        m_cellsInLine = 0;
        if (line.isEmpty())
            return;
        if (m_whole) {
            m_out << line;
            return;
        }
        // "Other stories this week:" over a list of links introduces the links, and goes with
        // them.
        if (allLink && m_label == m_out.size() - 1 && m_label >= 0) {
            m_out.removeLast();
            m_label = -1;
            return;
        }
        if (!allLink && !Boilerplate::IsBoilerplateLine(line) &&
            (row || (!Boilerplate::IsDateline(line) && !Boilerplate::IsByline(line)))) {
            m_out << line;
            m_label = isLabel(line) ? m_out.size() - 1 : -1;
        }
    }

private:
    // A few words ending in a colon: what introduces the lines after it.
    static bool isLabel(const QString &line)
    {
        return line.size() <= 60 && (line.endsWith(u':') || line.endsWith(u'：'));
    }

    QStringList &m_out;
    bool m_whole;
    QString m_line;
    qsizetype m_linked = 0; // characters of m_line inside links
    int m_inCell = 0;
    int m_cellsInLine = 0;  // small cells the current line was written from
    qsizetype m_label = -1; // index in m_out of a label just written, -1 when none
};

// A cell of a table of facts, not of a page laid out in a table: short, no table inside.
bool isSmallCell(const xmlNode *cell)
{
    constexpr qsizetype kLongestCell = 200;
    for (const xmlNode *child = cell->children; child; child = child->next) {
        if (HtmlTree::Tag(child) == u"table")
            return false;
    }
    return HtmlTree::CodePoints(HtmlTree::Text(cell)) <= kLongestCell;
}

void render(const xmlNode *node, Lines &lines, bool inLink);

// A post the author quoted sits in a figure like a photo, but it is part of what they wrote: its
// blockquote speaks, the caption around it does not.
void renderQuotations(const xmlNode *figure, Lines &lines, bool inLink)
{
    for (const xmlNode *child = figure->children; child; child = child->next) {
        if (!HtmlTree::IsElement(child) || ParagraphText::IsHidden(child))
            continue;
        const QString tag = HtmlTree::Tag(child);
        if (tag == u"blockquote") {
            lines.breakLine();
            render(child, lines, inLink);
            lines.breakLine();
        } else if (tag != u"figcaption") {
            renderQuotations(child, lines, inLink);
        }
    }
}

// In preformatted text (code, a program's output) each line break is the author's: the lines
// stay lines.
void renderPreformatted(const xmlNode *node, Lines &lines, bool inLink)
{
    for (const xmlNode *child = node->children; child; child = child->next) {
        if (child->type == XML_TEXT_NODE || child->type == XML_CDATA_SECTION_NODE) {
            const QStringList pieces = FromXml(child->content).split(u'\n');
            for (qsizetype i = 0; i < pieces.size(); ++i) {
                if (i > 0)
                    lines.breakLine();
                lines.add(pieces.at(i), inLink);
            }
        } else if (child->type == XML_ELEMENT_NODE && !ParagraphText::IsHidden(child)) {
            const QString tag = HtmlTree::Tag(child);
            if (tag == u"br")
                lines.breakLine();
            else if (!ParagraphText::IsSilentTag(tag))
                renderPreformatted(child, lines, inLink || tag == u"a");
        }
    }
}

void render(const xmlNode *node, Lines &lines, bool inLink)
{
    for (const xmlNode *child = node->children; child; child = child->next) {
        if (child->type == XML_TEXT_NODE || child->type == XML_CDATA_SECTION_NODE) {
            lines.add(FromXml(child->content), inLink);
            continue;
        }
        if (child->type != XML_ELEMENT_NODE)
            continue;
        const QString tag = HtmlTree::Tag(child);
        if (ParagraphText::IsHidden(child))
            continue;
        // Whole text has no page title to leave out.
        if (ParagraphText::IsSilentTag(tag) && !(lines.whole() && tag == u"h1")) {
            if (tag == u"figure")
                renderQuotations(child, lines, inLink);
            continue;
        }
        if (tag == u"br" || tag == u"hr") {
            lines.breakLine();
            continue;
        }
        const bool block = ParagraphText::IsBlockTag(tag);
        const bool cell = tag == u"td" || tag == u"th";
        const bool smallCell = cell && isSmallCell(child);
        if (block)
            lines.breakLine();
        if (smallCell)
            lines.beginCell();
        if (tag == u"pre")
            renderPreformatted(child, lines, inLink);
        else
            render(child, lines, inLink || tag == u"a");
        if (smallCell)
            lines.endCell();
        if (block)
            lines.breakLine();
        else if (cell)
            lines.add(u" "_s, false);
    }
}

void append(const xmlNode *node, QStringList &paragraphs, bool whole)
{
    Lines lines(paragraphs, whole);
    if (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE)
        lines.add(FromXml(node->content), false);
    else
        render(node, lines, false);
    lines.breakLine();
}

} // namespace

namespace ParagraphText {

bool IsBlockTag(QStringView tag)
{
    static const QStringList kBlocks = {
        u"p"_s,      u"div"_s,    u"section"_s,  u"article"_s, u"main"_s,       u"ul"_s,
        u"ol"_s,     u"li"_s,     u"dl"_s,       u"dt"_s,      u"dd"_s,         u"table"_s,
        u"tr"_s,     u"tbody"_s,  u"thead"_s,    u"tfoot"_s,   u"blockquote"_s, u"pre"_s,
        u"h1"_s,     u"h2"_s,     u"h3"_s,       u"h4"_s,      u"h5"_s,         u"h6"_s,
        u"header"_s, u"footer"_s, u"nav"_s,      u"aside"_s,   u"address"_s,    u"center"_s,
        u"figure"_s, u"form"_s,   u"fieldset"_s, u"details"_s, u"summary"_s,    u"caption"_s,
        u"hgroup"_s, u"body"_s,   u"html"_s,     u"hr"_s,      u"br"_s,
    };
    return kBlocks.contains(tag);
}

bool IsSilentTag(QStringView tag)
{
    static const QStringList kSilent = {
        u"script"_s, u"style"_s,  u"noscript"_s, u"template"_s, u"figure"_s,   u"figcaption"_s,
        u"h1"_s,     u"button"_s, u"select"_s,   u"option"_s,   u"textarea"_s, u"input"_s,
        u"iframe"_s, u"svg"_s,    u"canvas"_s,   u"object"_s,   u"embed"_s,    u"img"_s,
        u"video"_s,  u"audio"_s,  u"picture"_s,  u"head"_s,     u"title"_s,    u"label"_s,
        u"rt"_s,     u"rp"_s,
    };
    return kSilent.contains(tag);
}

bool IsHidden(const xmlNode *node)
{
    if (!HtmlTree::IsElement(node))
        return false;
    if (xmlHasProp(node, reinterpret_cast<const xmlChar *>("hidden")))
        return true;
    if (HtmlTree::Attribute(node, "aria-hidden").trimmed().toLower() == u"true")
        return true;
    return Boilerplate::HidesElement(HtmlTree::Attribute(node, "style"));
}

void Append(const xmlNode *node, QStringList &paragraphs)
{
    append(node, paragraphs, false);
}

QStringList Of(const xmlNode *node)
{
    QStringList paragraphs;
    append(node, paragraphs, false);
    return paragraphs;
}

QStringList WholeTextOf(const xmlNode *node)
{
    QStringList paragraphs;
    append(node, paragraphs, true);
    return paragraphs;
}

} // namespace ParagraphText
