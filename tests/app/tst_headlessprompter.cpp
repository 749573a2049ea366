#include "HeadlessPrompter.h"
#include "TestFiles.h"

#include <QTest>

#include <cstdio>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

struct FileCloser
{
    void operator()(std::FILE *file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// A terminal that has the given lines typed into it.
File typed(const QByteArray &input)
{
    File file(std::tmpfile());
    std::fwrite(input.constData(), 1, size_t(input.size()), file.get());
    std::rewind(file.get());
    return file;
}

} // namespace

class tst_HeadlessPrompter : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { qputenv("LC_ALL", "C.UTF-8"); }
    void askYesNo_data();
    void askYesNo();
    void tell_prefixesEveryLine();
    void askText_data();
    void askText();
};

void tst_HeadlessPrompter::askYesNo_data()
{
    QTest::addColumn<QString>("script"); // q: a question, p: a page fetch starts
    QTest::addColumn<QString>("answers");

    QTest::newRow("first two yes") << u"qqq"_s << u"YYN"_s;
    QTest::newRow("later ones stay no") << u"qqqqq"_s << u"YYNNN"_s;
    QTest::newRow("new page counts afresh") << u"qqqpqq"_s << u"YYNYY"_s;
    QTest::newRow("page start before any question") << u"pqpq"_s << u"YY"_s;
}

void tst_HeadlessPrompter::askYesNo()
{
    QFETCH(QString, script);
    QFETCH(QString, answers);

    File errors(std::tmpfile());
    HeadlessPrompter prompter(errors.get(), nullptr);
    QString given;
    for (QChar step : script) {
        if (step == u'p')
            prompter.pageFetchStarted();
        else
            given += prompter.askYesNo(u"再試行しますか?"_s, MessageIcon::Question) ? u'Y' : u'N';
    }
    QCOMPARE(given, answers);

    const QStringList lines = streamText(errors.get()).split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2 * answers.size());
    for (qsizetype i = 0; i < answers.size(); ++i) {
        QCOMPARE(lines.value(2 * i), u"Varnholt: 再試行しますか?"_s);
        QCOMPARE(lines.value(2 * i + 1),
                 answers.at(i) == u'Y' ? u"Varnholt: -> Yes"_s : u"Varnholt: -> No"_s);
    }
}

void tst_HeadlessPrompter::tell_prefixesEveryLine()
{
    File errors(std::tmpfile());
    HeadlessPrompter prompter(errors.get(), nullptr);
    prompter.tell(u"中止します。"_s, MessageIcon::Stop);
    prompter.tell(u"a\r\nb"_s, MessageIcon::Information);
    QCOMPARE(streamText(errors.get()), u"Varnholt: 中止します。\nVarnholt: a\nVarnholt: b\n"_s);
}

void tst_HeadlessPrompter::askText_data()
{
    QTest::addColumn<bool>("terminal");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("answer");

    QTest::newRow("no terminal takes suggestion") << false << QByteArray() << u"kazemi"_s;
    QTest::newRow("typed name") << true << QByteArray("other\n") << u"other"_s;
    QTest::newRow("enter accepts suggestion") << true << QByteArray("\n") << u"kazemi"_s;
    QTest::newRow("end of input cancels") << true << QByteArray() << QString();
    QTest::newRow("CR LF line end") << true << QByteArray("x\r\n") << u"x"_s;
    QTest::newRow("last line without end") << true << QByteArray("tail") << u"tail"_s;
    QTest::newRow("long line") << true << QByteArray(600, 'a') + '\n' << QString(600, u'a');
    QTest::newRow("UTF-8 name") << true << QByteArray("風見\n") << u"風見"_s;
}

void tst_HeadlessPrompter::askText()
{
    QFETCH(bool, terminal);
    QFETCH(QByteArray, input);
    QFETCH(QString, answer);

    File errors(std::tmpfile());
    File in = typed(input);
    HeadlessPrompter prompter(errors.get(), terminal ? in.get() : nullptr);
    QCOMPARE(prompter.askText(u"フォルダ名"_s, u"title"_s, u"kazemi"_s), answer);
    QVERIFY(streamText(errors.get()).startsWith(u"Varnholt: フォルダ名\n"_s));
}

QTEST_GUILESS_MAIN(tst_HeadlessPrompter)
#include "tst_headlessprompter.moc"
