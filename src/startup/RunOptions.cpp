#include "startup/RunOptions.h"

namespace {

bool has(QStringView commandLine, QStringView flag)
{
    return commandLine.contains(flag, Qt::CaseInsensitive);
}

// The text right after the first occurrence of the switch, up to the next space or the end.
std::optional<QString> valueOf(QStringView commandLine, QStringView valuedSwitch)
{
    const qsizetype at = commandLine.indexOf(valuedSwitch, 0, Qt::CaseInsensitive);
    if (at < 0)
        return std::nullopt;
    const qsizetype start = at + valuedSwitch.size();
    const qsizetype space = commandLine.indexOf(u' ', start);
    return commandLine.mid(start, space < 0 ? -1 : space - start).toString();
}

} // namespace

RunOptions ParseCommandLine(QStringView commandLine)
{
    RunOptions options;
    const auto set = [commandLine](bool &field, QStringView flag) {
        if (has(commandLine, flag))
            field = true;
    };
    set(options.AutoGet, u"/AutoGet");
    set(options.HideMe, u"/HideMe");
    set(options.Open, u"/Open");
    set(options.Yesterday, u"/Yesterday");
    set(options.NoAddKey, u"/NoAddKey");
    options.KeyMode = 0;
    if (has(commandLine, u"/GetOnlyURL"))
        options.KeyMode = 1;
    if (has(commandLine, u"/IgnoreKey"))
        options.KeyMode = 2;
    set(options.Debug, u"/Debug");
    set(options.Log, u"/Log");
    // "/qfw" names the layout used anyway when no other layout switch is given.
    set(options.Csv, u"/csv");
    set(options.Qfk, u"/qfk");
    set(options.Qfb, u"/qfb");
    set(options.OverWrite, u"/OverWrite");
    set(options.Append, u"/Append");

    static constexpr QStringView kFileNameSwitches[] = {u"/F1", u"/F2", u"/F3"};
    for (std::size_t n = 0; n < options.FileNamePart.size(); ++n)
        options.FileNamePart[n] = valueOf(commandLine, kFileNameSwitches[n]);
    options.OutputFolder = valueOf(commandLine, u"/FO").value_or(QString());
    return options;
}

QString UnparsedCommandLine(const QStringList &arguments)
{
    return arguments.mid(1).join(u' ');
}
