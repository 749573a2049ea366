#include "ui/BrowseForFolder.h"
#include "ui/MakerInfo.h"
#include "ui/SplashForm.h"
#include "ui/TilePicture.h"
#include "util/Version.h"

#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QLabel *labelOf(const SplashForm &form, const QString &name)
{
    return form.findChild<QLabel *>(name);
}

// A point on the background, away from every label and inside the rounded shape.
QPoint backgroundPoint(const SplashForm &form)
{
    const QPoint point(20, form.height() / 2);
    return form.childAt(point) ? QPoint() : point;
}

} // namespace

class TestSplash : public QObject
{
    Q_OBJECT

private slots:
    void load_versionLabelStartsWithSpace();
    void show_centredOnScreenNotOnOwner();
    void mask_cutsTheCorners_data();
    void mask_cutsTheCorners();
    void drag_data();
    void drag();
    void okLabel_borderWhilePressed_closesOnClick();
    void okLabel_releasedOutside_staysOpen();
    void joke_onceOrTwice_sameTexts();
    void joke_notCarriedToNextShowing();
    void links_openTheirAddressAndClose_data();
    void links_openTheirAddressAndClose();
    void tilePicture_coverage_data();
    void tilePicture_coverage();
    void browseForFolder_data();
    void browseForFolder();
};

void TestSplash::load_versionLabelStartsWithSpace()
{
    const SplashForm form({});
    QCOMPARE(labelOf(form, u"lblVer"_s)->text(), VersionText());
    QCOMPARE(labelOf(form, u"Label1"_s)->text() + labelOf(form, u"Label2"_s)->text(),
             u"Varnholt"_s);
    QVERIFY(labelOf(form, u"Label5"_s)->text().contains(MakerHomePage));
}

void TestSplash::show_centredOnScreenNotOnOwner()
{
    QWidget owner;
    owner.setGeometry(10, 10, 120, 80);
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));
    SplashForm form({}, &owner);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const QPoint offset = form.geometry().center() - owner.screen()->geometry().center();
    QVERIFY2(offset.manhattanLength() <= 2, qPrintable(u"%1,%2"_s.arg(offset.x()).arg(offset.y())));
}

void TestSplash::mask_cutsTheCorners_data()
{
    QTest::addColumn<QPointF>("relative"); // 0..1 of the window's width and height
    QTest::addColumn<QPoint>("offset");
    QTest::addColumn<bool>("inside");

    QTest::newRow("topLeftCorner") << QPointF(0, 0) << QPoint(0, 0) << false;
    QTest::newRow("topLeftCurve_outside") << QPointF(0, 0) << QPoint(20, 20) << false;
    QTest::newRow("topLeftCurve_inside") << QPointF(0, 0) << QPoint(40, 40) << true;
    QTest::newRow("topRightCorner") << QPointF(1, 0) << QPoint(-1, 0) << false;
    QTest::newRow("bottomLeftCorner") << QPointF(0, 1) << QPoint(0, -1) << false;
    QTest::newRow("bottomRightCorner") << QPointF(1, 1) << QPoint(-1, -1) << false;
    QTest::newRow("centre") << QPointF(0.5, 0.5) << QPoint(0, 0) << true;
    QTest::newRow("middleOfTopEdge") << QPointF(0.5, 0) << QPoint(0, 1) << true;
    QTest::newRow("middleOfLeftEdge") << QPointF(0, 0.5) << QPoint(1, 0) << true;
}

void TestSplash::mask_cutsTheCorners()
{
    QFETCH(QPointF, relative);
    QFETCH(QPoint, offset);
    QFETCH(bool, inside);

    SplashForm form({});
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QVERIFY(form.width() >= 543 && form.height() >= 374);
    const QPoint point =
        QPoint(qRound(relative.x() * form.width()), qRound(relative.y() * form.height())) + offset;
    QCOMPARE(form.mask().contains(point), inside);
}

void TestSplash::drag_data()
{
    QTest::addColumn<QString>("pressedOn"); // empty: the background
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<bool>("moves");

    QTest::newRow("background_left_moves") << QString() << Qt::LeftButton << true;
    QTest::newRow("background_right_stays") << QString() << Qt::RightButton << false;
    QTest::newRow("background_middle_stays") << QString() << Qt::MiddleButton << false;
    QTest::newRow("label_left_stays") << u"Label3"_s << Qt::LeftButton << false;
    QTest::newRow("title_left_stays") << u"Label1"_s << Qt::LeftButton << false;
}

void TestSplash::drag()
{
    QFETCH(QString, pressedOn);
    QFETCH(Qt::MouseButton, button);
    QFETCH(bool, moves);

    SplashForm form({});
    form.move(100, 100);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QWidget *target =
        pressedOn.isEmpty() ? static_cast<QWidget *>(&form) : labelOf(form, pressedOn);
    const QPoint start = pressedOn.isEmpty() ? backgroundPoint(form) : QPoint(5, 5);
    QVERIFY(!start.isNull());
    const QPoint before = form.pos();

    QTest::mousePress(target, button, {}, start);
    QTest::mouseMove(target, start + QPoint(30, 40));
    QTest::mouseRelease(target, button, {}, start + QPoint(30, 40));

    QCOMPARE(form.pos() != before, moves);
    if (moves)
        QCOMPARE(form.pos(), before + QPoint(30, 40));
}

void TestSplash::okLabel_borderWhilePressed_closesOnClick()
{
    SplashForm form({});
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QLabel *ok = labelOf(form, u"BtnOK"_s);
    QCOMPARE(ok->frameShape(), QFrame::NoFrame);

    QTest::mousePress(ok, Qt::LeftButton, {}, QPoint(3, 3));
    QCOMPARE(ok->frameShape(), QFrame::Box);
    QCOMPARE(ok->frameShadow(), QFrame::Plain);
    QVERIFY(form.isVisible());
    QTest::mouseRelease(ok, Qt::LeftButton, {}, QPoint(3, 3));

    QCOMPARE(ok->frameShape(), QFrame::NoFrame);
    QVERIFY(!form.isVisible());
    QCOMPARE(form.result(), int(QDialog::Accepted));
}

void TestSplash::okLabel_releasedOutside_staysOpen()
{
    SplashForm form({});
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QLabel *ok = labelOf(form, u"BtnOK"_s);

    QTest::mousePress(ok, Qt::RightButton, {}, QPoint(3, 3));
    QCOMPARE(ok->frameShape(), QFrame::Box);
    QTest::mouseRelease(ok, Qt::RightButton, {}, QPoint(3, 3));
    QCOMPARE(ok->frameShape(), QFrame::NoFrame);
    QVERIFY(form.isVisible());

    QTest::mousePress(ok, Qt::LeftButton, {}, QPoint(3, 3));
    QTest::mouseRelease(ok, Qt::LeftButton, {}, QPoint(-40, -40));
    QCOMPARE(ok->frameShape(), QFrame::NoFrame);
    QVERIFY(form.isVisible());
}

void TestSplash::joke_onceOrTwice_sameTexts()
{
    SplashForm once({});
    SplashForm twice({});
    QTest::mouseClick(labelOf(once, u"Image1"_s), Qt::LeftButton);
    QTest::mouseClick(labelOf(twice, u"Image1"_s), Qt::LeftButton);
    QTest::mouseClick(labelOf(twice, u"Image1"_s), Qt::LeftButton);

    for (const SplashForm *form : {&once, &twice}) {
        QCOMPARE(labelOf(*form, u"Label1"_s)->text(), u"見つけても意味ないですよ～。"_s);
        QCOMPARE(labelOf(*form, u"Label2"_s)->text(), u"Produced by Team Kestrane"_s);
        QCOMPARE(labelOf(*form, u"Label1"_s)->font().pointSizeF(), 25.0);
        QCOMPARE(labelOf(*form, u"Label2"_s)->font().pointSizeF(), 20.0);
    }
    QCOMPARE(labelOf(twice, u"Label1"_s)->text(), labelOf(once, u"Label1"_s)->text());
    QCOMPARE(labelOf(twice, u"Label2"_s)->text(), labelOf(once, u"Label2"_s)->text());
}

void TestSplash::joke_notCarriedToNextShowing()
{
    {
        SplashForm first({});
        QTest::mouseClick(labelOf(first, u"Image1"_s), Qt::LeftButton);
    }
    const SplashForm next({});
    QCOMPARE(labelOf(next, u"Label1"_s)->text(), u"Varn"_s);
    QCOMPARE(labelOf(next, u"Label1"_s)->font().pointSizeF(), 36.0);
    QCOMPARE(labelOf(next, u"Label2"_s)->text(), u"holt"_s);
}

void TestSplash::links_openTheirAddressAndClose_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<QStringList>("opened");

    QTest::newRow("homePage") << u"Label5"_s << Qt::LeftButton << QStringList{MakerHomePage};
    QTest::newRow("partnerSite") << u"Label7"_s << Qt::LeftButton << QStringList{PartnerSite};
    QTest::newRow("rightButton_nothing") << u"Label5"_s << Qt::RightButton << QStringList{};
}

void TestSplash::links_openTheirAddressAndClose()
{
    QFETCH(QString, label);
    QFETCH(Qt::MouseButton, button);
    QFETCH(QStringList, opened);

    QStringList addresses;
    SplashForm form([&addresses](const QString &address) { addresses << address; });
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QTest::mouseClick(labelOf(form, label), button);

    QCOMPARE(addresses, opened);
    QCOMPARE(form.isVisible(), opened.isEmpty());
}

void TestSplash::tilePicture_coverage_data()
{
    QTest::addColumn<QSize>("area");
    QTest::addColumn<QSize>("tile");
    QTest::addColumn<int>("painted");

    QTest::newRow("exactFit") << QSize(100, 100) << QSize(50, 50) << 100 * 100;
    QTest::newRow("partialLastColumnAndRow") << QSize(120, 70) << QSize(50, 50) << 120 * 70;
    QTest::newRow("scaledTile") << QSize(90, 90) << QSize(30, 45) << 90 * 90;
    QTest::newRow("smallerThanOneTile") << QSize(10, 10) << QSize(50, 50) << 10 * 10;
    QTest::newRow("zeroWidthTile_nothing") << QSize(60, 60) << QSize(0, 50) << 0;
    QTest::newRow("negativeHeightTile_nothing") << QSize(60, 60) << QSize(50, -5) << 0;
}

void TestSplash::tilePicture_coverage()
{
    QFETCH(QSize, area);
    QFETCH(QSize, tile);
    QFETCH(int, painted);

    QPixmap picture(50, 50);
    picture.fill(Qt::red);
    // The target is larger than the area: tiles may run past it, but only up to one tile.
    QImage target(area + QSize(200, 200), QImage::Format_RGB32);
    target.fill(Qt::black);
    {
        QPainter painter(&target);
        TilePicture(painter, area.width(), area.height(), picture, tile.width(), tile.height());
    }
    int inside = 0;
    for (int y = 0; y < area.height(); ++y) {
        for (int x = 0; x < area.width(); ++x)
            inside += target.pixel(x, y) == qRgb(255, 0, 0) ? 1 : 0;
    }
    QCOMPARE(inside, painted);
    if (painted > 0) {
        // Nothing beyond the first tile past the area's edge.
        const int farX = (area.width() / tile.width() + 1) * tile.width() + 1;
        QCOMPARE(target.pixel(farX, 0), qRgb(0, 0, 0));
    }
}

void TestSplash::browseForFolder_data()
{
    QTest::addColumn<QString>("initial");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("expectedPreselect");
    QTest::addColumn<QString>("expectedResult");

    const QString news = u"/home/me/News"_s;
    QTest::newRow("trailingSlash_removed") << news + u'/' << news << news << news;
    QTest::newRow("noTrailingSlash_kept") << news << news << news << news;
    QTest::newRow("onlyOneSlashRemoved") << u"/data//"_s << news << u"/data/"_s << news;
    QTest::newRow("root_kept") << u"/"_s << u"/"_s << u"/"_s << u"/"_s;
    QTest::newRow("empty_noPreselection") << QString() << news << QString() << news;
    QTest::newRow("cancelled_empty") << news << QString() << news << QString();
    QTest::newRow("cutAtNul") << news << u"/tmp/clip\0\0\0"_s << news << u"/tmp/clip"_s;
    QTest::newRow("japaneseFolder") << u"/home/me/ニュース/"_s << u"/home/me/ニュース"_s
                                    << u"/home/me/ニュース"_s << u"/home/me/ニュース"_s;
}

void TestSplash::browseForFolder()
{
    QFETCH(QString, initial);
    QFETCH(QString, chosen);
    QFETCH(QString, expectedPreselect);
    QFETCH(QString, expectedResult);

    QWidget owner;
    QWidget *seenOwner = nullptr;
    QString seenTitle;
    QString seenPreselect;
    const QString result =
        BrowseForFolder(&owner, initial, u"フォルダを選択してください"_s,
                        [&](QWidget *dialogOwner, const QString &title, const QString &preselect) {
                            seenOwner = dialogOwner;
                            seenTitle = title;
                            seenPreselect = preselect;
                            return chosen;
                        });

    QCOMPARE(seenOwner, &owner);
    QCOMPARE(seenTitle, u"フォルダを選択してください"_s);
    QCOMPARE(seenPreselect, expectedPreselect);
    QCOMPARE(result, expectedResult);
}

QTEST_MAIN(TestSplash)
#include "tst_splash.moc"
