#include "TestFiles.h"
#include "startup/KeyWordList.h"
#include "util/CodePage.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class tst_keywords : public QObject
{
    Q_OBJECT

private slots:
    void split_data();
    void split();
    void joinThenSplit_givesEntriesBack_data();
    void joinThenSplit_givesEntriesBack();
    void insertSorted_data();
    void insertSorted();
    void findCaseInsensitive_data();
    void findCaseInsensitive();
    void removeAt_outOfRangeIgnored();
    void load_data();
    void load();
    void loadThenSave_writesSortedLines();
    void save_writesCp932CrLfAndClearsFlag();
    void saveToMissingFolder_keepsFlagAndNamesPath();

private:
    QTemporaryDir m_dir;
};

void tst_keywords::split_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("fields");

    QTest::newRow("empty") << QString() << QStringList{};
    QTest::newRow("crlfLines") << u"C\r\nA\r\nB\r\n"_s << QStringList{u"C"_s, u"A"_s, u"B"_s};
    QTest::newRow("lfLines") << u"a\nb\n"_s << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("crLines") << u"a\rb\r"_s << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("noFinalLineEnd") << u"a\r\nb"_s << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("commaSplitsLine") << u"a,b\r\n"_s << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("trailingComma") << u"a,\r\nb"_s << QStringList{u"a"_s, QString(), u"b"_s};
    QTest::newRow("trailingCommaAtEnd") << u"a,"_s << QStringList{u"a"_s, QString()};
    QTest::newRow("blankLine") << u"a\r\n\r\nb\r\n"_s << QStringList{u"a"_s, QString(), u"b"_s};
    QTest::newRow("onlyLineEnd") << u"\r\n"_s << QStringList{QString()};
    QTest::newRow("blanksKept") << u" a \t\r\n"_s << QStringList{u" a \t"_s};
    QTest::newRow("quoted") << u"\"株価\"\r\n"_s << QStringList{u"株価"_s};
    QTest::newRow("quotedComma") << u"\"a,b\",c\r\n"_s << QStringList{u"a,b"_s, u"c"_s};
    QTest::newRow("doubledQuote") << u"\"say \"\"hi\"\"\"\r\n"_s << QStringList{u"say \"hi\""_s};
    QTest::newRow("quotedLineEnd") << u"\"a\r\nb\"\r\nc"_s << QStringList{u"a\r\nb"_s, u"c"_s};
    QTest::newRow("quotedEmpty") << u"\"\"\r\nx"_s << QStringList{QString(), u"x"_s};
    QTest::newRow("unbalancedQuoteTakesRest")
        << u"a\r\n\"b,c\r\nd"_s << QStringList{u"a"_s, u"b,c\r\nd"_s};
    QTest::newRow("loneQuoteAtEnd") << u"a\r\n\""_s << QStringList{u"a"_s, QString()};
    QTest::newRow("textAfterClosingQuoteKept") << u"\"a\"b,c"_s << QStringList{u"ab"_s, u"c"_s};
    QTest::newRow("quoteInsideUnquotedField") << u"ab\"c,d"_s << QStringList{u"ab\"c"_s, u"d"_s};
    QTest::newRow("longLine") << QString(100000, u'x') << QStringList{QString(100000, u'x')};
}

void tst_keywords::split()
{
    QFETCH(QString, text);
    QFETCH(QStringList, fields);
    QCOMPARE(SplitKeyWordFields(text), fields);
}

void tst_keywords::joinThenSplit_givesEntriesBack_data()
{
    QTest::addColumn<QStringList>("entries");

    QTest::newRow("plain") << QStringList{u"A"_s, u"日本"_s, u" b "_s};
    QTest::newRow("empty") << QStringList{QString(), u"x"_s};
    QTest::newRow("comma") << QStringList{u"a,b"_s};
    QTest::newRow("leadingQuote") << QStringList{u"\"x"_s, u"y"_s};
    QTest::newRow("innerQuote") << QStringList{u"a\"b"_s};
    QTest::newRow("lineEnds") << QStringList{u"a\r\nb"_s, u"c\rd"_s, u"e\nf"_s};
}

void tst_keywords::joinThenSplit_givesEntriesBack()
{
    QFETCH(QStringList, entries);
    const QString text = JoinKeyWordLines(entries);
    QVERIFY(text.endsWith(u"\r\n"_s));
    QCOMPARE(SplitKeyWordFields(text), entries);
}

void tst_keywords::insertSorted_data()
{
    QTest::addColumn<QStringList>("inserted");
    QTest::addColumn<QStringList>("sorted");
    QTest::addColumn<QList<int>>("indexes");

    QTest::newRow("ascending") << QStringList{u"C"_s, u"A"_s, u"B"_s}
                               << QStringList{u"A"_s, u"B"_s, u"C"_s} << QList<int>{0, 0, 1};
    QTest::newRow("ignoresCase") << QStringList{u"b"_s, u"C"_s, u"a"_s}
                                 << QStringList{u"a"_s, u"b"_s, u"C"_s} << QList<int>{0, 1, 0};
    QTest::newRow("equalGoesAfter")
        << QStringList{u"Key"_s, u"KEY"_s, u"key"_s} << QStringList{u"Key"_s, u"KEY"_s, u"key"_s}
        << QList<int>{0, 1, 2};
    QTest::newRow("emptyFirst") << QStringList{u"a"_s, QString()} << QStringList{QString(), u"a"_s}
                                << QList<int>{0, 0};
}

void tst_keywords::insertSorted()
{
    QFETCH(QStringList, inserted);
    QFETCH(QStringList, sorted);
    QFETCH(QList<int>, indexes);

    KeyWordList list;
    QList<int> got;
    for (const QString &text : inserted)
        got << list.insertSorted(text);

    QCOMPARE(list.items(), sorted);
    QCOMPARE(got, indexes);
    QVERIFY(!list.KeyWordChanged);
}

void tst_keywords::findCaseInsensitive_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("index");

    QTest::newRow("exact") << u"beta"_s << 1;
    QTest::newRow("otherCase") << u"BETA"_s << 1;
    QTest::newRow("blanksCount") << u"beta "_s << -1;
    QTest::newRow("absent") << u"gamma"_s << -1;
}

void tst_keywords::findCaseInsensitive()
{
    QFETCH(QString, text);
    QFETCH(int, index);

    KeyWordList list;
    list.insertSorted(u"Beta"_s);
    list.insertSorted(u"alpha"_s);
    QCOMPARE(list.findCaseInsensitive(text), index);
}

void tst_keywords::removeAt_outOfRangeIgnored()
{
    KeyWordList list;
    list.insertSorted(u"a"_s);
    list.insertSorted(u"b"_s);
    list.removeAt(-1);
    list.removeAt(2);
    QCOMPARE(list.count(), 2);
    list.removeAt(0);
    QCOMPARE(list.items(), QStringList{u"b"_s});
}

void tst_keywords::load_data()
{
    QTest::addColumn<bool>("fileExists");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("items");

    QTest::newRow("noFile") << false << QByteArray() << QStringList{};
    QTest::newRow("emptyFile") << true << QByteArray() << QStringList{};
    QTest::newRow("sortedOnLoad") << true << QByteArray("C\r\nA\r\nB\r\n")
                                  << QStringList{u"A"_s, u"B"_s, u"C"_s};
    QTest::newRow("duplicatesKept")
        << true << QByteArray("x\r\nx\r\n") << QStringList{u"x"_s, u"x"_s};
    QTest::newRow("cp932") << true << CodePage::toCp932(u"株式\r\n円高,\"ソニー,表\"\r\n"_s)
                           << QStringList{u"ソニー,表"_s, u"円高"_s, u"株式"_s};
}

void tst_keywords::load()
{
    QFETCH(bool, fileExists);
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, items);

    const QString path =
        m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()) + u"-KeyWord.txt"_s);
    if (fileExists)
        QVERIFY(writeFile(path, bytes));

    KeyWordList list;
    LoadKeyWords(path, list);

    QCOMPARE(list.items(), items);
    QVERIFY(!list.KeyWordChanged);
}

void tst_keywords::loadThenSave_writesSortedLines()
{
    const QString path = m_dir.filePath(u"roundtrip-KeyWord.txt"_s);
    QVERIFY(writeFile(path, "C\r\nA\nb,\"a,c\"\r\n\r\n"));

    KeyWordList list;
    LoadKeyWords(path, list);
    QVERIFY(SaveKeyWords(path, list).ok);

    QCOMPARE(readFile(path), QByteArray("\r\nA\r\n\"a,c\"\r\nb\r\nC\r\n"));
    KeyWordList again;
    LoadKeyWords(path, again);
    QCOMPARE(again.items(), list.items());
}

void tst_keywords::save_writesCp932CrLfAndClearsFlag()
{
    const QString path = m_dir.filePath(u"save-KeyWord.txt"_s);
    KeyWordList list;
    list.insertSorted(u"日経"_s);
    list.KeyWordChanged = true;

    const FileResult result = SaveKeyWords(path, list);

    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(readFile(path), QByteArray("\x93\xfa\x8c\x6f\r\n"));
    QVERIFY(!list.KeyWordChanged);
}

void tst_keywords::saveToMissingFolder_keepsFlagAndNamesPath()
{
    const QString path = m_dir.filePath(u"gone/KeyWord.txt"_s);
    KeyWordList list;
    list.insertSorted(u"a"_s);
    list.KeyWordChanged = true;

    const FileResult result = SaveKeyWords(path, list);

    QVERIFY(!result.ok);
    QVERIFY2(result.error.contains(path), qPrintable(result.error));
    QVERIFY(list.KeyWordChanged);
}

QTEST_GUILESS_MAIN(tst_keywords)
#include "tst_keywords.moc"
