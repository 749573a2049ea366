#include "ScriptedPrompter.h"
#include "TestFiles.h"
#include "startup/ProgramState.h"
#include "ui/MakerInfo.h"
#include "ui/SettingWindowHost.h"
#include "ui/frmSetting.h"
#include "util/ProgramFolder.h"
#include "util/Version.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

const QString QuitQuestion = u"変更した設定が保存されませんがよろしいですか？"_s;

class RecordingHost final : public SettingWindowHost
{
public:
    bool openAddress(const QString &target) override
    {
        addresses << target;
        return opens;
    }
    bool openDocument(const QString &path) override
    {
        documents << path;
        return opens;
    }
    QString browseForFolder(QWidget *, const QString &title, const QString &initial) override
    {
        browseTitle = title;
        browseInitial = initial;
        return browseAnswer;
    }
    void showAbout(QWidget *) override { ++aboutShown; }
    void startFetch() override { ++fetches; }
    void endProgram(int status) override { endStatus = status; }

    QStringList addresses;
    QStringList documents;
    QString browseTitle;
    QString browseInitial;
    QString browseAnswer;
    bool opens = true; // whether the desktop has a program for documents and addresses
    int aboutShown = 0;
    int fetches = 0;
    std::optional<int> endStatus;
};

} // namespace

class tst_SettingWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void windowLoad_titlePagesAndHelp();
    void fonts_widgetFontExceptTwoFrames_data();
    void fonts_widgetFontExceptTwoFrames();
    void categories_fiveAndEightCannotBeTicked();
    void checkBox_greyedStateKeptUntilClicked_data();
    void checkBox_greyedStateKeptUntilClicked();
    void settings_roundTripThroughWidgets();
    void accessKeys_detailsPageHasNoTwoAlike();
    void ignoreKey_unknownModeSelectsNothing();

    void addKeyWord_data();
    void addKeyWord();
    void enterKey_addsInKeywordBoxElseFetches_data();
    void enterKey_addsInKeywordBoxElseFetches();
    void deleteKeyWord_needsSelection();

    void quit_asksOnlyWithUnsavedKeyWords_data();
    void quit_asksOnlyWithUnsavedKeyWords();
    void save_clearsTheQuestion();
    void saveAndExit_writesFilesAndEnds();
    void saveFailure_keepsWindowAndChanges_data();
    void saveFailure_keepsWindowAndChanges();
    void fetch_storesSettingsAndHides();

    void popupMenu_itemsInOrderBelowButton();
    void browse_emptyAnswerKeepsFolder_data();
    void browse_emptyAnswerKeepsFolder();
    void mail_yesMailsNoOpensHomePage_data();
    void mail_yesMailsNoOpensHomePage();
    void donation_yesMailsNoRegrets_data();
    void donation_yesMailsNoRegrets();
    void help_tellsWhenItCannotBeOpened_data();
    void help_tellsWhenItCannotBeOpened();
    void links_tellWhenNothingOpensThem();
    void menuButton_tipNamesWhatIsBehindIt();

private:
    template<typename T>
    T *child(const QString &name) const
    {
        T *widget = m_window->findChild<T *>(name);
        if (!widget)
            qFatal("no widget %s", qPrintable(name));
        return widget;
    }
    void showWindow();
    void addTyped(const QString &text);
    void pressEscIn(QWidget *widget);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ProgramState> m_state;
    ScriptedPrompter m_prompter;
    RecordingHost m_host;
    std::unique_ptr<frmSetting> m_window;
};

void tst_SettingWindow::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_state = std::make_unique<ProgramState>();
    m_state->programFolder = m_dir->path();
    m_state->SettingFolder = m_dir->path();
    m_state->SettingIni.iniLoader(m_state->settingIniPath());
    m_prompter = ScriptedPrompter();
    m_host = RecordingHost();
    m_window = std::make_unique<frmSetting>(*m_state, m_prompter, m_host);
}

void tst_SettingWindow::cleanup()
{
    m_window.reset();
    m_state.reset();
    m_dir.reset();
}

void tst_SettingWindow::showWindow()
{
    m_window->show();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

void tst_SettingWindow::addTyped(const QString &text)
{
    auto *box = child<QLineEdit>(u"txtKeyWord"_s);
    box->setText(text);
    child<QPushButton>(u"btnAddKey"_s)->click();
}

void tst_SettingWindow::pressEscIn(QWidget *widget)
{
    QTest::keyClick(widget, Qt::Key_Escape);
}

void tst_SettingWindow::windowLoad_titlePagesAndHelp()
{
    QCOMPARE(m_window->windowTitle(), u"Varnholt"_s + VersionText());
    auto *tabs = child<QTabWidget>(u"SSTab"_s);
    QCOMPARE(tabs->currentIndex(), 0);
    const QStringList expectedPages = {u"カテゴリ(&S)"_s, u"フォルダ(&F)"_s, u"キーワード(&K)"_s,
                                       u"詳細(&D)"_s};
    QStringList pages;
    for (int i = 0; i < tabs->count(); ++i)
        pages << tabs->tabText(i);
    QCOMPARE(pages, expectedPages);

    const QString help =
        u"　ファイルは、日別にすることも、固定(同じファイルに追記する)"
        u"事も出来ます。黒背景の部分には以下の記号が使えます。\r\n\r\n"
        u" yyyy(又はyy) mm = 月 dd = 日 "
        u"と言うような記号を使用できます。詳しくはヘルプを参照してください。\r\n\r\n"
        u"例) 「VHT」「yyyymmdd」(←この部分)「」"_s;
    QCOMPARE(SaveFileNameHelpText(), help);
    QCOMPARE(child<QPlainTextEdit>(u"txtHelp"_s)->toPlainText(),
             QString(help).replace(u"\r\n"_s, u"\n"_s));
    QVERIFY(child<QPlainTextEdit>(u"txtHelp"_s)->isReadOnly());

    QCOMPARE(child<QPushButton>(u"btnFetch"_s)->text(), u"取得後終了(&G)"_s);
    QCOMPARE(child<QPushButton>(u"btnSaveExit"_s)->text(), u"保存終了(&S)"_s);
    QVERIFY(child<QPushButton>(u"btnMenu"_s)->text().isEmpty());
    QVERIFY(child<QPushButton>(u"btnFetch"_s)->isDefault());

    // The date pattern box stands out: white on black.
    showWindow();
    child<QTabWidget>(u"SSTab"_s)->setCurrentIndex(1);
    const QImage shot = child<QLineEdit>(u"txtSaveFileName_1"_s)->grab().toImage();

    QCOMPARE(shot.pixelColor(shot.width() - 4, shot.height() / 2), QColor(Qt::black));

    // A fixed window: as large as its contents, no resizing.
    QCOMPARE(m_window->minimumSize(), m_window->maximumSize());
}

void tst_SettingWindow::fonts_widgetFontExceptTwoFrames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("family");
    const QString widget = u"MS UI Gothic"_s;
    const QString window = u"ＭＳ Ｐゴシック"_s;
    QTest::newRow("tab control") << u"SSTab"_s << widget;
    QTest::newRow("category") << u"ChkCategory_7"_s << widget;
    QTest::newRow("section frame") << u"framSection"_s << widget;
    QTest::newRow("file name") << u"txtSaveFileName_1"_s << widget;
    QTest::newRow("help") << u"txtHelp"_s << widget;
    QTest::newRow("keyword list") << u"lstKeyWord"_s << widget;
    QTest::newRow("fetch") << u"btnFetch"_s << widget;
    QTest::newRow("save and exit") << u"btnSaveExit"_s << widget;
    QTest::newRow("keyword mode frame") << u"Frame1"_s << window;
    QTest::newRow("keyword mode option") << u"optIgnoreKey_1"_s << window;
    QTest::newRow("details frame") << u"framDesc"_s << window;
    QTest::newRow("box in details frame") << u"chkNoCopyINI"_s << widget;
    QTest::newRow("other box in details frame") << u"chkNoKeyWord"_s << widget;
    QTest::newRow("skip-saved box in details frame") << u"chkSkipSaved"_s << widget;
}

void tst_SettingWindow::fonts_widgetFontExceptTwoFrames()
{
    QFETCH(QString, name);
    QFETCH(QString, family);
    const QFont font = child<QWidget>(name)->font();
    QCOMPARE(font.families().value(0), family);
    QCOMPARE(font.pointSizeF(), 9.0);
}

void tst_SettingWindow::categories_fiveAndEightCannotBeTicked()
{
    showWindow();
    for (int i = 0; i < CategoryCount; ++i) {
        auto *box = child<QCheckBox>(u"ChkCategory_%1"_s.arg(i));
        const bool locked = i == 5 || i == 8;
        QCOMPARE(box->isEnabled(), !locked);
        const bool before = box->isChecked();
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
        QCOMPARE(box->isChecked(), locked ? before : !before);
    }
}

void tst_SettingWindow::checkBox_greyedStateKeptUntilClicked_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("category") << u"ChkCategory_3"_s;
    QTest::newRow("yesterday") << u"chkYesterday"_s;
    QTest::newRow("overwrite") << u"chkOverWrite"_s;
    QTest::newRow("no copy ini") << u"chkNoCopyINI"_s;
    QTest::newRow("no keyword") << u"chkNoKeyWord"_s;
    QTest::newRow("skip saved") << u"chkSkipSaved"_s;
}

void tst_SettingWindow::checkBox_greyedStateKeptUntilClicked()
{
    QFETCH(QString, name);
    Settings settings;
    settings.Category.fill(2);
    settings.Yesterday = settings.OverWrite = settings.NoCopyINI = settings.NoKeyWord = 2;
    settings.SkipSaved = 2;
    m_window->loadFrom(settings);

    auto *box = child<QCheckBox>(name);
    QCOMPARE(box->checkState(), Qt::PartiallyChecked);
    Settings stored;
    m_window->storeTo(stored);
    QCOMPARE(stored, settings);

    // Clicks only ever give ticked or unticked.
    QList<Qt::CheckState> states;
    for (int i = 0; i < 3; ++i) {
        box->click();
        states << box->checkState();
    }
    QCOMPARE(states, (QList<Qt::CheckState>{Qt::Checked, Qt::Unchecked, Qt::Checked}));

    // Loading a plain state after a greyed one gives a two-state box again.
    settings = Settings();
    m_window->loadFrom(settings);
    QVERIFY(!box->isTristate());
}

void tst_SettingWindow::settings_roundTripThroughWidgets()
{
    Settings settings;
    settings.SaveFolder = u"/home/me/clip"_s;
    settings.SaveFileName = {u"news"_s, u"yymmdd"_s, u"-a"_s};
    settings.IgnoreKey = 2;
    settings.NoCopyINI = 0;
    settings.OverWrite = 1;
    settings.Yesterday = 0;
    settings.NoKeyWord = 1;
    settings.SkipSaved = 1;
    settings.Category = {1, 0, 1, 2, 0, 1, 0, 0, 1, 0, 0, 1};
    settings.Connections = 11;
    m_window->loadFrom(settings);
    Settings stored;
    m_window->storeTo(stored);
    QCOMPARE(stored, settings);
    QVERIFY(child<QRadioButton>(u"optIgnoreKey_2"_s)->isChecked());
    QCOMPARE(child<QSpinBox>(u"spinConnections"_s)->value(), 11);
}

void tst_SettingWindow::accessKeys_detailsPageHasNoTwoAlike()
{
    const auto keysOf = [](const QStringList &captions) {
        QStringList keys;
        for (const QString &caption : captions) {
            const qsizetype amp = caption.indexOf(u'&');
            if (amp >= 0 && amp + 1 < caption.size())
                keys << caption.at(amp + 1).toUpper();
        }
        return keys;
    };
    // While the details page shows, Alt also reaches the tabs and the button row (whose "S"
    // the categories tab has shared from the start).
    auto *tabs = child<QTabWidget>(u"SSTab"_s);
    QStringList always;
    for (int i = 0; i < tabs->count(); ++i)
        always << tabs->tabText(i);
    always << child<QPushButton>(u"btnSaveExit"_s)->text()
           << child<QPushButton>(u"btnFetch"_s)->text();
    QStringList own;
    QWidget *page = tabs->widget(3);
    for (const QAbstractButton *button : page->findChildren<QAbstractButton *>())
        own << button->text();
    for (const QLabel *label : page->findChildren<QLabel *>())
        own << label->text();

    const QStringList pageKeys = keysOf(own);
    const QStringList alwaysKeys = keysOf(always);
    QVERIFY2(pageKeys.contains(u"R"_s), qPrintable(pageKeys.join(u' ')));
    for (const QString &key : pageKeys) {
        QVERIFY2(pageKeys.count(key) == 1 && !alwaysKeys.contains(key),
                 qPrintable(key + u" in "_s + (own + always).join(u" / "_s)));
    }
}

void tst_SettingWindow::ignoreKey_unknownModeSelectsNothing()
{
    Settings settings;
    settings.IgnoreKey = 1;
    m_window->loadFrom(settings);
    settings.IgnoreKey = -1;
    m_window->loadFrom(settings);
    for (int i = 0; i < 3; ++i)
        QVERIFY(!child<QRadioButton>(u"optIgnoreKey_%1"_s.arg(i))->isChecked());
    Settings stored;
    m_window->storeTo(stored);
    QCOMPARE(stored.IgnoreKey, -1);
}

void tst_SettingWindow::addKeyWord_data()
{
    QTest::addColumn<QStringList>("listed");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<bool>("changed");

    QTest::newRow("into an empty list")
        << QStringList() << u"株価"_s << QStringList{u"株価"_s} << true;
    QTest::newRow("sorted place") << QStringList{u"B"_s} << u"A"_s << QStringList{u"A"_s, u"B"_s}
                                  << true;
    QTest::newRow("empty text does nothing")
        << QStringList{u"B"_s} << QString() << QStringList{u"B"_s} << false;
    QTest::newRow("same up to case is not added")
        << QStringList{u"Tokyo"_s} << u"tOKYO"_s << QStringList{u"Tokyo"_s} << false;
    QTest::newRow("blanks count") << QStringList{u"Tokyo"_s} << u"Tokyo "_s
                                  << QStringList{u"Tokyo"_s, u"Tokyo "_s} << true;
    QTest::newRow("only blanks is added as typed")
        << QStringList() << u"  "_s << QStringList{u"  "_s} << true;
}

void tst_SettingWindow::addKeyWord()
{
    QFETCH(QStringList, listed);
    QFETCH(QString, typed);
    QFETCH(QStringList, expected);
    QFETCH(bool, changed);

    for (const QString &item : listed)
        m_state->keyWords.insertSorted(item);
    m_window = std::make_unique<frmSetting>(*m_state, m_prompter, m_host);
    showWindow();
    child<QTabWidget>(u"SSTab"_s)->setCurrentIndex(2);

    addTyped(typed);

    QStringList shown;
    auto *list = child<QListWidget>(u"lstKeyWord"_s);
    for (int i = 0; i < list->count(); ++i)
        shown << list->item(i)->text();
    QCOMPARE(shown, expected);
    QCOMPARE(m_state->keyWords.items(), expected);
    QCOMPARE(m_state->keyWords.KeyWordChanged, changed);
    QVERIFY(child<QLineEdit>(u"txtKeyWord"_s)->text().isEmpty());
    if (!typed.isEmpty())
        QVERIFY(child<QLineEdit>(u"txtKeyWord"_s)->hasFocus());
}

void tst_SettingWindow::enterKey_addsInKeywordBoxElseFetches_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("page");
    QTest::addColumn<bool>("adds");
    QTest::newRow("keyword box") << u"txtKeyWord"_s << 2 << true;
    QTest::newRow("category check box") << u"ChkCategory_0"_s << 0 << false;
    QTest::newRow("save folder box") << u"txtSaveFolder"_s << 1 << false;
    QTest::newRow("keyword list") << u"lstKeyWord"_s << 2 << false;
}

void tst_SettingWindow::enterKey_addsInKeywordBoxElseFetches()
{
    QFETCH(QString, focus);
    QFETCH(int, page);
    QFETCH(bool, adds);

    showWindow();
    child<QTabWidget>(u"SSTab"_s)->setCurrentIndex(page);
    child<QLineEdit>(u"txtKeyWord"_s)->setText(u"円高"_s);
    QWidget *target = child<QWidget>(focus);
    target->setFocus();
    QVERIFY(target->hasFocus());
    QCOMPARE(child<QPushButton>(u"btnAddKey"_s)->isDefault(), adds);
    QCOMPARE(child<QPushButton>(u"btnFetch"_s)->isDefault(), !adds);

    QTest::keyClick(target, Qt::Key_Return);

    QCOMPARE(m_state->keyWords.items(), adds ? QStringList{u"円高"_s} : QStringList());
    QCOMPARE(m_host.fetches, adds ? 0 : 1);
    QCOMPARE(m_window->isVisible(), adds);
}

void tst_SettingWindow::deleteKeyWord_needsSelection()
{
    m_state->keyWords.insertSorted(u"A"_s);
    m_state->keyWords.insertSorted(u"B"_s);
    m_window = std::make_unique<frmSetting>(*m_state, m_prompter, m_host);
    auto *list = child<QListWidget>(u"lstKeyWord"_s);
    auto *button = child<QPushButton>(u"btnDeleteKey"_s);

    list->clearSelection();
    button->click();
    QCOMPARE(m_state->keyWords.count(), 2);
    QVERIFY(!m_state->keyWords.KeyWordChanged);

    list->setCurrentRow(1);
    button->click();
    QCOMPARE(m_state->keyWords.items(), QStringList{u"A"_s});
    QCOMPARE(list->count(), 1);
    QCOMPARE(list->item(0)->text(), u"A"_s);
    QVERIFY(m_state->keyWords.KeyWordChanged);
}

void tst_SettingWindow::quit_asksOnlyWithUnsavedKeyWords_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("unsaved");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<bool>("ends");

    const QStringList ways = {u"esc in keyword box"_s, u"esc on category"_s, u"close box"_s,
                              u"menu quit"_s};
    for (const QString &way : ways) {
        QTest::addRow("%s, nothing unsaved", qPrintable(way)) << way << false << false << true;
        QTest::addRow("%s, unsaved, No", qPrintable(way)) << way << true << false << false;
        QTest::addRow("%s, unsaved, Yes", qPrintable(way)) << way << true << true << true;
    }
}

void tst_SettingWindow::quit_asksOnlyWithUnsavedKeyWords()
{
    QFETCH(QString, how);
    QFETCH(bool, unsaved);
    QFETCH(bool, answer);
    QFETCH(bool, ends);

    showWindow();
    // Edits to anything but the keywords never cause the question.
    child<QCheckBox>(u"ChkCategory_0"_s)->click();
    child<QLineEdit>(u"txtSaveFolder"_s)->setText(u"/tmp/elsewhere"_s);
    if (unsaved) {
        child<QTabWidget>(u"SSTab"_s)->setCurrentIndex(2);
        addTyped(u"新製品"_s);
    }
    m_prompter.answers = {answer};

    if (how == u"esc in keyword box"_s) {
        child<QTabWidget>(u"SSTab"_s)->setCurrentIndex(2);
        auto *box = child<QLineEdit>(u"txtKeyWord"_s);
        box->setText(u"typed"_s);
        pressEscIn(box);
        // Esc quits instead of clearing the box.
        if (!ends)
            QCOMPARE(box->text(), u"typed"_s);
    } else if (how == u"esc on category"_s) {
        child<QTabWidget>(u"SSTab"_s)->setCurrentIndex(0);
        pressEscIn(child<QCheckBox>(u"ChkCategory_1"_s));
    } else if (how == u"close box"_s) {
        QCOMPARE(m_window->close(), ends);
    } else {
        m_window->MenuRightClick()->actions().at(1)->trigger();
    }

    QCOMPARE(m_prompter.questions.size(), unsaved ? 1 : 0);
    if (unsaved) {
        QCOMPARE(m_prompter.questions.first().text, QuitQuestion);
        QCOMPARE(m_prompter.questions.first().icon, MessageIcon::Question);
    }
    QCOMPARE(m_host.endStatus, ends ? std::optional<int>(0) : std::nullopt);
    QCOMPARE(m_window->isVisible(), !ends);
    // Nothing is ever written by quitting.
    QVERIFY(!QFile::exists(m_state->keyWordFilePath()));
    QVERIFY(!QFile::exists(m_state->settingIniPath()));
    if (unsaved && !ends)
        QCOMPARE(m_state->keyWords.items(), QStringList{u"新製品"_s});
}

void tst_SettingWindow::save_clearsTheQuestion()
{
    addTyped(u"決算"_s);
    m_window->MenuRightClick()->actions().at(0)->trigger(); // 設定保存
    QVERIFY(m_prompter.messages.isEmpty());
    QVERIFY(!m_host.endStatus);
    QVERIFY(QFile::exists(m_state->keyWordFilePath()));

    m_window->MenuRightClick()->actions().at(1)->trigger(); // 破棄終了
    QVERIFY(m_prompter.questions.isEmpty());
    QCOMPARE(m_host.endStatus, std::optional<int>(0));
}

void tst_SettingWindow::saveAndExit_writesFilesAndEnds()
{
    addTyped(u"決算"_s);
    child<QLineEdit>(u"txtSaveFileName_0"_s)->setText(u"clip"_s);
    child<QPushButton>(u"btnSaveExit"_s)->click();

    QCOMPARE(m_host.endStatus, std::optional<int>(0));
    QVERIFY(m_prompter.messages.isEmpty());
    QFile ini(m_state->settingIniPath());
    QVERIFY(ini.open(QIODevice::ReadOnly));
    QVERIFY(ini.readAll().contains("SaveFileName0 = clip"));
    QFile keyWords(m_state->keyWordFilePath());
    QVERIFY(keyWords.open(QIODevice::ReadOnly));
    QVERIFY(!keyWords.readAll().isEmpty());
}

void tst_SettingWindow::saveFailure_keepsWindowAndChanges_data()
{
    QTest::addColumn<int>("action"); // 0 menu save, 1 save and exit
    QTest::newRow("menu save") << 0;
    QTest::newRow("save and exit") << 1;
}

void tst_SettingWindow::saveFailure_keepsWindowAndChanges()
{
    QFETCH(int, action);
    // A file where the settings folder should be: nothing can be written below it, whoever runs
    // the test.
    const QString blocked = m_dir->filePath(u"blocked"_s);
    {
        QFile file(blocked);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    m_state->SettingFolder = blocked;
    m_state->SettingIni.iniLoader(m_state->settingIniPath());
    showWindow();
    addTyped(u"決算"_s);

    if (action == 0)
        m_window->MenuRightClick()->actions().at(0)->trigger();
    else
        child<QPushButton>(u"btnSaveExit"_s)->click();

    QCOMPARE(m_prompter.messages.size(), 1);
    QCOMPARE(m_prompter.messages.first().icon, MessageIcon::Stop);
    QVERIFY2(m_prompter.messages.first().text.contains(blocked),
             qPrintable(m_prompter.messages.first().text));
    QVERIFY(!m_host.endStatus);
    QVERIFY(m_window->isVisible());
    QCOMPARE(m_state->keyWords.items(), QStringList{u"決算"_s});
    QVERIFY(m_state->keyWords.KeyWordChanged);
}

void tst_SettingWindow::fetch_storesSettingsAndHides()
{
    showWindow();
    child<QCheckBox>(u"ChkCategory_2"_s)->click();
    child<QLineEdit>(u"txtSaveFolder"_s)->setText(u"/tmp/out"_s);
    child<QPushButton>(u"btnFetch"_s)->click();

    QCOMPARE(m_host.fetches, 1);
    QVERIFY(!m_window->isVisible());
    QCOMPARE(m_state->settings.Category[2], 1);
    QCOMPARE(m_state->settings.SaveFolder, u"/tmp/out"_s);
    // Nothing is saved before the run.
    QVERIFY(!QFile::exists(m_state->settingIniPath()));
}

void tst_SettingWindow::popupMenu_itemsInOrderBelowButton()
{
    m_window->move(120, 90);
    showWindow();
    QMenu *menu = m_window->MenuRightClick();
    QCOMPARE(menu->objectName(), u"MenuRightClick"_s);

    QStringList items;
    for (const QAction *action : menu->actions())
        items << (action->isSeparator() ? u"-"_s : action->objectName() + u' ' + action->text());
    const QStringList expected = {
        u"MenuSettingSave 設定保存(&S)"_s,
        u"MenuQuitNoSave 破棄終了(&X)"_s,
        u"-"_s,
        u"MenuHelpView ヘルプ(&H)"_s,
        u"MenuHelpVerInfo バージョン情報(&A)"_s,
        u"-"_s,
        u"MenuHPOpen ホームページを開く(&O)"_s,
        u"MenuHPBBS 掲示板を開く(&B)"_s,
        u"MenuHPSendMail 作者にメール送信(&M)"_s,
        u"-"_s,
        u"MenuKifu 寄付について(&K)"_s,
    };
    QCOMPARE(items, expected);

    auto *button = child<QPushButton>(u"btnMenu"_s);
    // At the top of the screen, so the menu has room below the button.
    m_window->move(m_window->screen()->availableGeometry().topLeft());
    button->click();
    QTRY_VERIFY(menu->isVisible());
    QCOMPARE(menu->geometry().topLeft(), button->mapToGlobal(QPoint(0, button->height())));
    menu->close();
}

void tst_SettingWindow::browse_emptyAnswerKeepsFolder_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("expected");
    QTest::newRow("cancelled") << QString() << u"/home/me/clip"_s;
    QTest::newRow("chosen") << u"/srv/news"_s << u"/srv/news"_s;
    QTest::newRow("cut at NUL") << u"/srv/news\0junk"_s << u"/srv/news"_s;
    QTest::newRow("only NUL") << u"\0junk"_s << u"/home/me/clip"_s;
}

void tst_SettingWindow::browse_emptyAnswerKeepsFolder()
{
    QFETCH(QString, answer);
    QFETCH(QString, expected);
    auto *folder = child<QLineEdit>(u"txtSaveFolder"_s);
    folder->setText(u"/home/me/clip"_s);
    m_host.browseAnswer = answer;
    child<QPushButton>(u"btnRefSaveFolder"_s)->click();
    QCOMPARE(m_host.browseTitle, u"フォルダを選択してください"_s);
    QCOMPARE(m_host.browseInitial, u"/home/me/clip"_s);
    QCOMPARE(folder->text(), expected);
}

void tst_SettingWindow::mail_yesMailsNoOpensHomePage_data()
{
    QTest::addColumn<bool>("answer");
    QTest::addColumn<QString>("opened");
    QTest::addColumn<int>("notices");
    QTest::newRow("yes") << true << u"mailto:"_s + MakerMailAddress << 0;
    QTest::newRow("no") << false << MakerHomePage << 1;
}

void tst_SettingWindow::mail_yesMailsNoOpensHomePage()
{
    QFETCH(bool, answer);
    QFETCH(QString, opened);
    QFETCH(int, notices);
    m_prompter.answers = {answer};
    m_window->findChild<QAction *>(u"MenuHPSendMail"_s)->trigger();

    QCOMPARE(m_prompter.questions.size(), 1);
    QCOMPARE(m_prompter.questions.first().icon, MessageIcon::Exclamation);
    QCOMPARE(m_prompter.questions.first().text,
             u"　作者に連絡する場合は、できるだけ掲示板を使用してください。\r\n"
             u"共通の問題を抱えている人の間で情報を共有するためです。\r\n\r\n"
             u"　それでもまだ、メールで送信しますか？"_s);
    QCOMPARE(m_host.addresses, QStringList{opened});
    QCOMPARE(m_prompter.messages.size(), notices);
    if (notices) {
        QCOMPARE(m_prompter.messages.first().text,
                 u"ネットスケープでは表示が乱れることがあります。\r\nご了承ください。"_s);
        QCOMPARE(m_prompter.messages.first().icon, MessageIcon::Information);
    }
}

void tst_SettingWindow::donation_yesMailsNoRegrets_data()
{
    QTest::addColumn<bool>("answer");
    QTest::addColumn<QStringList>("opened");
    QTest::addColumn<QStringList>("told");
    QTest::newRow("yes") << true << QStringList{u"mailto:"_s + MakerMailAddress} << QStringList();
    QTest::newRow("no") << false << QStringList() << QStringList{u"残念です (^^;"_s};
}

void tst_SettingWindow::donation_yesMailsNoRegrets()
{
    QFETCH(bool, answer);
    QFETCH(QStringList, opened);
    QFETCH(QStringList, told);
    m_prompter.answers = {answer};
    m_window->findChild<QAction *>(u"MenuKifu"_s)->trigger();

    QCOMPARE(m_prompter.questions.size(), 1);
    const ScriptedPrompter::Call &note = m_prompter.questions.first();
    QCOMPARE(note.title, u"寄付についての説明"_s);
    QCOMPARE(note.icon, MessageIcon::Information);
    QVERIFY(note.text.endsWith(u"\r\n"_s));
    QCOMPARE(note.text.chopped(2).split(u"\r\n"_s).size(), 14);
    QCOMPARE(m_host.addresses, opened);
    QStringList shown;
    for (const ScriptedPrompter::Call &message : std::as_const(m_prompter.messages))
        shown << message.text;
    QCOMPARE(shown, told);
}

void tst_SettingWindow::help_tellsWhenItCannotBeOpened_data()
{
    QTest::addColumn<bool>("present");
    QTest::addColumn<bool>("opens"); // a program takes the page
    QTest::addColumn<QString>("told");

    QTest::newRow("opened") << true << true << QString();
    QTest::newRow("no program for it")
        << true << false << u"HTMLファイルを開くプログラム(ブラウザ)が見つかりません。"_s;
    QTest::newRow("missing") << false << true << u"ファイルがありません。"_s;
}

void tst_SettingWindow::help_tellsWhenItCannotBeOpened()
{
    QFETCH(bool, present);
    QFETCH(bool, opens);
    QFETCH(QString, told);
    // Only the program folder's own copy is predictable: the build machine may hold an
    // installed one.
    const QString own = m_dir->filePath(u"VHT.html"_s);
    if (!present && ShippedFilePath(m_dir->path(), u"VHT.html"_s) != own)
        QSKIP("an installed help page stands in for the missing one");
    if (present)
        QVERIFY(writeFile(own, "<html></html>"));
    m_host.opens = opens;

    m_window->findChild<QAction *>(u"MenuHelpView"_s)->trigger();

    QCOMPARE(m_host.documents, present ? QStringList{own} : QStringList{});
    if (told.isEmpty()) {
        QCOMPARE(m_prompter.messageTexts(), QStringList());
    } else {
        QCOMPARE(m_prompter.messageTexts(),
                 QStringList{u"ヘルプを開けませんでした。\r\n"_s + own + u"\r\n"_s + told});
        QCOMPARE(m_prompter.messages.first().icon, MessageIcon::Exclamation);
    }
}

void tst_SettingWindow::links_tellWhenNothingOpensThem()
{
    m_host.opens = false;
    m_prompter.answers = {true};

    m_window->findChild<QAction *>(u"MenuHPSendMail"_s)->trigger();

    QCOMPARE(m_host.addresses, QStringList{u"mailto:"_s + MakerMailAddress});
    QCOMPARE(m_prompter.messageTexts(),
             QStringList{
                 u"開けませんでした。\r\nmailto:"_s + MakerMailAddress +
                 u"\r\nこのアドレスを開くプログラム(ブラウザ、メールソフト)が見つかりません。"_s});
}

void tst_SettingWindow::menuButton_tipNamesWhatIsBehindIt()
{
    QCOMPARE(child<QPushButton>(u"btnMenu"_s)->toolTip(),
             u"メニュー: 設定保存、破棄終了、ヘルプ (F1)、バージョン情報、ホームページを開く、"
             u"掲示板を開く、作者にメール送信、寄付について"_s);
}

QTEST_MAIN(tst_SettingWindow)
#include "tst_settingwindow.moc"
