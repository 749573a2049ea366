// F1 opens the help from every window of the program, once per press.
#include "NoHost.h"
#include "ScriptedPrompter.h"
#include "startup/ProgramState.h"
#include "ui/HelpKey.h"
#include "ui/SplashForm.h"
#include "ui/frmDebug.h"
#include "ui/frmFetch.h"
#include "ui/frmSetting.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>

using namespace Qt::StringLiterals;

class tst_HelpKey : public QObject
{
    Q_OBJECT

private slots:
    void f1_opensHelpInEveryWindow_data();
    void f1_opensHelpInEveryWindow();
    void otherKeys_leftToTheWindow();
};

void tst_HelpKey::f1_opensHelpInEveryWindow_data()
{
    QTest::addColumn<QString>("window");
    for (const QString &window : {u"settings"_s, u"settings, keyword box"_s, u"fetch"_s, u"debug"_s,
                                  u"about"_s, u"message box"_s})
        QTest::newRow(qPrintable(window)) << window;
}

void tst_HelpKey::f1_opensHelpInEveryWindow()
{
    QFETCH(QString, window);
    int opened = 0;
    HelpKey key([&opened] { ++opened; });
    qApp->installEventFilter(&key);

    QTemporaryDir dir;
    ProgramState state;
    state.programFolder = dir.path();
    ScriptedPrompter prompter;
    NoHost host;
    std::unique_ptr<QWidget> shown;
    QWidget *target = nullptr;
    if (window.startsWith(u"settings"_s)) {
        shown = std::make_unique<frmSetting>(state, prompter, host);
        target = window.endsWith(u"box"_s) ? shown->findChild<QLineEdit *>(u"txtKeyWord"_s)
                                           : shown.get();
    } else if (window == u"fetch"_s) {
        shown = std::make_unique<frmFetch>(prompter);
    } else if (window == u"debug"_s) {
        shown = std::make_unique<frmDebug>();
    } else if (window == u"about"_s) {
        shown = std::make_unique<SplashForm>(SplashForm::AddressOpener());
    } else {
        shown = std::make_unique<QMessageBox>(QMessageBox::Question, u"Varnholt"_s,
                                              u"取得を中止しますか？"_s);
    }
    shown->show();
    QVERIFY(QTest::qWaitForWindowExposed(shown.get()));
    if (!target)
        target = shown.get();

    QTest::keyClick(target, Qt::Key_F1);
    QCOMPARE(opened, 1);
    // Held down: the repeats open nothing more.
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(target, &repeat);
    QCOMPARE(opened, 1);
    QTest::keyClick(target, Qt::Key_F1);
    QCOMPARE(opened, 2);
}

void tst_HelpKey::otherKeys_leftToTheWindow()
{
    int opened = 0;
    HelpKey key([&opened] { ++opened; });
    qApp->installEventFilter(&key);
    QLineEdit box;
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));

    QTest::keyClicks(&box, u"ab"_s);
    QTest::keyClick(&box, Qt::Key_F1, Qt::ShiftModifier);

    QCOMPARE(opened, 0);
    QCOMPARE(box.text(), u"ab"_s);
}

QTEST_MAIN(tst_HelpKey)
#include "tst_helpkey.moc"
