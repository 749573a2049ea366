#include "TestFiles.h"
#include "engine/SavedAddresses.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QDate Today(2025, 3, 10);

// "address=yyyy-mm-dd" per entry, in the file's order.
QStringList describe(const SavedAddresses &record)
{
    QStringList out;
    const QString text = QString::fromUtf8(record.serialized());
    for (const QString &line : text.split(u'\n', Qt::SkipEmptyParts))
        out << line.section(u'\t', 0, 0) + u'=' + line.section(u'\t', 1);
    return out;
}

} // namespace

class tst_SavedAddresses : public QObject
{
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void awkwardAddressesSurviveSaveAndLoad();
    void open_data();
    void open();
};

void tst_SavedAddresses::parse_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("entries"); // as describe() gives them
    QTest::addColumn<QString>("problem");     // empty: the bytes are a record

    QTest::newRow("empty file") << QByteArray() << QStringList{} << QString();
    QTest::newRow("two entries, oldest day first")
        << "http://p/b\t2025-03-10\nhttp://p/a\t2025-03-09\n"_ba
        << QStringList{u"http://p/a=2025-03-09"_s, u"http://p/b=2025-03-10"_s} << QString();
    QTest::newRow("last line without line end")
        << "http://p/a\t2025-03-09"_ba << QStringList{u"http://p/a=2025-03-09"_s} << QString();
    QTest::newRow("CR LF and empty lines tolerated")
        << "\r\nhttp://p/a\t2025-03-09\r\n\n"_ba << QStringList{u"http://p/a=2025-03-09"_s}
        << QString();
    QTest::newRow("sixty days old is kept, sixty-one dropped")
        << "http://p/old\t2025-01-08\nhttp://p/kept\t2025-01-09\n"_ba
        << QStringList{u"http://p/kept=2025-01-09"_s} << QString();
    QTest::newRow("a day after today is kept")
        << "http://p/a\t2025-04-01\n"_ba << QStringList{u"http://p/a=2025-04-01"_s} << QString();
    QTest::newRow("the same address twice keeps the later day")
        << "http://p/a\t2025-03-09\nhttp://p/a\t2025-03-01\n"_ba
        << QStringList{u"http://p/a=2025-03-09"_s} << QString();
    QTest::newRow("non-ASCII address") << "http://p/記事\t2025-03-09\n"_ba
                                       << QStringList{u"http://p/記事=2025-03-09"_s} << QString();
    QTest::newRow("no tab") << "http://p/a\t2025-03-09\nhttp://p/b 2025-03-09\n"_ba << QStringList{}
                            << u"line 2: not an address, a tab and a day"_s;
    QTest::newRow("two tabs") << "http://p/a\tx\t2025-03-09\n"_ba << QStringList{}
                              << u"line 1: not an address, a tab and a day"_s;
    QTest::newRow("no address") << "\t2025-03-09\n"_ba << QStringList{}
                                << u"line 1: not an address, a tab and a day"_s;
    QTest::newRow("day cut short") << "http://p/a\t2025-03-0"_ba << QStringList{}
                                   << u"line 1: \"2025-03-0\" is not a day written yyyy-mm-dd"_s;
    QTest::newRow("no such day") << "http://p/a\t2025-02-30\n"_ba << QStringList{}
                                 << u"line 1: \"2025-02-30\" is not a day written yyyy-mm-dd"_s;
    QTest::newRow("unknown escape") << "http://p/a\\x\t2025-03-09\n"_ba << QStringList{}
                                    << u"line 1: a backslash that is not \\\\, \\t, \\r or \\n"_s;
    QTest::newRow("backslash at the end")
        << "http://p/a\\\t2025-03-09\n"_ba << QStringList{}
        << u"line 1: a backslash that is not \\\\, \\t, \\r or \\n"_s;
    QTest::newRow("not UTF-8") << "http://p/\x82\xa0\t2025-03-09\n"_ba << QStringList{}
                               << u"line 1: not UTF-8 text"_s;
    QTest::newRow("binary garbage")
        << QByteArray("\x00\x01\x02\xff\xfe", 5) << QStringList{} << u"line 1: not UTF-8 text"_s;
}

void tst_SavedAddresses::parse()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, entries);
    QFETCH(QString, problem);

    QString told;
    const std::optional<SavedAddresses> record = SavedAddresses::parse(bytes, Today, &told);

    QCOMPARE(told, problem);
    QCOMPARE(record.has_value(), problem.isEmpty());
    if (record)
        QCOMPARE(describe(*record), entries);
}

void tst_SavedAddresses::awkwardAddressesSurviveSaveAndLoad()
{
    // A link target is whatever stands between the item's opening and ">": it may hold anything.
    const QStringList addresses{u"http://p/tab\there"_s, u"http://p/line\r\nbreak"_s,
                                u"http://p/back\\slash\\t"_s, u"http://p/😀"_s, u"http://p/a"_s};
    SavedAddresses record;
    for (const QString &address : addresses)
        record.add(address, Today);
    record.add(u"http://p/a"_s, Today.addDays(-3)); // an earlier day does not move it back

    QString problem;
    const std::optional<SavedAddresses> loaded =
        SavedAddresses::parse(record.serialized(), Today, &problem);

    QVERIFY2(loaded, qPrintable(problem));
    QCOMPARE(loaded->count(), addresses.size());
    for (const QString &address : addresses)
        QVERIFY2(loaded->contains(address), qPrintable(address));
    QVERIFY(!loaded->contains(u"http://p/tab"_s));
    QCOMPARE(loaded->serialized(), record.serialized());
}

void tst_SavedAddresses::open_data()
{
    QTest::addColumn<QByteArray>("bytes"); // kUnreadable: no file
    QTest::addColumn<bool>("takenAside");  // a ".damaged" from an earlier run is there already
    QTest::addColumn<bool>("skip");
    QTest::addColumn<qsizetype>("count");
    QTest::addColumn<QString>("asideName"); // empty: the file stays where it is

    const QByteArray good = "http://p/a\t2025-03-09\n";
    QTest::newRow("no file: an empty record")
        << kUnreadable << false << true << qsizetype(0) << QString();
    QTest::newRow("good file") << good << false << true << qsizetype(1) << QString();
    QTest::newRow("damaged file set aside") << "http://p/a 2025-03-09\n"_ba << false << false
                                            << qsizetype(0) << u"SavedAddresses.txt.damaged"_s;
    QTest::newRow("an earlier damaged file is kept")
        << "garbage"_ba << true << false << qsizetype(0) << u"SavedAddresses.txt.damaged2"_s;
}

void tst_SavedAddresses::open()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, takenAside);
    QFETCH(bool, skip);
    QFETCH(qsizetype, count);
    QFETCH(QString, asideName);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"SavedAddresses.txt"_s);
    if (bytes != kUnreadable)
        QVERIFY(writeFile(path, bytes));
    if (takenAside)
        QVERIFY(writeFile(path + u".damaged"_s, "earlier"));

    const OpenedRecord opened = OpenSavedRecord(path, Today);

    QCOMPARE(opened.skip, skip);
    QVERIFY(opened.writable);
    QCOMPARE(opened.addresses.count(), count);
    if (asideName.isEmpty()) {
        QVERIFY(opened.problem.isEmpty());
        QCOMPARE(readFile(path), bytes);
        return;
    }
    // Told with both paths; the damaged bytes wait beside, untouched.
    QVERIFY2(opened.problem.contains(path + u": line 1: "_s), qPrintable(opened.problem));
    QVERIFY2(opened.problem.contains(dir.filePath(asideName)), qPrintable(opened.problem));
    QVERIFY(!QFile::exists(path));
    QCOMPARE(readFile(dir.filePath(asideName)), bytes);
    if (takenAside)
        QCOMPARE(readFile(path + u".damaged"_s), "earlier"_ba);
}

QTEST_GUILESS_MAIN(tst_SavedAddresses)
#include "tst_savedaddresses.moc"
