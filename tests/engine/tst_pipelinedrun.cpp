// The run against the real portal with one connection and with several: everything a person or
// a file can observe must be the same, and the portal never sees more requests at once than
// the run was allowed.
#include "EngineTestSupport.h"
#include "PortalProcess.h"
#include "ScriptedPrompter.h"
#include "TestFiles.h"
#include "engine/CurlTransport.h"
#include "engine/FetchRun.h"
#include "engine/HttpTransport.h"
#include "startup/ProgramState.h"
#include "util/CodePage.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

QList<Item> articles(const QString &prefix, int from, int count)
{
    QList<Item> items;
    for (int i = from; i < from + count; ++i)
        items.append(
            {u"/a/"_s + prefix + QString::number(i), u"速報 "_s + prefix + QString::number(i)});
    return items;
}

// What one run left behind.
struct Observed
{
    QByteArray output;
    QStringList log;
    QStringList questions;
    QList<qint32> progress;
    RunEnd end = RunEnd::Completed;
    QStringList requests; // sorted: the order may differ, the requests may not
    int mostAtOnce = -1;
    int connections = -1;
};

QHash<QString, int> statsOf(const QByteArray &report)
{
    QHash<QString, int> stats;
    for (const QByteArray &line : report.split('\n')) {
        const QList<QByteArray> parts = line.trimmed().split(' ');
        if (parts.size() == 2)
            stats.insert(QString::fromLatin1(parts.at(0)), parts.at(1).toInt());
    }
    return stats;
}

} // namespace

Q_DECLARE_METATYPE(Item)

class tst_PipelinedRun : public QObject
{
    Q_OBJECT

private slots:
    void sameRunWithEveryConnectionCount_data();
    void sameRunWithEveryConnectionCount();

private:
    // The site of a scenario: two categories, the first over two list pages, articles in
    // between whose paths name the fault routes.
    void writeSite(const QString &root, const QList<Item> &special);
    Observed runWith(int connections, const QList<Item> &special, const QList<bool> &answers,
                     int cancelAtArticle);

    CurlGlobal m_curl;
};

void tst_PipelinedRun::writeSite(const QString &root, const QList<Item> &special)
{
    QList<Item> first = articles(u"d"_s, 1, 4) + special + articles(u"d"_s, 5, 3);
    QVERIFY(writeFile(root + u"/headlines/dom/index.html"_s,
                      headlinePage(first, u"/headlines/dom/2"_s).toUtf8()));
    QVERIFY(writeFile(root + u"/headlines/dom/2.html"_s,
                      headlinePage(articles(u"d"_s, 8, 5)).toUtf8()));
    QVERIFY(writeFile(root + u"/headlines/int/index.html"_s,
                      headlinePage(articles(u"i"_s, 1, 6)).toUtf8()));
    for (const QString &prefix : {u"d"_s, u"i"_s}) {
        for (int i = 1; i <= 12; ++i) {
            const QString text = u"<html><body>\n<!-- TextStart -->"_s + prefix +
                                 QString::number(i) + u"の本文<br>二行目<!-- TextEnd -->\n"_s;
            QVERIFY(writeFile(root + u"/a/"_s + prefix + QString::number(i) + u".html"_s,
                              text.toUtf8()));
        }
    }
}

Observed tst_PipelinedRun::runWith(int connections, const QList<Item> &special,
                                   const QList<bool> &answers, int cancelAtArticle)
{
    Observed seen;
    QTemporaryDir dir;
    const QString root = dir.filePath(u"root"_s);
    writeSite(root, special);
    PortalProcess portal({u"--root"_s, root, u"--log"_s, dir.filePath(u"portal.log"_s)});
    if (!portal.failure().isEmpty()) {
        qWarning("%s", qPrintable(portal.failure()));
        return seen;
    }

    ProgramState state;
    prepareRunState(state, dir.path());
    state.settings.Category[0] = 1;
    state.settings.Category[1] = 1;
    state.BaseURL = portal.baseUrl();
    state.keyWords.insertSorted(u"速報"_s);
    state.log.setOptions(true, false);
    state.log.setWindowSink(
        [&seen](const QString &line) { seen.log << line.section(u" ] "_s, 1); });

    const std::unique_ptr<HttpTransport> http =
        MakeCurlTransport(std::chrono::seconds(10), connections);
    ScriptedPrompter prompter;
    prompter.answers = answers;
    RecordingProgress progress;
    progress.cancelAtEvent = cancelAtArticle;
    RunServices services{*http, prompter, progress, [] {
                             return QDateTime(QDate(2024, 3, 1), QTime(10, 30));
                         }};

    seen.end =
        FetchNews({state.settings, state.keyWords, state.runOptions, state.BaseURL, state.log},
                  services)
            .end;
    // Each run has a portal of its own, on a port of its own.
    const QString base = portal.baseUrl();
    seen.output = readFile(dir.filePath(u"out.csv"_s)).replace(base.toUtf8(), "BASE");
    seen.log.replaceInStrings(base, u"BASE"_s);
    seen.questions = prompter.questionTexts().replaceInStrings(base, u"BASE"_s);
    seen.progress = progress.values;

    // The stats come over a connection of their own.
    const HttpReply stats = MakeCurlTransport()->get(portal.baseUrl() + u"/portal/stats"_s);
    const QHash<QString, int> numbers = statsOf(stats.body);
    seen.mostAtOnce = numbers.value(u"most-at-once"_s, -1);
    seen.connections = numbers.value(u"connections"_s, -1);
    seen.requests =
        QString::fromUtf8(readFile(dir.filePath(u"portal.log"_s))).split(u'\n', Qt::SkipEmptyParts);
    // libcurl asks once more by itself when a reused connection turns out dropped, so how often
    // a dropped request reaches the portal depends on which connection it went over.
    seen.requests.removeAll(u"GET /fault/reset"_s);
    std::sort(seen.requests.begin(), seen.requests.end());
    return seen;
}

void tst_PipelinedRun::sameRunWithEveryConnectionCount_data()
{
    QTest::addColumn<QList<Item>>("special"); // articles placed among the first category's
    QTest::addColumn<QList<bool>>("answers");
    QTest::addColumn<int>("cancelAtArticle"); // -1: never
    QTest::addColumn<RunEnd>("end");

    QTest::newRow("plain") << QList<Item>{} << QList<bool>{} << -1 << RunEnd::Completed;
    QTest::newRow("slowFirstArticle_laterRepliesWait")
        << QList<Item>{{u"/fault/delay/400"_s, u"速報 遅い"_s}} << QList<bool>{} << -1
        << RunEnd::Completed;
    QTest::newRow("failingArticle_yesThenNo")
        << QList<Item>{{u"/fault/reset"_s, u"速報 切断"_s}} << QList<bool>{true, false} << -1
        << RunEnd::Completed;
    QTest::newRow("emptyReply_silentRetryThenYes")
        << QList<Item>{{u"/fault/empty-first/2/e"_s, u"速報 空"_s}} << QList<bool>{true} << -1
        << RunEnd::Completed;
    QTest::newRow("sameEmptyAddressTwice")
        << QList<Item>{{u"/fault/empty-first/3/twice"_s, u"速報 空1"_s},
                       {u"/fault/empty-first/3/twice"_s, u"速報 空2"_s}}
        << QList<bool>{true, true} << -1 << RunEnd::Completed;
    QTest::newRow("emptyPage_noGivesUp") << QList<Item>{{u"/fault/empty"_s, u"速報 空のまま"_s}}
                                         << QList<bool>{false} << -1 << RunEnd::GaveUp;
    QTest::newRow("cancelInTheMiddle") << QList<Item>{} << QList<bool>{} << 9 << RunEnd::Cancelled;
}

void tst_PipelinedRun::sameRunWithEveryConnectionCount()
{
    QFETCH(QList<Item>, special);
    QFETCH(QList<bool>, answers);
    QFETCH(int, cancelAtArticle);
    QFETCH(RunEnd, end);

    const Observed one = runWith(1, special, answers, cancelAtArticle);
    QCOMPARE(one.end, end);
    QVERIFY(!one.log.isEmpty());
    QCOMPARE(one.mostAtOnce, 1);
    // The portal's drops make new connections: the count holds only where there are none.
    const bool dropped = one.connections != 1;

    for (int connections : {2, 4}) {
        const Observed many = runWith(connections, special, answers, cancelAtArticle);
        QCOMPARE(many.end, one.end);
        QCOMPARE(many.output, one.output);
        QCOMPARE(many.log, one.log);
        QCOMPARE(many.questions, one.questions);
        QCOMPARE(many.progress, one.progress);
        QVERIFY2(many.mostAtOnce >= 1 && many.mostAtOnce <= connections,
                 qPrintable(QString::number(many.mostAtOnce)));
        QVERIFY2(dropped || (many.connections >= 1 && many.connections <= connections),
                 qPrintable(QString::number(many.connections)));
        // A run that reads every page asks for exactly the same pages; a cancelled or
        // abandoned one may have asked a few ahead.
        if (end == RunEnd::Completed)
            QCOMPARE(many.requests, one.requests);
        // While the slow page is answered, the pages after it are asked for.
        if (QByteArray(QTest::currentDataTag()).startsWith("slowFirstArticle"))
            QVERIFY2(many.mostAtOnce >= 2, qPrintable(QString::number(many.mostAtOnce)));
    }
}

QTEST_GUILESS_MAIN(tst_PipelinedRun)
#include "tst_pipelinedrun.moc"
