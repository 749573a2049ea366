// The desktop session around a real run: a person who cancels while the run waits on a slow
// server ends the program at once, and nothing is written or saved.
#include "PortalProcess.h"
#include "ScriptedPrompter.h"
#include "TestFiles.h"
#include "engine/CurlTransport.h"
#include "startup/ProgramState.h"
#include "ui/DesktopSession.h"

#include <QApplication>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

class tst_DesktopSession : public QObject
{
    Q_OBJECT

private slots:
    void cancelDuringSlowRequest_endsWithoutWritingOrSaving();

private:
    CurlGlobal m_curl;
};

void tst_DesktopSession::cancelDuringSlowRequest_endsWithoutWritingOrSaving()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // One headline whose article the server answers only after half a minute.
    QVERIFY(writeFile(dir.filePath(u"root/headlines/dom/index.html"_s),
                      "<!-- GEN_HEADLINES -->\n<ul>\n"
                      "<li><a href=/fault/delay/30000>\xe9\x81\x85\xe3\x81\x84</a></li>\n</ul>\n"));
    PortalProcess portal({u"--root"_s, dir.filePath(u"root"_s)});
    QVERIFY2(portal.failure().isEmpty(), qPrintable(portal.failure()));

    ProgramState state;
    state.programFolder = dir.path();
    state.SettingFolder = dir.filePath(u"settings"_s);
    QVERIFY(QDir().mkpath(state.SettingFolder));
    state.SettingIni.SetiniFilename(state.settingIniPath());
    state.settings.SaveFolder = dir.filePath(u"out"_s);
    state.settings.Category[0] = 1;
    state.settings.IgnoreKey = 2;
    state.settings.Yesterday = 0;
    state.BaseURL = portal.baseUrl();
    state.runOptions.AutoGet = true;

    ScriptedPrompter prompter;
    prompter.answers = {true}; // "取得を中止しますか？" Yes
    DesktopSession session(state, prompter);
    bool clicked = false;
    // Cancel once the run is inside the slow request.
    QTimer::singleShot(800, [&clicked] {
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (window->objectName() == u"frmFetch"_s && window->isVisible()) {
                if (auto *cancel = window->findChild<QPushButton *>(u"btnCancel"_s)) {
                    cancel->click();
                    clicked = true;
                }
            }
        }
    });

    const int status = session.run();

    QVERIFY(clicked);
    QCOMPARE(status, 1);
    QCOMPARE(prompter.questions.size(), 1);
    QVERIFY(QDir(dir.filePath(u"out"_s)).isEmpty());
    QVERIFY(!QFile::exists(state.settingIniPath()));
    QVERIFY(!QFile::exists(state.keyWordFilePath()));
}

QTEST_MAIN(tst_DesktopSession)
#include "tst_desktopsession.moc"
