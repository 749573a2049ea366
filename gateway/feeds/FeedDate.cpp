#include "FeedDate.h"

#include <QRegularExpression>
#include <QTimeZone>

#include <optional>

using namespace Qt::StringLiterals;

namespace {

int monthNumber(QStringView name)
{
    static const QStringList months{u"jan"_s, u"feb"_s, u"mar"_s, u"apr"_s, u"may"_s, u"jun"_s,
                                    u"jul"_s, u"aug"_s, u"sep"_s, u"oct"_s, u"nov"_s, u"dec"_s};
    if (name.size() < 3)
        return 0;
    const QString prefix = name.left(3).toString().toLower();
    return int(months.indexOf(prefix)) + 1;
}

// Seconds east of UTC; nullopt for a zone this reader does not know.
std::optional<int> zoneOffset(const QString &zone)
{
    if (zone.isEmpty())
        return std::nullopt;
    if (zone.front() == u'+' || zone.front() == u'-') {
        QString digits = zone.mid(1);
        digits.remove(u':');
        if (digits.size() != 4 && digits.size() != 2)
            return std::nullopt;
        bool ok = false;
        const int hours = digits.left(2).toInt(&ok);
        const int minutes = digits.size() == 4 ? digits.mid(2).toInt() : 0;
        if (!ok || hours > 23 || minutes > 59)
            return std::nullopt;
        const int seconds = hours * 3600 + minutes * 60;
        return zone.front() == u'-' ? -seconds : seconds;
    }
    static const QHash<QString, int> named{
        {u"UT"_s, 0},   {u"UTC"_s, 0},  {u"GMT"_s, 0},  {u"Z"_s, 0},    {u"JST"_s, 9},
        {u"KST"_s, 9},  {u"EST"_s, -5}, {u"EDT"_s, -4}, {u"CST"_s, -6}, {u"CDT"_s, -5},
        {u"MST"_s, -7}, {u"MDT"_s, -6}, {u"PST"_s, -8}, {u"PDT"_s, -7}, {u"BST"_s, 1},
        {u"CET"_s, 1},  {u"CEST"_s, 2},
    };
    const auto it = named.constFind(zone.toUpper());
    if (it != named.cend())
        return *it * 3600;
    // RFC 822's military letters are ambiguous in practice; RFC 2822 says read them as UTC.
    if (zone.size() == 1 && zone.front().isLetter())
        return 0;
    return std::nullopt;
}

QDateTime assemble(QDate date, QTime time, const QString &zone)
{
    if (!date.isValid() || !time.isValid())
        return {};
    if (zone.isEmpty())
        return QDateTime(date, time);
    const auto offset = zoneOffset(zone);
    if (!offset)
        return {};
    return QDateTime(date, time, QTimeZone(*offset));
}

int fullYear(const QString &digits)
{
    const int year = digits.toInt();
    if (digits.size() == 2)
        return year < 50 ? 2000 + year : 1900 + year;
    return year;
}

QDateTime rfc822(const QString &text)
{
    // [Wed,] 1 May 2024 09:30[:15] [+0900|JST]
    static const QRegularExpression pattern(
        uR"(^(?:[A-Za-z]+,?\s*)?(\d{1,2})[\s-]+([A-Za-z]+)[\s-]+(\d{2}|\d{4})\s+(\d{1,2}):(\d{2})(?::(\d{2}))?(?:\s*([+-]\d{2}:?\d{2}|[A-Za-z]{1,5}))?\s*(?:\(.*\))?$)"_s);
    const auto m = pattern.match(text);
    if (!m.hasMatch())
        return {};
    const int month = monthNumber(m.capturedView(2));
    if (month == 0)
        return {};
    const QDate date(fullYear(m.captured(3)), month, m.captured(1).toInt());
    const QTime time(m.captured(4).toInt(), m.captured(5).toInt(), m.captured(6).toInt());
    return assemble(date, time, m.captured(7));
}

QDateTime rfc3339(const QString &text)
{
    // 2024-05-01T09:30:15.123+09:00, 2024-05-01 09:30Z, 2024/05/01 09:30, 2024-05-01
    static const QRegularExpression pattern(
        uR"(^(\d{4})[-/](\d{1,2})[-/](\d{1,2})(?:[Tt\s]+(\d{1,2}):(\d{2})(?::(\d{2})(?:[.,]\d+)?)?\s*([Zz]|[+-]\d{2}(?::?\d{2})?|[A-Za-z]{2,4})?)?$)"_s);
    const auto m = pattern.match(text);
    if (!m.hasMatch())
        return {};
    const QDate date(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    if (m.captured(4).isEmpty())
        return assemble(date, QTime(0, 0), {});
    const QTime time(m.captured(4).toInt(), m.captured(5).toInt(), m.captured(6).toInt());
    return assemble(date, time, m.captured(7).toUpper());
}

} // namespace

QDateTime ParseFeedDate(const QString &text)
{
    const QString trimmed = text.simplified();
    if (trimmed.isEmpty())
        return {};
    const QDateTime iso = rfc3339(trimmed);
    return iso.isValid() ? iso : rfc822(trimmed);
}
