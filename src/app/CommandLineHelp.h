#pragma once

#include <QString>
#include <QStringList>

// "Varnholt Ver.1.0.0"
QString VersionLine();
// The switches, in Japanese and English.
QString HelpText();

// What main does before anything else: print help or version (and end), or go on.
enum class EarlyAction { Run, PrintHelp, PrintVersion };
EarlyAction EarlyActionOf(const QStringList &arguments);
