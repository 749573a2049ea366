// The desktop session around a real run: the cancel question holds the run until it is
// answered, Yes ends the program with nothing written or saved, and No lets the run finish.
#include "PortalPages.h"
#include "PortalProcess.h"
#include "ScriptedPrompter.h"
#include "TestFiles.h"
#include "engine/CurlLibrary.h"
#include "engine/CurlTransport.h"
#include "engine/HttpTransport.h"
#include "startup/ProgramState.h"
#include "ui/DesktopSession.h"

#include <QApplication>
#include <QDesktopServices>
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
        if (whenAsked)
            whenAsked();
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
    std::function<void()> whenAsked; // as the question opens
    std::function<void()> whileOpen; // just before the answer, with the question still open

private:
    ScriptedPrompter m_script;
};

// Clicks the fetch window's Cancel after the delay, or closes the window as its close box does;
// false until it has been done.
std::shared_ptr<bool> clickCancelAfter(int delayMs, bool closeBox = false)
{
    auto clicked = std::make_shared<bool>(false);
    QTimer::singleShot(delayMs, [clicked, closeBox] {
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (window->objectName() == u"frmFetch"_s && window->isVisible()) {
                if (auto *cancel = window->findChild<QPushButton *>(u"btnCancel"_s)) {
                    *clicked = true;
                    if (closeBox)
                        window->close();
                    else
                        cancel->click();
                }
            }
        }
    });
    return clicked;
}

// The portal's count of the requests it was asked so far.
int requestsSoFar(const QString &base)
{
    const HttpReply stats = MakeCurlTransport()->get(base + u"/portal/stats"_s);
    for (const QByteArray &line : stats.body.split('\n')) {
        if (line.startsWith("requests "))
            return line.mid(9).trimmed().toInt();
    }
    return -1;
}

// Takes the documents the program hands to the desktop, so that no real program opens.
class DocumentCatcher final : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> opened;

public slots:
    void open(const QUrl &url) { opened << url; }
};

// The names of the windows in the order they are shown.
class ShowOrder final : public QObject
{
public:
    QStringList shown;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show && watched->isWidgetType() &&
            static_cast<QWidget *>(watched)->isWindow())
            shown << watched->objectName();
        return false;
    }
};

} // namespace

class tst_DesktopSession : public QObject
{
    Q_OBJECT

private slots:
    void cancelDuringSlowRequest_endsWithoutWritingOrSaving();
    void questionHeldOpen_data();
    void questionHeldOpen();
    void questionDuringListWalk_portalAskedNothingMore_data();
    void questionDuringListWalk_portalAskedNothingMore();
    void settingsSession_debugWindowInFrontF1OpensHelp();

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
    QTest::addColumn<bool>("closeBox");            // the window's close box instead of Cancel
    QTest::addColumn<int>("status");

    // Cancel is pressed while the first article is on its way; the question stays open well
    // past the time the run needs to finish.
    const QStringList last = {u"/fault/delay/1500"_s};
    const QStringList more = {u"/fault/delay/1500"_s, u"/fault/delay/1"_s};
    QTest::newRow("last article, Yes") << last << true << false << false << 1;
    QTest::newRow("last article, No") << last << false << false << false << 0;
    QTest::newRow("more articles, Yes") << more << true << false << false << 1;
    QTest::newRow("more articles, No") << more << false << false << false << 0;
    QTest::newRow("program ends while open") << more << false << true << false << 1;
    QTest::newRow("close box, Yes") << more << true << false << true << 1;
    QTest::newRow("close box, No: the run goes on") << more << false << false << true << 0;
}

void tst_DesktopSession::questionHeldOpen()
{
    QFETCH(QStringList, articles);
    QFETCH(bool, answer);
    QFETCH(bool, endProgramWhileOpen);
    QFETCH(bool, closeBox);
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
    const std::shared_ptr<bool> clicked = clickCancelAfter(500, closeBox);

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

void tst_DesktopSession::questionDuringListWalk_portalAskedNothingMore_data()
{
    QTest::addColumn<int>("connections");
    QTest::addColumn<bool>("closeBox");

    QTest::newRow("one connection, Cancel") << 1 << false;
    QTest::newRow("one connection, close box") << 1 << true;
    // The articles of the pages read so far are asked ahead over the other connections.
    QTest::newRow("four connections, Cancel") << 4 << false;
}

// A list walk without end, a page every 300 ms: while the cancel question is open, the portal
// is asked for nothing more; Yes then ends the run with nothing written or saved.
void tst_DesktopSession::questionDuringListWalk_portalAskedNothingMore()
{
    QFETCH(int, connections);
    QFETCH(bool, closeBox);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(writeFile(dir.filePath(u"root/headlines/dom/index.html"_s),
                      PortalPages::headlinePage({}, u"/fault/slow-list/300/1"_s).toUtf8()));
    PortalProcess portal({u"--root"_s, dir.filePath(u"root"_s)});
    QVERIFY2(portal.failure().isEmpty(), qPrintable(portal.failure()));
    ProgramState state;
    setUpState(state, dir, portal);
    state.settings.Connections = connections;

    HoldingPrompter prompter;
    prompter.holdMs = 2000;
    prompter.answer = true;
    int whenAsked = -1;
    int beforeAnswer = -1;
    prompter.whenAsked = [&] {
        whenAsked = requestsSoFar(portal.baseUrl());
    };
    prompter.whileOpen = [&] {
        beforeAnswer = requestsSoFar(portal.baseUrl());
    };
    DesktopSession session(state, prompter, m_curl);
    const std::shared_ptr<bool> clicked = clickCancelAfter(1000, closeBox);

    const int ended = session.run();

    QVERIFY(*clicked);
    QCOMPARE(ended, 1);
    QCOMPARE(prompter.questionTexts(), QStringList{u"取得を中止しますか？"_s});
    // Well into the walk when asked; at most a request that was on its way still arrived.
    QVERIFY2(whenAsked >= 3, qPrintable(QString::number(whenAsked)));
    QVERIFY2(
        beforeAnswer - whenAsked <= 1,
        qPrintable(u"%1 requests while the question was open"_s.arg(beforeAnswer - whenAsked)));
    QCOMPARE(QDir(dir.filePath(u"out"_s)).entryList(QDir::Files), QStringList());
    QVERIFY(!QFile::exists(state.settingIniPath()));
}

void tst_DesktopSession::settingsSession_debugWindowInFrontF1OpensHelp()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    ProgramState state;
    state.programFolder = dir.path();
    state.SettingFolder = dir.filePath(u"settings"_s);
    QVERIFY(writeFile(dir.filePath(u"VHT.html"_s), "<html></html>"));
    state.log.setOptions(true, false); // "/Debug"
    DocumentCatcher desktop;
    QDesktopServices::setUrlHandler(u"file"_s, &desktop, "open");
    ScriptedPrompter prompter;
    ShowOrder order;
    qApp->installEventFilter(&order);
    DesktopSession session(state, prompter, m_curl);
    // A line of the start-up, before the settings window is shown.
    state.log.write(u"Program Started."_s);

    QTimer::singleShot(500, [&] {
        QWidget *settings = nullptr;
        QWidget *debug = nullptr;
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (window->objectName() == u"frmSetting"_s)
                settings = window;
            if (window->objectName() == u"frmDebug"_s && window->isVisible())
                debug = window;
        }
        if (settings && debug) {
            QTest::keyClick(settings, Qt::Key_F1);
            QTest::keyClick(debug, Qt::Key_F1);
        }
        session.endProgram(0);
    });
    const int status = session.run();
    QDesktopServices::unsetUrlHandler(u"file"_s);

    QCOMPARE(status, 0);
    // The debug window came up after the settings window, so in front of it.
    QCOMPARE(order.shown.filter(u"frm"_s), (QStringList{u"frmSetting"_s, u"frmDebug"_s}));
    const QUrl help = QUrl::fromLocalFile(dir.filePath(u"VHT.html"_s));
    QCOMPARE(desktop.opened, (QList<QUrl>{help, help}));
    QVERIFY(prompter.messages.isEmpty());
}

QTEST_MAIN(tst_DesktopSession)
#include "tst_desktopsession.moc"
