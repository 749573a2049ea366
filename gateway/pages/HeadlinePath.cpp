#include "HeadlinePath.h"

#include "startup/CategoryTable.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

const auto kPrefix = u"/headlines/"_s;

bool allDigits(QStringView text)
{
    return !text.isEmpty() &&
           std::all_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); });
}

} // namespace

QStringList HeadlineCodes()
{
    QStringList codes;
    for (const CategoryInfo &category : Categories) {
        QString code = QString::fromUtf16(category.code);
        code.chop(1);
        if (code != u"---")
            codes.append(code);
    }
    return codes;
}

QString HeadlineCaption(const QString &code)
{
    for (const CategoryInfo &category : Categories) {
        if (QString::fromUtf16(category.code) == code + u'/')
            return QString::fromUtf16(category.caption);
    }
    return code;
}

QString DayStamp(QDate day)
{
    return day.toString(u"yyMMdd"_s);
}

std::optional<HeadlineRequest> ParseHeadlinePath(QStringView path, QDate today)
{
    if (!path.startsWith(kPrefix))
        return std::nullopt;
    QList<QStringView> parts = path.mid(kPrefix.size()).split(u'/');
    HeadlineRequest request;
    request.day = today;
    if (!parts.isEmpty() && parts.front().size() == 6 && allDigits(parts.front())) {
        const QStringView stamp = parts.takeFirst();
        request.day =
            QDate(2000 + stamp.left(2).toInt(), stamp.mid(2, 2).toInt(), stamp.mid(4, 2).toInt());
        if (!request.day.isValid())
            return std::nullopt;
    }
    // code, then an optional page number; "/headlines/dom" and "/headlines/dom/" are page 1.
    if (parts.isEmpty() || parts.size() > 2)
        return std::nullopt;
    request.code = parts.front().toString();
    if (!HeadlineCodes().contains(request.code))
        return std::nullopt;
    if (parts.size() == 2 && !parts.back().isEmpty()) {
        if (!allDigits(parts.back()) || parts.back().size() > 6)
            return std::nullopt;
        request.page = parts.back().toInt();
        if (request.page < 1)
            return std::nullopt;
    }
    request.daysAgo = int(request.day.daysTo(today));
    return request;
}

QString HeadlineListPath(QDate day, QDate today, const QString &code, int page)
{
    QString path = kPrefix;
    if (day != today)
        path += DayStamp(day) + u'/';
    path += code + u'/';
    if (page > 1)
        path += QString::number(page);
    return path;
}
