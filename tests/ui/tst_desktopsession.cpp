// The desktop session around a real run: the cancel question holds the run until it is
// answered, Yes ends the program with nothing written or saved, and No lets the run finish.
#include "PortalPages.h"
#include "PortalProcess.h"
#include "ScriptedPrompter.h"
#include "TestFiles.h"
#include "engine/CurlLibrary.h"
#include "startup/ProgramState.h"
#include "ui/DesktopSession.h"

#include <QApplication>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

// Keeps the cancel question open for a while, as a person who has not decided yet would, and
// notes what the run had done by the time the answer is given.
class HoldingPrompter final : public Prompter
{
public:
    bool askYesNo(const QString &text, MessageIcon icon, const QString &title) override
    {
        m_script.askYesNo(text, icon, title);
        QTest::qWait(holdMs);
        if (whileOpen)
            whileOpen();
        return answer;
    }
    void tell(const QString &text, MessageIcon icon, const QString &title) override
    {
        m_script.tell(text, icon, title);
    }
    QString askText(const QString &prompt, const QString &title, const QString &suggested) override
    {
        return m_script.askText(prompt, title, suggested);
    }

    QStringList questionTexts() const { return m_script.questionTexts(); }
    QStringList messageTexts() const { return m_script.messageTexts(); }

    int holdMs = 0;
    bool answer = false;
    std::function<void()> whileOpen; // just before the answer, with the question still open

private:
    ScriptedPrompter m_script;
};

// Clicks the fetch window's Cancel after the delay; false until it has been clicked.
std::shared_ptr<bool> clickCancelAfter(int delayMs)
{
    auto clicked = std::make_shared<bool>(false);
    QTimer::singleShot(delayMs, [clicked] {
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (window->objectName() == u"frmFetch"_s && window->isVisible()) {
                if (auto *cancel = window->findChild<QPushButton *>(u"btnCancel"_s)) {
                    *clicked = true;
                    cancel->click();
                }
            }
        }
    });
    return clicked;
}

} // namespace

class tst_DesktopSession : public QObject
{
    Q_OBJECT

private slots:
    void cancelDuringSlowRequest_endsWithoutWritingOrSaving();
    void questionHeldOpen_data();
    void questionHeldOpen();

private:
    // One headline per article path, every one collected; the run's output goes to "out".
    bool prepare(const QTemporaryDir &dir, const QStringList &articles);
    void setUpState(ProgramState &state, const QTemporaryDir &dir, const PortalProcess &portal);

    CurlLibrary m_curl;
};

bool tst_DesktopSession::prepare(const QTemporaryDir &dir, const QStringList &articles)
{
    QList<PortalPages::Headline> headlines;
    for (const QString &article : articles)
        headlines.append({article, u"記事"_s});
    return writeFile(dir.filePath(u"root/headlines/dom/index.html"_s),
                     PortalPages::headlinePage(headlines).toUtf8());
}

void tst_DesktopSession::setUpState(ProgramState &state, const QTemporaryDir &dir,
                                    const PortalProcess &portal)
{
    state.programFolder = dir.path();
    state.SettingFolder = dir.filePath(u"settings"_s);
    QVERIFY(QDir().mkpath(state.SettingFolder));
    state.SettingIni.SetiniFilename(state.settingIniPath());
    state.settings.SaveFolder = dir.filePath(u"out"_s);
    QVERIFY(QDir().mkpath(state.settings.SaveFolder));
    state.settings.Category[0] = 1;
    state.settings.IgnoreKey = 2;
    state.settings.Yesterday = 0;
    state.settings.NoCopyINI = 1;
    state.BaseURL = portal.baseUrl();
    state.runOptions.AutoGet = true;
}

void tst_DesktopSession::cancelDuringSlowRequest_endsWithoutWritingOrSaving()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // One headline whose article the server answers only after half a minute.
    QVERIFY(prepare(dir, {u"/fault/delay/30000"_s}));
    PortalProcess portal({u"--root"_s, dir.filePath(u"root"_s)});
    QVERIFY2(portal.failure().isEmpty(), qPrintable(portal.failure()));
    ProgramState state;
    setUpState(state, dir, portal);

    ScriptedPrompter prompter;
    prompter.answers = {true}; // "取得を中止しますか？" Yes
    DesktopSession session(state, prompter, m_curl);
    const std::shared_ptr<bool> clicked = clickCancelAfter(800);

    const int status = session.run();

    QVERIFY(*clicked);
    QCOMPARE(status, 1);
    QCOMPARE(prompter.questions.size(), 1);
    QVERIFY(QDir(dir.filePath(u"out"_s)).isEmpty());
    QVERIFY(!QFile::exists(state.settingIniPath()));
    QVERIFY(!QFile::exists(state.keyWordFilePath()));
}

void tst_DesktopSession::questionHeldOpen_data()
{
    QTest::addColumn<QStringList>("articles");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<bool>("endProgramWhileOpen"); // as a signal to end the program would
    QTest::addColumn<int>("status");

    // Cancel is pressed while the first article is on its way; the question stays open well
    // past the time the run needs to finish.
    const QStringList last = {u"/fault/delay/1500"_s};
    const QStringList more = {u"/fault/delay/1500"_s, u"/fault/delay/1"_s};
    QTest::newRow("last article, Yes") << last << true << false << 1;
    QTest::newRow("last article, No") << last << false << false << 0;
    QTest::newRow("more articles, Yes") << more << true << false << 1;
    QTest::newRow("more articles, No") << more << false << false << 0;
    QTest::newRow("program ends while open") << more << false << true << 1;
}

void tst_DesktopSession::questionHeldOpen()
{
    QFETCH(QStringList, articles);
    QFETCH(bool, answer);
    QFETCH(bool, endProgramWhileOpen);
    QFETCH(int, status);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(prepare(dir, articles));
    const QString requests = dir.filePath(u"requests.log"_s);
    PortalProcess portal({u"--root"_s, dir.filePath(u"root"_s), u"--log"_s, requests});
    QVERIFY2(portal.failure().isEmpty(), qPrintable(portal.failure()));
    ProgramState state;
    setUpState(state, dir, portal);
    // One page at a time: with more connections the later article is asked ahead, before the
    // question, and a request would no longer show that the run went on.
    state.settings.Connections = 1;
    const QString out = dir.filePath(u"out"_s);

    HoldingPrompter prompter;
    prompter.holdMs = 3000;
    prompter.answer = answer;
    bool writtenWhileOpen = true;
    bool laterArticleWhileOpen = true;
    DesktopSession session(state, prompter, m_curl);
    prompter.whileOpen = [&] {
        writtenWhileOpen = !QDir(out).isEmpty() || QFile::exists(state.settingIniPath());
        laterArticleWhileOpen = readFile(requests).contains("GET /fault/delay/1\n");
        if (endProgramWhileOpen)
            session.endProgram(1);
    };
    const std::shared_ptr<bool> clicked = clickCancelAfter(500);

    const int ended = session.run();
    QVERIFY2(ended == status, qPrintable(prompter.messageTexts().join(u'\n')));

    QVERIFY(*clicked);
    QCOMPARE(prompter.questionTexts(), QStringList{u"取得を中止しますか？"_s});
    QVERIFY(!writtenWhileOpen);
    QVERIFY(!laterArticleWhileOpen);
    const QStringList written = QDir(out).entryList(QDir::Files);
    if (status == 0) {
        QCOMPARE(written.size(), 1);
        QCOMPARE(readFile(QDir(out).filePath(written.first())).count("/fault/delay/"),
                 articles.size());
        QVERIFY(QFile::exists(state.settingIniPath()));
    } else {
        QCOMPARE(written, QStringList());
        QVERIFY(!QFile::exists(state.settingIniPath()));
        QVERIFY(!QFile::exists(state.keyWordFilePath()));
    }
}

QTEST_MAIN(tst_DesktopSession)
#include "tst_desktopsession.moc"
