// The gateway's pages as Varnholt reads them: what a feed's or a page's text can do to the
// portal's page forms, and which characters reach the person's file.
#include "FaultLog.h"
#include "PageRendering.h"
#include "PageSafe.h"
#include "PortalCharacters.h"
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

// The gateway's standard error.
struct Said
{
    QStringList lines;
    FaultLog log{[this](const QString &line) {
        lines << line;
    }};
};

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

// The title between the list page's link and "</a>", as the bytes on the wire.
QByteArray titleBytes(const QByteArray &page, qint64 id)
{
    const QByteArray start = "<li><a href=/article/" + QByteArray::number(id) + ">";
    const qsizetype from = page.indexOf(start);
    if (from < 0)
        return "(no item)";
    const qsizetype begin = from + start.size();
    return page.mid(begin, page.indexOf("</a>", begin) - begin);
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
    void titles_data();
    void titles();
    void lostCharacters_saidOncePerItemAndPage();
    void lookAlikes_everyOneCarried();
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
    Said said;

    // A title that carries a marker leaves the list and the items after it as they are.
    const QList<ArchivedItem> items{item(1, text), item(2, u"次の見出し"_s)};
    const ListReading list = readList(RenderListPage(listOf(), items, said.log).body);
    QCOMPARE(list.titles, (QStringList{safe, u"次の見出し"_s}));
    QCOMPARE(list.next, QString());

    // A paragraph that starts with an address and carries the end marker is text like any other.
    const QStringList paragraphs{text, u"http://news.test/x "_s + text, u"最後の段落。"_s};
    const QStringList lines =
        readArticle(RenderArticlePage(item(1, text), paragraphs, said.log).body);
    QCOMPARE(lines, (QStringList{safe, u"http://news.test/x "_s + safe, u"最後の段落。"_s}));
    QCOMPARE(said.lines, QStringList());
}

void tst_PageRendering::nextPageInATitle_followedOnlyWhenThereIsANextPage()
{
    Said said;
    const QList<ArchivedItem> items{item(1, u"次ページ"_s), item(2, u"見出し 次ページ"_s)};
    QCOMPARE(readList(RenderListPage(listOf(), items, said.log).body).next, QString());
    QCOMPARE(readList(RenderListPage(listOf(u"/headlines/dom/2"_s), items, said.log).body).next,
             kBase + u"/headlines/dom/2"_s);
    // A page whose headlines say nothing of the kind stays as it was.
    const QByteArray plain = RenderListPage(listOf(), {item(1, u"見出し"_s)}, said.log).body;
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
    Said said;
    const QByteArray page = RenderArticlePage(article, paragraphs, said.log).body;
    QCOMPARE(readArticle(page),
             (QStringList{u"この記事の本文は取得できませんでした。元の記事:"_s, address}));
}

void tst_PageRendering::titles_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QByteArray>("bytes"); // of the title in the list page
    QTest::addColumn<int>("lost");

    const auto euc = [](const QString &text) {
        return CodePage::toEucJp(text);
    };
    QTest::newRow("a full-width space stays")
        << u"首相　来月訪米へ"_s << euc(u"首相"_s) + "\xA1\xA1" + euc(u"来月訪米へ"_s) << 0;
    QTest::newRow("vendor characters stay") << u"髙橋①～㈱"_s << euc(u"髙橋①～㈱"_s) << 0;
    QTest::newRow("Kangxi radicals: their ideographs")
        << u"利⽤の⽅法"_s << euc(u"利用の方法"_s) << 0;
    QTest::newRow("compatibility forms: NFKC") << u"5ℓ ﬁle №1"_s << euc(u"5l file №1"_s) << 0;
    QTest::newRow("em dash: the horizontal bar") << u"A—B"_s
                                                 << QByteArray("A\xA1\xBD"
                                                               "B")
                                                 << 0;
    QTest::newRow("en and figure dashes: a hyphen") << u"1–2‒3"_s << QByteArray("1-2-3") << 0;
    QTest::newRow("minus sign") << u"−5度"_s << euc(u"－5度"_s) << 0;
    QTest::newRow("middle dots and bullets") << u"A·B•C∙D"_s << euc(u"A・B・C・D"_s) << 0;
    QTest::newRow("wave dash and wavy dash: the full-width tilde") << u"9時〜17時〰"_s
                                                                   << "9" + euc(u"時"_s) +
                                                                          "\xA1\xC1"
                                                                          "17" +
                                                                          euc(u"時"_s) + "\xA1\xC1"
                                                                   << 0;
    QTest::newRow("quotes without a JIS form") << u"«a» „b“ ‹c›"_s << euc(u"≪a≫ “b“ 〈c〉"_s) << 0;
    QTest::newRow("yen, cent, pound, overline") << u"¥1 ¢2 £3 ‾"_s << euc(u"￥1 ￠2 ￡3 ￣"_s) << 0;
    QTest::newRow("accented letters lose their accents")
        << u"Pokémon Café Ångström"_s << QByteArray("Pokemon Cafe Angstrom") << 0;
    QTest::newRow("a sound mark written apart joins its kana")
        << u"カ\u3099イト\u309Aン\u3099"_s << euc(u"ガイト゜ン゛"_s) << 0;
    QTest::newRow("invisible characters dropped")
        << u"a\u200Bb\u200Dc\uFEFFd\u00ADe\uFE0F"_s << QByteArray("abcde") << 0;
    QTest::newRow("emoji and other symbols: ?")
        << u"晴れ☀️ 😀!"_s << euc(u"晴れ? ?!"_s) << 2;
    QTest::newRow("a lone surrogate: ?")
        << (u"a"_s + QChar(0xD800) + u"b"_s) << QByteArray("a?b") << 1;
    QTest::newRow("a question mark of the text is not lost") << u"なぜ?"_s << euc(u"なぜ?"_s) << 0;
    QTest::newRow("markup: full-width") << u"<b>A&B</b>"_s << euc(u"＜b＞A＆B＜/b＞"_s) << 0;
}

void tst_PageRendering::titles()
{
    QFETCH(QString, title);
    QFETCH(QByteArray, bytes);
    QFETCH(int, lost);

    Said said;
    const QByteArray page = RenderListPage(listOf(), {item(7, title)}, said.log).body;
    QCOMPARE(titleBytes(page, 7), bytes);
    // Varnholt reads the page with the Microsoft mapping and writes CP932: nothing more is lost.
    const QString read = CodePage::fromEucJp(bytes);
    qsizetype inFile = 0;
    QCOMPARE(CodePage::fromCp932(CodePage::toCp932(read, &inFile)), read);
    QCOMPARE(inFile, 0);
    QCOMPARE(said.lines.size(), lost > 0 ? 1 : 0);
    if (lost > 0)
        QVERIFY2(said.lines.first().contains(u"%1 character(s)"_s.arg(lost)),
                 qPrintable(said.lines.first()));
}

void tst_PageRendering::lostCharacters_saidOncePerItemAndPage()
{
    Said said;
    const ArchivedItem snow = item(3, u"雪☃"_s);
    const QList<ArchivedItem> items{snow, item(4, u"雨"_s)};
    RenderListPage(listOf(), items, said.log);
    RenderListPage(listOf(), items, said.log);
    RenderArticlePage(snow, {u"☃と☂と☃"_s}, said.log);
    RenderArticlePage(snow, {u"☃と☂と☃"_s}, said.log);
    QCOMPARE(said.lines,
             (QStringList{u"article 3 (http://news.test/a?id=3&p=1): 1 character(s) of its "
                          u"headline became \"?\", neither EUC-JP nor CP932 holds them: U+2603"_s,
                          u"article 3 (http://news.test/a?id=3&p=1): 4 character(s) of its page "
                          u"became \"?\", neither EUC-JP nor CP932 holds them: U+2603 U+2602"_s}));
}

void tst_PageRendering::lookAlikes_everyOneCarried()
{
    int entries = 0;
    for (char32_t c = 0; c <= 0x10FFFF; ++c) {
        const QString alike = PortalCharacters::LookAlike(c);
        if (alike.isEmpty())
            continue;
        ++entries;
        const QString name = u"U+"_s + QString::number(uint(c), 16);
        // An entry for a character the portal carries would never be used.
        QVERIFY2(!PortalCharacters::Holds(c), qPrintable(name));
        for (const char32_t part : alike.toUcs4())
            QVERIFY2(PortalCharacters::Holds(part), qPrintable(name));
    }
    QVERIFY(entries > 20);
}

QTEST_GUILESS_MAIN(tst_PageRendering)
#include "tst_pagerendering.moc"
