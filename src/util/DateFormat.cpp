#include "util/DateFormat.h"

namespace {

// Length of the run of the letter `code` (lower case) starting at `at`, ignoring case.
qsizetype runLength(QStringView pattern, qsizetype at, char16_t code)
{
    qsizetype n = 0;
    while (at + n < pattern.size() && pattern[at + n].toLower() == QChar(code))
        ++n;
    return n;
}

void appendNumber(QString &out, int value, bool twoDigits)
{
    if (twoDigits && value < 10)
        out += u'0';
    out += QString::number(value);
}

} // namespace

QString FormatDate(const QDateTime &when, QStringView pattern)
{
    const QDate date = when.date();
    const QTime time = when.time();
    QString out;
    out.reserve(pattern.size() + 8);
    // The classic pattern language reads "m" as minutes when the last code was an hour, so
    // "hh:mm" and "HH:MM:SS" give times; copied characters in between do not break that.
    bool afterHour = false;

    qsizetype i = 0;
    while (i < pattern.size()) {
        const char16_t c = pattern[i].toLower().unicode();
        switch (c) {
        case u'y': {
            const qsizetype n = runLength(pattern, i, u'y');
            if (n >= 4) {
                out += QString::number(date.year()).rightJustified(4, u'0');
                i += 4;
            } else if (n >= 2) {
                appendNumber(out, date.year() % 100, true);
                i += 2;
            } else {
                out += pattern[i];
                ++i;
                continue; // a lone "y" is not a code
            }
            afterHour = false;
            continue;
        }
        case u'm':
        case u'd':
        case u'h':
        case u'n':
        case u's': {
            const bool two = runLength(pattern, i, c) >= 2;
            int value = 0;
            switch (c) {
            case u'm':
                value = afterHour ? time.minute() : date.month();
                break;
            case u'd':
                value = date.day();
                break;
            case u'h':
                value = time.hour();
                break;
            case u'n':
                value = time.minute();
                break;
            default:
                value = time.second();
                break;
            }
            appendNumber(out, value, two);
            i += two ? 2 : 1;
            afterHour = (c == u'h');
            continue;
        }
        default:
            out += pattern[i];
            ++i;
        }
    }
    return out;
}
