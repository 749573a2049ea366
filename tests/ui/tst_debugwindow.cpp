#include "ui/frmDebug.h"
#include "util/DebugLog.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTest>
#include <QTextBlock>
#include <QThread>

using namespace Qt::StringLiterals;

namespace {

QString logText(const frmDebug *window)
{
    return window->findChild<QPlainTextEdit *>(u"txtLog"_s)->toPlainText();
}

} // namespace

class TestDebugWindow : public QObject
{
    Q_OBJECT

private slots:
    void window_isReadOnlyAndTitled();
    void insertLine_newestOnTop_data();
    void insertLine_newestOnTop();
    void appendLine_stampsTimeOfDay();
    void sink_createsWindowOnFirstLine();
    void sink_afterClose_reopensEmpty();
    void sink_held_opensBesideAndAfterTheSettingsWindow();
    void sink_fromWorkerThread_keepsOrder();
    void debugLog_throughSink_showsStampedLine();
    void manyLines_allKeptInOrder();
};

void TestDebugWindow::window_isReadOnlyAndTitled()
{
    const frmDebug window;
    QCOMPARE(window.windowTitle(), u"Debug Window"_s);
    QVERIFY(window.findChild<QPlainTextEdit *>(u"txtLog"_s)->isReadOnly());
}

void TestDebugWindow::insertLine_newestOnTop_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("expected");

    QTest::newRow("one") << QStringList{u"a"_s} << u"a\n"_s;
    QTest::newRow("three_reversed") << QStringList{u"a"_s, u"b"_s, u"c"_s} << u"c\nb\na\n"_s;
    QTest::newRow("emptyLine_kept") << QStringList{u"a"_s, QString(), u"c"_s} << u"c\n\na\n"_s;
    QTest::newRow("japanese") << QStringList{u"カテゴリ 1 を調べています"_s, u"終了"_s}
                              << u"終了\nカテゴリ 1 を調べています\n"_s;
}

void TestDebugWindow::insertLine_newestOnTop()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, expected);

    frmDebug window;
    for (const QString &line : lines)
        window.insertLine(line);
    QCOMPARE(logText(&window), expected);
}

void TestDebugWindow::appendLine_stampsTimeOfDay()
{
    frmDebug window;
    window.appendLine(u"Program Started."_s);
    static const QRegularExpression stamped(
        u"^\\[\\d\\d:\\d\\d:\\d\\d \\] Program Started\\.\n$"_s);
    QVERIFY2(stamped.match(logText(&window)).hasMatch(), qPrintable(logText(&window)));
}

void TestDebugWindow::sink_createsWindowOnFirstLine()
{
    DebugWindowSink sink;
    QVERIFY(!sink.window());
    sink.showLine(u"first"_s);
    QVERIFY(sink.window());
    QVERIFY(sink.window()->isVisible());
    QVERIFY(!sink.window()->isModal());
    sink.showLine(u"second"_s);
    QCOMPARE(logText(sink.window()), u"second\nfirst\n"_s);
}

void TestDebugWindow::sink_afterClose_reopensEmpty()
{
    DebugWindowSink sink;
    sink.showLine(u"before close"_s);
    QPointer<frmDebug> first = sink.window();
    QVERIFY(first->close());
    QTRY_VERIFY(!first); // deleted on close

    sink.showLine(u"after close"_s);
    QVERIFY(sink.window());
    QVERIFY(sink.window()->isVisible());
    QCOMPARE(logText(sink.window()), u"after close\n"_s);
}

// Notes the order in which windows are shown.
class ShowOrder final : public QObject
{
public:
    QList<QObject *> shown;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show && watched->isWidgetType() &&
            static_cast<QWidget *>(watched)->isWindow())
            shown << watched;
        return false;
    }
};

void TestDebugWindow::sink_held_opensBesideAndAfterTheSettingsWindow()
{
    ShowOrder order;
    qApp->installEventFilter(&order);
    DebugWindowSink sink;
    sink.hold();
    // The start-up's first lines arrive before the settings window is shown.
    sink.showLine(u"Program Started."_s);
    QVERIFY(sink.window());
    QVERIFY(!sink.window()->isVisible());

    // Room on its right for the debug window on the offscreen screen (800 x 600).
    QWidget settings;
    settings.resize(200, 150);
    settings.move(0, 40);
    settings.show();
    QVERIFY(QTest::qWaitForWindowExposed(&settings));
    sink.release(&settings);

    frmDebug *debug = sink.window();
    QVERIFY(debug->isVisible());
    QCOMPARE(logText(debug), u"Program Started.\n"_s);
    // Shown after the settings window, so in front of it, and beside it rather than over it.
    QCOMPARE(order.shown, (QList<QObject *>{&settings, debug}));
    QCOMPARE(debug->frameGeometry().topLeft(), settings.frameGeometry().topRight() + QPoint(1, 0));
    QVERIFY(!debug->frameGeometry().intersects(settings.frameGeometry()));

    // Closed and opened again by a later line: beside the settings window again.
    QVERIFY(debug->close());
    QTRY_VERIFY(!sink.window());
    sink.showLine(u"later"_s);
    QCOMPARE(sink.window()->frameGeometry().topLeft(),
             settings.frameGeometry().topRight() + QPoint(1, 0));
}

void TestDebugWindow::sink_fromWorkerThread_keepsOrder()
{
    DebugWindowSink sink;
    const DebugLog::WindowSink toWindow = sink.sink();
    std::unique_ptr<QThread> worker(QThread::create([toWindow] {
        for (int i = 1; i <= 50; ++i)
            toWindow(QString::number(i));
    }));
    worker->start();
    QVERIFY(worker->wait(10000));

    QTRY_VERIFY(sink.window());
    QString expected;
    for (int i = 50; i >= 1; --i)
        expected += QString::number(i) + u'\n';
    QTRY_COMPARE(logText(sink.window()), expected);
}

void TestDebugWindow::debugLog_throughSink_showsStampedLine()
{
    DebugWindowSink sink;
    DebugLog log;
    log.setOptions(true, false);
    log.setWindowSink(sink.sink());
    log.write(u"カテゴリを取得"_s);
    log.write(u"done"_s);
    log.setWindowSink({});

    QVERIFY(sink.window());
    static const QRegularExpression stamped(
        u"^\\[\\d\\d:\\d\\d:\\d\\d \\] done\n\\[\\d\\d:\\d\\d:\\d\\d \\] カテゴリを取得\n$"_s);
    QVERIFY2(stamped.match(logText(sink.window())).hasMatch(), qPrintable(logText(sink.window())));
}

void TestDebugWindow::manyLines_allKeptInOrder()
{
    frmDebug window;
    window.show();
    for (int i = 1; i <= 5000; ++i)
        window.insertLine(u"line "_s + QString::number(i));

    const QPlainTextEdit *text = window.findChild<QPlainTextEdit *>(u"txtLog"_s);
    QCOMPARE(text->blockCount(), 5001); // each line ends with a break
    QCOMPARE(text->document()->firstBlock().text(), u"line 5000"_s);
    QCOMPARE(text->document()->findBlockByNumber(4999).text(), u"line 1"_s);
}

QTEST_MAIN(TestDebugWindow)
#include "tst_debugwindow.moc"
