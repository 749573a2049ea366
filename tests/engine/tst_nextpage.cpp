#include "EngineTestSupport.h"
#include "engine/NextPage.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestNextPage : public QObject
{
    Q_OBJECT

private slots:
    void getNextPageURL_data();
    void getNextPageURL();
};

void TestNextPage::getNextPageURL_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("found");

    QTest::newRow("next-page link") << u"<ul></ul><a href=/headlines/dom/2.html>次ページ</a>"_s
                                    << u"http://portal/headlines/dom/2.html"_s << true;
    QTest::newRow("no next-page text") << u"<ul><li><a href=/a>t</a></ul>"_s << QString() << false;
    QTest::newRow("last occurrence and the link opened before it")
        << u"<a href=/p1>次ページ</a> <a href=/p2>前へ</a><a href=/p3>次ページ</a>"_s
        << u"http://portal/p3"_s << true;
    QTest::newRow("plain text after the last link takes that link")
        << u"<a href=/last.html>最後</a> 次ページ"_s << u"http://portal/last.html>最後</a>"_s
        << true;
    QTest::newRow("text without any link before it")
        << u"次ページ <a href=/x>x</a>"_s << QString() << false;
    QTest::newRow("link tag overlapping the text is not before it")
        << u"<a hre次ページ"_s << QString() << false;
    QTest::newRow("text right after the link opening")
        << u"<a href=次ページ"_s << QString() << false;
    QTest::newRow("empty link target") << u"<a href=>次ページ"_s << u"http://portal"_s << true;
    QTest::newRow("link starting the page")
        << u"<a href=/2>次ページ"_s << u"http://portal/2"_s << true;
    QTest::newRow("empty page") << QString() << QString() << false;
}

void TestNextPage::getNextPageURL()
{
    QFETCH(QString, page);
    QFETCH(QString, expected);
    QFETCH(bool, found);

    CapturedLog log;
    QCOMPARE(GetNextPageURL(page, u"http://portal"_s, log.log()), expected);

    const QStringList expectedLog =
        found ? QStringList{u"次ページの存在確認をしています..."_s, u"次ページが存在しました。"_s}
              : QStringList{u"次ページの存在確認をしています..."_s,
                            u"次ページは存在しませんでした(カテゴリ終了)。"_s};
    QCOMPARE(log.lines(), expectedLog);
}

QTEST_GUILESS_MAIN(TestNextPage)
#include "tst_nextpage.moc"
