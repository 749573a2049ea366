#include "ScriptedPrompter.h"
#include "TestFiles.h"
#include "startup/ProgramState.h"
#include "startup/SettingFolder.h"
#include "startup/StartUp.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class tst_StartUp : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void firstStart_data();
    void firstStart();
    void firstStart_promptTexts();
    void secondStart_findsRecord();
    void deletedFolder_asksAgain();
    void folderCannotBeMade_recordedAndNoted();
    void commandLine_reachesLog();
    void loginName_data();
    void loginName();
    void unreadFile_usedAsReadAndKept_data();
    void unreadFile_usedAsReadAndKept();

private:
    QTemporaryDir m_config;
    QTemporaryDir m_program;
    QString m_programFolder;
};

void tst_StartUp::initTestCase()
{
    QVERIFY(m_config.isValid() && m_program.isValid());
    // Before the first QSettings: the record store reads its place once.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
    qputenv("UserName", "kazemi");
}

void tst_StartUp::init()
{
    QVERIFY(WriteSettingFolderRecord(QString()));
    m_programFolder = m_program.filePath(QString::fromLatin1(QTest::currentTestFunction()) +
                                         u"-"_s + QString::fromUtf8(QTest::currentDataTag()));
    QVERIFY(QDir().mkpath(m_programFolder));
}

void tst_StartUp::firstStart_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("folder"); // below the program folder; empty: aborted

    QTest::newRow("login name") << u"kazemi"_s << u"kazemi"_s;
    QTest::newRow("question mark made safe") << u"a?b"_s << u"a？b"_s;
    // Made level by level, so it keeps the trailing "/" the walk adds.
    QTest::newRow("backslash names nested folders") << u"a\\b"_s << u"a/b/"_s;
    QTest::newRow("slash made safe") << u"a/b"_s << u"a／b"_s;
    QTest::newRow("surrounding spaces dropped") << u"  name "_s << u"name"_s;
    QTest::newRow("cannot climb out") << u"..\\..\\x"_s << u"x"_s;
    QTest::newRow("empty aborts") << QString() << QString();
    QTest::newRow("spaces only abort") << u"   "_s << QString();
    QTest::newRow("backslash only aborts") << u"\\"_s << QString();
    QTest::newRow("dots only abort") << u"..\\."_s << QString();
}

void tst_StartUp::firstStart()
{
    QFETCH(QString, answer);
    QFETCH(QString, folder);

    ProgramState state;
    state.programFolder = m_programFolder;
    ScriptedPrompter prompter(answer);
    const StartUpResult result = StartUp(state, prompter, u"/Log"_s);

    QCOMPARE(prompter.textPrompts.size(), 1);
    if (folder.isEmpty()) {
        QVERIFY(!result.started);
        QCOMPARE(prompter.messageTexts(), QStringList{u"中止します。"_s});
        QCOMPARE(prompter.messages.value(0).icon, MessageIcon::Stop);
        QCOMPARE(QDir(m_programFolder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList());
        QCOMPARE(ReadSettingFolderRecord(u"unset"_s), QString());
        return;
    }
    QVERIFY(result.started);
    QVERIFY(prompter.messageTexts().isEmpty());
    QVERIFY2(result.notes.isEmpty(), qPrintable(result.notes.join(u'\n')));
    const QString expected = m_programFolder + u"/"_s + folder;
    QVERIFY(QFileInfo(expected).isDir());
    QCOMPARE(state.SettingFolder, expected);
    QCOMPARE(ReadSettingFolderRecord(QString()), expected);
    QCOMPARE(state.settingIniPath(), QDir::cleanPath(expected) + u"/varnholt.ini"_s);
    QCOMPARE(readFile(m_programFolder + u"/DebugLog.txt"_s), QByteArray("Program Started.\r\n"));
}

void tst_StartUp::firstStart_promptTexts()
{
    ProgramState state;
    state.programFolder = m_programFolder;
    ScriptedPrompter prompter{QString()};
    StartUp(state, prompter, QString());

    QCOMPARE(prompter.textPrompts.size(), 1);
    const ScriptedPrompter::TextPrompt &asked = prompter.textPrompts.first();
    QCOMPARE(asked.prompt, u"　保存に使用するフォルダ名を指定してください。\r\n\r\n例) Kazemi"_s);
    QCOMPARE(asked.title, u"設定保存フォルダ名の指定"_s);
    QCOMPARE(asked.suggested, u"kazemi"_s);
    QCOMPARE(prompter.messages.size(), 1);
    QCOMPARE(prompter.messages.first().title, QString()); // the program's title
}

void tst_StartUp::secondStart_findsRecord()
{
    const QString folder = m_programFolder + u"/kept"_s;
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(WriteSettingFolderRecord(folder));

    ProgramState state;
    state.programFolder = m_programFolder;
    ScriptedPrompter prompter(u"other"_s);
    QVERIFY(StartUp(state, prompter, QString()).started);
    QVERIFY(prompter.textPrompts.isEmpty());
    QCOMPARE(state.SettingFolder, folder);
    QVERIFY(!QFileInfo::exists(m_programFolder + u"/other"_s));
}

void tst_StartUp::deletedFolder_asksAgain()
{
    QVERIFY(WriteSettingFolderRecord(m_programFolder + u"/gone"_s));

    ProgramState state;
    state.programFolder = m_programFolder;
    ScriptedPrompter prompter(u"fresh"_s);
    QVERIFY(StartUp(state, prompter, QString()).started);
    QCOMPARE(prompter.textPrompts.size(), 1);
    QCOMPARE(state.SettingFolder, m_programFolder + u"/fresh"_s);
    QVERIFY(QFileInfo(state.SettingFolder).isDir());
}

void tst_StartUp::folderCannotBeMade_recordedAndNoted()
{
    QFile plain(m_programFolder + u"/plain"_s);
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.close();

    ProgramState state;
    state.programFolder = m_programFolder + u"/plain"_s;
    ScriptedPrompter prompter(u"kazemi"_s);
    const StartUpResult result = StartUp(state, prompter, QString());

    QVERIFY(result.started);
    QCOMPARE(result.notes.size(), 1);
    QVERIFY(result.notes.at(0).contains(m_programFolder + u"/plain/kazemi"_s));
    // Recorded all the same: the next start finds it missing and asks again.
    QCOMPARE(state.SettingFolder, m_programFolder + u"/plain/kazemi/"_s);
    QVERIFY(!SettingFolderExists(ReadSettingFolderRecord(QString())));
}

void tst_StartUp::unreadFile_usedAsReadAndKept_data()
{
    QTest::addColumn<QByteArray>("ini");        // the settings file, as it lies on disk
    QTest::addColumn<bool>("keyWordsReadable"); // false: a folder stands in KeyWord.txt's place
    QTest::addColumn<QString>("unreadFile");    // "", "varnholt.ini" or "KeyWord.txt"
    QTest::addColumn<QString>("saveFileName0"); // what the settings hold after the start

    const QByteArray head = "SaveFileName0 = news\r\nSaveFileName1 = yymmdd\r\n";
    const QByteArray tail = "IgnoreKey = 1\r\nNoCopyINI = 0\r\nOverWrite = 0\r\nYesterday = 0\r\n"
                            "NoKeyWord = 0\r\nCategory = 1,1,1,1,1,1,1,1,1,1,1,1\r\n"
                            "; kept remark\r\n"_ba;
    QTest::newRow("both whole") << head + "SaveFileName2 = x\r\n" + tail << true << QString()
                                << u"news"_s;
    QTest::newRow("line 3 over the limit")
        << head + "SaveFileName2 = " + QByteArray(40000, 'x') + "\r\n" + tail << true
        << u"varnholt.ini"_s << u"news"_s;
    QTest::newRow("keyword file unreadable")
        << head + "SaveFileName2 = x\r\n" + tail << false << u"KeyWord.txt"_s << u"news"_s;
}

void tst_StartUp::unreadFile_usedAsReadAndKept()
{
    QFETCH(QByteArray, ini);
    QFETCH(bool, keyWordsReadable);
    QFETCH(QString, unreadFile);
    QFETCH(QString, saveFileName0);
    const QString folder = m_programFolder + u"/kept"_s;
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(WriteSettingFolderRecord(folder));
    QVERIFY(writeFile(folder + u"/varnholt.ini"_s, ini));
    if (keyWordsReadable)
        QVERIFY(writeFile(folder + u"/KeyWord.txt"_s, "yen\r\n"_ba));
    else
        QVERIFY(QDir().mkpath(folder + u"/KeyWord.txt"_s));

    ProgramState state;
    state.programFolder = m_programFolder;
    ScriptedPrompter prompter;
    const StartUpResult result = StartUp(state, prompter, QString());

    QVERIFY(result.started);
    QCOMPARE(state.settings.SaveFileName[0], saveFileName0);
    if (unreadFile.isEmpty()) {
        QVERIFY2(result.unreadFiles.isEmpty(), qPrintable(result.unreadFiles.join(u'\n')));
        QVERIFY(SaveKeyWordsAndSettings(state).ok);
        return;
    }
    const QString path = folder + u'/' + unreadFile;
    QCOMPARE(result.unreadFiles.size(), 1);
    QVERIFY2(result.unreadFiles.first().startsWith(path + u": "_s),
             qPrintable(result.unreadFiles.first()));
    if (unreadFile == u"varnholt.ini"_s) {
        QVERIFY2(result.unreadFiles.first().contains(u"line 3 "_s),
                 qPrintable(result.unreadFiles.first()));
        // Nothing after the long line was read: the categories stay unticked.
        QCOMPARE(state.settings.Category, (std::array<int, 12>{}));
    }

    // The save writes the other file and leaves this one exactly as it was.
    const FileResult saved = SaveKeyWordsAndSettings(state);
    QVERIFY(!saved.ok);
    QVERIFY2(saved.error.startsWith(path + u": "_s), qPrintable(saved.error + u" | "_s + path));
    QVERIFY2(!saved.error.contains(u"\r\n"_s), qPrintable(saved.error));
    if (unreadFile == u"varnholt.ini"_s) {
        QCOMPARE(readFile(path), ini);
        QCOMPARE(readFile(folder + u"/KeyWord.txt"_s), "yen\r\n"_ba);
    } else {
        QVERIFY(QFileInfo(path).isDir());
        QVERIFY(readFile(folder + u"/varnholt.ini"_s).startsWith("SaveFileName0 = news\r\n"));
    }
}

void tst_StartUp::commandLine_reachesLog()
{
    QVERIFY(WriteSettingFolderRecord(m_programFolder));

    ProgramState state;
    state.programFolder = m_programFolder;
    ScriptedPrompter prompter{QString()};
    QVERIFY(StartUp(state, prompter, u"/autoget /F1news"_s).started);
    QVERIFY(state.runOptions.AutoGet);
    QCOMPARE(state.runOptions.FileNamePart[0], std::optional<QString>(u"news"_s));
    // Without "/Log" the first line goes nowhere.
    QVERIFY(!state.log.enabled());
    QVERIFY(!QFileInfo::exists(m_programFolder + u"/DebugLog.txt"_s));
}

void tst_StartUp::loginName_data()
{
    QTest::addColumn<QByteArray>("userName");
    QTest::addColumn<QByteArray>("user");
    QTest::addColumn<QByteArray>("logName");
    QTest::addColumn<QString>("login");

    QTest::newRow("UserName first")
        << QByteArray("a") << QByteArray("b") << QByteArray("c") << u"a"_s;
    QTest::newRow("then USER") << QByteArray() << QByteArray("b") << QByteArray("c") << u"b"_s;
    QTest::newRow("then LOGNAME") << QByteArray() << QByteArray() << QByteArray("c") << u"c"_s;
    // Asked of the system by another road than the one under test.
    QProcess id;
    id.start(u"id"_s, {u"-un"_s});
    if (!id.waitForFinished(10000) || id.exitCode() != 0)
        QSKIP("id -un does not name the effective user here");
    const QString passwdName = QString::fromLocal8Bit(id.readAllStandardOutput()).trimmed();
    QTest::newRow("none: passwd entry")
        << QByteArray() << QByteArray() << QByteArray() << passwdName;
}

void tst_StartUp::loginName()
{
    QFETCH(QByteArray, userName);
    QFETCH(QByteArray, user);
    QFETCH(QByteArray, logName);
    QFETCH(QString, login);

    const QByteArray saved[] = {qgetenv("UserName"), qgetenv("USER"), qgetenv("LOGNAME")};
    const char *names[] = {"UserName", "USER", "LOGNAME"};
    const QByteArray values[] = {userName, user, logName};
    for (int i = 0; i < 3; ++i) {
        if (values[i].isEmpty())
            qunsetenv(names[i]);
        else
            qputenv(names[i], values[i]);
    }
    const QString found = LoginName();
    for (int i = 0; i < 3; ++i)
        qputenv(names[i], saved[i]);
    QCOMPARE(found, login);
}

QTEST_GUILESS_MAIN(tst_StartUp)
#include "tst_startup.moc"
