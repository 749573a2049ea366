#include "MainText.h"

#include "BodyEdges.h"
#include "BoilerplateWords.h"
#include "HtmlTree.h"
#include "JsonLdBody.h"
#include "ParagraphText.h"
#include "ScoringPass.h"
#include "TextOverlap.h"
#include "util/Charset.h"

#include <libxml/xpath.h>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

qsizetype length(const QStringList &paragraphs)
{
    qsizetype total = 0;
    for (const QString &paragraph : paragraphs)
        total += HtmlTree::CodePoints(paragraph);
    return total;
}

// A paywall marker ends the article; what follows it is the site's, not the article's.
void cutAtPaywall(QStringList &paragraphs, MainTextResult &result)
{
    const qsizetype cut = Boilerplate::PaywallCut(paragraphs);
    if (cut >= 0) {
        paragraphs.resize(cut);
        result.partial = true;
    }
}

// Mostly a cookie or consent notice: what a pass finds when the article was filtered away.
bool isConsentNotice(const QStringList &paragraphs)
{
    qsizetype notice = 0;
    for (const QString &paragraph : paragraphs) {
        if (Boilerplate::IsConsentNotice(paragraph))
            notice += HtmlTree::CodePoints(paragraph);
    }
    return notice * 2 >= length(paragraphs) && notice > 0;
}

ScoredText scored(const xmlDoc *doc)
{
    static const PassRules kPasses[] = {
        {true, true, true},
        {false, true, true},
        {false, false, true},
        {false, false, false},
    };
    ScoredText best;
    for (const PassRules &rules : kPasses) {
        ScoredText found = ScoredMainText(doc, rules);
        // A notice never wins over an article that a stricter pass filtered away.
        if (isConsentNotice(found.paragraphs))
            continue;
        if (length(found.paragraphs) > length(best.paragraphs))
            best = std::move(found);
        // Relaxed rules let boilerplate back in: only worth it when the strict ones found
        // nothing that looks like an article. A short item in its article container is one.
        if (length(best.paragraphs) >= kShortestMainText ||
            (best.fromArticleContainer && !best.paragraphs.isEmpty()))
            break;
    }
    return best;
}

// What the page calls its article: the <title>, og:title, <h1>, a big <font> on old pages and the
// JSON-LD headline. The text often says it again in its first line.
QStringList headlines(xmlDoc *doc)
{
    QStringList found{JsonLdHeadline(doc)};
    const HtmlTree::XPathResult nodes = HtmlTree::Select(
        doc, "//title | //meta[@property='og:title' or @name='twitter:title']/@content | //h1 | "
             "//font[@size='4' or @size='5' or @size='6' or @size='7' or @size='+1' or "
             "@size='+2' or @size='+3']");
    if (nodes && nodes->nodesetval) {
        for (int i = 0; i < nodes->nodesetval->nodeNr; ++i)
            found << HtmlTree::Text(nodes->nodesetval->nodeTab[i]);
    }
    return found;
}

} // namespace

MainTextResult ExtractMainText(const QByteArray &page, const QString &contentType,
                               const QUrl &address)
{
    // The address is the place for per-site rules; none are built in yet.
    Q_UNUSED(address);
    HtmlTree::Document doc = HtmlTree::Parse(Charset::DecodePage(page, contentType));
    if (!doc)
        return {};
    const ScoredText fromScoring = scored(doc.get());
    const QStringList fromJsonLd = EmbeddedParagraphs(JsonLdArticleBody(doc.get()));

    MainTextResult result;
    result.fromArticleContainer = fromScoring.fromArticleContainer;
    QStringList paragraphs = fromScoring.paragraphs;
    // The embedded body, unless it only begins the article the page shows; the page's own
    // paragraphs when they say the same, since the embedded body often has no breaks.
    if (length(fromJsonLd) >= kShortestMainText && !IsTeaserOf(fromJsonLd, paragraphs)) {
        const double agreement =
            TextOverlap::Characters(paragraphs.join(u'\n'), fromJsonLd.join(u'\n')).f1;
        if (agreement < 0.9 || paragraphs.size() <= fromJsonLd.size()) {
            paragraphs = fromJsonLd;
            result.fromArticleContainer = true;
        }
    }
    paragraphs.removeIf([](const QString &line) { return Boilerplate::IsConsentNotice(line); });
    BodyEdges::Trim(paragraphs);
    BodyEdges::DropEchoes(paragraphs);
    BodyEdges::DropHeadline(paragraphs, headlines(doc.get()));
    cutAtPaywall(paragraphs, result);
    result.paragraphs = paragraphs;
    // The wall itself often stands beside the article, outside what was extracted.
    if (!result.partial && !result.paragraphs.isEmpty())
        result.partial = Boilerplate::PaywallCut(ParagraphText::Of(HtmlTree::Body(doc.get()))) >= 0;
    return result;
}

MainTextResult ExtractByXPath(const QByteArray &page, const QString &contentType,
                              const QString &xpath)
{
    HtmlTree::Document doc = HtmlTree::Parse(Charset::DecodePage(page, contentType));
    if (!doc)
        return {};
    const HtmlTree::XPathResult selected = HtmlTree::Select(doc.get(), xpath.toUtf8());
    if (!selected)
        return {};

    QStringList paragraphs;
    MainTextResult result;
    if (selected->type == XPATH_STRING) {
        paragraphs << HtmlTree::Simplified(
            QString::fromUtf8(reinterpret_cast<const char *>(selected->stringval)));
        paragraphs.removeAll(QString());
        cutAtPaywall(paragraphs, result);
        result.paragraphs = paragraphs;
        return result;
    }
    if (selected->type != XPATH_NODESET || !selected->nodesetval)
        return {};
    // Text nodes under one block element read as one paragraph.
    const xmlNode *lastBlock = nullptr;
    QString run;
    const auto flush = [&] {
        const QString line = HtmlTree::Simplified(run);
        if (!line.isEmpty())
            paragraphs << line;
        run.clear();
    };
    for (int i = 0; i < selected->nodesetval->nodeNr; ++i) {
        const xmlNode *node = selected->nodesetval->nodeTab[i];
        if (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE) {
            const xmlNode *block = node->parent;
            while (block && !ParagraphText::IsBlockTag(HtmlTree::Tag(block)))
                block = block->parent;
            const bool brBefore = node->prev && HtmlTree::Tag(node->prev) == u"br";
            if (block != lastBlock || brBefore)
                flush();
            lastBlock = block;
            run += QString::fromUtf8(reinterpret_cast<const char *>(node->content));
        } else if (node->type == XML_ATTRIBUTE_NODE) {
            flush();
            lastBlock = nullptr;
            run = HtmlTree::Text(node);
            flush();
        } else if (HtmlTree::IsElement(node)) {
            flush();
            lastBlock = nullptr;
            ParagraphText::Append(node, paragraphs);
        }
    }
    flush();
    cutAtPaywall(paragraphs, result);
    result.paragraphs = paragraphs;
    return result;
}
