#pragma once

#include "ui/SettingWindowHost.h"

// A settings window host that does nothing: for looking at the window, not at its actions.
class NoHost final : public SettingWindowHost
{
public:
    bool openAddress(const QString &) override { return false; }
    bool openDocument(const QString &) override { return false; }
    QString browseForFolder(QWidget *, const QString &, const QString &) override { return {}; }
    void showAbout(QWidget *) override {}
    void startFetch() override {}
    void endProgram(int) override {}
};
