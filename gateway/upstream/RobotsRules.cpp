#include "RobotsRules.h"

#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

// "*" matches any run of characters; a final "$" anchors the end.
bool matches(QStringView pattern, QStringView path)
{
    const bool anchored = pattern.endsWith(u'$');
    if (anchored)
        pattern.chop(1);
    const QList<QStringView> pieces = pattern.split(u'*');
    qsizetype at = 0;
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        const QStringView piece = pieces.at(i);
        if (i == 0) {
            if (!path.startsWith(piece))
                return false;
            at = piece.size();
            continue;
        }
        const bool last = i + 1 == pieces.size();
        if (last && anchored)
            return path.size() - at >= piece.size() && path.endsWith(piece);
        const qsizetype found = path.indexOf(piece, at);
        if (found < 0)
            return false;
        at = found + piece.size();
    }
    return !anchored || at == path.size();
}

// Rules and paths compare with their percent-encoding decoded.
QString normalised(const QString &path)
{
    return QUrl::fromPercentEncoding(path.toUtf8());
}

} // namespace

RobotsRules RobotsRules::disallowAll()
{
    RobotsRules rules;
    rules.m_rules.append({u"/"_s, false});
    return rules;
}

RobotsRules RobotsRules::parse(const QByteArray &text, const QString &agent)
{
    const QString token = agent.section(u'/', 0, 0).trimmed().toLower();
    QList<Rule> mine;
    QList<Rule> anyone;
    bool haveMine = false;
    // The agents of the group being read; a rule line ends the list of agents.
    QStringList agents;
    bool inRules = false;
    for (QByteArray line : text.split('\n')) {
        const qsizetype hash = line.indexOf('#');
        if (hash >= 0)
            line.truncate(hash);
        const qsizetype colon = line.indexOf(':');
        if (colon < 0)
            continue;
        const QString key = QString::fromUtf8(line.left(colon)).trimmed().toLower();
        const QString value = QString::fromUtf8(line.mid(colon + 1)).trimmed();
        if (key == u"user-agent") {
            if (inRules) {
                agents.clear();
                inRules = false;
            }
            agents.append(value.toLower());
            continue;
        }
        if (key != u"allow" && key != u"disallow")
            continue;
        inRules = true;
        const bool forMe = std::any_of(agents.cbegin(), agents.cend(), [&](const QString &a) {
            return !a.isEmpty() && a != u"*" && token.startsWith(a);
        });
        const bool forAnyone = agents.contains(u"*"_s);
        // "Disallow:" with nothing after it allows everything: no rule at all.
        if (value.isEmpty()) {
            haveMine = haveMine || forMe;
            continue;
        }
        const Rule rule{normalised(value), key == u"allow"};
        if (forMe) {
            haveMine = true;
            mine.append(rule);
        } else if (forAnyone) {
            anyone.append(rule);
        }
    }
    RobotsRules rules;
    rules.m_rules = haveMine ? mine : anyone;
    return rules;
}

bool RobotsRules::allows(const QString &path) const
{
    const QString target = normalised(path.isEmpty() ? u"/"_s : path);
    if (target == u"/robots.txt")
        return true;
    qsizetype best = -1;
    bool allowed = true;
    for (const Rule &rule : m_rules) {
        if (!matches(rule.pattern, target))
            continue;
        const qsizetype length = rule.pattern.size();
        if (length > best || (length == best && rule.allow)) {
            best = length;
            allowed = rule.allow;
        }
    }
    return allowed;
}
