#pragma once

#include "startup/CategoryTable.h"

#include <QDialog>
#include <QMargins>
#include <QString>

#include <array>
#include <memory>

class Prompter;
class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QMenu;
class SettingWindowHost;
struct ProgramState;
struct Settings;

namespace Ui {
class frmSetting;
}

// The main window of interactive use: it edits the settings and the keyword list of one
// ProgramState and offers every way out of the program (fetch, save and exit, quit). Every
// message it shows goes through the prompter; everything beyond the window through the host.
class frmSetting final : public QDialog
{
    Q_OBJECT

public:
    frmSetting(ProgramState &state, Prompter &prompter, SettingWindowHost &host,
               QWidget *parent = nullptr);
    ~frmSetting() override;

    // The widgets show these settings; a stored check state 2 shows greyed until clicked.
    void loadFrom(const Settings &settings);
    // What the widgets show, in the stored form. IgnoreKey is -1 when no option is selected.
    void storeTo(Settings &settings) const;

    // The actions that are started from outside the window too.
    void btnFetch_Click();
    void btnSaveExit_Click();

    QMenu *MenuRightClick() const { return m_menu; }

    // The first show sizes the window to fit the screen it starts on and centres it there.
    void setVisible(bool visible) override;

protected:
    void closeEvent(QCloseEvent *event) override;
    void reject() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Window load: title, first page, help text, popup menu.
    void prepareWindow();
    void connectActions();
    void showKeyWords();
    void fitToScreen();
    // The window frame's margins, or an estimate before the window manager has drawn one.
    QMargins frameMargins() const;

    // Actions (SettingActions.cpp).
    void addKeyWord();
    void deleteKeyWord();
    bool saveKeyWordsAndSettings();
    // Asks first when keywords were changed; true when the program ends.
    bool quitWithoutSaving();
    void showMenu();
    void browseSaveFolder();
    void openHelp();
    void openHomePage();
    void sendMail();
    void explainDonation();
    void endProgram(int status);

    std::unique_ptr<Ui::frmSetting> m_ui;
    ProgramState &m_state;
    Prompter &m_prompter;
    SettingWindowHost &m_host;
    QMenu *m_menu = nullptr;
    QButtonGroup *m_ignoreKey = nullptr;
    std::array<QCheckBox *, CategoryCount> m_category{};
    std::array<QLineEdit *, 3> m_saveFileName{};
    bool m_ending = false;
    bool m_placed = false;
};

// The tooltip of btnMenu: every command of the menu behind it, help with its key.
QString MenuButtonTip(const QMenu &menu);
// The text of txtHelp, with CR LF line ends.
QString SaveFileNameHelpText();
