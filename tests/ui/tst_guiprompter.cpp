#include "ui/FetchWorker.h"
#include "ui/GuiPrompter.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <functional>
#include <future>

using namespace Qt::StringLiterals;

namespace {

// What a box looked like when it came up.
struct SeenBox
{
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    QStringList captions; // of the buttons shown, Yes/No/OK order
};

// Waits (through the event loop) for the next modal dialog and hands it to answer.
void whenDialogShows(std::function<void(QDialog *)> answer)
{
    QTimer::singleShot(0, qApp, [answer] {
        if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
            answer(dialog);
        else
            whenDialogShows(answer);
    });
}

void answerBox(SeenBox &seen, QMessageBox::StandardButton press)
{
    whenDialogShows([&seen, press](QDialog *dialog) {
        auto *box = qobject_cast<QMessageBox *>(dialog);
        QVERIFY(box);
        seen = {box->windowTitle(),
                box->text(),
                box->icon(),
                box->standardButtons(),
                box->defaultButton() ? box->standardButton(box->defaultButton())
                                     : QMessageBox::NoButton,
                {}};
        for (const auto button : {QMessageBox::Yes, QMessageBox::No, QMessageBox::Ok}) {
            if (box->button(button))
                seen.captions << box->button(button)->text();
        }
        box->button(press)->click();
    });
}

} // namespace

class tst_GuiPrompter : public QObject
{
    Q_OBJECT

private slots:
    void askYesNo_showsQuestion_data();
    void askYesNo_showsQuestion();
    void tell_showsOkBox();
    void askText_firstStartPrompt_data();
    void askText_firstStartPrompt();
    void fromRunThread_waitsForAnswer_data();
    void fromRunThread_waitsForAnswer();
    void fetchWorker_runsOffWindowThreadAndReportsStatus();
};

void tst_GuiPrompter::askYesNo_showsQuestion_data()
{
    QTest::addColumn<int>("icon");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("press");
    QTest::addColumn<int>("expectedIcon");
    QTest::addColumn<QString>("expectedTitle");
    QTest::addColumn<bool>("answer");

    QTest::newRow("question, program title, yes")
        << int(MessageIcon::Question) << QString() << int(QMessageBox::Yes)
        << int(QMessageBox::Question) << u"Varnholt"_s << true;
    QTest::newRow("stop icon, no") << int(MessageIcon::Stop) << QString() << int(QMessageBox::No)
                                   << int(QMessageBox::Critical) << u"Varnholt"_s << false;
    QTest::newRow("warning") << int(MessageIcon::Exclamation) << QString() << int(QMessageBox::Yes)
                             << int(QMessageBox::Warning) << u"Varnholt"_s << true;
    QTest::newRow("own title, information")
        << int(MessageIcon::Information) << u"寄付についての説明"_s << int(QMessageBox::No)
        << int(QMessageBox::Information) << u"寄付についての説明"_s << false;
}

void tst_GuiPrompter::askYesNo_showsQuestion()
{
    QFETCH(int, icon);
    QFETCH(QString, title);
    QFETCH(int, press);
    QFETCH(int, expectedIcon);
    QFETCH(QString, expectedTitle);
    QFETCH(bool, answer);

    GuiPrompter prompter;
    SeenBox seen;
    answerBox(seen, QMessageBox::StandardButton(press));
    QCOMPARE(prompter.askYesNo(u"続けますか？"_s, MessageIcon(icon), title), answer);
    QCOMPARE(seen.title, expectedTitle);
    QCOMPARE(seen.text, u"続けますか？"_s);
    QCOMPARE(int(seen.icon), expectedIcon);
    QCOMPARE(seen.buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(seen.captions, (QStringList{u"はい(&Y)"_s, u"いいえ(&N)"_s}));
    QCOMPARE(seen.defaultButton, QMessageBox::Yes);
}

void tst_GuiPrompter::tell_showsOkBox()
{
    GuiPrompter prompter;
    SeenBox seen;
    answerBox(seen, QMessageBox::Ok);
    prompter.tell(u"中止します。"_s, MessageIcon::Stop);
    QCOMPARE(seen.title, u"Varnholt"_s);
    QCOMPARE(seen.text, u"中止します。"_s);
    QCOMPARE(seen.icon, QMessageBox::Critical);
    QCOMPARE(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(seen.captions, QStringList{u"OK"_s});
}

void tst_GuiPrompter::askText_firstStartPrompt_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("accept");
    QTest::addColumn<QString>("expected");
    QTest::newRow("suggestion taken") << QString() << true << u"kazemi"_s;
    QTest::newRow("own name") << u"clip"_s << true << u"clip"_s;
    QTest::newRow("cancel gives empty") << u"clip"_s << false << QString();
}

void tst_GuiPrompter::askText_firstStartPrompt()
{
    QFETCH(QString, typed);
    QFETCH(bool, accept);
    QFETCH(QString, expected);

    const QString prompt = u"　保存に使用するフォルダ名を指定してください。\r\n\r\n例) Kazemi"_s;
    GuiPrompter prompter;
    QString seenTitle;
    QString seenLabel;
    QString seenValue;
    whenDialogShows([&](QDialog *dialog) {
        auto *input = qobject_cast<QInputDialog *>(dialog);
        QVERIFY(input);
        seenTitle = input->windowTitle();
        seenLabel = input->labelText();
        seenValue = input->textValue();
        const auto *buttons = input->findChild<QDialogButtonBox *>();
        QVERIFY(buttons);
        QCOMPARE(buttons->button(QDialogButtonBox::Cancel)->text(), u"キャンセル"_s);
        if (!typed.isEmpty())
            input->setTextValue(typed);
        if (accept)
            input->accept();
        else
            input->reject();
    });
    QCOMPARE(prompter.askText(prompt, u"設定保存フォルダ名の指定"_s, u"kazemi"_s), expected);
    QCOMPARE(seenTitle, u"設定保存フォルダ名の指定"_s);
    QCOMPARE(seenLabel, prompt);
    QCOMPARE(seenValue, u"kazemi"_s);
}

void tst_GuiPrompter::fromRunThread_waitsForAnswer_data()
{
    QTest::addColumn<int>("press");
    QTest::addColumn<bool>("answer");
    QTest::newRow("yes") << int(QMessageBox::Yes) << true;
    QTest::newRow("no") << int(QMessageBox::No) << false;
}

void tst_GuiPrompter::fromRunThread_waitsForAnswer()
{
    QFETCH(int, press);
    QFETCH(bool, answer);

    GuiPrompter prompter;
    std::promise<bool> asked;
    std::future<bool> result = asked.get_future();
    std::unique_ptr<QThread> run(QThread::create(
        [&] { asked.set_value(prompter.askYesNo(u"再試行しますか？"_s, MessageIcon::Question)); }));

    SeenBox seen;
    QThread *boxThread = nullptr;
    whenDialogShows([&](QDialog *dialog) {
        boxThread = dialog->thread();
        auto *box = qobject_cast<QMessageBox *>(dialog);
        QVERIFY(box);
        seen.text = box->text();
        // The run is still waiting while the box is open.
        QVERIFY(result.wait_for(std::chrono::seconds(0)) != std::future_status::ready);
        box->button(QMessageBox::StandardButton(press))->click();
    });
    run->start();
    QTRY_VERIFY(result.wait_for(std::chrono::seconds(0)) == std::future_status::ready);
    QCOMPARE(result.get(), answer);
    QVERIFY(run->wait());
    QCOMPARE(seen.text, u"再試行しますか？"_s);
    QCOMPARE(boxThread, QThread::currentThread());
}

void tst_GuiPrompter::fetchWorker_runsOffWindowThreadAndReportsStatus()
{
    GuiPrompter prompter;
    QThread *jobThread = nullptr;
    FetchWorker worker([&] {
        jobThread = QThread::currentThread();
        // A run's question on the way: answered on the window thread while the job waits.
        return prompter.askYesNo(u"保存しますか？"_s, MessageIcon::Question) ? 0 : 1;
    });
    QThread *reportThread = nullptr;
    int status = -1;
    connect(&worker, &FetchWorker::finished, this, [&](int finished) {
        reportThread = QThread::currentThread();
        status = finished;
    });
    SeenBox seen;
    answerBox(seen, QMessageBox::No);

    worker.start();
    QTRY_COMPARE(status, 1);
    QCOMPARE(seen.text, u"保存しますか？"_s);
    QVERIFY(jobThread != QThread::currentThread());
    QCOMPARE(reportThread, QThread::currentThread());
}

QTEST_MAIN(tst_GuiPrompter)
#include "tst_guiprompter.moc"
