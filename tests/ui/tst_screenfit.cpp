// The settings window fits the screen it opens on, whatever the screen's size and scale: the
// test runs on offscreen screens of several sizes at twice the scale (see CMakeLists.txt).
#include "NoHost.h"
#include "ScriptedPrompter.h"
#include "startup/ProgramState.h"
#include "ui/ScreenFit.h"
#include "ui/frmSetting.h"

#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QScreen *screenNamed(const QString &name)
{
    for (QScreen *screen : QGuiApplication::screens()) {
        if (screen->name() == name)
            return screen;
    }
    return nullptr;
}

} // namespace

class tst_ScreenFit : public QObject
{
    Q_OBJECT

private slots:
    void fitOnScreen_data();
    void fitOnScreen();
    void placeBeside_data();
    void placeBeside();
    void settingWindow_data();
    void settingWindow();
};

void tst_ScreenFit::fitOnScreen_data()
{
    QTest::addColumn<QSize>("natural");
    QTest::addColumn<QSize>("minimum");
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QRect>("placed");

    // placed is the client area inside a frame of 4, 30, 4, 4 (see below).
    QTest::newRow("fits: centred, natural size")
        << QSize(600, 400) << QSize(600, 400) << QRect(0, 0, 1000, 800)
        << QRect(200, 213, 600, 400);
    QTest::newRow("second screen with a panel on top")
        << QSize(600, 400) << QSize(600, 400) << QRect(1920, 32, 1000, 768)
        << QRect(2120, 229, 600, 400);
    QTest::newRow("too tall: as tall as the room")
        << QSize(600, 500) << QSize(300, 200) << QRect(0, 0, 1000, 450) << QRect(200, 30, 600, 416);
    QTest::newRow("too wide and tall: the whole room")
        << QSize(900, 900) << QSize(300, 200) << QRect(0, 0, 640, 450) << QRect(4, 30, 632, 416);
    QTest::newRow("smaller than the minimum: minimum, from the top left")
        << QSize(900, 900) << QSize(300, 200) << QRect(10, 20, 200, 100) << QRect(14, 50, 300, 200);
}

void tst_ScreenFit::fitOnScreen()
{
    QFETCH(QSize, natural);
    QFETCH(QSize, minimum);
    QFETCH(QRect, available);
    QFETCH(QRect, placed);

    QCOMPARE(FitOnScreen(natural, minimum, QMargins(4, 30, 4, 4), available), placed);
}

void tst_ScreenFit::placeBeside_data()
{
    QTest::addColumn<QRect>("companion");
    QTest::addColumn<QSize>("outer");
    QTest::addColumn<QRect>("available");
    QTest::addColumn<std::optional<QPoint>>("placed");

    const QRect screen(0, 0, 1920, 1200);
    QTest::newRow("room on the right") << QRect(100, 80, 600, 500) << QSize(560, 400) << screen
                                       << std::optional<QPoint>(QPoint(700, 80));
    QTest::newRow("room only on the left") << QRect(1300, 80, 600, 500) << QSize(560, 400) << screen
                                           << std::optional<QPoint>(QPoint(740, 80));
    QTest::newRow("exactly the room on the right")
        << QRect(0, 0, 1360, 500) << QSize(560, 400) << screen
        << std::optional<QPoint>(QPoint(1360, 0));
    QTest::newRow("too low: moved up onto the screen")
        << QRect(100, 1000, 600, 150) << QSize(560, 400) << screen
        << std::optional<QPoint>(QPoint(700, 800));
    QTest::newRow("taller than the screen: from its top")
        << QRect(100, 80, 600, 500) << QSize(560, 1500) << screen
        << std::optional<QPoint>(QPoint(700, 0));
    QTest::newRow("second screen: its own room")
        << QRect(2000, 100, 600, 500) << QSize(560, 400) << QRect(1920, 32, 1280, 992)
        << std::optional<QPoint>(QPoint(2600, 100));
    QTest::newRow("no room on either side")
        << QRect(400, 80, 1100, 500) << QSize(560, 400) << screen << std::optional<QPoint>();
}

void tst_ScreenFit::placeBeside()
{
    QFETCH(QRect, companion);
    QFETCH(QSize, outer);
    QFETCH(QRect, available);
    QFETCH(std::optional<QPoint>, placed);

    QCOMPARE(PlaceBeside(companion, outer, available), placed);
}

void tst_ScreenFit::settingWindow_data()
{
    QTest::addColumn<QString>("screen");
    QTest::addColumn<int>("page");

    for (const QString &screen : {u"large"_s, u"laptop"_s, u"tiny"_s}) {
        for (int page = 0; page < 4; ++page)
            QTest::addRow("%s, page %d", qPrintable(screen), page) << screen << page;
    }
}

void tst_ScreenFit::settingWindow()
{
    QFETCH(QString, screen);
    QFETCH(int, page);

    QScreen *target = screenNamed(screen);
    if (!target)
        QSKIP("the offscreen screens of CMakeLists.txt are not configured");
    QCOMPARE(target->devicePixelRatio(), 2.0);

    QTemporaryDir dir;
    ProgramState state;
    state.programFolder = dir.path();
    state.SettingFolder = dir.path();
    ScriptedPrompter prompter;
    NoHost host;
    frmSetting window(state, prompter, host);
    const QSize natural = window.sizeHint();
    window.setScreen(target);
    window.findChild<QTabWidget *>(u"SSTab"_s)->setCurrentIndex(page);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    const QRect available = target->availableGeometry();
    const QRect frame = window.frameGeometry();
    QVERIFY2(available.contains(frame),
             qPrintable(u"%1: window %2,%3 %4x%5 on %6,%7 %8x%9"_s.arg(screen)
                            .arg(frame.x())
                            .arg(frame.y())
                            .arg(frame.width())
                            .arg(frame.height())
                            .arg(available.x())
                            .arg(available.y())
                            .arg(available.width())
                            .arg(available.height())));
    // Centred up to the difference between the frame's estimate and the real one.
    QVERIFY(qAbs(frame.center().x() - available.center().x()) <= 8);
    QVERIFY(qAbs(frame.center().y() - available.center().y()) <= 16);
    if (screen == u"large"_s)
        QCOMPARE(window.size(), natural);
    else
        QVERIFY(window.size().height() < natural.height());

    for (const QString &name : {u"btnMenu"_s, u"btnSaveExit"_s, u"btnFetch"_s}) {
        const auto *button = window.findChild<QPushButton *>(name);
        const QRect onScreen(button->mapToGlobal(QPoint(0, 0)), button->size());
        QVERIFY2(available.contains(onScreen), qPrintable(name));
        QVERIFY2(button->width() >= button->minimumSizeHint().width(), qPrintable(name));
    }
    // A page that gets less than its minimum scrolls rather than squeezing its widgets.
    const auto *scroller =
        qobject_cast<QScrollArea *>(window.findChild<QTabWidget *>(u"SSTab"_s)->currentWidget());
    QVERIFY(scroller);
    const QWidget *content = scroller->widget();
    QVERIFY(content->height() >= content->minimumSizeHint().height());
    QVERIFY(content->width() >= content->minimumSizeHint().width());
}

QTEST_MAIN(tst_ScreenFit)
#include "tst_screenfit.moc"
