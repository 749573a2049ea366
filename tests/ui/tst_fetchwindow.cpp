#include "ScriptedPrompter.h"
#include "ui/fpProgressBar.h"
#include "ui/frmFetch.h"
#include "util/Version.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include <atomic>
#include <memory>

using namespace Qt::StringLiterals;

class TestFetchWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void load_showsDesignState_data();
    void load_showsDesignState();
    void cancel_data();
    void cancel();
    void questionOpen_runWaitsBeforeAskingMore_data();
    void questionOpen_runWaitsBeforeAskingMore();
    void settersFromWorkerThread_neverWaitForTheWindow();
    void letEventsThrough_onWindowThread_deliversPendingClicks();
    void cancelOnceWritingBegan_isNotAsked();
};

void TestFetchWindow::load_showsDesignState_data()
{
    QTest::addColumn<QString>("object");
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<QVariant>("expected");

    QTest::newRow("caption") << u"frmFetch"_s << QByteArray("windowTitle")
                             << QVariant(ProgramTitle());
    QTest::newRow("info") << u"lblInfo"_s << QByteArray("text")
                          << QVariant(u"記事を受信中です... (全 0 記事中、0 記事目を取得)"_s);
    QTest::newRow("cancelButton") << u"btnCancel"_s << QByteArray("text")
                                  << QVariant(u"キャンセル(&C)"_s);
    QTest::newRow("barColor") << u"fpProgressBar"_s << QByteArray("BarColor")
                              << QVariant(qint32(8388608));
    QTest::newRow("backColor") << u"fpProgressBar"_s << QByteArray("BackColor")
                               << QVariant(qint32(16777215));
    QTest::newRow("max") << u"fpProgressBar"_s << QByteArray("Max") << QVariant(qint32(100));
    QTest::newRow("style") << u"fpProgressBar"_s << QByteArray("Style") << QVariant(qint32(0));
    QTest::newRow("unit_twoSpaces")
        << u"fpProgressBar"_s << QByteArray("Unit") << QVariant(u" Article(s) / 0  Article(s)"_s);
    QTest::newRow("value") << u"fpProgressBar"_s << QByteArray("Value") << QVariant(qint32(0));
    QTest::newRow("valueShow") << u"fpProgressBar"_s << QByteArray("ValueShow") << QVariant(true);
}

void TestFetchWindow::load_showsDesignState()
{
    QFETCH(QString, object);
    QFETCH(QByteArray, property);
    QFETCH(QVariant, expected);

    ScriptedPrompter prompter;
    frmFetch window(prompter);
    QObject *target = object == window.objectName() ? &window : window.findChild<QObject *>(object);
    QVERIFY2(target, qPrintable(object));
    QCOMPARE(target->property(property.constData()), expected);
}

void TestFetchWindow::cancel_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("answer");

    for (const QString &how : {u"button"_s, u"escape"_s, u"close box"_s}) {
        QTest::addRow("%s, Yes: stops", qPrintable(how)) << how << true;
        QTest::addRow("%s, No: goes on", qPrintable(how)) << how << false;
    }
}

// Every way out of the window asks the same question and has the same result.
void TestFetchWindow::cancel()
{
    QFETCH(QString, how);
    QFETCH(bool, answer);

    ScriptedPrompter prompter;
    prompter.answers = {answer};
    frmFetch window(prompter);
    QSignalSpy confirmed(&window, &frmFetch::cancelConfirmed);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));

    if (how == u"escape"_s)
        QTest::keyClick(&window, Qt::Key_Escape);
    else if (how == u"button"_s)
        QTest::mouseClick(window.findChild<QPushButton *>(u"btnCancel"_s), Qt::LeftButton);
    else
        QVERIFY(!window.close()); // the window stays until the answer is Yes

    QTRY_COMPARE(prompter.questions.size(), 1);
    QCOMPARE(prompter.questions.first().text, u"取得を中止しますか？"_s);
    QCOMPARE(prompter.questions.first().icon, MessageIcon::Question);
    QCOMPARE(prompter.questions.first().title, QString());
    QCOMPARE(window.isVisible(), !answer);
    QCOMPARE(window.letEventsThrough(), !answer);
    QCOMPARE(window.mayGoOn(), !answer);
    QCOMPARE(confirmed.size(), answer ? 1 : 0);
}

void TestFetchWindow::questionOpen_runWaitsBeforeAskingMore_data()
{
    QTest::addColumn<bool>("answer");
    QTest::newRow("Yes: the run stops") << true;
    QTest::newRow("No: the run goes on") << false;
}

void TestFetchWindow::questionOpen_runWaitsBeforeAskingMore()
{
    QFETCH(bool, answer);

    // While the question is open, the run's thread reaches its next request.
    class AskingPrompter final : public Prompter
    {
    public:
        bool askYesNo(const QString &, MessageIcon, const QString &) override
        {
            run.reset(QThread::create([this] { goesOn = window->mayGoOn(); }));
            run->start();
            answeredWhileOpen = run->wait(300);
            return answer;
        }
        void tell(const QString &, MessageIcon, const QString &) override {}
        QString askText(const QString &, const QString &, const QString &) override { return {}; }

        frmFetch *window = nullptr;
        bool answer = false;
        std::unique_ptr<QThread> run;
        bool answeredWhileOpen = true;
        std::atomic<bool> goesOn{false};
    } prompter;
    prompter.answer = answer;
    frmFetch window(prompter);
    prompter.window = &window;
    QSignalSpy open(&window, &frmFetch::cancelQuestionOpen);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    window.findChild<QPushButton *>(u"btnCancel"_s)->click();
    QVERIFY(prompter.run->wait(10000));

    QVERIFY(!prompter.answeredWhileOpen);
    QCOMPARE(bool(prompter.goesOn), !answer);
    // A transport asking ahead holds while the question is open, and takes up again after No.
    QList<bool> states;
    for (const QList<QVariant> &signal : std::as_const(open))
        states << signal.first().toBool();
    QCOMPARE(states, answer ? QList<bool>{true} : (QList<bool>{true, false}));
}

void TestFetchWindow::settersFromWorkerThread_neverWaitForTheWindow()
{
    ScriptedPrompter prompter;
    frmFetch window(prompter);
    window.show();

    // The window's thread blocks in wait() meanwhile: a setter that waited for it would hang.
    std::unique_ptr<QThread> worker(QThread::create([&window] {
        window.setInfo(u"記事を受信しています。"_s);
        window.setCaption(u"3 / 12"_s);
        window.setUnit(u" Article(s) / 12 Article(s)"_s);
        window.setMax(12);
        window.setValue(3);
        window.setValue(99);
    }));
    worker->start();
    QVERIFY(worker->wait(10000));

    const fpProgressBar *bar = window.progressBar();
    QTRY_COMPARE(bar->Value(), 12);
    QCOMPARE(bar->Max(), 12);
    QCOMPARE(bar->barText(), u"12 Article(s) / 12 Article(s)"_s);
    QCOMPARE(window.findChild<QLabel *>(u"lblInfo"_s)->text(), u"記事を受信しています。"_s);
    QCOMPARE(window.windowTitle(), u"3 / 12"_s);
}

void TestFetchWindow::letEventsThrough_onWindowThread_deliversPendingClicks()
{
    ScriptedPrompter prompter;
    prompter.answers = {true};
    frmFetch window(prompter);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    // A run on the window's own thread sees a click queued before its next article.
    QMetaObject::invokeMethod(window.findChild<QPushButton *>(u"btnCancel"_s), "click",
                              Qt::QueuedConnection);
    QVERIFY(!window.letEventsThrough());
    QCOMPARE(prompter.questions.size(), 1);
}

void TestFetchWindow::cancelOnceWritingBegan_isNotAsked()
{
    ScriptedPrompter prompter;
    prompter.answers = {true};
    frmFetch window(prompter);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    // The run's last check before it writes: from here it writes and saves all or nothing.
    QVERIFY(!window.cancelled());
    auto *cancel = window.findChild<QPushButton *>(u"btnCancel"_s);
    QTRY_VERIFY(!cancel->isEnabled());
    QTest::keyClick(&window, Qt::Key_Escape);
    cancel->click();

    QCOMPARE(prompter.questions.size(), 0);
    QVERIFY(!window.cancelled());
}

QTEST_MAIN(TestFetchWindow)
#include "tst_fetchwindow.moc"
