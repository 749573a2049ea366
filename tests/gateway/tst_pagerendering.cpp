// The gateway's pages as Varnholt reads them: what a feed's or a page's text can do to the
// portal's page forms, and which characters reach the person's file.
#include "PageRendering.h"
#include "PageSafe.h"
#include "archive/Archive.h"
#include "engine/ArticleList.h"
#include "engine/ArticleText.h"
#include "engine/FetchProgress.h"
#include "engine/HeadlineParser.h"
#include "engine/KeyWordMatcher.h"
#include "engine/NextPage.h"
#include "engine/PortalMarkers.h"
#include "util/CodePage.h"
#include "util/DebugLog.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString kBase = u"http://127.0.0.1:8642"_s;

ArchivedItem item(qint64 id, const QString &title)
{
    ArchivedItem item;
    item.id = id;
    item.title = title;
    item.source = u"テスト新聞"_s;
    item.link = QUrl(u"http://news.test/a?id=%1&p=1"_s.arg(id));
    item.published = QDateTime(QDate(2024, 5, 1), QTime(9, 30));
    return item;
}

PageTemplates::ListPage listOf(const QString &nextPath = {})
{
    PageTemplates::ListPage list;
    list.code = u"dom"_s;
    list.day = QDate(2024, 5, 1);
    list.nextPath = nextPath;
    list.pageCount = nextPath.isEmpty() ? 1 : 2;
    return list;
}

// What Varnholt takes from a list page: the titles it records, and the page it reads next.
struct ListReading
{
    QStringList titles;
    QString next;
};

ListReading readList(const QByteArray &page)
{
    const QString text = CodePage::fromEucJp(page);
    ArticleList articles;
    DebugLog log;
    SilentProgress progress;
    const KeyWordMatcher matcher({u"該当なし"_s});
    HeadlineContext context{matcher, 2, kBase, articles, log, progress};
    ParseHeadlines(text, context);
    ListReading reading;
    for (qint32 i = 0; i < articles.ArticleCount(); ++i)
        reading.titles << articles[i].Title;
    reading.next = GetNextPageURL(text, kBase, log);
    return reading;
}

// What Varnholt writes of an article page: its text's lines, without the portal's indent.
QStringList readArticle(const QByteArray &page)
{
    QStringList lines;
    for (QString line : ExtractArticleText(CodePage::fromEucJp(page)).split(u"\r\n"_s)) {
        if (line.startsWith(u'　'))
            line.remove(0, 1);
        if (!line.isEmpty())
            lines << line;
    }
    return lines;
}

} // namespace

class tst_PageRendering : public QObject
{
    Q_OBJECT

private slots:
    void markerText_arrivesWhole_data();
    void markerText_arrivesWhole();
    void nextPageInATitle_followedOnlyWhenThereIsANextPage();
    void articleWithoutText_noticeWithItsAddress_data();
    void articleWithoutText_noticeWithItsAddress();
};

void tst_PageRendering::markerText_arrivesWhole_data()
{
    QTest::addColumn<QString>("text");

    for (const QStringView marker :
         {PortalMarkers::NoArticle, PortalMarkers::Headlines, PortalMarkers::ItemStart,
          PortalMarkers::TitleEnd, PortalMarkers::ListEnd, PortalMarkers::LinkStart,
          PortalMarkers::NextPage, PortalMarkers::TextStart, PortalMarkers::TextEnd})
        QTest::newRow(marker.toUtf8().constData()) << u"前"_s + marker + u"後"_s;
    QTest::newRow("a next-page link as text") << u"<a href=/headlines/dom/2>次ページ</a>"_s;
    QTest::newRow("line break tags") << u"一行<br>二行<BR >三行<br/>"_s;
    QTest::newRow("an entity") << u"&lt;!-- TextEnd --&gt; &amp;"_s;
    QTest::newRow("line breaks and a NUL") << u"一行\r\n二行\n三行\r四行\u0000五行"_s;
    QTest::newRow("line and paragraph separators") << u"一行\u2028二行\u2029三行"_s;
}

void tst_PageRendering::markerText_arrivesWhole()
{
    QFETCH(QString, text);
    const QString safe = PageSafe(text);

    // A title that carries a marker leaves the list and the items after it as they are.
    const QList<ArchivedItem> items{item(1, text), item(2, u"次の見出し"_s)};
    const ListReading list = readList(RenderListPage(listOf(), items).body);
    QCOMPARE(list.titles, (QStringList{safe, u"次の見出し"_s}));
    QCOMPARE(list.next, QString());

    // A paragraph that starts with an address and carries the end marker is text like any other.
    const QStringList paragraphs{text, u"http://news.test/x "_s + text, u"最後の段落。"_s};
    const QStringList lines = readArticle(RenderArticlePage(item(1, text), paragraphs).body);
    QCOMPARE(lines, (QStringList{safe, u"http://news.test/x "_s + safe, u"最後の段落。"_s}));
}

void tst_PageRendering::nextPageInATitle_followedOnlyWhenThereIsANextPage()
{
    const QList<ArchivedItem> items{item(1, u"次ページ"_s), item(2, u"見出し 次ページ"_s)};
    QCOMPARE(readList(RenderListPage(listOf(), items).body).next, QString());
    QCOMPARE(readList(RenderListPage(listOf(u"/headlines/dom/2"_s), items).body).next,
             kBase + u"/headlines/dom/2"_s);
    // A page whose headlines say nothing of the kind stays as it was.
    const QByteArray plain = RenderListPage(listOf(), {item(1, u"見出し"_s)}).body;
    QVERIFY(!plain.contains("<!-- <a href="));
}

void tst_PageRendering::articleWithoutText_noticeWithItsAddress_data()
{
    QTest::addColumn<QString>("link");
    QTest::addColumn<QStringList>("paragraphs");
    QTest::addColumn<QString>("address"); // as the page gives it

    const QString notice = u"この記事の本文は取得できませんでした。元の記事:"_s;
    const QString link = u"http://news.test/a?id=1&p=1"_s;
    QTest::newRow("no text") << link << QStringList{} << link;
    QTest::newRow("no text, as the archive stores it") << link << QStringList{QString()} << link;
    QTest::newRow("the notice an older archive stored")
        << link << QStringList{notice, link} << link;
    QTest::newRow("markup in the address percent-encoded")
        << u"http://news.test/<!-- TextEnd -->/a?q=<b>&r=次ページ"_s << QStringList{}
        << u"http://news.test/%3C!--%20TextEnd%20--%3E/a?q=%3Cb%3E&r=%E6%AC%A1%E3%83%9A%E3%83%BC%E3%82%B8"_s;
}

void tst_PageRendering::articleWithoutText_noticeWithItsAddress()
{
    QFETCH(QString, link);
    QFETCH(QStringList, paragraphs);
    QFETCH(QString, address);

    ArchivedItem article = item(1, u"見出し"_s);
    article.link = QUrl(link);
    const QByteArray page = RenderArticlePage(article, paragraphs).body;
    QCOMPARE(readArticle(page),
             (QStringList{u"この記事の本文は取得できませんでした。元の記事:"_s, address}));
}

QTEST_GUILESS_MAIN(tst_PageRendering)
#include "tst_pagerendering.moc"
