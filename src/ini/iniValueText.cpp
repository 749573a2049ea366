#include "ini/iniValueText.h"

#include <QLocale>

using namespace Qt::StringLiterals;

namespace iniValue {

QString text(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::UnknownType:
        return {};
    case QMetaType::QString:
        return value.toString();
    case QMetaType::Bool:
        return value.toBool() ? u"True"_s : u"False"_s;
    case QMetaType::Double:
    case QMetaType::Float:
        // Never an exponent: a stored 1e20 reads back as the same number in any locale.
        return QLocale::c().toString(value.toDouble(), 'f', QLocale::FloatingPointShortest);
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::SChar:
    case QMetaType::Char:
        return QString::number(value.toLongLong());
    case QMetaType::UInt:
    case QMetaType::UShort:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
    case QMetaType::UChar:
        return QString::number(value.toULongLong());
    default:
        return value.toString();
    }
}

bool isEmpty(const QVariant &value)
{
    return text(value).isEmpty();
}

bool isDeletedMark(const QVariant &value)
{
    return value.typeId() == QMetaType::QString && value.toString() == DeletedMark;
}

QString lowerKey(QStringView name)
{
    QString key;
    key.reserve(name.size());
    for (qsizetype i = 0; i < name.size(); ++i) {
        char32_t c = name[i].unicode();
        // A surrogate pair is lower-cased as the one character it stands for.
        if (name[i].isHighSurrogate() && i + 1 < name.size() && name[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(name[i], name[i + 1]);
            ++i;
        }
        key += QChar::fromUcs4(QChar::toLower(c));
    }
    return key;
}

bool equalIgnoringCase(QStringView a, QStringView b)
{
    return a.size() == b.size() && lowerKey(a) == lowerKey(b);
}

} // namespace iniValue
