#include "ui/frmDebug.h"
#include "util/DebugLog.h"

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
