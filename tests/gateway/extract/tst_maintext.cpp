#include "MainText.h"
#include "TextOverlap.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <QUrl>

using namespace Qt::StringLiterals;

class tst_MainText : public QObject
{
    Q_OBJECT

private slots:
    void labelledPage_data();
    void labelledPage();
    void labelledSetAsAWhole();
    void dropAndKeep_data();
    void dropAndKeep();
    void byXPath_data();
    void byXPath();
    void overlap_data();
    void overlap();
};

namespace {

// Floors for the hand-labelled pages: every page, and the mean over all of them.
constexpr double kPageFloor = 0.9;
constexpr double kSetFloor = 0.95;

QString pagesFolder()
{
    return QStringLiteral(VARNHOLT_TEST_DATA_DIR "/pages");
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct Labelled
{
    QString name;
    QByteArray page;
    QString expected; // one paragraph a line
    bool partial = false;
};

QList<Labelled> labelledPages()
{
    QList<Labelled> pages;
    const QDir folder(pagesFolder());
    for (const QString &file : folder.entryList({u"*.html"_s}, QDir::Files, QDir::Name)) {
        const QString base = folder.filePath(file.chopped(5));
        pages.append({file.chopped(5), readAll(folder.filePath(file)),
                      QString::fromUtf8(readAll(base + u".txt"_s)).trimmed(),
                      QFile::exists(base + u".partial"_s)});
    }
    return pages;
}

QString extracted(const Labelled &page)
{
    return ExtractMainText(page.page, QString(), QUrl(u"https://news.example/"_s + page.name))
        .paragraphs.join(u'\n');
}

// A body of three plain paragraphs, long enough to be taken for an article.
const QString kArticle = uR"(<div class="article-body">
<p>市は７日、駅前の再開発計画の概要を発表した。老朽化した商業ビルを取り壊し、２０３０年までに図書館や保育所を備えた複合施設を整備する。</p>
<p>事業費は約１２０億円を見込み、国の補助金と民間資金を組み合わせる。市長は「人が集まり、長く住み続けられる街にしたい」と話した。</p>
<p>計画に対しては、周辺の商店主らから工事中の客足の落ち込みを心配する声も上がっており、市は来月から説明会を開く。</p>
</div>)"_s;
// One more paragraph, for cases that would otherwise be too short to count as an article.
const QString kMore =
    u"<p>市によると、複合施設には子育て支援の窓口や高齢者向けの相談室も設け、駅の利用者が立ち寄りやすい造りにするという。</p>"_s;
const QString kFirst = u"市は７日、駅前の再開発計画の概要を発表した。"_s;
const QString kLast = u"市は来月から説明会を開く。"_s;

QByteArray pageWith(const QString &body)
{
    return (u"<!DOCTYPE html><html><head><meta "
            u"charset=\"utf-8\"><title>駅前再開発、複合施設に　市が計画｜市民新聞</title></head>"
            u"<body>"_s +
            QString(body).replace(u"%ARTICLE%"_s, kArticle).replace(u"%MORE%"_s, kMore) +
            u"</body></html>"_s)
        .toUtf8();
}

} // namespace

void tst_MainText::labelledPage_data()
{
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("partial");
    for (const Labelled &page : labelledPages())
        QTest::newRow(qPrintable(page.name)) << page.page << page.expected << page.partial;
}

void tst_MainText::labelledPage()
{
    QFETCH(QByteArray, page);
    QFETCH(QString, expected);
    QFETCH(bool, partial);
    QVERIFY2(!expected.isEmpty(), "the labelled text is missing");
    const MainTextResult result = ExtractMainText(page, QString(), QUrl());
    const QString text = result.paragraphs.join(u'\n');
    const TextOverlap::Score characters = TextOverlap::Characters(text, expected);
    QVERIFY2(characters.f1 >= kPageFloor,
             qPrintable(u"character F1 %1 (precision %2, recall %3); got:\n%4"_s.arg(
                 QString::number(characters.f1, 'f', 3), QString::number(characters.precision),
                 QString::number(characters.recall), text)));
    QCOMPARE(result.partial, partial);
    // Paragraphs, not one blob: the lines match the labelled ones in number, give or take a few.
    const qsizetype lines = expected.count(u'\n') + 1;
    QVERIFY2(qAbs(result.paragraphs.size() - lines) <= qMax<qsizetype>(1, lines / 5),
             qPrintable(u"%1 paragraphs, expected %2"_s.arg(result.paragraphs.size()).arg(lines)));
}

void tst_MainText::labelledSetAsAWhole()
{
    const QList<Labelled> pages = labelledPages();
    QVERIFY2(pages.size() >= 15, qPrintable(u"only %1 labelled pages"_s.arg(pages.size())));
    double characters = 0;
    double words = 0;
    for (const Labelled &page : pages) {
        const QString text = extracted(page);
        characters += TextOverlap::Characters(text, page.expected).f1;
        words += TextOverlap::Words(text, page.expected).f1;
    }
    characters /= double(pages.size());
    words /= double(pages.size());
    qInfo("mean character F1 %.4f, mean word F1 %.4f over %lld pages", characters, words,
          qlonglong(pages.size()));
    QVERIFY2(characters >= kSetFloor, qPrintable(QString::number(characters)));
}

void tst_MainText::dropAndKeep_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<QStringList>("kept");
    QTest::addColumn<QStringList>("dropped");
    QTest::addColumn<bool>("partial");

    const QString nav = u"トップ"_s;
    QTest::newRow("nav element")
        << u"<nav><a href=/>トップ</a> <a href=/a>政治</a></nav>%ARTICLE%"_s
        << QStringList{kFirst, kLast} << QStringList{nav} << false;
    QTest::newRow("navigation role")
        << u"<div role=\"navigation\"><a href=/>トップ</a></div>%ARTICLE%"_s << QStringList{kFirst}
        << QStringList{nav} << false;
    QTest::newRow("script and style say nothing")
        << u"%ARTICLE%<script>var トップ = 1;</script><style>p{}</style>"_s << QStringList{kFirst}
        << QStringList{nav} << false;
    QTest::newRow("hidden by style")
        << u"<div><div style=\"display: none\"><p>隠された段落は本文ではない、読者には見えない文章。</p></div>%ARTICLE%</div>"_s
        << QStringList{kFirst} << QStringList{u"隠された段落"_s} << false;
    QTest::newRow("ad inside the body")
        << u"<div class=\"article-body\"><p>第一段落、記者会見で市長は計画を説明した。詳しい日程は未定だ。</p><div class=\"ad-box\">広告：新車が今なら特別価格、詳しくはこちらへ、お急ぎください。</div><p>第二段落、市民の間には期待と不安が入り交じる。説明会は来月開かれる。</p><p>第三段落、市は年度内に基本設計をまとめ、工事の入札を行う予定だという。</p>%MORE%</div>"_s
        << QStringList{u"第一段落"_s, u"第三段落"_s} << QStringList{u"広告"_s} << false;
    QTest::newRow("header word alone does not save a link list")
        << u"%ARTICLE%<div class=\"related-articles\"><h3>関連記事</h3><ul><li><a href=/1>再開発の第一報、市が計画案を公表へ</a></li><li><a href=/2>駅前ビル、来年にも解体へ　市が方針</a></li></ul></div>"_s
        << QStringList{kFirst, kLast} << QStringList{u"関連記事"_s, u"第一報"_s} << false;
    QTest::newRow("the body continues after an ad")
        << u"<div class=\"c-w\">%ARTICLE%<div class=\"ad\">広告</div><div class=\"article-body\">"
           u"%MORE%<p>完成は２０３０年春の予定で、市は工事期間中も駅の出入り口を確保し、"
           u"利用者への影響を抑えるとしている。</p></div></div>"_s
        << QStringList{kFirst, kLast, u"市によると、複合施設には"_s, u"完成は２０３０年春"_s}
        << QStringList{u"広告"_s} << false;
    QTest::newRow("a negative name with article prose stays")
        << u"<div id=\"main-content-with-sidebar\">%ARTICLE%</div>"_s << QStringList{kFirst, kLast}
        << QStringList{} << false;
    QTest::newRow("comment section")
        << u"%ARTICLE%<section id=\"comments\"><div class=\"comment\"><p>読者のコメント、この計画には大賛成です。早く完成してほしいと思います。子どもも喜ぶはずです。</p></div></section>"_s
        << QStringList{kFirst} << QStringList{u"読者のコメント"_s} << false;
    // Twenty comments outscore any article: the thread has to go before scoring.
    const QString comment = u"<li class=\"item\"><p>読者の声、計画には賛成です。ただ、工事の間の"
                            u"騒音、渋滞、駐車場の不足が心配です。</p></li>"_s;
    QTest::newRow("a long comment thread")
        << (u"%ARTICLE%<div id=\"comments\"><ol class=\"list\">"_s + comment.repeated(20) +
            u"</ol></div>"_s)
        << QStringList{kFirst, kLast} << QStringList{u"読者の声"_s} << false;
    QTest::newRow("caption and title")
        << u"<h1>駅前再開発の計画を発表</h1><figure><img src=x.jpg><figcaption>完成予想図＝市提供</figcaption></figure>%ARTICLE%"_s
        << QStringList{kFirst} << QStringList{u"完成予想図"_s, u"計画を発表"_s} << false;
    QTest::newRow("headline outside h1")
        << QString(kArticle).replace(
               u"<div class=\"article-body\">"_s,
               u"<div class=\"article-body\"><p><b>駅前再開発、複合施設に　市が計画</b></p>"_s)
        << QStringList{kFirst} << QStringList{u"市が計画"_s} << false;
    QTest::newRow("fact list without links stays")
        << u"<div class=\"article-body\"><p>計画の主な内容は次の通り。市は７日、駅前の再開発計画の概要を発表した。</p><ul><li>図書館の移転</li><li>保育所の新設</li><li>広場の整備</li></ul><p>事業費は約１２０億円を見込み、国の補助金と民間資金を組み合わせる。市長は「人が集まる街に」と話した。</p>%MORE%</div>"_s
        << QStringList{u"保育所の新設"_s, u"事業費"_s} << QStringList{} << false;
    QTest::newRow("lines between br are paragraphs")
        << u"<div class=\"news-text\">市は７日、駅前の再開発計画の概要を発表した。<br><br>事業費は約１２０億円を見込み、国の補助金と民間資金を組み合わせる。<br>計画に対しては、周辺の商店主らから心配する声も上がっており、市は来月から説明会を開く。<br>%MORE%</div>"_s
        << QStringList{kFirst,
                       u"事業費は約１２０億円を見込み、国の補助金と民間資金を組み合わせる。"_s}
        << QStringList{} << false;
    QTest::newRow("subheading is its own line")
        << u"<div class=\"article-body\"><p>市は７日、駅前の再開発計画の概要を発表した。老朽化したビルを取り壊し、複合施設を整備する。</p><h2>商店主に不安</h2><p>計画に対しては、周辺の商店主らから工事中の客足の落ち込みを心配する声も上がっている。</p>%MORE%</div>"_s
        << QStringList{u"商店主に不安"_s} << QStringList{} << false;
    QTest::newRow("entities and white space")
        << u"<div class=\"article-body\"><p>  市は&nbsp;７日、 駅前の\n\n再開発計画の概要を発表した。&lt;速報&gt;老朽化したビルを取り壊し、複合施設を整備する計画で、事業費は約１２０億円を見込む。</p><p>計画に対しては、周辺の商店主らから工事中の客足の落ち込みを心配する声も上がっている。</p>%MORE%</div>"_s
        << QStringList{u"市は ７日、 駅前の 再開発計画の概要を発表した。<速報>老朽化したビルを取り壊し、複合施設を整備する計画で、事業費は約１２０億円を見込む。"_s}
        << QStringList{} << false;
    QTest::newRow("paywall cuts and marks")
        << u"<div class=\"article-body\"><p>市は７日、駅前の再開発計画の概要を発表した。老朽化した商業ビルを取り壊し、複合施設を整備する。</p><p>事業費は約１２０億円を見込み、国の補助金と民間資金を組み合わせる。市長は計画の意義を強調した。</p>%MORE%<p>この記事は有料記事です。残り８２０文字</p><p>有料会員だけが読める続きの段落。</p></div>"_s
        << QStringList{u"事業費は約１２０億円"_s} << QStringList{u"有料記事"_s, u"続きの段落"_s}
        << true;
    // Neutral class names everywhere, as on sites with generated styles: only the scores decide.
    const QString teaser =
        u"<p><a href=/n>新駅の開業から一年、地元の期待と課題、住民の声を聞いた。</a></p>"_s;
    QTest::newRow("links weigh nothing")
        << (u"<div class=\"c-1\">"_s + teaser.repeated(10) + u"</div><div class=\"c-2\">"_s +
            kArticle + u"</div>"_s)
        << QStringList{kFirst, kLast} << QStringList{u"新駅の開業"_s} << false;
    const QString keywords =
        u"<div class=\"c-k\">再開発 駅前 図書館 保育所 商業ビル 市長 説明会 補助金 民間資金 "
        u"複合施設 老朽化 まちづくり 子育て 高齢者 相談室 商店街 工事 客足 入札 基本設計 "
        u"年度内 事業費 駅ビル 広場 バス 駐車場 交通 渋滞 住民 意見 公聴会 議会 予算 財源</div>"_s;
    QTest::newRow("Japanese punctuation counts")
        << (u"<div class=\"c-1\">"_s + keywords.repeated(4) + u"</div><div class=\"c-2\">"_s +
            QString(kArticle).replace(u"article-body"_s, u"c-3"_s) + u"</div>"_s)
        << QStringList{kFirst, kLast} << QStringList{u"再開発 駅前"_s} << false;
    QStringList sentences;
    for (const QString &place :
         {u"駅の北側"_s, u"駅の南側"_s, u"旧市街"_s, u"川沿い"_s, u"港の周辺"_s, u"丘の上"_s})
        sentences << place + u"では、住宅の建て替えと道路の拡幅を、来年度から順に進める。"_s;
    QString split = u"<div class=\"c-a\">"_s;
    for (const QString &sentence : sentences)
        split += u"<div class=\"c-b\"><p>"_s + sentence + u"</p></div>"_s;
    split += u"</div><div class=\"c-z\"><p>お知らせ：市の広報紙は、毎月１日と１５日に発行し、"
             u"各家庭に配布しています。配布されない場合は、お住まいの地区の自治会、または市役所の"
             u"広報課、市民相談室、各支所の窓口まで、お問い合わせください。</p></div>"_s;
    QTest::newRow("paragraphs add up in the container above them")
        << split << sentences << QStringList{} << false;
    QTest::newRow("json-ld body when the page shows a teaser")
        << u"<script type=\"application/ld+json\">{\"@context\":\"https://schema.org\",\"@graph\":[{\"@type\":\"WebPage\"},{\"@type\":\"NewsArticle\",\"headline\":\"再開発\",\"articleBody\":\"市は７日、駅前の再開発計画の概要を発表した。老朽化した商業ビルを取り壊し、図書館や保育所を備えた複合施設を整備する。\\n事業費は約１２０億円を見込み、国の補助金と民間資金を組み合わせる。市長は「人が集まる街にしたい」と話した。\\n市は来月から説明会を開く。\"}]}</script><div class=\"teaser\"><p>市は７日、駅前の再開発計画の概要を発表した。</p><a href=/more>続きを表示</a></div>"_s
        << QStringList{kFirst,
                       u"事業費は約１２０億円を見込み、国の補助金と民間資金を組み合わせる。市長は「人が集まる街にしたい」と話した。"_s,
                       kLast}
        << QStringList{u"続きを表示"_s} << false;
}

void tst_MainText::dropAndKeep()
{
    QFETCH(QString, body);
    QFETCH(QStringList, kept);
    QFETCH(QStringList, dropped);
    QFETCH(bool, partial);
    const MainTextResult result = ExtractMainText(pageWith(body), QString(), QUrl());
    const QString text = result.paragraphs.join(u'\n');
    for (const QString &paragraph : kept) {
        QVERIFY2(text.contains(paragraph),
                 qPrintable(u"\"%1\" missing from:\n%2"_s.arg(paragraph, text)));
    }
    for (const QString &part : dropped)
        QVERIFY2(!text.contains(part), qPrintable(u"\"%1\" kept in:\n%2"_s.arg(part, text)));
    QCOMPARE(result.partial, partial);
    for (const QString &paragraph : result.paragraphs)
        QCOMPARE(paragraph, paragraph.simplified());
}

void tst_MainText::byXPath_data()
{
    QTest::addColumn<QString>("xpath");
    QTest::addColumn<QStringList>("paragraphs");

    QTest::newRow("text nodes of one paragraph join")
        << u"//div[@id='t']/p[1]//text()"_s << QStringList{u"太字を含む 一つの段落"_s};
    QTest::newRow("elements give their paragraphs")
        << u"//div[@id='t']"_s << QStringList{u"太字を含む 一つの段落"_s, u"二つ目"_s, u"三つ目"_s};
    QTest::newRow("br splits text nodes")
        << u"//div[@id='t']/p[2]/text()"_s << QStringList{u"二つ目"_s, u"三つ目"_s};
    QTest::newRow("nothing selected") << u"//article"_s << QStringList{};
    QTest::newRow("not an expression") << u"//div[@id="_s << QStringList{};
    QTest::newRow("a string") << u"string(//div[@id='t']/p[2])"_s << QStringList{u"二つ目三つ目"_s};
}

void tst_MainText::byXPath()
{
    QFETCH(QString, xpath);
    QFETCH(QStringList, paragraphs);
    const QByteArray page = pageWith(
        u"<div id=\"t\"><p>太字を<b>含む</b> 一つの段落</p><p>二つ目<br>三つ目</p></div>"_s);
    QCOMPARE(ExtractByXPath(page, QString(), xpath).paragraphs, paragraphs);
}

void tst_MainText::overlap_data()
{
    QTest::addColumn<QString>("extracted");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<double>("characters");
    QTest::addColumn<double>("words");

    QTest::newRow("same") << u"日本 語"_s << u"日本語"_s << 1.0 << 0.0;
    QTest::newRow("both empty") << QString() << QString() << 1.0 << 1.0;
    QTest::newRow("nothing extracted") << QString() << u"abc"_s << 0.0 << 0.0;
    // Precision 2/4, recall 2/2: F1 2/3.
    QTest::newRow("twice too much") << u"a b c d"_s << u"a b"_s << 2.0 / 3 << 2.0 / 3;
    // A repeated token counts as often as both texts hold it.
    QTest::newRow("repeats") << u"a a a"_s << u"a"_s << 0.5 << 0.5;
}

void tst_MainText::overlap()
{
    QFETCH(QString, extracted);
    QFETCH(QString, expected);
    QFETCH(double, characters);
    QFETCH(double, words);
    QVERIFY(qAbs(TextOverlap::Characters(extracted, expected).f1 - characters) < 1e-9);
    QVERIFY(qAbs(TextOverlap::Words(extracted, expected).f1 - words) < 1e-9);
}

QTEST_GUILESS_MAIN(tst_MainText)
#include "tst_maintext.moc"
