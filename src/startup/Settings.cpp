#include "startup/Settings.h"

#include "ini/iniMente.h"

#include <QVariant>

#include <algorithm>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

// A stored whole number: optional blanks around an optional sign and decimal digits. "1.5",
// "abc" and "" are no number; hand-edited files may leave a blank behind the value.
std::optional<int> storedNumber(const QVariant &value)
{
    const QString text = value.toString().trimmed();
    if (text.isEmpty())
        return std::nullopt;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const bool sign = i == 0 && (c == u'+' || c == u'-') && text.size() > 1;
        if (!sign && !(c >= u'0' && c <= u'9'))
            return std::nullopt;
    }
    bool ok = false;
    const int number = text.toInt(&ok, 10);
    return ok ? std::optional<int>(number) : std::nullopt;
}

bool isCheckState(int number)
{
    return number >= 0 && number <= 2;
}

// A check state read from the store; anything but 0, 1 or 2 keeps the default, since the
// window could not show it and the engine would guess at its meaning.
int storedCheckState(const iniMente &ini, const QString &key, int fallback)
{
    const std::optional<int> number = storedNumber(ini.GetiniValue(key, fallback));
    return number && isCheckState(*number) ? *number : fallback;
}

// Also true for an item stored with an empty value.
bool holdsItem(const iniMente &ini, const QString &key)
{
    // No CP932 file can hold U+FFFF, so no stored value equals it.
    const QVariant absent(u"\uFFFF"_s);
    return ini.GetiniValue(key, absent) != absent;
}

// What the store says about the connection count: a whole number 1..16, else the default.
int storedConnections(const iniMente &ini)
{
    const std::optional<int> number = storedNumber(ini.GetiniValue(u"Connections"_s, QString()));
    return number && *number >= 1 && *number <= Settings::MostConnections
               ? *number
               : Settings::DefaultConnections;
}

QString joinedCategories(const decltype(Settings::Category) &category)
{
    QString joined;
    for (std::size_t i = 0; i < category.size(); ++i) {
        if (i > 0)
            joined += u',';
        joined += QString::number(category[i]);
    }
    return joined;
}

} // namespace

void LoadSettings(const iniMente &SettingIni, Settings &settings, const QString &programFolder)
{
    settings.SaveFolder = SettingIni.GetiniValue(u"SaveFolder"_s, programFolder).toString();
    settings.SaveFileName[0] = SettingIni.GetiniValue(u"SaveFileName0"_s, u"VHT"_s).toString();
    settings.SaveFileName[1] = SettingIni.GetiniValue(u"SaveFileName1"_s, u"yyyymmdd"_s).toString();
    settings.SaveFileName[2] = SettingIni.GetiniValue(u"SaveFileName2"_s, QString()).toString();

    // No option is selected for a stored mode the window does not offer; a save then keeps the
    // stored entry as it is instead of replacing it with a guess.
    const std::optional<int> mode = storedNumber(SettingIni.GetiniValue(u"IgnoreKey"_s, 0));
    settings.IgnoreKey = mode && *mode >= 0 && *mode <= 2 ? *mode : -1;

    settings.NoCopyINI = storedCheckState(SettingIni, u"NoCopyINI"_s, 1);
    settings.OverWrite = storedCheckState(SettingIni, u"OverWrite"_s, 0);
    settings.Yesterday = storedCheckState(SettingIni, u"Yesterday"_s, 1);
    settings.NoKeyWord = storedCheckState(SettingIni, u"NoKeyWord"_s, 0);
    settings.SkipSaved = storedCheckState(SettingIni, u"SkipSaved"_s, 0);
    settings.Connections = storedConnections(SettingIni);

    // Every save writes NoCopyINI together with Category, so a store without it has no
    // category list of this program's making.
    if (SettingIni.GetiniValue(u"NoCopyINI"_s, QString()).toString().isEmpty())
        return;

    const QStringList items = SettingIni.GetiniValue(u"Category"_s, u"0"_s).toString().split(u',');
    const qsizetype count = std::min<qsizetype>(items.size(), qsizetype(settings.Category.size()));
    for (qsizetype i = 0; i < count; ++i) {
        const std::optional<int> state = storedNumber(items.at(i));
        if (state && isCheckState(*state))
            settings.Category[std::size_t(i)] = *state;
    }
}

FileResult SaveSettings(iniMente &SettingIni, const Settings &settings)
{
    SettingIni.SetiniValue(u"SaveFolder"_s, settings.SaveFolder);
    SettingIni.SetiniValue(u"SaveFileName0"_s, settings.SaveFileName[0]);
    SettingIni.SetiniValue(u"SaveFileName1"_s, settings.SaveFileName[1]);
    SettingIni.SetiniValue(u"SaveFileName2"_s, settings.SaveFileName[2]);
    if (settings.IgnoreKey >= 0 && settings.IgnoreKey <= 2)
        SettingIni.SetiniValue(u"IgnoreKey"_s, QString::number(settings.IgnoreKey));
    SettingIni.SetiniValue(u"NoCopyINI"_s, QString::number(settings.NoCopyINI));
    SettingIni.SetiniValue(u"OverWrite"_s, QString::number(settings.OverWrite));
    SettingIni.SetiniValue(u"Yesterday"_s, QString::number(settings.Yesterday));
    SettingIni.SetiniValue(u"NoKeyWord"_s, QString::number(settings.NoKeyWord));
    SettingIni.SetiniValue(u"Category"_s, joinedCategories(settings.Category));
    if (settings.SkipSaved != 0 || holdsItem(SettingIni, u"SkipSaved"_s))
        SettingIni.SetiniValue(u"SkipSaved"_s, QString::number(settings.SkipSaved));
    // Written only when it changes what the store means, so that a file from before the item
    // (or with a value the program does not take) is saved as it was.
    if (settings.Connections != storedConnections(SettingIni))
        SettingIni.SetiniValue(u"Connections"_s, QString::number(settings.Connections));

    QString error;
    if (SettingIni.iniSaverSameFilename(&error))
        return FileResult::success();
    if (error.isEmpty())
        return FileResult::failure(SettingIni.GetiniFilename(),
                                   u"the settings could not be written"_s);
    return {false, error};
}
