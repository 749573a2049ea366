#include "ui/fpProgressBar.h"

#include <QLocale>
#include <QSet>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

constexpr qint32 DarkBlue = 8388608;               // rgb(0, 0, 128)
constexpr qint32 Yellow = 0x00FFFF;                // rgb(255, 255, 0)
constexpr QRgb NotXorBlueYellow = qRgb(0, 0, 127); // ~(DarkBlue ^ Yellow)

enum class Region { Left, Right, Top, Bottom, Whole };

QRect regionRect(Region region, QSize size)
{
    const int w = size.width();
    const int h = size.height();
    switch (region) {
    case Region::Left:
        return {0, 0, w / 2 - 5, h};
    case Region::Right:
        return {w / 2 + 5, 0, w - w / 2 - 5, h};
    case Region::Top:
        return {0, 0, w, h / 2 - 1};
    case Region::Bottom:
        return {0, h / 2 + 1, w, h - h / 2 - 1};
    case Region::Whole:
        break;
    }
    return {QPoint(0, 0), size};
}

QMap<QRgb, int> colourCounts(const QImage &image, const QRect &area)
{
    QMap<QRgb, int> counts;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            ++counts[image.pixel(x, y) | 0xFF000000];
    }
    return counts;
}

// A bar wide and tall enough that a long text crosses both halves in both directions.
std::unique_ptr<fpProgressBar> makeBar()
{
    auto bar = std::make_unique<fpProgressBar>();
    QFont font = bar->font();
    font.setPixelSize(18);
    bar->setFont(font);
    bar->resize(400, 40);
    bar->setUnit(u"MMMMMMMMMMMMMMMMMMMMMMMM"_s);
    bar->setValueShow(false);
    return bar;
}

} // namespace

Q_DECLARE_METATYPE(Region)

class TestProgressBar : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void creation_hasDesignDefaults();
    void colours_data();
    void colours();
    void emptyText_drawsNoGlyph();
    void clamping_data();
    void clamping();
    void text_data();
    void text();
    void storedProperties_roundTrip();
    void storedProperties_loadMissingAndOtherCase();
    void events_data();
    void events();
};

void TestProgressBar::creation_hasDesignDefaults()
{
    const fpProgressBar bar;
    QCOMPARE(bar.Max(), 100);
    QCOMPARE(bar.BarColor(), DarkBlue);
    QCOMPARE(bar.BackColor(), 16777215);
    QCOMPARE(bar.Unit(), u"%"_s);
    QCOMPARE(bar.ValueShow(), true);
    QCOMPARE(bar.Style(), 0);
    QCOMPARE(bar.Value(), 0);
}

void TestProgressBar::colours_data()
{
    QTest::addColumn<qint32>("max");
    QTest::addColumn<qint32>("value");
    QTest::addColumn<qint32>("style");
    QTest::addColumn<Region>("region");
    QTest::addColumn<QRgb>("plain");
    QTest::addColumn<QRgb>("glyph");

    const QRgb bar = qRgb(0, 0, 128);
    const QRgb back = qRgb(255, 255, 0);
    const QRgb white = qRgb(255, 255, 255);
    QTest::newRow("half_barOnTheLeft") << 100 << 50 << 0 << Region::Left << bar << white;
    QTest::newRow("half_restOnTheRight")
        << 100 << 50 << 0 << Region::Right << back << NotXorBlueYellow;
    QTest::newRow("valueZero_wholeSurfaceIsRest")
        << 100 << 0 << 0 << Region::Whole << back << NotXorBlueYellow;
    QTest::newRow("valueMax_wholeSurfaceIsBar") << 100 << 100 << 0 << Region::Whole << bar << white;
    QTest::newRow("style1_half_barAtTheBottom") << 100 << 50 << 1 << Region::Bottom << bar << white;
    QTest::newRow("style1_half_restOnTop")
        << 100 << 50 << 1 << Region::Top << back << NotXorBlueYellow;
    QTest::newRow("style1_valueZero_wholeSurfaceIsRest")
        << 100 << 0 << 1 << Region::Whole << back << NotXorBlueYellow;
    QTest::newRow("otherStyle_textOnWhiteOnly") << 100 << 50 << 7 << Region::Whole << white << bar;
    QTest::newRow("maxZero_emptyBar") << 0 << 50 << 0 << Region::Whole << back << NotXorBlueYellow;
    QTest::newRow("maxNegative_emptyBar")
        << -20 << 50 << 1 << Region::Whole << back << NotXorBlueYellow;
}

void TestProgressBar::colours()
{
    QFETCH(qint32, max);
    QFETCH(qint32, value);
    QFETCH(qint32, style);
    QFETCH(Region, region);
    QFETCH(QRgb, plain);
    QFETCH(QRgb, glyph);

    auto bar = makeBar();
    bar->setBarColor(DarkBlue);
    bar->setBackColor(Yellow);
    bar->setStyle(style);
    bar->setMax(max);
    bar->setValue(value);

    const QImage image = bar->grab().toImage();
    const QMap<QRgb, int> counts = colourCounts(image, regionRect(region, image.size()));
    QVERIFY2(counts.value(plain) > 0, "the plain colour is missing");
    QVERIFY2(counts.value(glyph) > 0, "the text is missing or has the wrong colour");
    QCOMPARE(counts.size(), 2);
}

void TestProgressBar::emptyText_drawsNoGlyph()
{
    auto bar = makeBar();
    bar->setUnit(QString());
    bar->setValue(50);
    const QImage image = bar->grab().toImage();
    const QMap<QRgb, int> left = colourCounts(image, regionRect(Region::Left, image.size()));
    QCOMPARE(left.keys(), QList<QRgb>{qRgb(0, 0, 128)});
}

void TestProgressBar::clamping_data()
{
    QTest::addColumn<qint32>("max");
    QTest::addColumn<qint32>("value");
    QTest::addColumn<qint32>("laterMax");
    QTest::addColumn<qint32>("expected");

    QTest::newRow("negative_becomesZero") << 100 << -5 << 100 << 0;
    QTest::newRow("aboveMax_becomesMax") << 100 << 150 << 100 << 100;
    QTest::newRow("inRange_kept") << 100 << 42 << 100 << 42;
    QTest::newRow("maxLoweredBelowValue_lowersValue") << 100 << 80 << 50 << 50;
    QTest::newRow("maxRaised_keepsValue") << 100 << 80 << 200 << 80;
    QTest::newRow("maxZero_valueZero") << 100 << 80 << 0 << 0;
    QTest::newRow("maxNegative_valueZero") << 100 << 80 << -3 << 0;
}

void TestProgressBar::clamping()
{
    QFETCH(qint32, max);
    QFETCH(qint32, value);
    QFETCH(qint32, laterMax);
    QFETCH(qint32, expected);

    fpProgressBar bar;
    bar.resize(100, 20);
    bar.setMax(max);
    bar.setValue(value);
    bar.setMax(laterMax);
    QCOMPARE(bar.Value(), expected);
}

void TestProgressBar::text_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<qint32>("value");
    QTest::addColumn<bool>("valueShow");
    QTest::addColumn<QString>("unit");
    QTest::addColumn<QString>("expected");

    const QLocale us(QLocale::English, QLocale::UnitedStates);
    const QLocale de(QLocale::German, QLocale::Germany);
    const QString articles = u" Article(s) / 12 Article(s)"_s;
    QTest::newRow("zero_oneDigit") << us << 0 << true << u"%"_s << u"0%"_s;
    QTest::newRow("threeDigits_noSeparator") << us << 999 << true << u"%"_s << u"999%"_s;
    QTest::newRow("fourDigits_oneSeparator") << us << 1000 << true << u"%"_s << u"1,000%"_s;
    QTest::newRow("sevenDigits_twoSeparators")
        << us << 1234567 << true << articles << u"1,234,567"_s + articles;
    QTest::newRow("sevenDigits_localeSeparator")
        << de << 1234567 << true << u"%"_s << u"1.234.567%"_s;
    QTest::newRow("maxInt_grouped") << us << 2147483647 << true << QString() << u"2,147,483,647"_s;
    QTest::newRow("valueShowOff_unitAlone") << us << 3 << false << articles << articles;
}

void TestProgressBar::text()
{
    QFETCH(QLocale, locale);
    QFETCH(qint32, value);
    QFETCH(bool, valueShow);
    QFETCH(QString, unit);
    QFETCH(QString, expected);

    QLocale::setDefault(locale);
    fpProgressBar bar;
    bar.setMax(2147483647);
    bar.setValue(value);
    bar.setValueShow(valueShow);
    bar.setUnit(unit);
    const QString text = bar.barText();
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QCOMPARE(text, expected);
}

void TestProgressBar::storedProperties_roundTrip()
{
    fpProgressBar source;
    source.setBarColor(255);
    source.setBackColor(65280);
    QFont font = source.font();
    font.setPointSize(21);
    font.setBold(true);
    source.setFont(font);
    source.setMax(500);
    source.setStyle(1);
    source.setUnit(u" 件"_s);
    source.setValue(321);
    source.setValueShow(false);

    const fpProgressBar::StoredProperties saved = source.saveProperties();
    QStringList names;
    for (const auto &entry : saved)
        names << entry.first;
    QCOMPARE(names, (QStringList{u"BarColor"_s, u"BackColor"_s, u"Font"_s, u"Max"_s, u"Style"_s,
                                 u"Unit"_s, u"Value"_s, u"ValueShow"_s}));

    fpProgressBar target;
    target.loadProperties(saved, QFont());
    QCOMPARE(target.saveProperties(), saved);
    QCOMPARE(target.Font().pointSize(), 21);
}

void TestProgressBar::storedProperties_loadMissingAndOtherCase()
{
    fpProgressBar bar;
    QFont ambient = bar.font();
    ambient.setPointSize(17);
    // Only two names, in another letter case: Value must survive the Max that precedes it.
    bar.loadProperties({{u"MAX"_s, 40}, {u"value"_s, 30}}, ambient);

    QCOMPARE(bar.Max(), 40);
    QCOMPARE(bar.Value(), 30);
    QCOMPARE(bar.BarColor(), 0);
    QCOMPARE(bar.BackColor(), 0);
    QCOMPARE(bar.Style(), 0);
    QCOMPARE(bar.Unit(), QString());
    QCOMPARE(bar.ValueShow(), false);
    QCOMPARE(bar.Font().pointSize(), 17);
}

void TestProgressBar::events_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("click") << u"click"_s << true
                           << QStringList{u"MouseDown"_s, u"MouseUp"_s, u"Click"_s};
    QTest::newRow("releasedOutside_noClick")
        << u"dragOut"_s << true << QStringList{u"MouseDown"_s, u"MouseMove"_s, u"MouseUp"_s};
    QTest::newRow("doubleClick") << u"doubleClick"_s << true << QStringList{u"DblClick"_s};
    QTest::newRow("key") << u"key"_s << true
                         << QStringList{u"KeyDown"_s, u"KeyPress"_s, u"KeyUp"_s};
    QTest::newRow("keyWithoutCharacter")
        << u"shift"_s << true << QStringList{u"KeyDown"_s, u"KeyUp"_s};
    QTest::newRow("disabled_click") << u"click"_s << false << QStringList{};
    QTest::newRow("disabled_key") << u"key"_s << false << QStringList{};
}

void TestProgressBar::events()
{
    QFETCH(QString, action);
    QFETCH(bool, enabled);
    QFETCH(QStringList, expected);

    QWidget window;
    auto *bar = new fpProgressBar(&window);
    bar->setGeometry(10, 10, 200, 30);
    window.resize(300, 100);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    bar->setFocus();
    bar->setEnabled(enabled);
    QCOMPARE(bar->Enabled(), enabled);

    QStringList raised;
    const auto record = [&raised](const QString &name) {
        return [&raised, name] {
            raised << name;
        };
    };
    connect(bar, &fpProgressBar::Click, this, record(u"Click"_s));
    connect(bar, &fpProgressBar::DblClick, this, record(u"DblClick"_s));
    connect(bar, &fpProgressBar::MouseDown, this, record(u"MouseDown"_s));
    connect(bar, &fpProgressBar::MouseMove, this, record(u"MouseMove"_s));
    connect(bar, &fpProgressBar::MouseUp, this, record(u"MouseUp"_s));
    connect(bar, &fpProgressBar::KeyDown, this, record(u"KeyDown"_s));
    connect(bar, &fpProgressBar::KeyPress, this, record(u"KeyPress"_s));
    connect(bar, &fpProgressBar::KeyUp, this, record(u"KeyUp"_s));

    const QPoint inside(50, 15);
    if (action == u"click"_s) {
        QTest::mouseClick(bar, Qt::LeftButton, {}, inside);
    } else if (action == u"dragOut"_s) {
        QTest::mousePress(bar, Qt::LeftButton, {}, inside);
        QTest::mouseMove(bar, QPoint(250, 80));
        QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(250, 80));
    } else if (action == u"doubleClick"_s) {
        QTest::mouseDClick(bar, Qt::LeftButton, {}, inside);
    } else if (action == u"key"_s) {
        QTest::keyClick(bar, Qt::Key_A);
    } else if (action == u"shift"_s) {
        QTest::keyClick(bar, Qt::Key_Shift);
    }
    // Mouse tracking may add moves; only the order of the others matters.
    if (action != u"dragOut"_s)
        raised.removeAll(u"MouseMove"_s);
    QCOMPARE(raised, expected);
}

QTEST_MAIN(TestProgressBar)
#include "tst_progressbar.moc"
