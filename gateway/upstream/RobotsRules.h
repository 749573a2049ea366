#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The rules of one robots.txt for one crawler: the group naming the crawler's product token,
// else the "*" group. The longest matching rule wins, Allow on a tie; "*" and "$" as usual.
class RobotsRules
{
public:
    static RobotsRules allowAll() { return {}; }
    static RobotsRules disallowAll();
    static RobotsRules parse(const QByteArray &text, const QString &agent);

    // path: the path and query of an address, as sent ("/news/a?id=1").
    bool allows(const QString &path) const;

private:
    struct Rule
    {
        QString pattern;
        bool allow = false;
    };
    QList<Rule> m_rules;
};
