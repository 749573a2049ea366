#include "ini/iniMente.h"
#include "ini/iniValueText.h"

using namespace Qt::StringLiterals;

namespace {

// The last index a 16-bit series counter can hold.
constexpr int MaxSeriesIndex = 32767;

QString seriesKey(const QString &groupName, int index)
{
    return groupName + QString::number(index);
}

} // namespace

qint32 iniMente::indexOf(const QString &ItemName) const
{
    return m_firstIndex.value(iniValue::lowerKey(ItemName), -1);
}

void iniMente::appendEntry(const QString &ItemName, const QVariant &ItemValue)
{
    m_iniItem.append(ItemName);
    m_iniValue.append(ItemValue);
    ++m_iniLast;
    const QString key = iniValue::lowerKey(ItemName);
    if (!m_firstIndex.contains(key))
        m_firstIndex.insert(key, m_iniLast);
}

QVariant iniMente::GetiniValue(const QString &ItemName, const QVariant &Default) const
{
    const qint32 i = indexOf(ItemName);
    return i < 0 ? Default : m_iniValue.at(i);
}

bool iniMente::SetiniValue(const QString &ItemName, const QVariant &ItemValue)
{
    // Remark lines are always appended, never matched: that is how a caller adds one.
    const qint32 i = ItemName == iniValue::RemarkName ? -1 : indexOf(ItemName);
    if (i >= 0)
        m_iniValue[i] = ItemValue;
    else
        appendEntry(ItemName, ItemValue);
    return true;
}

bool iniMente::DeliniValue(const QString &ItemName)
{
    return SetiniValue(ItemName, iniValue::DeletedMark.toString());
}

bool iniMente::DeliniGroup(const QString &GroupName)
{
    for (int i = 0; i <= MaxSeriesIndex; ++i) {
        const QString key = seriesKey(GroupName, i);
        if (iniValue::isEmpty(GetiniValue(key, QVariant())))
            return true;
        SetiniValue(key, iniValue::DeletedMark.toString());
    }
    return false;
}

qint16 iniMente::SearchinGroup(const QString &GroupName, const QVariant &SearchItem,
                               bool NoCheckCase)
{
    const QString wanted = iniValue::text(SearchItem);
    for (int i = 0; i <= MaxSeriesIndex; ++i) {
        const QString member = iniValue::text(GetiniValue(seriesKey(GroupName, i), QVariant()));
        if (member.isEmpty())
            return -1;
        if (NoCheckCase ? iniValue::equalIgnoringCase(member, wanted) : member == wanted)
            return qint16(i);
    }
    return -1;
}

std::pair<QString, QVariant> iniMente::GetiniGroup2(const QString &GroupName)
{
    if (!GroupName.isEmpty()) {
        m_GroupPrefix = GroupName;
        m_GroupNext = 0;
    }
    for (qint32 i = m_GroupNext; i <= m_iniLast; ++i) {
        // A name shorter than the prefix is compared whole, and so never matches.
        const QString &name = m_iniItem.at(i);
        const QStringView head =
            QStringView(name).first(std::min(name.size(), m_GroupPrefix.size()));
        if (iniValue::equalIgnoringCase(head, m_GroupPrefix)) {
            m_GroupNext = i + 1;
            return {name, m_iniValue.at(i)};
        }
    }
    return {QString(), QVariant(QString())};
}

void iniMente::MakeiniItem(const QString &ItemName, const QVariant &ItemValue)
{
    if (iniValue::isEmpty(GetiniValue(ItemName, QVariant())))
        SetiniValue(ItemName, ItemValue);
}
