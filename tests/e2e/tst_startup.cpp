#include "ChildProcess.h"
#include "TestFiles.h"
#include "util/Version.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

// Runs the built program the way a scheduler would: no display, a private settings store and
// program folder, the login name from USER.
class tst_StartUpEndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void firstStart_createsFolderFromLoginName();
    void secondStart_findsRecord();
    void deletedFolder_asksAgain();
    void noLoginNameInEnvironment_takesPasswdEntry();
    void installedCopy_keepsFilesInUserDataFolder();
    void informationSwitches_data();
    void informationSwitches();
    void libraries_loadedWhenFirstNeeded_data();
    void libraries_loadedWhenFirstNeeded();

private:
    ChildRun run(const QStringList &arguments, const QString &user = u"kazemi"_s);
    QString home(const QString &name = {}) const;

    std::unique_ptr<QTemporaryDir> m_root;
};

void tst_StartUpEndToEnd::init()
{
    m_root = std::make_unique<QTemporaryDir>();
    QVERIFY(m_root->isValid());
    QVERIFY(QDir(m_root->path()).mkpath(u"home"_s));
}

QString tst_StartUpEndToEnd::home(const QString &name) const
{
    return name.isEmpty() ? m_root->filePath(u"home"_s) : m_root->filePath(u"home/"_s + name);
}

ChildRun tst_StartUpEndToEnd::run(const QStringList &arguments, const QString &user)
{
    return runToEnd(QStringLiteral(VARNHOLT_BINARY), arguments,
                    headlessEnvironment(m_root->path(), user));
}

void tst_StartUpEndToEnd::firstStart_createsFolderFromLoginName()
{
    const ChildRun first = run({u"/Log"_s});

    QCOMPARE(first.exitCode, 2);
    QVERIFY2(first.errors.contains(u"\"/AutoGet\""_s), qPrintable(first.errors));
    QVERIFY2(first.errors.contains(u"保存に使用するフォルダ名"_s), qPrintable(first.errors));
    QVERIFY(QFileInfo(home(u"kazemi"_s)).isDir());
    const QByteArray record =
        readFile(m_root->filePath(u"config/Kestrane SoftWares/Varnholt.conf"_s));
    QVERIFY2(record.contains("[Varnholt]"), record.constData());
    QVERIFY2(record.contains(QByteArray("SettingFolder=" + QFile::encodeName(home(u"kazemi"_s)))),
             record.constData());
    QCOMPARE(readFile(home(u"DebugLog.txt"_s)), QByteArray("Program Started.\r\n"));
}

void tst_StartUpEndToEnd::secondStart_findsRecord()
{
    QCOMPARE(run({u"/Log"_s}).exitCode, 2);
    const ChildRun second = run({u"/LOG"_s}, u"other"_s);

    QCOMPARE(second.exitCode, 2);
    QVERIFY2(!second.errors.contains(u"保存に使用するフォルダ名"_s), qPrintable(second.errors));
    QVERIFY(!QFileInfo::exists(home(u"other"_s)));
    QCOMPARE(readFile(home(u"DebugLog.txt"_s)),
             QByteArray("Program Started.\r\nProgram Started.\r\n"));
}

void tst_StartUpEndToEnd::deletedFolder_asksAgain()
{
    QCOMPARE(run({}).exitCode, 2);
    QVERIFY(QDir(home(u"kazemi"_s)).removeRecursively());

    const ChildRun again = run({}, u"again"_s);
    QCOMPARE(again.exitCode, 2);
    QVERIFY2(again.errors.contains(u"保存に使用するフォルダ名"_s), qPrintable(again.errors));
    QVERIFY(QFileInfo(home(u"again"_s)).isDir());
    QVERIFY(!QFileInfo::exists(home(u"kazemi"_s)));
    // Without "/Log" nothing is logged.
    QVERIFY(!QFileInfo::exists(home(u"DebugLog.txt"_s)));
}

void tst_StartUpEndToEnd::noLoginNameInEnvironment_takesPasswdEntry()
{
    QProcess id;
    id.start(u"id"_s, {u"-un"_s});
    if (!id.waitForFinished(10000) || id.exitCode() != 0)
        QSKIP("id -un does not name the effective user here");
    const QString passwdName = QString::fromLocal8Bit(id.readAllStandardOutput()).trimmed();

    const ChildRun started = run({u"/Log"_s}, QString());

    QCOMPARE(started.exitCode, 2);
    QVERIFY2(started.errors.contains(u"\"/AutoGet\""_s), qPrintable(started.errors));
    QCOMPARE(QDir(home()).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList{passwdName});
}

void tst_StartUpEndToEnd::installedCopy_keepsFilesInUserDataFolder()
{
    // An installation's bin folder may well be writable (root); it must still not become the
    // program folder.
    const QString bin = m_root->filePath(u"prefix/bin"_s);
    QVERIFY(QDir().mkpath(bin));
    QVERIFY(QDir().mkpath(m_root->filePath(u"prefix/share/varnholt"_s)));
    const QString installed = bin + u"/varnholt"_s;
    QVERIFY(QFile::copy(QStringLiteral(VARNHOLT_BINARY), installed));
    QProcessEnvironment environment = headlessEnvironment(m_root->path(), u"kazemi"_s);
    environment.remove(u"VARNHOLT_HOME"_s);

    QCOMPARE(runToEnd(installed, {u"/Log"_s}, environment).exitCode, 2);

    const QString userData = m_root->filePath(u"data/Varnholt"_s);
    QCOMPARE(readFile(userData + u"/DebugLog.txt"_s), QByteArray("Program Started.\r\n"));
    QVERIFY(QFileInfo(userData + u"/kazemi"_s).isDir());
    QCOMPARE(QDir(bin).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList{u"varnholt"_s});
}

void tst_StartUpEndToEnd::informationSwitches_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("expected");

    QTest::newRow("version") << u"--version"_s << u"Varnholt"_s + VersionText() + u'\n';
    QTest::newRow("help names switches") << u"--help"_s << u"/AutoGet"_s;
    QTest::newRow("help in Japanese") << u"--help"_s << u"スイッチ"_s;
    QTest::newRow("help explains status 3")
        << u"--help"_s << u"3  出力したが取得できないページあり"_s;
}

void tst_StartUpEndToEnd::informationSwitches()
{
    QFETCH(QString, option);
    QFETCH(QString, expected);

    const ChildRun shown = run({option});
    QCOMPARE(shown.exitCode, 0);
    QVERIFY2(shown.output.contains(expected), qPrintable(shown.output));
    // Printing help starts nothing: no settings folder, no record.
    QCOMPARE(QDir(home()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
}

void tst_StartUpEndToEnd::libraries_loadedWhenFirstNeeded_data()
{
    QTest::addColumn<QString>("categories");
    QTest::addColumn<bool>("http");

    QTest::newRow("nothing ticked: neither libcurl nor the windows")
        << u"0,0,0,0,0,0,0,0,0,0,0,0"_s << false;
    QTest::newRow("a ticked category: libcurl's module at the first request")
        << u"1,0,0,0,0,0,0,0,0,0,0,0"_s << true;
}

void tst_StartUpEndToEnd::libraries_loadedWhenFirstNeeded()
{
    QFETCH(QString, categories);
    QFETCH(bool, http);

    QCOMPARE(run({u"/Log"_s}).exitCode, 2);
    QVERIFY(writeFile(home(u"kazemi/varnholt.ini"_s),
                      QByteArray("NoCopyINI = 1\r\nCategory = ") + categories.toLatin1() +
                          "\r\nSaveFolder = " + QFile::encodeName(m_root->path()) + "\r\n"));
    QProcessEnvironment environment = headlessEnvironment(m_root->path(), u"kazemi"_s);
    // Nothing listens there: the request fails at once.
    environment.insert(u"VARNHOLT_BASE_URL"_s, u"http://127.0.0.1:9"_s);
    // The dynamic loader names every file it loads on standard error.
    environment.insert(u"LD_DEBUG"_s, u"files"_s);
    const ChildRun loaded =
        runToEnd(QStringLiteral(VARNHOLT_BINARY), {u"/AutoGet"_s, u"/HideMe"_s}, environment);
    QVERIFY2(loaded.exitCode >= 0, qPrintable(loaded.errors));
    QCOMPARE(loaded.errors.contains(u"varnholt-http.so"_s), http);
    QCOMPARE(loaded.errors.contains(u"libcurl"_s), http);
    for (const QString &library : {u"libQt6Gui"_s, u"libQt6Widgets"_s, u"libQt6DBus"_s})
        QVERIFY2(!loaded.errors.contains(library), qPrintable(library));
}

QTEST_GUILESS_MAIN(tst_StartUpEndToEnd)
#include "tst_startup.moc"
