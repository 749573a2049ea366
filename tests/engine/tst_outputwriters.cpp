#include "EngineTestSupport.h"
#include "FileSizeCap.h"
#include "ScriptedPrompter.h"
#include "TestFiles.h"
#include "engine/ArticleList.h"
#include "engine/OutputWriters.h"
#include "startup/RunOptions.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QByteArray Dashes(78, '-');
const QByteArray Equals(78, '=');
// CP932 bytes of the texts the layouts use.
const QByteArray At = "\x81\x97";                                // ＠
const QByteArray Colon = "\x81\x46";                             // ：
const QByteArray TitleTag = "\x81\x46\x81\x6d\x91\xe8\x81\x6e";  // ：［題］
const QByteArray Keyword = "\x8c\x69\x8b\x43";                   // 景気
const QByteArray Other = "\x82\xbb\x82\xcc\x91\xbc";             // その他
const QByteArray NoArticle = "\x8b\x4c\x8e\x96\x82\xc8\x82\xb5"; // 記事なし

struct Sample
{
    ArticleList articles;

    Sample &add(const QString &url, const QString &title, const QByteArray &body,
                const QString &keyWord, bool urlOnly = false)
    {
        const qint32 i = articles.AddArticle();
        articles.setURL(i, url);
        articles[i].Title = title;
        articles[i].Body = body;
        articles[i].KeyWord = keyWord;
        articles[i].URLOnly = urlOnly;
        return *this;
    }
};

// The bodies of spoolSample's records, one large enough to span several chunks of a write.
const QList<QByteArray> SpoolBodies{"line1\r\n\r\nline3", {}, QByteArray(70'000, 'b'), "last\r\n"};

// Records with the SpoolBodies, each kept by setBody as a run keeps them; what setBody answered,
// per record, goes to answers.
void spoolSample(Sample &sample, QStringList &answers)
{
    for (qsizetype i = 0; i < SpoolBodies.size(); ++i) {
        const QString n = QString::number(i + 1);
        sample.add(u"http://p/"_s + n, u"T"_s + n, {}, i == 0 ? u"祝😀"_s : u"景気"_s);
        answers << sample.articles.setBody(qint32(i), SpoolBodies[i], qint32(i)).error;
    }
}

SaveContext saveContext(RunOptions &options, ScriptedPrompter &prompter, int layout, bool overWrite)
{
    options.Qfb = layout == int(OutputLayout::Qfb);
    options.Qfk = layout == int(OutputLayout::Qfk);
    options.Csv = layout == int(OutputLayout::Csv);
    options.OverWrite = overWrite;
    options.Append = !overWrite;
    SaveContext context{options, 0, prompter};
    context.now = [] {
        return QDateTime(QDate(2024, 12, 31), QTime(23, 59));
    };
    return context;
}

// A clock that moves on by one minute every time it is read, starting at 2024-12-31 23:59:30.
Clock steppingClock()
{
    auto next = std::make_shared<QDateTime>(QDate(2024, 12, 31), QTime(23, 59, 30));
    return [next] {
        const QDateTime now = *next;
        *next = next->addSecs(60);
        return now;
    };
}

} // namespace

class TestOutputWriters : public QObject
{
    Q_OBJECT

private slots:
    void layouts_data();
    void layouts();
    void lostCharactersPerRecord_data();
    void lostCharactersPerRecord();
    void lostCharactersLoggedAndTotalled();
    void layoutChoice_data();
    void layoutChoice();
    void overwriteOrAppend_data();
    void overwriteOrAppend();
    void unwritableFileIsTold();
    void failedWriteIsToldAndReported_data();
    void failedWriteIsToldAndReported();
    void spooledBodies_sameBytesAsInMemory_data();
    void spooledBodies_sameBytesAsInMemory();
    void unreadableSpool_saveFailsFileKept_data();
    void unreadableSpool_saveFailsFileKept();
};

void TestOutputWriters::layouts_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<bool>("noAddKey");
    QTest::addColumn<QByteArray>("expected");

    // Record 0: a keyword article whose body has an empty line; 1: mode 2's other; 2: address-only.
    const QByteArray body = "line1\r\n\r\nline3";
    const QByteArray d1 = "2024/12/31";
    const QByteArray d2 = "2025/01/01"; // the second and third records are written after midnight

    QTest::newRow("qfw") << int(OutputLayout::Qfw) << false
                         << d1 + Colon + Keyword + At + "T1\x01http://p/1\x01" + body + "\x01" +
                                d2 + Colon + Other + At + "T2\x01http://p/2\x01\x01" + d2 + Colon +
                                NoArticle + At + "T3\x01http://p/3\x01\x01";
    QTest::newRow("qfw without tags")
        << int(OutputLayout::Qfw) << true
        << d1 + Colon + "T1\x01http://p/1\x01" + body + "\x01" + d2 + Colon +
               "T2\x01http://p/2\x01\x01" + d2 + Colon + "T3\x01http://p/3\x01\x01";
    QTest::newRow("qfb") << int(OutputLayout::Qfb) << false
                         << "@\r\n" + d1 + Colon + Keyword + At + "T1 - http://p/1\r\n" + Dashes +
                                "\r\n" + body + "\r\n" + Equals + "\r\n" + "@\r\n" + d2 + Colon +
                                Other + At + "T2 - http://p/2\r\n" + Dashes + "\r\n\r\n" + Equals +
                                "\r\n" + "@\r\n" + d2 + Colon + NoArticle + At +
                                "T3 - http://p/3\r\n" + Dashes + "\r\n\r\n" + Equals + "\r\n";
    QTest::newRow("qfb without tags")
        << int(OutputLayout::Qfb) << true
        << "@\r\n" + d1 + Colon + "T1 - http://p/1\r\n" + Dashes + "\r\n" + body + "\r\n" + Equals +
               "\r\n" + "@\r\n" + d2 + Colon + "T2 - http://p/2\r\n" + Dashes + "\r\n\r\n" +
               Equals + "\r\n" + "@\r\n" + d2 + Colon + "T3 - http://p/3\r\n" + Dashes +
               "\r\n\r\n" + Equals + "\r\n";
    QTest::newRow("qfk across a minute boundary")
        << int(OutputLayout::Qfk) << false
        << "@\r\n2024/12/31(23:59)" + TitleTag + Keyword + At + "T1 - http://p/1\r\n" + Dashes +
               "\r\n" + body + "\r\n" + Equals + "\r\n" + "@\r\n2025/01/01(00:00)" + TitleTag +
               Other + At + "T2 - http://p/2\r\n" + Dashes + "\r\n\r\n" + Equals + "\r\n" +
               "@\r\n2025/01/01(00:01)" + TitleTag + NoArticle + At + "T3 - http://p/3\r\n" +
               Dashes + "\r\n\r\n" + Equals + "\r\n";
    QTest::newRow("csv, empty line gives two commas")
        << int(OutputLayout::Csv) << false
        << Keyword + At + "T1,http://p/1,line1,,line3\r\n" + Other + At + "T2,http://p/2,\r\n" +
               NoArticle + At + "T3,http://p/3,\r\n";
    QTest::newRow("csv without tags starts with the title")
        << int(OutputLayout::Csv) << true
        << QByteArray("T1,http://p/1,line1,,line3\r\nT2,http://p/2,\r\nT3,http://p/3,\r\n");
}

void TestOutputWriters::layouts()
{
    QFETCH(int, layout);
    QFETCH(bool, noAddKey);
    QFETCH(QByteArray, expected);

    Sample sample;
    sample.add(u"http://p/1"_s, u"T1"_s, "line1\r\n\r\nline3", u"景気"_s)
        .add(u"http://p/2"_s, u"T2"_s, {}, u"その他"_s)
        .add(u"http://p/3"_s, u"T3"_s, {}, u"記事なし"_s, true);

    // Each record reads the clock anew: the first is written before midnight, the others after.
    const QByteArray bytes = BuildOutput(OutputLayout(layout), sample.articles,
                                         WriterContext{noAddKey, steppingClock()});
    QCOMPARE(bytes, expected);
}

void TestOutputWriters::lostCharactersPerRecord_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<bool>("noAddKey");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("keyWord");
    QTest::addColumn<QString>("url");
    QTest::addColumn<int>("bodyLost");
    QTest::addColumn<int>("expected"); // 0: the record is not reported

    const int qfw = int(OutputLayout::Qfw), qfb = int(OutputLayout::Qfb);
    const int qfk = int(OutputLayout::Qfk), csv = int(OutputLayout::Csv);
    const QString url = u"http://p/1"_s;
    QTest::newRow("nothing lost, nothing told")
        << qfw << false << u"円相場"_s << u"円"_s << url << 0 << 0;
    QTest::newRow("a question mark of the title is no loss")
        << qfb << false << u"本当?"_s << u"円"_s << url << 0 << 0;
    QTest::newRow("emoji in the title, qfw")
        << qfw << false << u"祝😀"_s << u"円"_s << url << 0 << 1;
    QTest::newRow("emoji in the title, qfb")
        << qfb << false << u"祝😀"_s << u"円"_s << url << 0 << 1;
    QTest::newRow("emoji in the title, qfk")
        << qfk << false << u"祝😀😀"_s << u"円"_s << url << 0 << 2;
    QTest::newRow("emoji in the title, csv")
        << csv << false << u"祝😀"_s << u"円"_s << url << 0 << 1;
    QTest::newRow("keyword in the tag") << qfk << false << u"T"_s << u"é"_s << url << 0 << 1;
    QTest::newRow("no tag with NoAddKey, nothing lost")
        << qfw << true << u"T"_s << u"é"_s << url << 0 << 0;
    QTest::newRow("address") << csv << false << u"T"_s << u"円"_s << u"http://p/café"_s << 0 << 1;
    QTest::newRow("body alone, qfw") << qfw << false << u"T"_s << u"円"_s << url << 4 << 4;
    QTest::newRow("body alone, qfb") << qfb << false << u"T"_s << u"円"_s << url << 4 << 4;
    QTest::newRow("body alone, csv") << csv << false << u"T"_s << u"円"_s << url << 4 << 4;
    QTest::newRow("body and title add up")
        << qfk << false << u"😀"_s << u"é"_s << u"http://p/é"_s << 2 << 5;
}

void TestOutputWriters::lostCharactersPerRecord()
{
    QFETCH(int, layout);
    QFETCH(bool, noAddKey);
    QFETCH(QString, title);
    QFETCH(QString, keyWord);
    QFETCH(QString, url);
    QFETCH(int, bodyLost);
    QFETCH(int, expected);

    Sample sample;
    sample.add(url, title, "b?", keyWord);
    sample.articles[0].BodyLost = bodyLost;
    QList<qsizetype> told;
    const WriterContext context{noAddKey, steppingClock(),
                                [&](const ArticleRecord &record, qsizetype count) {
                                    QCOMPARE(record.Title, title);
                                    told << count;
                                }};
    BuildOutput(OutputLayout(layout), sample.articles, context);

    QCOMPARE(told, expected == 0 ? QList<qsizetype>{} : QList<qsizetype>{expected});
}

void TestOutputWriters::lostCharactersLoggedAndTotalled()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    Sample sample;
    sample.add(u"http://p/1"_s, u"祝😀"_s, {}, u"円"_s)
        .add(u"http://p/2"_s, u"無事"_s, {}, u"円"_s)
        .add(u"http://p/3"_s, u"T3"_s, "??", u"円"_s);
    sample.articles[2].BodyLost = 2;
    RunOptions options;
    ScriptedPrompter prompter;
    CapturedLog log;
    SaveContext context{options, 1, prompter};
    context.log = &log.log();

    const SaveResult result = SaveArticles(dir.filePath(u"VHT"_s), sample.articles, context);

    QVERIFY(result.written);
    QCOMPARE(result.lostCharacters, 3);
    QCOMPARE(log.lines(), (QStringList{u"祝😀の1文字はCP932で表せないため「?」にしました。"_s,
                                       u"T3の2文字はCP932で表せないため「?」にしました。"_s}));
    // The bytes are the same as without counting.
    QCOMPARE(readFile(result.SaveFilePath),
             BuildOutput(OutputLayout::Qfw, sample.articles, {false, context.now}));
}

void TestOutputWriters::layoutChoice_data()
{
    QTest::addColumn<bool>("qfb");
    QTest::addColumn<bool>("qfk");
    QTest::addColumn<bool>("csv");
    QTest::addColumn<QString>("extension");

    QTest::newRow("none gives qfw") << false << false << false << u".qfw"_s;
    QTest::newRow("csv") << false << false << true << u".csv"_s;
    QTest::newRow("qfk over csv") << false << true << true << u".qfk"_s;
    QTest::newRow("qfb over all") << true << true << true << u".qfb"_s;
    QTest::newRow("qfb over csv") << true << false << true << u".qfb"_s;
}

void TestOutputWriters::layoutChoice()
{
    QFETCH(bool, qfb);
    QFETCH(bool, qfk);
    QFETCH(bool, csv);
    QFETCH(QString, extension);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    RunOptions options;
    options.Qfb = qfb;
    options.Qfk = qfk;
    options.Csv = csv;
    ScriptedPrompter prompter;
    SaveContext context{options, 0, prompter};
    const SaveResult result = SaveArticles(dir.filePath(u"VHT20240101"_s), {}, context);
    QCOMPARE(result.SaveFilePath, dir.filePath(u"VHT20240101"_s + extension));
    QVERIFY(result.written);
    QVERIFY(QFile::exists(result.SaveFilePath));
}

void TestOutputWriters::overwriteOrAppend_data()
{
    QTest::addColumn<bool>("overWriteSwitch");
    QTest::addColumn<bool>("appendSwitch");
    QTest::addColumn<int>("chkOverWrite");
    QTest::addColumn<bool>("existing");
    QTest::addColumn<int>("records");
    QTest::addColumn<QByteArray>("expected");

    const QByteArray old = "old,contents\r\n";
    const QByteArray one = "T,http://p/1,b\r\n";
    QTest::newRow("setting off appends") << false << false << 0 << true << 1 << old + one;
    QTest::newRow("setting on overwrites") << false << false << 1 << true << 1 << one;
    QTest::newRow("greyed setting appends") << false << false << 2 << true << 1 << old + one;
    QTest::newRow("append switch beats the setting")
        << false << true << 1 << true << 1 << old + one;
    QTest::newRow("overwrite switch beats the setting") << true << false << 0 << true << 1 << one;
    QTest::newRow("both switches overwrite") << true << true << 0 << true << 1 << one;
    QTest::newRow("no records, overwrite empties")
        << true << false << 0 << true << 0 << QByteArray();
    QTest::newRow("no records, append leaves the file") << false << true << 0 << true << 0 << old;
    QTest::newRow("no records, append creates it empty")
        << false << true << 0 << false << 0 << QByteArray();
    QTest::newRow("append creates a missing file") << false << true << 0 << false << 1 << one;
}

void TestOutputWriters::overwriteOrAppend()
{
    QFETCH(bool, overWriteSwitch);
    QFETCH(bool, appendSwitch);
    QFETCH(int, chkOverWrite);
    QFETCH(bool, existing);
    QFETCH(int, records);
    QFETCH(QByteArray, expected);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString file = dir.filePath(u"out.csv"_s);
    if (existing)
        QVERIFY(writeFile(file, "old,contents\r\n"));

    Sample sample;
    if (records > 0)
        sample.add(u"http://p/1"_s, u"T"_s, "b", u"k"_s);
    RunOptions options;
    options.Csv = true;
    options.NoAddKey = true;
    options.OverWrite = overWriteSwitch;
    options.Append = appendSwitch;
    ScriptedPrompter prompter;
    SaveContext context{options, chkOverWrite, prompter};
    const SaveResult result = SaveArticles(dir.filePath(u"out"_s), sample.articles, context);

    QVERIFY(result.written);
    QVERIFY(prompter.messageTexts().isEmpty());
    QCOMPARE(readFile(file), expected);
    // The decision is kept in the run options, as the rest of the run sees them.
    QVERIFY(options.OverWrite || options.Append);
}

void TestOutputWriters::unwritableFileIsTold()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // A plain file where a folder should be: no one, root included, can create a file below it.
    const QString notAFolder = dir.filePath(u"plain"_s);
    QVERIFY(writeFile(notAFolder, "x"));

    const QStringList bases{notAFolder + u"/VHT"_s, dir.filePath(u"missing/VHT"_s)};
    for (const QString &base : bases) {
        Sample sample;
        sample.add(u"http://p/1"_s, u"T"_s, "b", u"k"_s);
        RunOptions options;
        ScriptedPrompter prompter;
        SaveContext context{options, 1, prompter};
        const SaveResult result = SaveArticles(base, sample.articles, context);

        QCOMPARE(result.SaveFilePath, base + u".qfw"_s);
        QVERIFY(!result.written);
        QCOMPARE(
            prompter.messageTexts(),
            QStringList{
                u"ファイルが保存できませんでした。\r\n"
                u"ディスクが入っているか。又は、フォルダ、ファイル名を確認してください。\r\n\r\n"_s +
                base + u".qfw"_s});
        QCOMPARE(prompter.messages.value(0).icon, MessageIcon::Stop);
        QVERIFY(!QFile::exists(result.SaveFilePath));
    }
}

void TestOutputWriters::failedWriteIsToldAndReported_data()
{
    QTest::addColumn<bool>("overWrite");
    QTest::addColumn<bool>("existed");
    QTest::newRow("overwrite") << true << true;
    QTest::newRow("append") << false << true;
    // The probe creates the file; a write that fails must not leave that empty file behind.
    QTest::newRow("overwrite, new file: none left") << true << false;
    QTest::newRow("append, new file: none left") << false << false;
}

void TestOutputWriters::failedWriteIsToldAndReported()
{
    QFETCH(bool, overWrite);
    QFETCH(bool, existed);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString file = dir.filePath(u"VHT.qfw"_s);
    const QByteArray old = existed ? "earlier run\x01"_ba : kUnreadable;
    if (existed)
        QVERIFY(writeFile(file, old));

    Sample sample;
    sample.add(u"http://p/1"_s, u"T"_s, "b", u"k"_s);
    RunOptions options;
    options.OverWrite = overWrite;
    options.Append = !overWrite;
    ScriptedPrompter prompter;
    // A disk that fills up: the helpers leave the file as it was and say why.
    auto full = [](const QString &path, QIODevice &) {
        return FileResult::failure(path, u"No space left on device"_s);
    };
    SaveContext context{options, 0, prompter};
    context.files.replace = full;
    context.files.append = full;
    const SaveResult result = SaveArticles(dir.filePath(u"VHT"_s), sample.articles, context);

    QVERIFY(!result.written);
    QCOMPARE(prompter.messageTexts(), QStringList{u"ファイルが保存できませんでした。\r\n"_s + file +
                                                  u": No space left on device"_s});
    QCOMPARE(prompter.messages.value(0).icon, MessageIcon::Stop);
    QCOMPARE(readFile(file), old);
}

void TestOutputWriters::spooledBodies_sameBytesAsInMemory_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<bool>("overWrite");
    QTest::addColumn<qint64>("spoolRoom"); // bytes the spool may take; 0: no limit

    const int layouts[] = {int(OutputLayout::Qfw), int(OutputLayout::Qfb), int(OutputLayout::Qfk),
                           int(OutputLayout::Csv)};
    for (const int layout : layouts) {
        const QByteArray name = LayoutExtension(OutputLayout(layout)).toLatin1();
        QTest::newRow(QByteArray(name + ", overwrite").constData()) << layout << true << qint64(0);
        QTest::newRow(QByteArray(name + ", append").constData()) << layout << false << qint64(0);
    }
    // The large body does not fit: it and the last one stay in memory, the first is spooled.
    QTest::newRow(".qfw, spool full part-way") << int(OutputLayout::Qfw) << false << qint64(1000);
    QTest::newRow(".csv, spool full part-way") << int(OutputLayout::Csv) << true << qint64(1000);
}

void TestOutputWriters::spooledBodies_sameBytesAsInMemory()
{
    QFETCH(int, layout);
    QFETCH(bool, overWrite);
    QFETCH(qint64, spoolRoom);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString spoolFolder = dir.filePath(u"spool"_s);
    QVERIFY(QDir().mkpath(spoolFolder));

    Sample inMemory, spooled;
    QStringList memoryAnswers, spoolAnswers;
    spoolSample(inMemory, memoryAnswers);
    QVERIFY(spooled.articles.spoolBodiesIn(spoolFolder).ok);
    {
        const FileSizeCap cap(spoolRoom > 0 ? rlim_t(spoolRoom) : RLIM_INFINITY);
        QVERIFY(cap.isActive());
        spoolSample(spooled, spoolAnswers);
    }
    QCOMPARE(memoryAnswers, QStringList(SpoolBodies.size(), QString()));
    QStringList expectedAnswers(SpoolBodies.size(), QString());
    if (spoolRoom > 0) // told once, for the body that did not fit
        expectedAnswers[2] = spoolFolder + u": temporary file: File too large"_s;
    QCOMPARE(spoolAnswers, expectedAnswers);

    QByteArray written[2];
    QStringList logged[2];
    for (int i = 0; i < 2; ++i) {
        const QString base = dir.filePath(i == 0 ? u"memory"_s : u"spooled"_s);
        const QString file = base + LayoutExtension(OutputLayout(layout));
        QVERIFY(writeFile(file, "earlier run\x01"));
        RunOptions options;
        ScriptedPrompter prompter;
        CapturedLog log;
        SaveContext context = saveContext(options, prompter, layout, overWrite);
        context.log = &log.log();
        const SaveResult result =
            SaveArticles(base, i == 0 ? inMemory.articles : spooled.articles, context);
        QVERIFY(result.written);
        QCOMPARE(result.lostCharacters, 1 + 1 + 2 + 3);
        QVERIFY(prompter.messageTexts().isEmpty());
        written[i] = readFile(file);
        logged[i] = log.lines();
    }
    QCOMPARE(written[1], written[0]);
    QCOMPARE(logged[1], logged[0]);
    QCOMPARE(logged[1].size(), 4); // every record lost some
    QVERIFY(written[1].contains(SpoolBodies[2]));
    QCOMPARE(written[1].startsWith("earlier run\x01"), !overWrite);
}

void TestOutputWriters::unreadableSpool_saveFailsFileKept_data()
{
    QTest::addColumn<bool>("overWrite");
    QTest::addColumn<bool>("existed");
    QTest::newRow("overwrite") << true << true;
    QTest::newRow("append") << false << true;
    QTest::newRow("append, new file: none left") << false << false;
}

void TestOutputWriters::unreadableSpool_saveFailsFileKept()
{
    QFETCH(bool, overWrite);
    QFETCH(bool, existed);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString spoolFolder = dir.filePath(u"spool"_s);
    QVERIFY(QDir().mkpath(spoolFolder));
    Sample sample;
    QStringList answers;
    QVERIFY(sample.articles.spoolBodiesIn(spoolFolder).ok);
    spoolSample(sample, answers);
    // The large body's place lies beyond the spool's end, as after a failing disk.
    sample.articles[2].SpooledAt = 10'000'000;
    const QString file = dir.filePath(u"VHT.qfw"_s);
    const QByteArray old = existed ? "earlier run\x01"_ba : kUnreadable;
    if (existed)
        QVERIFY(writeFile(file, old));

    RunOptions options;
    ScriptedPrompter prompter;
    CapturedLog log;
    SaveContext context = saveContext(options, prompter, int(OutputLayout::Qfw), overWrite);
    context.log = &log.log();
    const SaveResult result = SaveArticles(dir.filePath(u"VHT"_s), sample.articles, context);

    QVERIFY(!result.written);
    QCOMPARE(result.lostCharacters, 0);
    QCOMPARE(prompter.messageTexts(),
             QStringList{u"ファイルが保存できませんでした。\r\n"_s + file +
                         u": could not read what was to be written: "_s + spoolFolder +
                         u": temporary file: read only 0 of 70000 bytes"_s});
    QCOMPARE(readFile(file), old);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
             existed ? QStringList{u"VHT.qfw"_s} : QStringList{});
    // Every record that lost characters is still named, those after the failure too.
    QCOMPARE(log.lines().size(), 4);
}

QTEST_GUILESS_MAIN(TestOutputWriters)
#include "tst_outputwriters.moc"
