#include "JsonLdBody.h"

#include "HtmlTree.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <libxml/xpath.h>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

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
    return name.endsWith(u"Article") || name == u"BlogPosting" || name == u"Report";
}

QString findBody(const QJsonValue &value)
{
    if (value.isArray()) {
        for (const QJsonValue &each : value.toArray()) {
            const QString body = findBody(each);
            if (!body.isEmpty())
                return body;
        }
        return {};
    }
    if (!value.isObject())
        return {};
    const QJsonObject object = value.toObject();
    if (isArticleType(object.value(u"@type"_s))) {
        const QString body = object.value(u"articleBody"_s).toString();
        if (!body.trimmed().isEmpty())
            return body;
    }
    for (auto it = object.begin(); it != object.end(); ++it) {
        const QString body = findBody(it.value());
        if (!body.isEmpty())
            return body;
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

} // namespace

QString JsonLdArticleBody(xmlDoc *doc)
{
    const HtmlTree::XPathResult scripts = HtmlTree::Select(doc, "//script[@type]");
    if (!scripts || !scripts->nodesetval)
        return {};
    for (int i = 0; i < scripts->nodesetval->nodeNr; ++i) {
        const xmlNode *script = scripts->nodesetval->nodeTab[i];
        if (!HtmlTree::Attribute(script, "type").contains(u"ld+json", Qt::CaseInsensitive))
            continue;
        const QJsonDocument json = QJsonDocument::fromJson(scriptText(script).trimmed().toUtf8());
        const QString body = json.isArray() ? findBody(json.array()) : findBody(json.object());
        if (!body.isEmpty())
            return body;
    }
    return {};
}
