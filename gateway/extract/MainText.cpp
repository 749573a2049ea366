#include "MainText.h"

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
MainTextResult finish(QStringList paragraphs, qsizetype shortest)
{
    MainTextResult result;
    const qsizetype cut = Boilerplate::PaywallCut(paragraphs);
    if (cut >= 0) {
        paragraphs.resize(cut);
        result.partial = true;
    }
    if (length(paragraphs) >= shortest)
        result.paragraphs = paragraphs;
    return result;
}

QStringList scored(const QString &text)
{
    static const PassRules kPasses[] = {
        {true, true, true},
        {false, true, true},
        {false, false, true},
        {false, false, false},
    };
    QStringList best;
    for (const PassRules &rules : kPasses) {
        QStringList paragraphs = ScoredMainText(text, rules);
        if (length(paragraphs) > length(best))
            best = std::move(paragraphs);
        // Relaxed rules let boilerplate back in: only worth it when the strict ones found nothing.
        if (length(best) >= kShortestMainText)
            break;
    }
    return best;
}

QString compact(QStringView text)
{
    QString out;
    for (QChar c : text) {
        if (!c.isSpace())
            out += c;
    }
    return out;
}

// The headline again, outside any <h1>: the page's <title> or og:title holds it.
void dropHeadline(QStringList &paragraphs, xmlDoc *doc)
{
    QString titles;
    if (const HtmlTree::XPathResult title =
            HtmlTree::Select(doc, "//title | //meta[@property='og:title']/@content");
        title && title->nodesetval) {
        for (int i = 0; i < title->nodesetval->nodeNr; ++i)
            titles += compact(HtmlTree::Text(title->nodesetval->nodeTab[i])) + u'\n';
    }
    // Headlines come first; further down a short line equal to the title is a coincidence.
    for (qsizetype i = 0; i < std::min<qsizetype>(2, paragraphs.size()); ++i) {
        const QString line = compact(paragraphs.at(i));
        if (line.size() >= 8 && line.size() <= 80 && !line.endsWith(u'。') &&
            titles.contains(line)) {
            paragraphs.removeAt(i);
            return;
        }
    }
}

// articleBody is plain text with line breaks, or now and then HTML.
QStringList jsonLdParagraphs(const QString &body)
{
    QString html = body;
    if (!body.contains(u'<'))
        html = body.toHtmlEscaped().replace(u'\n', u"<br>"_s);
    else if (!body.contains(u"<p", Qt::CaseInsensitive) &&
             !body.contains(u"<br", Qt::CaseInsensitive))
        html.replace(u'\n', u"<br>"_s);
    HtmlTree::Document doc = HtmlTree::Parse(html);
    return ParagraphText::Of(HtmlTree::Body(doc.get()));
}

} // namespace

MainTextResult ExtractMainText(const QByteArray &page, const QString &contentType,
                               const QUrl &address)
{
    // The address is the place for per-site rules; none are built in yet.
    Q_UNUSED(address);
    const QString text = Charset::DecodePage(page, contentType);
    const QStringList fromScoring = scored(text);

    HtmlTree::Document doc = HtmlTree::Parse(text);
    const QStringList fromJsonLd = jsonLdParagraphs(JsonLdArticleBody(doc.get()));
    MainTextResult result;
    if (length(fromJsonLd) >= kShortestMainText) {
        // The page's own paragraphs when they say the same: the JSON body often has no breaks.
        const double agreement =
            TextOverlap::Characters(fromScoring.join(u'\n'), fromJsonLd.join(u'\n')).f1;
        const bool useScoring = agreement >= 0.9 && fromScoring.size() > fromJsonLd.size();
        result = finish(useScoring ? fromScoring : fromJsonLd, kShortestMainText);
    } else {
        QStringList paragraphs = fromScoring;
        dropHeadline(paragraphs, doc.get());
        result = finish(paragraphs, kShortestMainText);
    }
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
    if (selected->type == XPATH_STRING) {
        paragraphs << HtmlTree::Simplified(
            QString::fromUtf8(reinterpret_cast<const char *>(selected->stringval)));
        paragraphs.removeAll(QString());
        return finish(paragraphs, 1);
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
    return finish(paragraphs, 1);
}
