#include "ScoringPass.h"

#include "BoilerplateWords.h"
#include "HtmlTree.h"
#include "ParagraphText.h"

#include <QHash>

#include <algorithm>
#include <vector>

using namespace Qt::StringLiterals;
using HtmlTree::CodePoints;
using HtmlTree::Tag;

namespace {

// Shorter blocks are captions, buttons and datelines, not article text.
constexpr qsizetype kShortestScoredBlock = 25;
constexpr int kScoredAncestors = 5;

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

bool hasBlockChild(const xmlNode *node)
{
    for (const xmlNode *child = node->children; child; child = child->next) {
        const QString tag = Tag(child);
        if (!tag.isEmpty() && tag != u"br" && ParagraphText::IsBlockTag(tag))
            return true;
    }
    return false;
}

int brCount(const xmlNode *node)
{
    int count = 0;
    for (const xmlNode *child = node->children; child; child = child->next) {
        if (Tag(child) == u"br")
            ++count;
    }
    return count;
}

class Pass
{
public:
    explicit Pass(const PassRules &rules)
        : m_rules(rules)
    {}

    QStringList run(const QString &pageText)
    {
        HtmlTree::Document doc = HtmlTree::Parse(pageText);
        xmlNodePtr body = HtmlTree::Body(doc.get());
        if (!body)
            return {};
        prune(body);
        scoreBlocks(body);
        xmlNodePtr top = topCandidate(body);
        if (!top)
            return ParagraphText::Of(body);
        const std::vector<xmlNodePtr> parts = withSiblings(top);
        QStringList paragraphs;
        for (xmlNodePtr part : parts) {
            clean(part);
            ParagraphText::Append(part, paragraphs);
        }
        return paragraphs;
    }

private:
    // Whether an element can be dropped before scoring, as navigation or boilerplate.
    bool unlikely(xmlNodePtr node, const QString &tag) const
    {
        if (isOneOf(tag, {u"nav", u"aside", u"footer", u"header"}))
            return true;
        const QString role = HtmlTree::Attribute(node, "role").trimmed().toLower();
        if (isOneOf(role, {u"navigation", u"menu", u"menubar", u"complementary", u"dialog",
                           u"alertdialog", u"banner", u"contentinfo", u"search"}))
            return true;
        if (tag == u"form") {
            // Some sites wrap the whole page in one form.
            const QString text = HtmlTree::Text(node);
            return CodePoints(text) < 500 || Boilerplate::Punctuation(text) < 10;
        }
        if (isOneOf(tag, {u"body", u"a", u"article", u"main"}))
            return false;
        const QString names = HtmlTree::ClassAndId(node);
        if (!Boilerplate::LooksNegative(names))
            return false;
        // "main-with-sidebar" and the like: a container of prose stays, a list of links goes.
        return !Boilerplate::LooksPositive(names) || HtmlTree::LinkDensity(node) >= 0.5;
    }

    void prune(xmlNodePtr node)
    {
        for (xmlNodePtr child = node->children; child;) {
            xmlNodePtr next = child->next;
            if (child->type == XML_COMMENT_NODE) {
                HtmlTree::Remove(child);
            } else if (child->type == XML_ELEMENT_NODE) {
                const QString tag = Tag(child);
                if ((ParagraphText::IsSilentTag(tag) && tag != u"h1" && tag != u"figure") ||
                    ParagraphText::IsHidden(child) ||
                    (m_rules.dropUnlikely && unlikely(child, tag)))
                    HtmlTree::Remove(child);
                else
                    prune(child);
            }
            child = next;
        }
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
        if (m_rules.weighClasses)
            score += Boilerplate::ClassWeight(HtmlTree::ClassAndId(node));
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

    // The text of the inline content directly inside node, one string per run between blocks.
    static QStringList inlineRuns(const xmlNode *node)
    {
        QStringList runs;
        QString run;
        for (const xmlNode *child = node->children; child; child = child->next) {
            const QString tag = Tag(child);
            if (!tag.isEmpty() && tag != u"br" && ParagraphText::IsBlockTag(tag)) {
                runs << HtmlTree::Simplified(run);
                run.clear();
            } else if (!ParagraphText::IsSilentTag(tag)) {
                run += HtmlTree::Text(child) + u' ';
            }
        }
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
            if (!hasBlockChild(child)) {
                // A paragraph, or a div used as one, credits its container; a block of lines
                // separated by <br> is itself the container of its text.
                if (isParagraphTag(tag) || brCount(child) < 2)
                    credit(child->parent, HtmlTree::Text(child));
                else
                    credit(child, HtmlTree::Text(child));
                continue;
            }
            for (const QString &run : inlineRuns(child))
                credit(child, run);
            scoreBlocks(child);
        }
    }

    double finalScore(const xmlNode *node) const
    {
        return m_scores.value(node) * (1.0 - HtmlTree::LinkDensity(node));
    }

    // What the node's text earned, without the head start its tag and names gave it: a sibling
    // joins the article for the paragraphs it holds, not for being a div.
    double earnedScore(const xmlNode *node) const
    {
        return (m_scores.value(node) - initialScore(node)) * (1.0 - HtmlTree::LinkDensity(node));
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
        // A container whose score beats the candidate's holds more of the article.
        const double threshold = best / 3;
        double last = best;
        for (xmlNodePtr parent = top->parent; parent && parent != body; parent = parent->parent) {
            if (!m_scores.contains(parent))
                continue;
            const double score = finalScore(parent);
            if (score < threshold)
                break;
            if (score > last) {
                top = parent;
                break;
            }
            last = score;
        }
        return top;
    }

    std::vector<xmlNodePtr> withSiblings(xmlNodePtr top) const
    {
        xmlNodePtr parent = top->parent;
        if (!parent || !HtmlTree::IsElement(parent) || Tag(top) == u"body")
            return {top};
        const double topScore = finalScore(top);
        const double threshold = std::max(10.0, topScore * 0.2);
        const QString topClass = HtmlTree::Attribute(top, "class");
        std::vector<xmlNodePtr> parts;
        for (xmlNodePtr sibling = parent->children; sibling; sibling = sibling->next) {
            if (!HtmlTree::IsElement(sibling))
                continue;
            if (sibling == top) {
                parts.push_back(sibling);
                continue;
            }
            double bonus = 0;
            if (!topClass.isEmpty() && HtmlTree::Attribute(sibling, "class") == topClass)
                bonus = topScore * 0.2;
            if (m_scores.contains(sibling) && earnedScore(sibling) + bonus >= threshold) {
                parts.push_back(sibling);
                continue;
            }
            if (isParagraphTag(Tag(sibling)) || !hasBlockChild(sibling)) {
                const QString text = HtmlTree::Text(sibling);
                const qsizetype length = CodePoints(text);
                const double links = HtmlTree::LinkDensity(sibling);
                if ((length > 80 && links < 0.25) ||
                    (length > 0 && links == 0 && Boilerplate::ReadsLikeSentence(text)))
                    parts.push_back(sibling);
            }
        }
        return parts;
    }

    // Inside the result: link lists, image blocks and credit lines go.
    bool boilerplateInside(xmlNodePtr node, const QString &tag) const
    {
        const QString names = HtmlTree::ClassAndId(node);
        const QString text = HtmlTree::Text(node);
        const qsizetype length = CodePoints(text);
        if (Boilerplate::LooksLikeCredit(names) && length < 100)
            return true;
        if (!m_rules.cleanConditionally ||
            !isOneOf(tag, {u"div", u"section", u"ul", u"ol", u"table", u"dl", u"form", u"aside",
                           u"header", u"footer", u"nav"}))
            return false;
        const int weight = m_rules.weighClasses ? Boilerplate::ClassWeight(names) : 0;
        if (weight + m_scores.value(node) < 0)
            return true;
        if (Boilerplate::Punctuation(text) >= 10)
            return false;
        const double links = HtmlTree::LinkDensity(node);
        const bool list = isOneOf(tag, {u"ul", u"ol", u"dl"});
        if (links > 0.5 || (!list && weight < 25 && links > 0.2))
            return true;
        // A short block of neither prose nor heading: a button row, a dateline, a stray label.
        return !list && length < kShortestScoredBlock && !hasHeading(node);
    }

    static bool hasHeading(const xmlNode *node)
    {
        for (const xmlNode *child = node->children; child; child = child->next) {
            const QString tag = Tag(child);
            if (isOneOf(tag, {u"h2", u"h3", u"h4", u"h5", u"h6"}) || hasHeading(child))
                return true;
        }
        return false;
    }

    void clean(xmlNodePtr node)
    {
        for (xmlNodePtr child = node->children; child;) {
            xmlNodePtr next = child->next;
            if (HtmlTree::IsElement(child)) {
                if (boilerplateInside(child, Tag(child)))
                    HtmlTree::Remove(child);
                else
                    clean(child);
            }
            child = next;
        }
    }

    PassRules m_rules;
    QHash<const xmlNode *, double> m_scores;
    std::vector<xmlNodePtr> m_order; // candidates in the order first scored
};

} // namespace

QStringList ScoredMainText(const QString &pageText, const PassRules &rules)
{
    return Pass(rules).run(pageText);
}
