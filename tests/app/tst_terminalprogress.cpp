// The headless progress line: what reaches the terminal, and how often.
#include "ScriptedPrompter.h"
#include "TerminalProgress.h"
#include "TestFiles.h"

#include <QTest>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

struct Terminal
{
    std::FILE *file = std::tmpfile();
    qint64 now = 0;
    ~Terminal() { std::fclose(file); }
};

} // namespace

class tst_TerminalProgress : public QObject
{
    Q_OBJECT

private slots:
    void redraws_areThrottled_data();
    void redraws_areThrottled();
    void lastArticle_isAlwaysShown();
    void line_fitsTheWidth_data();
    void line_fitsTheWidth();
    void messages_getALineOfTheirOwn();
};

void tst_TerminalProgress::redraws_areThrottled_data()
{
    QTest::addColumn<QList<int>>("times"); // a setInfo with a new text at each time (ms)
    QTest::addColumn<int>("draws");

    QTest::newRow("burst: first only") << QList<int>{0, 10, 20, 30} << 1;
    QTest::newRow("spread: every one") << QList<int>{0, 100, 200, 300} << 4;
    QTest::newRow("mixed") << QList<int>{0, 50, 120, 130, 260} << 3;
}

void tst_TerminalProgress::redraws_areThrottled()
{
    QFETCH(QList<int>, times);
    QFETCH(int, draws);
    Terminal terminal;
    {
        TerminalProgress progress(terminal.file, 80, [&] { return terminal.now; });
        for (int i = 0; i < times.size(); ++i) {
            terminal.now = times.at(i);
            progress.setInfo(u"ラベル%1"_s.arg(i));
        }
        QCOMPARE(streamText(terminal.file).count(u"\r\x1b[K"_s), draws);
    }
    // Leaving puts the final state on its own finished line.
    const QString all = streamText(terminal.file);
    QVERIFY(all.endsWith(u"ラベル%1\n"_s.arg(times.size() - 1)));
}

void tst_TerminalProgress::lastArticle_isAlwaysShown()
{
    Terminal terminal;
    TerminalProgress progress(terminal.file, 80, [&] { return terminal.now; });
    progress.setInfo(u"記事を受信しています。"_s);
    progress.setMax(4);
    for (int i = 1; i <= 4; ++i)
        progress.setValue(i);

    const QString last = streamText(terminal.file).section(u"\r\x1b[K"_s, -1);
    QCOMPARE(last, u"記事を受信しています。 [####################] 4 / 4"_s);
}

void tst_TerminalProgress::line_fitsTheWidth_data()
{
    QTest::addColumn<int>("columns");
    QTest::addColumn<QString>("line");

    QTest::newRow("wide characters take two columns") << 11 << u"記事を受信"_s;
    QTest::newRow("no half of a wide character") << 12 << u"記事を受信"_s;
    QTest::newRow("wide enough") << 80 << u"記事を受信しています。 [##########..........] 5 / 10"_s;
}

void tst_TerminalProgress::line_fitsTheWidth()
{
    QFETCH(int, columns);
    QFETCH(QString, line);
    Terminal terminal;
    TerminalProgress progress(terminal.file, columns, [] { return 0; });
    progress.setInfo(u"記事を受信しています。"_s);
    progress.setMax(10);
    progress.setValue(5);
    QCOMPARE(progress.lineText(), line);
}

void tst_TerminalProgress::messages_getALineOfTheirOwn()
{
    Terminal terminal;
    ScriptedPrompter inner;
    {
        TerminalProgress progress(terminal.file, 80, [&] { return terminal.now; });
        LineClearingPrompter prompter(inner, progress);
        progress.setInfo(u"取得すべきデータの一覧を作成しています(0/11)"_s);
        prompter.tell(u"message"_s, MessageIcon::Stop);
        // The line was wiped and nothing redraws it on leaving.
        QVERIFY(streamText(terminal.file).endsWith(u"\r\x1b[K"_s));
    }
    QVERIFY(streamText(terminal.file).endsWith(u"\r\x1b[K"_s));
    QCOMPARE(inner.messageTexts(), QStringList{u"message"_s});
}

QTEST_GUILESS_MAIN(tst_TerminalProgress)
#include "tst_terminalprogress.moc"
