#include "ScoringPass.h"

#include "BodyEdges.h"
#include "BoilerplateWords.h"
#include "HtmlTree.h"
#include "ParagraphText.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <vector>

using namespace Qt::StringLiterals;
using HtmlTree::CodePoints;
using HtmlTree::Tag;

namespace {

// Shorter blocks are captions, buttons and datelines, not article text.
constexpr qsizetype kShortestScoredBlock = 25;
// Text enough before a closing heading for it to close something: a paragraph or two.
constexpr qsizetype kShortestClosedText = 120;
constexpr int kScoredAncestors = 5;
// Consent notices are short; a block longer than this is something else.
constexpr qsizetype kLongestNotice = 1500;
// A candidate that outscores everything unrelated to it by this factor is clearly the article.
constexpr double kClearMargin = 2.0;

bool isOneOf(QStringView tag, std::initializer_list<QStringView> tags)
{
    return std::find(tags.begin(), tags.end(), tag) != tags.end();
}

// Whole paragraphs: their score belongs to the element that holds them.
bool isParagraphTag(QStringView tag)
{
    return isOneOf(tag,
                   {u"p", u"pre", u"blockquote", u"dd", u"li", u"h2", u"h3", u"h4", u"h5", u"h6"});
}

bool isHeadingTag(QStringView tag)
{
    return isOneOf(tag, {u"h2", u"h3", u"h4", u"h5", u"h6"});
}

// A table cell holds its own text, as a block does: a layout table's cell may be the article.
bool isCellTag(QStringView tag)
{
    return tag == u"td" || tag == u"th";
}

// A block below the node, also through inline elements that wrap it (a <font> or <span>
// around paragraphs on old pages).
bool hasBlockChild(const xmlNode *node)
{
    for (const xmlNode *child = node->children; child; child = child->next) {
        const QString tag = Tag(child);
        if (tag.isEmpty() || tag == u"br" || ParagraphText::IsSilentTag(tag))
            continue;
        if (ParagraphText::IsBlockTag(tag) || isCellTag(tag) || hasBlockChild(child))
            return true;
    }
    return false;
}

bool isAncestorOf(const xmlNode *ancestor, const xmlNode *node)
{
    for (const xmlNode *up = node ? node->parent : nullptr; up; up = up->parent) {
        if (up == ancestor)
            return true;
    }
    return false;
}

// The class names that say what kind of part an element is, without the generated or numbered
// ones: "body-part body-part--2" and "body-part" are parts of one kind.
QString classPattern(const xmlNode *node)
{
    QStringList kept;
    for (const QString &name : HtmlTree::Attribute(node, "class").split(u' ', Qt::SkipEmptyParts)) {
        QString base = name.section(u"--"_s, 0, 0);
        if (std::any_of(base.cbegin(), base.cend(), [](QChar c) { return c.isDigit(); }))
            continue;
        kept << base;
    }
    kept.sort();
    return kept.join(u' ');
}

class Pass
{
public:
    explicit Pass(const PassRules &rules)
        : m_rules(rules)
    {}

    ScoredText run(const xmlDoc *page)
    {
        HtmlTree::Document doc(xmlCopyDoc(const_cast<xmlDoc *>(page), 1));
        xmlNodePtr body = HtmlTree::Body(doc.get());
        if (!body)
            return {};
        removeConsentNotices(doc.get(), body);
        if (const HtmlTree::XPathResult articles = HtmlTree::Select(doc.get(), "//article");
            articles && articles->nodesetval)
            m_articleElements = articles->nodesetval->nodeNr;
        prune(body);
        m_spans.clear(); // pruning changed what the elements hold
        scoreBlocks(body);
        xmlNodePtr top = topCandidate(body);
        if (!top)
            return {ParagraphText::Of(body), false};
        ScoredText result;
        result.fromArticleContainer = isClearContainer(top, body);
        const std::vector<xmlNodePtr> parts =
            withSiblings(repeatedUnit(outermostWrapper(top, body), body));
        for (xmlNodePtr part : parts) {
            clean(part, textLength(part));
            m_spans.clear(); // cleaning changed what the elements hold
            dropTrailingHeadings(part);
            ParagraphText::Append(part, result.paragraphs);
        }
        return result;
    }

private:
    // Characters other than white space in an element's text, and how many of them are links.
    struct Span
    {
        qsizetype text = 0;
        qsizetype linked = 0;
    };

    Span span(const xmlNode *node) const
    {
        if (const auto found = m_spans.constFind(node); found != m_spans.cend())
            return *found;
        Span total;
        for (const xmlNode *child = node->children; child; child = child->next) {
            if (child->type == XML_TEXT_NODE || child->type == XML_CDATA_SECTION_NODE) {
                const QString text =
                    QString::fromUtf8(reinterpret_cast<const char *>(child->content));
                for (qsizetype i = 0; i < text.size(); ++i) {
                    if (!text[i].isSpace() && !text[i].isLowSurrogate())
                        ++total.text;
                }
            } else if (child->type == XML_ELEMENT_NODE) {
                const QString tag = Tag(child);
                if (isOneOf(tag, {u"script", u"style", u"noscript", u"template"}))
                    continue;
                const Span inner = span(child);
                total.text += inner.text;
                total.linked += tag == u"a" ? inner.text : inner.linked;
            }
        }
        m_spans.insert(node, total);
        return total;
    }

    qsizetype textLength(const xmlNode *node) const { return span(node).text; }

    double linkDensity(const xmlNode *node) const
    {
        const Span s = span(node);
        return s.text == 0 ? 0.0 : double(s.linked) / double(s.text);
    }

    // A post quoted in the article: a blockquote of a sentence or more that is not a link list,
    // with little else around it.
    bool holdsQuotation(const xmlNode *node) const
    {
        const xmlNode *quote = nullptr;
        if (Tag(node) == u"blockquote") {
            quote = node;
        } else {
            for (const xmlNode *child = node->children; child && !quote; child = child->next) {
                if (HtmlTree::IsElement(child) && holdsQuotation(child))
                    quote = child;
            }
            if (!quote)
                return false;
        }
        return textLength(quote) >= 20 && linkDensity(quote) < 0.5 &&
               textLength(node) <= textLength(quote) + 400;
    }

    // A <pre>, or a box that is mostly one: a code block with its copy button and label.
    bool holdsPreformatted(const xmlNode *node) const
    {
        const qsizetype length = textLength(node);
        if (length == 0)
            return false;
        if (Tag(node) == u"pre")
            return true;
        for (const xmlNode *child = node->children; child; child = child->next) {
            if (HtmlTree::IsElement(child) && textLength(child) * 10 >= length * 8)
                return holdsPreformatted(child);
        }
        return false;
    }

    // The smallest block around a consent button or in a fixed overlay that reads as a cookie
    // or consent notice, widened to wrappers that add nothing else. Lengths come from the
    // counts, so a page of many buttons in one wrapper is not read again for each.
    xmlNodePtr consentNoticeAround(xmlNodePtr start) const
    {
        xmlNodePtr notice = nullptr;
        qsizetype noticeLength = 0;
        for (xmlNodePtr node = start; HtmlTree::IsElement(node) && Tag(node) != u"body";
             node = node->parent) {
            const qsizetype length = textLength(node);
            if (length > kLongestNotice || (notice && length > noticeLength + 100))
                break;
            if (notice || Boilerplate::IsConsentNotice(HtmlTree::Text(node))) {
                notice = node;
                noticeLength = length;
            }
        }
        return notice;
    }

    // Notices that hold the body are left alone: a page without a real <body> can have its
    // body found inside a wrapper that also reads as a notice.
    void removeConsentNotices(xmlDoc *doc, const xmlNode *body)
    {
        QSet<xmlNodePtr> notices;
        const HtmlTree::XPathResult controls = HtmlTree::Select(
            doc, "//button | //*[@role='button'] | //input[@type='button' or @type='submit'] | "
                 "//*[contains(@style,'fixed') or contains(@style,'sticky')]");
        if (!controls || !controls->nodesetval)
            return;
        for (int i = 0; i < controls->nodesetval->nodeNr; ++i) {
            xmlNodePtr node = controls->nodesetval->nodeTab[i];
            const QString tag = Tag(node);
            const bool control = tag == u"button" || tag == u"input" ||
                                 HtmlTree::Attribute(node, "role") == u"button";
            if (control) {
                const QString label =
                    tag == u"input" ? HtmlTree::Attribute(node, "value") : HtmlTree::Text(node);
                if (!Boilerplate::IsConsentAction(label))
                    continue;
                node = node->parent;
            }
            if (xmlNodePtr notice = consentNoticeAround(node); notice && !holds(notice, body))
                notices.insert(notice);
        }
        // An outer notice takes the inner ones with it.
        std::vector<xmlNodePtr> outer;
        for (xmlNodePtr notice : std::as_const(notices)) {
            bool inner = false;
            for (xmlNodePtr up = notice->parent; up && !inner; up = up->parent)
                inner = notices.contains(up);
            if (!inner)
                outer.push_back(notice);
        }
        for (xmlNodePtr notice : outer)
            HtmlTree::Remove(notice);
        m_spans.clear(); // the notices' ancestors hold less now
    }

    static bool holds(const xmlNode *outer, const xmlNode *inner)
    {
        for (const xmlNode *node = inner; node; node = node->parent) {
            if (node == outer)
                return true;
        }
        return false;
    }

    // A sentence or two at least: what icons, labels and menus never hold.
    static bool holdsProse(const QString &text)
    {
        return CodePoints(text) >= 40 &&
               (Boilerplate::Punctuation(text) >= 2 || Boilerplate::ReadsLikeSentence(text));
    }

    // The rest of an article folded away behind a "続きを読む" button right before it.
    static bool isFoldedRest(const xmlNode *node)
    {
        const xmlNode *before = node->prev;
        while (before && !HtmlTree::IsElement(before))
            before = before->prev;
        return before && Boilerplate::IsReadMore(HtmlTree::Text(before)) &&
               holdsProse(HtmlTree::Text(node));
    }

    // Whether an element stays hidden from the reader. A dialog over the page marks the page
    // under it aria-hidden while it is open; an element hidden that way that still holds prose
    // is the page, not a hidden part of it. So is the folded rest of an article, which the
    // reader opens with a click: both are shown in this copy of the page, for the paragraphs to
    // be read out of them.
    static bool staysHidden(xmlNodePtr node)
    {
        if (!ParagraphText::IsHidden(node))
            return false;
        const bool byStyle = xmlHasProp(node, reinterpret_cast<const xmlChar *>("hidden")) ||
                             Boilerplate::HidesElement(HtmlTree::Attribute(node, "style"));
        if (byStyle ? !isFoldedRest(node) : !holdsProse(HtmlTree::Text(node)))
            return true;
        for (const char *name : {"hidden", "style", "aria-hidden"})
            xmlUnsetProp(node, reinterpret_cast<const xmlChar *>(name));
        return false;
    }

    // A link below the node to another page; a jump within the page ("#reviews") leads nowhere.
    // A shop's button ("$99 at Shop") may be left out: it leads to the thing, not to a story.
    static bool linksElsewhere(const xmlNode *node, bool countShops = true)
    {
        for (const xmlNode *child = node->children; child; child = child->next) {
            if (!HtmlTree::IsElement(child))
                continue;
            if (Tag(child) == u"a") {
                const QString href = HtmlTree::Attribute(child, "href").trimmed();
                if (!href.isEmpty() && !href.startsWith(u'#') &&
                    (countShops || !Boilerplate::IsBuyButton(HtmlTree::Text(child))))
                    return true;
            } else if (linksElsewhere(child, countShops)) {
                return true;
            }
        }
        return false;
    }

    // Named as boilerplate. A card that links to no other page is the author's aside (a
    // callout, a box of facts, a recipe card, a product of a roundup with its shop's button),
    // not a teaser of another page.
    static bool looksNegative(const xmlNode *node)
    {
        const QString names = HtmlTree::ClassAndId(node);
        return Boilerplate::LooksNegative(names) &&
               !(Boilerplate::NamesOnlyCard(names) && !linksElsewhere(node, false));
    }

    static int classWeight(const xmlNode *node)
    {
        const QString names = HtmlTree::ClassAndId(node);
        return (Boilerplate::LooksPositive(names) ? 25 : 0) - (looksNegative(node) ? 25 : 0);
    }

    // An aside set in the article by its author: a box of facts in sentences ("Getting there")
    // inside the element the page names as its article, that links to no other page and asks
    // nothing of the reader. A sidebar links away.
    bool isAuthorsAside(const xmlNode *node) const
    {
        bool inArticle = false;
        for (const xmlNode *up = node->parent; HtmlTree::IsElement(up) && !inArticle;
             up = up->parent) {
            inArticle =
                Tag(up) == u"article" ||
                (Tag(up) != u"body" && Boilerplate::LooksPositive(HtmlTree::ClassAndId(up)));
        }
        // A pull quote set aside repeats the text.
        return inArticle && !linksElsewhere(node) && !looksNegative(node) &&
               !holdsQuotation(node) && holdsProseParagraph(node) &&
               !Boilerplate::IsPromotion(HtmlTree::Text(node));
    }

    // Whether an element can be dropped before scoring, as navigation or boilerplate.
    bool unlikely(xmlNodePtr node, const QString &tag) const
    {
        if (tag == u"aside")
            return !isAuthorsAside(node);
        if (isOneOf(tag, {u"nav", u"footer", u"header"}))
            return true;
        const QString role = HtmlTree::Attribute(node, "role").trimmed().toLower();
        if (isOneOf(role, {u"navigation", u"menu", u"menubar", u"complementary", u"dialog",
                           u"alertdialog", u"banner", u"contentinfo", u"search"}))
            return true;
        if (HtmlTree::Attribute(node, "aria-modal") == u"true")
            return true;
        if (tag == u"form") {
            // Some sites wrap the whole page in one form.
            const QString text = HtmlTree::Text(node);
            return CodePoints(text) < 500 || Boilerplate::Punctuation(text) < 10;
        }
        if (isOneOf(tag, {u"body", u"a", u"article", u"main"}))
            return false;
        if (isTeaserList(node))
            return true;
        const QString names = HtmlTree::ClassAndId(node);
        if (!looksNegative(node))
            return false;
        // A post quoted in the article often sits in a "social" or "sns" embed.
        if (holdsQuotation(node))
            return false;
        // "main-with-sidebar" and the like: a container of prose stays, a list of links goes.
        return !Boilerplate::LooksPositive(names) || HtmlTree::LinkDensity(node) >= 0.5;
    }

    // Decides on all children before going into any: whether one goes may depend on what its
    // siblings hold.
    void prune(xmlNodePtr node)
    {
        std::vector<xmlNodePtr> dropped;
        std::vector<xmlNodePtr> kept;
        for (xmlNodePtr child = node->children; child; child = child->next) {
            if (child->type == XML_COMMENT_NODE) {
                dropped.push_back(child);
            } else if (child->type == XML_ELEMENT_NODE) {
                const QString tag = Tag(child);
                if ((ParagraphText::IsSilentTag(tag) && tag != u"h1" && tag != u"figure") ||
                    staysHidden(child) || (m_rules.dropUnlikely && unlikely(child, tag)))
                    dropped.push_back(child);
                else
                    kept.push_back(child);
            }
        }
        for (xmlNodePtr child : dropped) {
            // A block that held a button or a form is a widget if little else is in it.
            if (isOneOf(Tag(child), {u"button", u"input", u"select", u"textarea", u"form"})) {
                xmlNodePtr holder = node;
                for (int level = 0; level < 3 && HtmlTree::IsElement(holder); ++level) {
                    m_controlHolders.insert(holder);
                    holder = holder->parent;
                }
            }
            HtmlTree::Remove(child);
        }
        for (xmlNodePtr child : kept)
            prune(child);
    }

    double initialScore(const xmlNode *node) const
    {
        const QString tag = Tag(node);
        double score = 0;
        if (isOneOf(tag, {u"div", u"article", u"main", u"section"}))
            score = 5;
        else if (isOneOf(tag, {u"pre", u"td", u"blockquote"}))
            score = 3;
        else if (isOneOf(tag, {u"address", u"ol", u"ul", u"dl", u"dd", u"dt", u"li", u"form"}))
            score = -3;
        else if (isOneOf(tag, {u"h1", u"h2", u"h3", u"h4", u"h5", u"h6", u"th"}))
            score = -5;
        if (m_rules.weighClasses) {
            score += classWeight(node);
            // The page's own word for its article: the element it marks as the article body,
            // or its only <article> (pages with many use them for teaser cards).
            if (HtmlTree::Attribute(node, "itemprop").contains(u"articleBody"_s))
                score += 25;
            else if (tag == u"article" && m_articleElements == 1)
                score += 10;
        }
        return score;
    }

    // Adds a block's score to the element holding it and, less and less, to its ancestors.
    void credit(xmlNodePtr holder, const QString &text)
    {
        const qsizetype length = CodePoints(text);
        if (length < kShortestScoredBlock)
            return;
        const double score =
            1.0 + Boilerplate::Punctuation(text) + std::min<double>(double(length / 100), 3.0);
        xmlNodePtr node = holder;
        for (int level = 0; level < kScoredAncestors && HtmlTree::IsElement(node); ++level) {
            if (Tag(node) == u"html")
                break;
            auto found = m_scores.find(node);
            if (found == m_scores.end()) {
                found = m_scores.insert(node, initialScore(node));
                m_order.push_back(node);
            }
            const double divider = level == 0 ? 1.0 : level == 1 ? 2.0 : level * 3.0;
            *found += score / divider;
            node = node->parent;
        }
    }

    // The inline text of a node, one string per run between blocks and line breaks, also
    // those inside inline elements. A block's own text is scored where the walk reaches it.
    static void collectRuns(const xmlNode *node, QStringList &runs, QString &run)
    {
        for (const xmlNode *child = node->children; child; child = child->next) {
            if (child->type == XML_TEXT_NODE || child->type == XML_CDATA_SECTION_NODE) {
                run += FromXml(child->content);
                continue;
            }
            const QString tag = Tag(child);
            if (tag.isEmpty() || ParagraphText::IsSilentTag(tag))
                continue;
            if (ParagraphText::IsBlockTag(tag) || isCellTag(tag)) {
                runs << HtmlTree::Simplified(std::exchange(run, QString()));
            } else {
                collectRuns(child, runs, run);
                run += u' ';
            }
        }
    }

    static QStringList inlineRuns(const xmlNode *node)
    {
        QStringList runs;
        QString run;
        collectRuns(node, runs, run);
        runs << HtmlTree::Simplified(run);
        return runs;
    }

    void scoreBlocks(xmlNodePtr node)
    {
        for (xmlNodePtr child = node->children; child; child = child->next) {
            if (!HtmlTree::IsElement(child))
                continue;
            const QString tag = Tag(child);
            if (ParagraphText::IsSilentTag(tag))
                continue;
            // Inline text is scored with the runs of the block around it.
            const bool block = ParagraphText::IsBlockTag(tag) || isCellTag(tag);
            if (!hasBlockChild(child)) {
                if (!block)
                    continue;
                // A paragraph, or a div used as one, credits its container; a block of lines
                // separated by <br> is itself the container of its paragraphs, which old
                // pages and many Japanese ones write as runs between breaks.
                const QStringList runs = isParagraphTag(tag) ? QStringList() : inlineRuns(child);
                if (runs.size() < 3) {
                    credit(child->parent, HtmlTree::Text(child));
                } else {
                    for (const QString &run : runs)
                        credit(child, run);
                }
                continue;
            }
            if (block) {
                for (const QString &run : inlineRuns(child))
                    credit(child, run);
            }
            scoreBlocks(child);
        }
    }

    double finalScore(const xmlNode *node) const
    {
        return m_scores.value(node) * (1.0 - linkDensity(node));
    }

    // What the node's text earned, without the head start its tag and names gave it: a sibling
    // joins the article for the paragraphs it holds, not for being a div.
    double earnedScore(const xmlNode *node) const
    {
        return (m_scores.value(node) - initialScore(node)) * (1.0 - linkDensity(node));
    }

    xmlNodePtr topCandidate(xmlNodePtr body) const
    {
        xmlNodePtr top = nullptr;
        double best = 0;
        for (xmlNodePtr node : m_order) {
            const double score = finalScore(node);
            if (!top || score > best) {
                top = node;
                best = score;
            }
        }
        if (!top)
            return nullptr;
        // A container whose score beats the candidate's holds more of the article, if it earned
        // more by its text: a better name alone ("main" around "article") is no reason to take
        // in what else the container holds.
        const double threshold = best / 3;
        const double earned = earnedScore(top);
        double last = best;
        for (xmlNodePtr parent = top->parent; parent && parent != body; parent = parent->parent) {
            if (!m_scores.contains(parent))
                continue;
            const double score = finalScore(parent);
            if (score < threshold)
                break;
            if (score > last && earnedScore(parent) > earned) {
                top = parent;
                break;
            }
            last = score;
        }
        return top;
    }

    // Inside an <article> or the element a page marks as the article body, or far ahead of
    // every candidate that is neither inside nor around it.
    bool isClearContainer(const xmlNode *top, const xmlNode *body) const
    {
        for (const xmlNode *node = top; node && node != body; node = node->parent) {
            if (Tag(node) == u"article" ||
                HtmlTree::Attribute(node, "itemprop").contains(u"articleBody"_s))
                return true;
        }
        double other = 0;
        for (const xmlNode *node : m_order) {
            if (node != top && !isAncestorOf(node, top) && !isAncestorOf(top, node))
                other = std::max(other, finalScore(node));
        }
        return finalScore(top) >= kClearMargin * other;
    }

    // A wrapper that holds little besides the candidate, a section around one text block with
    // its heading, is the unit whose siblings are the article's other parts.
    xmlNodePtr outermostWrapper(xmlNodePtr top, xmlNodePtr body) const
    {
        for (xmlNodePtr parent = top->parent; HtmlTree::IsElement(parent) && parent != body;
             parent = parent->parent) {
            const qsizetype extra = textLength(parent) - textLength(top);
            if (extra > 60 || extra * 10 > textLength(top) || Tag(parent) == u"body")
                break;
            top = parent;
        }
        return top;
    }

    // The unit the article repeats, when the candidate is one part of one: the posts of a live
    // blog, each with its time and heading around its text, are siblings alike in tag and
    // class, and every one of them says something in sentences. Their container is no
    // candidate of its own when the longest post outscores it.
    xmlNodePtr repeatedUnit(xmlNodePtr top, xmlNodePtr body) const
    {
        xmlNodePtr unit = top;
        for (int level = 0; level < 3 && HtmlTree::IsElement(unit->parent) &&
                            unit->parent != body && Tag(unit) != u"article";
             ++level, unit = unit->parent) {
            const QString pattern = classPattern(unit);
            if (pattern.isEmpty())
                continue;
            int alike = 0;
            for (xmlNodePtr sibling = unit->parent->children; sibling; sibling = sibling->next) {
                // A post's share buttons make no widget of it.
                if (sibling != unit && HtmlTree::IsElement(sibling) && Tag(sibling) == Tag(unit) &&
                    classPattern(sibling) == pattern && !looksNegative(sibling) &&
                    linkDensity(sibling) < 0.2 && holdsProseParagraph(sibling))
                    ++alike;
            }
            if (alike >= 2)
                return unit;
        }
        return top;
    }

    static bool opensWithHeading(const xmlNode *node)
    {
        const xmlNode *child = node->children;
        while (child && !(HtmlTree::IsElement(child) || !HtmlTree::Text(child).trimmed().isEmpty()))
            child = child->next;
        return child && HtmlTree::IsElement(child) && isHeadingTag(Tag(child));
    }

    // A heading, or a block that only holds one.
    bool isHeading(const xmlNode *node) const
    {
        if (isHeadingTag(Tag(node)))
            return true;
        for (const xmlNode *child = node->children; child; child = child->next) {
            if (HtmlTree::IsElement(child) && textLength(child) == textLength(node))
                return isHeading(child);
        }
        return false;
    }

    // Whether one of the paragraphs below a node says something in sentences, not in
    // headings, labels and links around them.
    static bool holdsProseParagraph(const xmlNode *node)
    {
        for (const xmlNode *child = node->children; child; child = child->next) {
            if (!HtmlTree::IsElement(child))
                continue;
            if (isOneOf(Tag(child), {u"p", u"blockquote", u"pre"})
                    ? holdsProse(HtmlTree::Text(child))
                    : holdsProseParagraph(child))
                return true;
        }
        return false;
    }

    // Characters in the paragraphs below a node that say something in sentences.
    qsizetype proseLength(const xmlNode *node) const
    {
        qsizetype length = 0;
        for (const xmlNode *child = node->children; child; child = child->next) {
            if (!HtmlTree::IsElement(child))
                continue;
            if (!isOneOf(Tag(child), {u"p", u"blockquote", u"pre"}))
                length += proseLength(child);
            else if (holdsProse(HtmlTree::Text(child)))
                length += textLength(child);
        }
        return length;
    }

    // A shop's link below the node: a product box with its prices, not the review's text.
    static bool holdsBuyButton(const xmlNode *node)
    {
        for (const xmlNode *child = node->children; child; child = child->next) {
            if (!HtmlTree::IsElement(child))
                continue;
            if (Tag(child) == u"a" ? Boilerplate::IsBuyButton(HtmlTree::Text(child))
                                   : holdsBuyButton(child))
                return true;
        }
        return false;
    }

    // Named as a byline, a deck, a caption or a date, and as short as those are.
    bool isCredit(const xmlNode *node) const
    {
        return Boilerplate::LooksLikeCredit(HtmlTree::ClassAndId(node)) && textLength(node) < 300 &&
               !isSubHeading(node);
    }

    // A heading after a paragraph of the text is a sub-heading, whatever its class calls it: a
    // deck stands under the headline, before the text begins.
    static bool isSubHeading(const xmlNode *node)
    {
        if (!isHeadingTag(Tag(node)) || Tag(node) == u"h1")
            return false;
        for (const xmlNode *before = node->prev; before; before = before->prev) {
            if (HtmlTree::IsElement(before) && Tag(before) == u"p" &&
                Boilerplate::ReadsLikeSentence(HtmlTree::Text(before)))
                return true;
        }
        return false;
    }

    // A box of the site's beside or inside the article: one that asks the reader to subscribe,
    // give or sign up, a shop's box, or one that a boilerplate heading introduces ("Read next",
    // "関連記事").
    // A paragraph is never a box; an advertisement's label above a part of the article does not
    // make it the site's, nor does the "Skip post" link before a post the author quoted.
    bool isSiteBox(const xmlNode *node) const
    {
        const qsizetype length = textLength(node);
        if (length == 0 || length > 1500 || isParagraphTag(Tag(node)) || !hasBlockChild(node) ||
            holdsQuotation(node))
            return false;
        const QString text = HtmlTree::Text(node);
        // A product's card that says in sentences why it is worth buying is an item of a
        // roundup, the article itself; its button and prices go on their own.
        if (Boilerplate::IsPromotion(text) || (holdsBuyButton(node) && !holdsProseParagraph(node)))
            return true;
        const QString first = ParagraphText::WholeTextOf(node).value(0);
        return Boilerplate::IsBoilerplateLine(first) && !Boilerplate::IsAdLabel(first);
    }

    // A container of paragraphs rather than links or a form, and not named as a credit or as
    // boilerplate: the opening paragraphs in a box of their own, a later part of the body. Most
    // of what it says is in sentences: a box of tables with a note under them (a box score, a
    // table of results) is the site's data beside the article.
    bool readsAsProse(const xmlNode *node) const
    {
        const QString names = HtmlTree::ClassAndId(node);
        if (Boilerplate::LooksLikeCredit(names) || looksNegative(node) || isWidget(node) ||
            linkDensity(node) >= 0.2 || isSiteBox(node))
            return false;
        return proseLength(node) * 2 >= textLength(node) && holdsProseParagraph(node);
    }

    // Of the article for what it is: the candidate, a part of the same kind, a sibling that
    // scored on its own, a paragraph.
    bool belongs(xmlNodePtr sibling, xmlNodePtr top, double threshold) const
    {
        if (sibling == top)
            return true;
        const QString tag = Tag(sibling);
        // Another part of the article cut into pieces of one kind.
        const QString pattern = classPattern(top);
        if (!pattern.isEmpty() && tag == Tag(top) && classPattern(sibling) == pattern &&
            textLength(sibling) > 0 && linkDensity(sibling) < 0.5)
            return true;
        if (m_scores.contains(sibling) && earnedScore(sibling) >= threshold)
            return true;
        if (isParagraphTag(tag) || !hasBlockChild(sibling)) {
            const QString text = HtmlTree::Text(sibling);
            const qsizetype length = CodePoints(text);
            const double links = linkDensity(sibling);
            return (length > 80 && links < 0.25) ||
                   (length > 0 && links == 0 && Boilerplate::ReadsLikeSentence(text));
        }
        return false;
    }

    std::vector<xmlNodePtr> withSiblings(xmlNodePtr top) const
    {
        xmlNodePtr parent = top->parent;
        if (!parent || !HtmlTree::IsElement(parent) || Tag(top) == u"body")
            return {top};
        const double threshold = std::max(10.0, finalScore(top) * 0.2);
        std::vector<xmlNodePtr> siblings;
        std::vector<bool> in;
        for (xmlNodePtr sibling = parent->children; sibling; sibling = sibling->next) {
            if (HtmlTree::IsElement(sibling)) {
                siblings.push_back(sibling);
                in.push_back(sibling == top ||
                             (belongs(sibling, top, threshold) && !isSiteBox(sibling) &&
                              !isCredit(sibling) && !isTeaserList(sibling)));
            }
        }
        // The nearest sibling before or after i that says something: an empty ad slot or a
        // photo between two parts does not part them.
        const auto neighbour = [&](size_t i, int step) -> qsizetype {
            for (qsizetype j = qsizetype(i) + step; j >= 0 && j < qsizetype(siblings.size());
                 j += step) {
                if (textLength(siblings[size_t(j)]) >= kShortestScoredBlock)
                    return j;
            }
            return -1;
        };
        const auto included = [&](qsizetype j) {
            return j >= 0 && in[size_t(j)];
        };
        // Paragraphs in a box of their own right before or after the article's parts: its
        // opening, a later section. Further away they are comments or a teaser.
        std::vector<bool> prose(siblings.size());
        // A box above the article under a heading of its own is a box of facts ("The Case",
        // "At a glance"): an article's opening does not come under a sub-heading.
        const auto firstIn = std::find(in.begin(), in.end(), true) - in.begin();
        for (size_t i = 0; i < siblings.size(); ++i) {
            prose[i] = !in[i] && readsAsProse(siblings[i]) && !isTeaserList(siblings[i]) &&
                       (included(neighbour(i, -1)) || included(neighbour(i, 1))) &&
                       !(qsizetype(i) < firstIn && opensWithHeading(siblings[i]));
        }
        for (size_t i = 0; i < siblings.size(); ++i)
            in[i] = in[i] || prose[i];
        // Sub-headings and quoted posts between two parts of the article are the article's.
        for (size_t i = 0; i < siblings.size(); ++i) {
            if (in[i] || !(isHeading(siblings[i]) || holdsQuotation(siblings[i])))
                continue;
            const bool after =
                std::find(in.begin(), in.begin() + qsizetype(i), true) != in.begin() + qsizetype(i);
            size_t next = i + 1;
            while (next < siblings.size() && textLength(siblings[next]) == 0)
                ++next;
            in[i] = after && next < siblings.size() && in[next];
        }
        // A byline or dateline above the article closes the page's header: what stands before
        // it (a deck, a standfirst) introduces the article rather than being part of it.
        const auto topAt = std::find(siblings.begin(), siblings.end(), top) - siblings.begin();
        for (qsizetype j = topAt - 1; j >= 0; --j) {
            if (isBylineBlock(siblings[size_t(j)], top)) {
                std::fill(in.begin(), in.begin() + j, false);
                break;
            }
        }
        std::vector<xmlNodePtr> parts;
        for (size_t i = 0; i < siblings.size(); ++i) {
            if (in[i])
                parts.push_back(siblings[i]);
        }
        return parts;
    }

    // Named as a byline, or a short line that holds the time of publication; not a short post
    // of a live blog, which is made like the others.
    bool isBylineBlock(const xmlNode *node, const xmlNode *top) const
    {
        return !isParagraphTag(Tag(node)) && textLength(node) > 0 && textLength(node) < 160 &&
               (isCredit(node) || holdsTag(node, u"time")) && !holdsProseParagraph(node) &&
               !(Tag(node) == Tag(top) && classPattern(node) == classPattern(top));
    }

    static bool holdsTag(const xmlNode *node, QStringView tag)
    {
        for (const xmlNode *child = node->children; child; child = child->next) {
            if (HtmlTree::IsElement(child) && (Tag(child) == tag || holdsTag(child, tag)))
                return true;
        }
        return false;
    }

    // A list of teasers: five items or more, each linking to another page, that hold nearly
    // all of the node's text ("More episodes", "Homes for sale near ..."). Their blurbs read as
    // prose.
    bool isTeaserList(const xmlNode *node) const
    {
        int items = 0;
        qsizetype inItems = 0;
        countLinkedItems(node, items, inItems);
        const qsizetype length = textLength(node);
        return items >= 5 && inItems * 10 >= length * 6 && length - inItems <= 200;
    }

    void countLinkedItems(const xmlNode *node, int &items, qsizetype &inItems) const
    {
        for (const xmlNode *child = node->children; child; child = child->next) {
            if (!HtmlTree::IsElement(child))
                continue;
            if (Tag(child) != u"li") {
                countLinkedItems(child, items, inItems);
            } else if (linksElsewhere(child)) {
                ++items;
                inItems += textLength(child);
            }
        }
    }

    // A few lines around a button or a form: a sign-up or republish box, a share bar.
    bool isWidget(const xmlNode *node) const
    {
        return m_controlHolders.contains(node) && textLength(node) < 300 && !holdsQuotation(node);
    }

    // Inside the result: link lists, image blocks, widgets and credit lines go.
    bool boilerplateInside(xmlNodePtr node, const QString &tag, qsizetype partLength) const
    {
        const QString names = HtmlTree::ClassAndId(node);
        const qsizetype length = textLength(node);
        // Preformatted text in the article is the author's code or output, whatever copy button
        // or short lines surround it.
        if (holdsPreformatted(node))
            return false;
        if (isCredit(node) || isTeaserList(node))
            return true;
        if (tag == u"a" && Boilerplate::IsBuyButton(HtmlTree::Text(node)))
            return true;
        if (isOneOf(tag, {u"div", u"figure", u"section"}) && isPlayerTitle(node, length))
            return true;
        // A sign-up or republish box, an offer, a box of links under "Read next": a small share
        // of the part.
        if ((isWidget(node) || isSiteBox(node)) && length * 3 < partLength)
            return true;
        // A quote card or a data box signed by the site's data line ("Delayed 15 minutes"):
        // the line goes, and so do the figures it vouches for.
        if (length < 300 && !holdsProseParagraph(node) && !isParagraphTag(tag) &&
            hasBlockChild(node)) {
            const QStringList lines = ParagraphText::WholeTextOf(node);
            if (lines.size() >= 2 && BodyEdges::IsSiteNotice(lines.constLast()))
                return true;
        }
        // A box of short lines that leads to another page, none of them a sentence: a listing's
        // or a product's card set into the text (price, rooms, features, "View this property").
        if (isOneOf(tag, {u"div", u"section", u"aside"}) && length < 600 &&
            length * 3 < partLength && !holdsProseParagraph(node) && linksElsewhere(node)) {
            const QStringList lines = ParagraphText::WholeTextOf(node);
            if (lines.size() >= 4 &&
                std::none_of(lines.cbegin(), lines.cend(), Boilerplate::ReadsLikeSentence))
                return true;
        }
        // A box of many short lines with a sentence at most, beside the text: a review's score
        // box (score, platforms, facts, pros and cons), a player's card. Its lines say what the
        // site files about the thing, not what the author wrote.
        if (isOneOf(tag, {u"div", u"section", u"aside"}) && length < 1000 &&
            length * 4 < partLength && hasBlockChild(node) && !holdsQuotation(node) &&
            isShortLineBox(node))
            return true;
        // A box of its own around a table of figures without a sentence in it (a forecast, a
        // line score, values per serving), with at most its title and a note: the site's data
        // module. A table standing in the text itself is the author's.
        if (length < 3000 && isOneOf(tag, {u"div", u"section", u"aside"}) &&
            !holdsProseParagraph(node)) {
            const qsizetype figures = figureTableLength(node);
            if (figures > 0 && length - figures <= 120)
                return true;
        }
        if (!m_rules.cleanConditionally ||
            !isOneOf(tag, {u"div", u"section", u"ul", u"ol", u"table", u"dl", u"form", u"aside",
                           u"header", u"footer", u"nav"}))
            return false;
        if (holdsQuotation(node))
            return false;
        const int weight = m_rules.weighClasses ? classWeight(node) : 0;
        const double links = linkDensity(node);
        const bool list = isOneOf(tag, {u"ul", u"ol", u"dl"});
        // A list starts below zero; one of plain facts without links is the article's.
        if (weight + m_scores.value(node) < 0 && !(list && links < 0.2))
            return true;
        // Mostly links: a list of headlines, however many commas they hold.
        if (links > 0.5)
            return true;
        // Mostly a table each row of which leads to a page of its own: a ranking, quotes,
        // standings. A table of facts links few of its rows, if any.
        if (linkedRowsLength(node) * 10 >= length * 6)
            return true;
        const QString text = HtmlTree::Text(node);
        if (Boilerplate::Punctuation(text) >= 10)
            return false;
        if (!list && weight < 25 && links > 0.2)
            return true;
        // A short block of neither prose nor heading: a button row, a dateline, a stray label.
        return !list && CodePoints(text) < kShortestScoredBlock && !hasHeading(node);
    }

    // Characters in the tables below a node (or the node itself) that qualify.
    template<typename Qualifies>
    qsizetype tablesLength(const xmlNode *node, const Qualifies &qualifies) const
    {
        if (Tag(node) == u"table")
            return qualifies(node) ? textLength(node) : 0;
        qsizetype length = 0;
        for (const xmlNode *child = node->children; child; child = child->next) {
            if (HtmlTree::IsElement(child))
                length += tablesLength(child, qualifies);
        }
        return length;
    }

    // Tables of three rows or more that link from every row.
    qsizetype linkedRowsLength(const xmlNode *node) const
    {
        return tablesLength(node, [this](const xmlNode *table) {
            int rows = 0;
            int linked = 0;
            countRows(table, rows, linked);
            return rows >= 3 && linked == rows;
        });
    }

    // Tables of three rows or more whose cells are short, many of them figures, and none a
    // sentence.
    qsizetype figureTableLength(const xmlNode *node) const
    {
        return tablesLength(node, [](const xmlNode *table) {
            int rows = 0;
            int cells = 0;
            int figures = 0;
            bool prose = false;
            countFigures(table, rows, cells, figures, prose);
            return rows >= 3 && !prose && figures * 5 >= cells * 2;
        });
    }

    static void countFigures(const xmlNode *node, int &rows, int &cells, int &figures, bool &prose)
    {
        for (const xmlNode *child = node->children; child; child = child->next) {
            const QString tag = Tag(child);
            if (tag == u"tr") {
                ++rows;
                for (const xmlNode *cell = child->children; cell; cell = cell->next) {
                    if (!isCellTag(Tag(cell)))
                        continue;
                    const QString text = HtmlTree::Simplified(HtmlTree::Text(cell));
                    ++cells;
                    figures +=
                        std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.isDigit(); })
                            ? 1
                            : 0;
                    prose = prose || CodePoints(text) > 40 || holdsProse(text);
                }
            } else if (isOneOf(tag, {u"tbody", u"thead", u"tfoot"})) {
                countFigures(child, rows, cells, figures, prose);
            }
        }
    }

    // The rows of a table with data cells, and how many of them hold a link.
    void countRows(const xmlNode *node, int &rows, int &linked) const
    {
        for (const xmlNode *child = node->children; child; child = child->next) {
            const QString tag = Tag(child);
            if (tag == u"tr") {
                if (hasChildTag(child, u"td")) {
                    ++rows;
                    linked += span(child).linked > 0 ? 1 : 0;
                }
            } else if (isOneOf(tag, {u"tbody", u"thead", u"tfoot"})) {
                countRows(child, rows, linked);
            }
        }
    }

    static bool hasChildTag(const xmlNode *node, QStringView wanted)
    {
        for (const xmlNode *child = node->children; child; child = child->next) {
            if (Tag(child) == wanted)
                return true;
        }
        return false;
    }

    static bool hasHeading(const xmlNode *node)
    {
        for (const xmlNode *child = node->children; child; child = child->next) {
            if (isHeadingTag(Tag(child)) || hasHeading(child))
                return true;
        }
        return false;
    }

    // Headings left at the end of a part once the boxes under them went ("More from Homes"
    // over cards of other stories): they head nothing.
    void dropTrailingHeadings(xmlNodePtr part)
    {
        xmlNodePtr node = part;
        while (!isParagraphTag(Tag(node))) {
            xmlNodePtr last = node->last;
            while (last && !(HtmlTree::IsElement(last) && textLength(last) > 0) &&
                   HtmlTree::Text(last).trimmed().isEmpty())
                last = last->prev;
            if (!last || !HtmlTree::IsElement(last))
                return;
            if (isHeading(last))
                HtmlTree::Remove(last);
            else
                node = last; // the end of the part is the end of its last block
        }
    }

    static xmlNodePtr nextElement(xmlNodePtr node)
    {
        xmlNodePtr next = node->next;
        while (next && !HtmlTree::IsElement(next) && HtmlTree::Text(next).trimmed().isEmpty())
            next = next->next;
        return next;
    }

    // A video player's box holding only its clip's title ("Launch Trailer") until it loads: the
    // player's label, not a line of the text. A player with a transcript says more.
    static bool isPlayerTitle(const xmlNode *node, qsizetype length)
    {
        constexpr qsizetype kLongestTitle = 120;
        if (length == 0 || length > kLongestTitle)
            return false;
        const QStringList names = Boilerplate::Words(HtmlTree::ClassAndId(node));
        const bool player = names.contains(u"video"_s) || names.contains(u"player"_s) ||
                            xmlHasProp(node, reinterpret_cast<const xmlChar *>("data-video-id"));
        return player && !Boilerplate::ReadsLikeSentence(HtmlTree::Text(node));
    }

    // Most of the text in lines too short to be sentences, and many of them.
    static bool isShortLineBox(const xmlNode *node)
    {
        constexpr qsizetype kFewestLines = 8;
        const QStringList lines = ParagraphText::WholeTextOf(node);
        if (lines.size() < kFewestLines)
            return false;
        qsizetype all = 0;
        qsizetype said = 0;
        int sentences = 0;
        for (const QString &line : lines) {
            all += CodePoints(line);
            if (Boilerplate::ReadsLikeSentence(line)) {
                said += CodePoints(line);
                ++sentences;
            }
        }
        return sentences <= 1 && said * 2 < all;
    }

    // Characters said in sentences by the siblings before a node.
    qsizetype proseBefore(const xmlNode *node) const
    {
        qsizetype length = 0;
        for (const xmlNode *sibling = node->prev; sibling; sibling = sibling->prev) {
            if (!HtmlTree::IsElement(sibling))
                continue;
            if (isParagraphTag(Tag(sibling)))
                length += holdsProse(HtmlTree::Text(sibling)) ? textLength(sibling) : 0;
            else
                length += proseLength(sibling);
        }
        return length;
    }

    void clean(xmlNodePtr node, qsizetype partLength)
    {
        // Headings whose section went: with nothing left under them they head nothing.
        std::vector<xmlNodePtr> bereft;
        bool ended = false;
        for (xmlNodePtr child = node->children; child;) {
            xmlNodePtr next = child->next;
            // A release's "About" heading after its text ends it: what follows in the same flow
            // is the issuer's (its profile, legal notes, contacts, statements of figures).
            ended = ended || (isHeadingTag(Tag(child)) && child->prev &&
                              Boilerplate::IsAboutHeading(HtmlTree::Text(child)) &&
                              proseBefore(child) >= kShortestClosedText);
            if (ended) {
                HtmlTree::Remove(child);
            } else if (HtmlTree::IsElement(child)) {
                if (boilerplateInside(child, Tag(child), partLength)) {
                    xmlNodePtr before = child->prev;
                    while (before && !HtmlTree::IsElement(before))
                        before = before->prev;
                    if (before && isHeadingTag(Tag(before)) &&
                        std::find(bereft.begin(), bereft.end(), before) == bereft.end())
                        bereft.push_back(before);
                    // A heading that goes itself is no longer there to be looked at.
                    std::erase(bereft, child);
                    HtmlTree::Remove(child);
                } else {
                    clean(child, partLength);
                }
            }
            child = next;
        }
        for (xmlNodePtr heading : bereft) {
            const xmlNodePtr next = nextElement(heading);
            if (!next || (HtmlTree::IsElement(next) && isHeadingTag(Tag(next))))
                HtmlTree::Remove(heading);
        }
    }

    PassRules m_rules;
    QHash<const xmlNode *, double> m_scores;
    std::vector<xmlNodePtr> m_order; // candidates in the order first scored
    int m_articleElements = 0;
    QSet<const xmlNode *> m_controlHolders; // elements a button or form was pruned from
    mutable QHash<const xmlNode *, Span> m_spans;
};

} // namespace

ScoredText ScoredMainText(const xmlDoc *page, const PassRules &rules)
{
    if (!page)
        return {};
    return Pass(rules).run(page);
}
