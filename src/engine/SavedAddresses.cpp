#include "engine/SavedAddresses.h"

#include "util/SafeWrite.h"

#include <QFile>
#include <QList>
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

constexpr QStringView DayFormat = u"yyyy-MM-dd";

// Characters an address may hold that a line cannot, each with the letter that stands for it
// after a backslash in the file.
constexpr std::array<std::pair<char16_t, char16_t>, 4> Escapes{
    {{u'\\', u'\\'}, {u'\t', u't'}, {u'\r', u'r'}, {u'\n', u'n'}}};

QString escaped(const QString &address)
{
    QString text;
    text.reserve(address.size());
    for (const QChar c : address) {
        const auto *escape = std::find_if(Escapes.begin(), Escapes.end(),
                                          [c](const auto &e) { return e.first == c; });
        if (escape == Escapes.end())
            text += c;
        else
            text += QChar(u'\\') + QChar(escape->second);
    }
    return text;
}

std::optional<QString> unescaped(QStringView text)
{
    QString address;
    address.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\\') {
            address += text[i];
            continue;
        }
        if (++i == text.size())
            return std::nullopt;
        const QChar letter = text[i];
        const auto *escape = std::find_if(Escapes.begin(), Escapes.end(),
                                          [letter](const auto &e) { return e.second == letter; });
        if (escape == Escapes.end())
            return std::nullopt;
        address += QChar(escape->first);
    }
    return address;
}

// The file name beside path that a damaged record moves to: the first one not taken.
QString asideName(const QString &path)
{
    QString name = path + u".damaged"_s;
    for (int n = 2; QFile::exists(name) && n < 1000; ++n)
        name = path + u".damaged"_s + QString::number(n);
    return name;
}

} // namespace

std::optional<SavedAddresses> SavedAddresses::parse(QByteArrayView bytes, QDate today,
                                                    QString *problem)
{
    const auto fail = [&](qsizetype line, const QString &what) -> std::optional<SavedAddresses> {
        if (problem)
            *problem = u"line %1: %2"_s.arg(line).arg(what);
        return std::nullopt;
    };

    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder(bytes);
    if (decoder.hasError())
        return fail(1, u"not UTF-8 text"_s);

    SavedAddresses record;
    const QDate oldest = today.addDays(-KeepDays);
    const QList<QStringView> lines = QStringView(text).split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QStringView line = lines[i];
        if (line.endsWith(u'\r')) // a record saved by an editor that writes CR LF
            line.chop(1);
        if (line.isEmpty())
            continue;
        const qsizetype tab = line.indexOf(u'\t');
        if (tab <= 0 || line.indexOf(u'\t', tab + 1) >= 0)
            return fail(i + 1, u"not an address, a tab and a day"_s);
        const std::optional<QString> address = unescaped(line.first(tab));
        if (!address)
            return fail(i + 1, u"a backslash that is not \\\\, \\t, \\r or \\n"_s);
        const QStringView dayText = line.sliced(tab + 1);
        const QDate day = QDate::fromString(dayText.toString(), DayFormat);
        if (dayText.size() != 10 || !day.isValid())
            return fail(i + 1, u"\"%1\" is not a day written yyyy-mm-dd"_s.arg(dayText));
        if (day >= oldest)
            record.add(*address, day);
    }
    return record;
}

void SavedAddresses::add(const QString &address, QDate day)
{
    QDate &stored = m_days[address];
    if (!stored.isValid() || stored < day)
        stored = day;
}

QByteArray SavedAddresses::serialized() const
{
    QList<std::pair<QDate, QString>> entries;
    entries.reserve(m_days.size());
    for (auto it = m_days.cbegin(); it != m_days.cend(); ++it)
        entries.append({it.value(), it.key()});
    std::sort(entries.begin(), entries.end());

    QString text;
    for (const auto &[day, address] : entries)
        text += escaped(address) + u'\t' + day.toString(DayFormat) + u'\n';
    return text.toUtf8();
}

OpenedRecord OpenSavedRecord(const QString &path, QDate today)
{
    OpenedRecord opened;
    QFile file(path);
    if (!file.exists()) {
        opened.skip = opened.writable = true;
        return opened;
    }

    QString problem;
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray bytes = file.readAll();
        if (file.error() == QFileDevice::NoError) {
            if (std::optional<SavedAddresses> record =
                    SavedAddresses::parse(bytes, today, &problem)) {
                opened.addresses = std::move(*record);
                opened.skip = opened.writable = true;
                return opened;
            }
        } else {
            problem = file.errorString();
        }
        file.close();
    } else {
        problem = file.errorString();
    }

    const QString aside = asideName(path);
    QFile damaged(path);
    if (damaged.rename(aside)) {
        opened.writable = true;
        opened.problem = u"保存済みの記事の記録が壊れているため、%1 に移しました。"
                         u"今回は保存済みの記事も取得し、新しい記録を始めます。\r\n%2: %3"_s.arg(
                             aside, path, problem);
    } else {
        opened.problem =
            u"保存済みの記事の記録が壊れていますが、%1 に移せませんでした。"
            u"今回は保存済みの記事も取得し、記録は書き換えません。\r\n%2: %3 (%4)"_s.arg(
                aside, path, problem, damaged.errorString());
    }
    return opened;
}

FileResult SaveSavedRecord(const QString &path, const SavedAddresses &record)
{
    return WriteFileAtomically(path, record.serialized());
}
