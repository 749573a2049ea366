#pragma once

#include <QString>
#include <QStringView>
#include <QVariant>

// How the INI store turns its dynamically typed values into text, shared by lookups (an empty
// value equals the empty text) and the writer.
namespace iniValue {

inline constexpr QStringView RemarkName = u"*REM*";
inline constexpr QStringView DeletedMark = u"*DEL*";

// "" for an empty value, "True"/"False" for truth values, plain decimal for numbers.
QString text(const QVariant &value);
bool isEmpty(const QVariant &value);
// Only a text value can carry the deletion mark; a number or truth value never does.
bool isDeletedMark(const QVariant &value);

// The name lower-cased character by character: equal keys are equal names.
QString lowerKey(QStringView name);
// Equal after lower-casing each character: how every lookup of the store compares names.
bool equalIgnoringCase(QStringView a, QStringView b);

} // namespace iniValue
