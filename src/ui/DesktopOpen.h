#pragma once

#include <QString>

class Prompter;
class SettingWindowHost;

// Opens the help page (VHT.html, the program folder's own or the shipped one) through host;
// tells the person when it is missing or nothing could open it.
void OpenHelp(const QString &programFolder, SettingWindowHost &host, Prompter &prompter);
// Opens a web or mail address through host; tells the person when nothing could open it.
void OpenLink(const QString &address, SettingWindowHost &host, Prompter &prompter);
