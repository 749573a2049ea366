#include "ExtractionAcceptance.h"

#include "BoilerplateWords.h"
#include "HtmlTree.h"

using namespace Qt::StringLiterals;

namespace {

// Without white space, in one width: a summary and a page print the same words differently.
QString folded(QStringView text)
{
    QString out;
    for (QChar c : text.toString().normalized(QString::NormalizationForm_KC)) {
        if (!c.isSpace())
            out += c;
    }
    return out;
}

} // namespace

bool AcceptsExtraction(const MainTextResult &extraction, const QString &summary)
{
    const QString text = folded(extraction.paragraphs.join(QString()));
    QString said = folded(summary);
    // A summary cut short with an ellipsis holds only what comes before it.
    for (const QStringView end : {u"…", u"..."}) {
        if (said.endsWith(end))
            said.chop(end.size());
    }
    const qsizetype length = HtmlTree::CodePoints(text);
    const qsizetype summaryLength = HtmlTree::CodePoints(said);
    if (length == 0 || length <= summaryLength)
        return false;
    if (length >= kShortestMainText)
        return true;
    if (!said.isEmpty() && text.contains(said) && length >= summaryLength + kLeastAddition)
        return true;
    return extraction.fromArticleContainer && length >= kShortestWholeItem &&
           Boilerplate::ReadsLikeSentence(extraction.paragraphs.join(u' '));
}
