#include "TestFiles.h"
#include "ini/iniMente.h"
#include "startup/Settings.h"
#include "util/CodePage.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString kProgramFolder = u"/opt/varnholt"_s;

// Category states as "1,0,2,..." so table rows stay readable.
QString joined(const std::array<int, CategoryCount> &states)
{
    QStringList parts;
    for (int state : states)
        parts << QString::number(state);
    return parts.join(u',');
}

} // namespace

class tst_settings : public QObject
{
    Q_OBJECT

private slots:
    void load_data();
    void load();
    void loadCategory_keepsBoxesWithoutValidItems();
    void saveNewFile_writesAllTenKeysInOrder();
    void saveExisting_updatesInPlaceInStoredCase();
    void saveWithoutKeywordOption_keepsStoredEntry();
    void saveThenLoad_givesSameSettings();
    void connections_data();
    void connections();
    void saveToMissingFolder_reportsPath();
    void skipSaved_data();
    void skipSaved();

private:
    QTemporaryDir m_dir;
};

void tst_settings::load_data()
{
    QTest::addColumn<QString>("ini");
    QTest::addColumn<QString>("saveFolder");
    QTest::addColumn<QStringList>("saveFileName");
    QTest::addColumn<int>("ignoreKey");
    QTest::addColumn<QList<int>>("checks"); // NoCopyINI, OverWrite, Yesterday, NoKeyWord
    QTest::addColumn<QString>("category");

    const QString none = u"0,0,0,0,0,0,0,0,0,0,0,0"_s;
    const QStringList defaultNames{u"VHT"_s, u"yyyymmdd"_s, QString()};
    const QList<int> defaultChecks{1, 0, 1, 0};

    QTest::newRow("noFile_defaults")
        << QString() << kProgramFolder << defaultNames << 0 << defaultChecks << none;
    QTest::newRow("allKeys")
        << u"SaveFolder = /home/me/clip\r\nSaveFileName0 = news\r\nSaveFileName1 = yymmdd\r\n"
           "SaveFileName2 = _x\r\nIgnoreKey = 2\r\nNoCopyINI = 0\r\nOverWrite = 1\r\n"
           "Yesterday = 0\r\nNoKeyWord = 2\r\nCategory = 1,0,0,0,0,0,0,1,0,0,0,0\r\n"_s
        << u"/home/me/clip"_s << QStringList{u"news"_s, u"yymmdd"_s, u"_x"_s} << 2
        << QList<int>{0, 1, 0, 2} << u"1,0,0,0,0,0,0,1,0,0,0,0"_s;
    QTest::newRow("categoryWithoutNoCopyINI_ignored") << u"Category = 1,1,1\r\n"_s << kProgramFolder
                                                      << defaultNames << 0 << defaultChecks << none;
    QTest::newRow("emptyNoCopyINI_ignoresCategory")
        << u"NoCopyINI =\r\nCategory = 1,1,1\r\n"_s << kProgramFolder << defaultNames << 0
        << defaultChecks << none;
    QTest::newRow("shortCategoryList")
        << u"NoCopyINI = 0\r\nCategory = 1,0,1\r\n"_s << kProgramFolder << defaultNames << 0
        << QList<int>{0, 0, 1, 0} << u"1,0,1,0,0,0,0,0,0,0,0,0"_s;
    QTest::newRow("badCategoryItemSkipped")
        << u"NoCopyINI = 1\r\nCategory = 1,x,1,5,-1,1.5,,2\r\n"_s << kProgramFolder << defaultNames
        << 0 << defaultChecks << u"1,0,1,0,0,0,0,2,0,0,0,0"_s;
    QTest::newRow("fourteenCategoryItems")
        << u"NoCopyINI = 1\r\nCategory = 0,0,0,0,0,0,0,0,0,0,0,1,1,1\r\n"_s << kProgramFolder
        << defaultNames << 0 << defaultChecks << u"0,0,0,0,0,0,0,0,0,0,0,1"_s;
    QTest::newRow("keysInOtherCase")
        << u"savefolder = /srv/x\r\nIGNOREKEY = 1\r\nnocopyini = 0\r\ncategory = 0,1\r\n"_s
        << u"/srv/x"_s << defaultNames << 1 << QList<int>{0, 0, 1, 0}
        << u"0,1,0,0,0,0,0,0,0,0,0,0"_s;
    QTest::newRow("emptyFileNamePartStaysEmpty")
        << u"SaveFileName1 =\r\n"_s << kProgramFolder << QStringList{u"VHT"_s, QString(), QString()}
        << 0 << defaultChecks << none;
    QTest::newRow("ignoreKeyOutOfRange_noOption")
        << u"IgnoreKey = 7\r\n"_s << kProgramFolder << defaultNames << -1 << defaultChecks << none;
    QTest::newRow("ignoreKeyNegative_noOption")
        << u"IgnoreKey = -1\r\n"_s << kProgramFolder << defaultNames << -1 << defaultChecks << none;
    QTest::newRow("ignoreKeyNotANumber_noOption") << u"IgnoreKey = abc\r\n"_s << kProgramFolder
                                                  << defaultNames << -1 << defaultChecks << none;
    QTest::newRow("ignoreKeyFraction_noOption") << u"IgnoreKey = 1.5\r\n"_s << kProgramFolder
                                                << defaultNames << -1 << defaultChecks << none;
    QTest::newRow("ignoreKeyEmpty_noOption")
        << u"IgnoreKey =\r\n"_s << kProgramFolder << defaultNames << -1 << defaultChecks << none;
    QTest::newRow("numbersWithBlanksAccepted")
        << u"IgnoreKey = 1  \r\nOverWrite =\t1\r\nYesterday = +0\r\n"_s << kProgramFolder
        << defaultNames << 1 << QList<int>{1, 1, 0, 0} << none;
    QTest::newRow("checkStatesOutOfRange_keepDefaults")
        << u"NoCopyINI = 5\r\nOverWrite = -1\r\nYesterday = yes\r\nNoKeyWord = 1.5\r\n"
           "Category = 1\r\n"_s
        << kProgramFolder << defaultNames << 0 << defaultChecks << u"1,0,0,0,0,0,0,0,0,0,0,0"_s;
    QTest::newRow("hugeNumber_keepsDefault")
        << u"OverWrite = 99999999999999999999\r\n"_s << kProgramFolder << defaultNames << 0
        << defaultChecks << none;
}

void tst_settings::load()
{
    QFETCH(QString, ini);
    QFETCH(QString, saveFolder);
    QFETCH(QStringList, saveFileName);
    QFETCH(int, ignoreKey);
    QFETCH(QList<int>, checks);
    QFETCH(QString, category);

    const QString path = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()) + u".ini"_s);
    if (!ini.isEmpty())
        QVERIFY(writeCp932(path, ini));
    iniMente store;
    store.iniLoader(path);

    Settings settings;
    LoadSettings(store, settings, kProgramFolder);

    QCOMPARE(settings.SaveFolder, saveFolder);
    QCOMPARE(QStringList(settings.SaveFileName.begin(), settings.SaveFileName.end()), saveFileName);
    QCOMPARE(settings.IgnoreKey, ignoreKey);
    QCOMPARE((QList<int>{settings.NoCopyINI, settings.OverWrite, settings.Yesterday,
                         settings.NoKeyWord}),
             checks);
    QCOMPARE(joined(settings.Category), category);
}

void tst_settings::loadCategory_keepsBoxesWithoutValidItems()
{
    const QString path = m_dir.filePath(u"keep.ini"_s);
    QVERIFY(writeCp932(path, u"NoCopyINI = 1\r\nCategory = 1,x,0\r\n"_s));
    iniMente store;
    store.iniLoader(path);

    Settings settings;
    settings.Category.fill(2);
    LoadSettings(store, settings, kProgramFolder);

    QCOMPARE(joined(settings.Category), u"1,2,0,2,2,2,2,2,2,2,2,2"_s);
}

void tst_settings::saveNewFile_writesAllTenKeysInOrder()
{
    const QString path = m_dir.filePath(u"new.ini"_s);
    iniMente store;
    store.iniLoader(path);
    Settings settings;
    LoadSettings(store, settings, kProgramFolder);
    settings.Category[0] = 1;
    settings.Category[7] = 1;

    const FileResult result = SaveSettings(store, settings);

    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(readCp932(path), u"SaveFolder = /opt/varnholt\r\n"
                              "SaveFileName0 = VHT\r\n"
                              "SaveFileName1 = yyyymmdd\r\n"
                              "SaveFileName2 = \r\n"
                              "IgnoreKey = 0\r\n"
                              "NoCopyINI = 1\r\n"
                              "OverWrite = 0\r\n"
                              "Yesterday = 1\r\n"
                              "NoKeyWord = 0\r\n"
                              "Category = 1,0,0,0,0,0,0,1,0,0,0,0\r\n"_s);
}

void tst_settings::saveExisting_updatesInPlaceInStoredCase()
{
    const QString path = m_dir.filePath(u"existing.ini"_s);
    QVERIFY(writeCp932(path, u"[Setting]\r\nsavefolder = /old\r\n; note\r\nNOCOPYINI = 0\r\n"
                             "Category = 1,0,1\r\n"_s));
    iniMente store;
    store.iniLoader(path);
    Settings settings;
    LoadSettings(store, settings, kProgramFolder);
    settings.SaveFolder = u"/new/保存"_s;

    QVERIFY(SaveSettings(store, settings).ok);

    QCOMPARE(readCp932(path), u"[Setting]\r\n"
                              "savefolder = /new/保存\r\n"
                              "; note\r\n"
                              "NOCOPYINI = 0\r\n"
                              "Category = 1,0,1,0,0,0,0,0,0,0,0,0\r\n"
                              "SaveFileName0 = VHT\r\n"
                              "SaveFileName1 = yyyymmdd\r\n"
                              "SaveFileName2 = \r\n"
                              "IgnoreKey = 0\r\n"
                              "OverWrite = 0\r\n"
                              "Yesterday = 1\r\n"
                              "NoKeyWord = 0\r\n"_s);
}

void tst_settings::saveWithoutKeywordOption_keepsStoredEntry()
{
    const QString path = m_dir.filePath(u"mode.ini"_s);
    QVERIFY(writeCp932(path, u"IgnoreKey = 7\r\n"_s));
    iniMente store;
    store.iniLoader(path);
    Settings settings;
    LoadSettings(store, settings, kProgramFolder);
    QCOMPARE(settings.IgnoreKey, -1);

    QVERIFY(SaveSettings(store, settings).ok);

    QVERIFY(readCp932(path).startsWith(u"IgnoreKey = 7\r\nSaveFolder = "_s));
}

void tst_settings::saveThenLoad_givesSameSettings()
{
    const QString path = m_dir.filePath(u"roundtrip.ini"_s);
    Settings saved;
    saved.SaveFolder = u"/home/me/ニュース"_s;
    saved.SaveFileName = {u"a b"_s, QString(), u"z"_s};
    saved.IgnoreKey = 1;
    saved.NoCopyINI = 0;
    saved.OverWrite = 2;
    saved.Yesterday = 0;
    saved.NoKeyWord = 1;
    saved.Category = {1, 0, 2, 0, 1, 0, 0, 1, 0, 0, 0, 1};
    saved.Connections = 7;
    {
        iniMente store;
        store.iniLoader(path);
        QVERIFY(SaveSettings(store, saved).ok);
    }
    iniMente store;
    QVERIFY(store.iniLoader(path));
    Settings loaded;
    LoadSettings(store, loaded, kProgramFolder);

    QCOMPARE(loaded, saved);
}

void tst_settings::connections_data()
{
    QTest::addColumn<QString>("stored"); // the item's line, or none
    QTest::addColumn<int>("loaded");
    QTest::addColumn<int>("chosen");
    QTest::addColumn<QString>("saved"); // the item's line after saving, or none

    QTest::newRow("absent_defaultNotWritten") << QString() << 4 << 4 << QString();
    QTest::newRow("absent_changedIsWritten") << QString() << 4 << 9 << u"Connections = 9"_s;
    QTest::newRow("one") << u"Connections = 1"_s << 1 << 1 << u"Connections = 1"_s;
    QTest::newRow("sixteen") << u"Connections = 16"_s << 16 << 16 << u"Connections = 16"_s;
    QTest::newRow("backToDefault") << u"Connections = 8"_s << 8 << 4 << u"Connections = 4"_s;
    QTest::newRow("zero_defaultAndKept") << u"Connections = 0"_s << 4 << 4 << u"Connections = 0"_s;
    QTest::newRow("seventeen_default") << u"Connections = 17"_s << 4 << 4 << u"Connections = 17"_s;
    QTest::newRow("text_default") << u"Connections = many"_s << 4 << 2 << u"Connections = 2"_s;
}

void tst_settings::connections()
{
    QFETCH(QString, stored);
    QFETCH(int, loaded);
    QFETCH(int, chosen);
    QFETCH(QString, saved);

    const QString path = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()) + u".ini"_s);
    QVERIFY(
        writeCp932(path, u"NoCopyINI = 1\r\n"_s + (stored.isEmpty() ? u""_s : stored + u"\r\n"_s)));
    iniMente store;
    store.iniLoader(path);
    Settings settings;
    LoadSettings(store, settings, kProgramFolder);
    QCOMPARE(settings.Connections, loaded);

    settings.Connections = chosen;
    QVERIFY(SaveSettings(store, settings).ok);

    const QStringList lines = readCp932(path).split(u"\r\n"_s);
    const QStringList items = lines.filter(u"Connections"_s);
    QCOMPARE(items, saved.isEmpty() ? QStringList() : QStringList{saved});
}

void tst_settings::saveToMissingFolder_reportsPath()
{
    const QString path = m_dir.filePath(u"missing/varnholt.ini"_s);
    iniMente store;
    store.iniLoader(path);

    const FileResult result = SaveSettings(store, Settings{});

    QVERIFY(!result.ok);
    QVERIFY2(result.error.contains(path), qPrintable(result.error));
    QVERIFY(!QFile::exists(path));
}

void tst_settings::skipSaved_data()
{
    QTest::addColumn<QString>("stored"); // the SkipSaved line, or none
    QTest::addColumn<int>("loaded");
    QTest::addColumn<int>("changeTo");  // -1: left as loaded
    QTest::addColumn<QString>("saved"); // the SkipSaved line after the save, or none

    QTest::newRow("absent: off, and an earlier file saves unchanged")
        << QString() << 0 << -1 << QString();
    QTest::newRow("absent, turned on: added") << QString() << 0 << 1 << u"SkipSaved = 1"_s;
    QTest::newRow("on") << u"SkipSaved = 1"_s << 1 << -1 << u"SkipSaved = 1"_s;
    QTest::newRow("on, turned off: kept as 0")
        << u"SkipSaved = 1"_s << 1 << 0 << u"SkipSaved = 0"_s;
    QTest::newRow("off stays written") << u"SkipSaved = 0"_s << 0 << -1 << u"SkipSaved = 0"_s;
    QTest::newRow("greyed is kept") << u"SkipSaved = 2"_s << 2 << -1 << u"SkipSaved = 2"_s;
    QTest::newRow("other letter case updated in place")
        << u"skipsaved = 1"_s << 1 << 0 << u"skipsaved = 0"_s;
    QTest::newRow("not a check state: off")
        << u"SkipSaved = yes"_s << 0 << -1 << u"SkipSaved = 0"_s;
}

void tst_settings::skipSaved()
{
    QFETCH(QString, stored);
    QFETCH(int, loaded);
    QFETCH(int, changeTo);
    QFETCH(QString, saved);
    // A file as this program saves it, with everything else at its default.
    const QString rest = u"SaveFolder = /opt/varnholt\r\nSaveFileName0 = VHT\r\n"
                         "SaveFileName1 = yyyymmdd\r\nSaveFileName2 = \r\nIgnoreKey = 0\r\n"
                         "NoCopyINI = 1\r\nOverWrite = 0\r\nYesterday = 1\r\nNoKeyWord = 0\r\n"
                         "Category = 0,0,0,0,0,0,0,0,0,0,0,0\r\n"_s;
    const auto file = [&](const QString &line) {
        return line.isEmpty() ? rest : rest + line + u"\r\n"_s;
    };
    const QString path = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()) + u".ini"_s);
    QVERIFY(writeCp932(path, file(stored)));
    iniMente store;
    QVERIFY(store.iniLoader(path));
    Settings settings;
    LoadSettings(store, settings, kProgramFolder);
    QCOMPARE(settings.SkipSaved, loaded);
    if (changeTo >= 0)
        settings.SkipSaved = changeTo;

    QVERIFY(SaveSettings(store, settings).ok);

    QCOMPARE(readCp932(path), file(saved));
}

QTEST_GUILESS_MAIN(tst_settings)
#include "tst_settings.moc"
