#include "JsonLdBody.h"

#include "HtmlTree.h"
#include "ParagraphText.h"
#include "TextOverlap.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <algorithm>
#include <libxml/xpath.h>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

// How much longer the page's text must be for the embedded body to count as its teaser.
constexpr double kTeaserRatio = 1.25;
constexpr qsizetype kTeaserMargin = 100;

bool isArticleType(const QJsonValue &type)
{
    if (type.isArray()) {
        for (const QJsonValue &each : type.toArray()) {
            if (isArticleType(each))
                return true;
        }
        return false;
    }
    const QString name = type.toString();
    return name.endsWith(u"Article") || name == u"BlogPosting" || name == u"LiveBlogPosting" ||
           name == u"Report";
}

// The first non-empty string under one of the keys of an article object, depth first. The
// articles inside an article are its parts (a live blog's updates), not the page's article.
QString findInArticle(const QJsonValue &value, QLatin1StringView key)
{
    if (value.isArray()) {
        for (const QJsonValue &each : value.toArray()) {
            const QString found = findInArticle(each, key);
            if (!found.isEmpty())
                return found;
        }
        return {};
    }
    if (!value.isObject())
        return {};
    const QJsonObject object = value.toObject();
    if (isArticleType(object.value(u"@type"_s))) {
        const QString found = object.value(key).toString();
        return found.trimmed().isEmpty() ? QString() : found;
    }
    for (auto it = object.begin(); it != object.end(); ++it) {
        const QString found = findInArticle(it.value(), key);
        if (!found.isEmpty())
            return found;
    }
    return {};
}

QString scriptText(const xmlNode *script)
{
    QString text;
    for (const xmlNode *child = script->children; child; child = child->next) {
        if (child->content)
            text += QString::fromUtf8(reinterpret_cast<const char *>(child->content));
    }
    return text;
}

// JSON with the control characters inside its strings escaped, as the page meant them.
QByteArray withEscapedControls(const QString &json)
{
    QString out;
    out.reserve(json.size());
    bool inString = false;
    bool escaped = false;
    for (QChar c : json) {
        if (inString && !escaped && c.unicode() < 0x20) {
            out += c == u'\n' ? u"\\n"_s : c == u'\t' ? u"\\t"_s : c == u'\r' ? u"\\r"_s : u" "_s;
            continue;
        }
        if (c == u'"' && !escaped)
            inString = !inString;
        escaped = inString && !escaped && c == u'\\';
        out += c;
    }
    return out.toUtf8();
}

QString findInPage(xmlDoc *doc, QLatin1StringView key)
{
    const HtmlTree::XPathResult scripts = HtmlTree::Select(doc, "//script[@type]");
    if (!scripts || !scripts->nodesetval)
        return {};
    for (int i = 0; i < scripts->nodesetval->nodeNr; ++i) {
        const xmlNode *script = scripts->nodesetval->nodeTab[i];
        if (!HtmlTree::Attribute(script, "type").contains(u"ld+json", Qt::CaseInsensitive))
            continue;
        const QString text = scriptText(script).trimmed();
        QJsonParseError error;
        QJsonDocument json = QJsonDocument::fromJson(text.toUtf8(), &error);
        if (error.error != QJsonParseError::NoError)
            json = QJsonDocument::fromJson(withEscapedControls(text));
        const QString found =
            json.isArray() ? findInArticle(json.array(), key) : findInArticle(json.object(), key);
        if (!found.isEmpty())
            return found;
    }
    return {};
}

QString compact(const QStringList &paragraphs)
{
    QString out;
    for (const QString &paragraph : paragraphs) {
        for (QChar c : paragraph) {
            if (!c.isSpace())
                out += c;
        }
    }
    return out;
}

} // namespace

QString JsonLdArticleBody(xmlDoc *doc)
{
    return findInPage(doc, "articleBody"_L1);
}

QString JsonLdHeadline(xmlDoc *doc)
{
    return findInPage(doc, "headline"_L1);
}

QStringList EmbeddedParagraphs(const QString &articleBody)
{
    if (articleBody.trimmed().isEmpty())
        return {};
    QString html = articleBody;
    // Encoded twice: "&amp;#8217;" meant "&#8217;", which meant "’".
    static const QRegularExpression kTwice(u"&amp;(#[0-9]+|#x[0-9a-fA-F]+|[a-zA-Z]{2,8});"_s);
    if (html.contains(kTwice))
        html.replace(u"&amp;"_s, u"&"_s);
    // Plain text keeps its breaks; HTML without paragraphs keeps them too.
    if (!html.contains(u"<p", Qt::CaseInsensitive) && !html.contains(u"<br", Qt::CaseInsensitive))
        html.replace(u'\n', u"<br>"_s);
    HtmlTree::Document doc = HtmlTree::Parse(u"<body>"_s + html + u"</body>"_s);
    return ParagraphText::Of(HtmlTree::Body(doc.get()));
}

bool IsTeaserOf(const QStringList &embedded, const QStringList &pageText)
{
    QString teaser = compact(embedded);
    const QString page = compact(pageText);
    // A teaser often ends in an ellipsis that the page does not have.
    for (const QStringView end : {u"[…]", u"…", u"...", u"（続く）"}) {
        if (teaser.endsWith(end))
            teaser.chop(end.size());
    }
    if (teaser.isEmpty())
        return false;
    // Begins the same way: its opening stands near the top of the page's text, perhaps under a
    // disclosure or a box of key points...
    const QString opening = teaser.left(40);
    const qsizetype at = page.indexOf(opening);
    if (at < 0 || at > std::max<qsizetype>(kTeaserMargin * 2, page.size() / 4))
        return false;
    // ...the page goes on clearly longer from there...
    if (page.size() - at < teaser.size() * kTeaserRatio + kTeaserMargin)
        return false;
    // ...and what follows is there too, not only the opening.
    return TextOverlap::Characters(teaser, page).precision >= 0.9;
}
