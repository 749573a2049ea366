#include "ExtractionAcceptance.h"
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
    void labelledKind_data();
    void labelledKind();
    void dropAndKeep_data();
    void dropAndKeep();
    void articleContainer_data();
    void articleContainer();
    void byXPath_data();
    void byXPath();
    void overlap_data();
    void overlap();
    void pageWithoutBodyTag_data();
    void pageWithoutBodyTag();
};

namespace {

// Floors for the hand-labelled pages, as character F1: every page; and the means over all of
// them and over the pages of each kind of fault, also as four-character F1. A fault of one kind
// costs a few points on the pages that show it, too little to move the whole set's mean far.
constexpr double kPageFloor = 0.95;
constexpr double kSetFloor = 0.98;
constexpr double kKindFloor = 0.98;

QString pagesFolder()
{
    return QStringLiteral(VARNHOLT_TEST_DATA_DIR "/pages");
}

// The kinds of fault and their pages, from classes.txt: "kind: page page \" lines.
QList<std::pair<QString, QStringList>> faultKinds()
{
    QFile file(QStringLiteral(VARNHOLT_TEST_DATA_DIR "/classes.txt"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString text = QString::fromUtf8(file.readAll()).replace(u"\\\n"_s, u" "_s);
    QList<std::pair<QString, QStringList>> kinds;
    for (const QString &line : text.split(u'\n')) {
        if (line.startsWith(u'#') || !line.contains(u':'))
            continue;
        kinds.append({line.section(u':', 0, 0).trimmed(),
                      line.section(u':', 1).split(u' ', Qt::SkipEmptyParts)});
    }
    return kinds;
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

// What `varnholt-portal --extract` prints: the text the gateway would serve without a summary.
MainTextResult served(const QByteArray &page, const QString &name)
{
    MainTextResult result =
        ExtractMainText(page, QString(), QUrl(u"https://news.example/"_s + name));
    if (!AcceptsExtraction(result, QString()))
        result.paragraphs.clear();
    return result;
}

// Each labelled page's served text, extracted once for all the slots that score it.
const QHash<QString, QString> &servedTexts()
{
    static const QHash<QString, QString> texts = [] {
        QHash<QString, QString> all;
        for (const Labelled &page : labelledPages())
            all.insert(page.name, served(page.page, page.name).paragraphs.join(u'\n'));
        return all;
    }();
    return texts;
}

struct Means
{
    double characters = 0;
    double fourGrams = 0;
};

Means meanScores(const QList<Labelled> &pages)
{
    Means means;
    for (const Labelled &page : pages) {
        const QString text = servedTexts().value(page.name);
        means.characters += TextOverlap::Characters(text, page.expected).f1;
        means.fourGrams += TextOverlap::FourGrams(text, page.expected).f1;
    }
    means.characters /= double(std::max<qsizetype>(1, pages.size()));
    means.fourGrams /= double(std::max<qsizetype>(1, pages.size()));
    return means;
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

// The article with a block of the page's between its second and third paragraphs.
QString withInside(const QString &block)
{
    return QString(kArticle).replace(u"<p>計画に対しては"_s, block + u"<p>計画に対しては"_s);
}

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
    const MainTextResult result = served(page, QString::fromLatin1(QTest::currentDataTag()));
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
    const auto count = [&](const QString &prefix) {
        return std::count_if(pages.cbegin(), pages.cend(),
                             [&](const Labelled &page) { return page.name.startsWith(prefix); });
    };
    // Both languages in the forms real sites use, enough of each for a mean to mean something.
    QVERIFY2(pages.size() >= 60 && count(u"jp-"_s) >= 30 && count(u"en-"_s) >= 15,
             qPrintable(u"%1 labelled pages, %2 Japanese, %3 English"_s.arg(pages.size())
                            .arg(count(u"jp-"_s))
                            .arg(count(u"en-"_s))));
    const Means means = meanScores(pages);
    qInfo("mean character F1 %.4f, mean four-character F1 %.4f over %lld pages", means.characters,
          means.fourGrams, qlonglong(pages.size()));
    QVERIFY2(means.characters >= kSetFloor, qPrintable(QString::number(means.characters)));
    QVERIFY2(means.fourGrams >= kSetFloor, qPrintable(QString::number(means.fourGrams)));
}

void tst_MainText::labelledKind_data()
{
    QTest::addColumn<QStringList>("names");
    const QList<std::pair<QString, QStringList>> kinds = faultKinds();
    QVERIFY2(kinds.size() >= 6, "classes.txt names fewer than six kinds of fault");
    for (const auto &[kind, names] : kinds)
        QTest::newRow(qPrintable(kind)) << names;
}

void tst_MainText::labelledKind()
{
    QFETCH(QStringList, names);
    QVERIFY2(names.size() >= 3, "a kind needs at least three pages");
    QList<Labelled> pages;
    for (const Labelled &page : labelledPages()) {
        if (names.contains(page.name))
            pages.append(page);
    }
    QCOMPARE(pages.size(), names.size()); // every page named is there
    const Means means = meanScores(pages);
    QString scores;
    for (const Labelled &page : pages) {
        scores +=
            u"\n  %1 %2"_s.arg(page.name, -36)
                .arg(TextOverlap::Characters(servedTexts().value(page.name), page.expected).f1, 0,
                     'f', 3);
    }
    QVERIFY2(means.characters >= kKindFloor && means.fourGrams >= kKindFloor,
             qPrintable(u"character F1 %1, four-character F1 %2:%3"_s.arg(means.characters)
                            .arg(means.fourGrams)
                            .arg(scores)));
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
    // An ad slot's name says "ad" three times among a few other short words: still a name.
    QTest::newRow("ad slot named with short words")
        << withInside(
               u"<div class=\"ad-slot ad-slot--inline\" id=\"dfp-ad-inline-1\"><p>提供："
               u"新車が今なら特別価格でご購入いただけます、詳しくはお近くの販売店へ。</p></div>"_s)
        << QStringList{kFirst, kLast} << QStringList{u"特別価格"_s} << false;
    QTest::newRow("story continues below")
        << withInside(u"<div class=\"slot\"><span>Story continues below advertisement</span>"
                      u"<div class=\"unit\"></div></div>"_s)
        << QStringList{kFirst, kLast} << QStringList{u"continues"_s} << false;
    QTest::newRow("a label over a list of links goes with it")
        << withInside(u"<p>今週のその他の記事：<br><a href=/1>図書館の移転先が決定</a><br>"
                      u"<a href=/2>駅前の渋滞対策、来月から</a></p>"_s)
        << QStringList{kFirst, kLast} << QStringList{u"その他の記事"_s} << false;
    QTest::newRow("a contact box under its heading")
        << withInside(
               u"<div class=\"box\"><h2>お問い合わせ先</h2><p>北山市都市整備部　再開発推進課、"
               u"電話は平日の午前９時から午後５時まで受け付けています。</p></div>"_s)
        << QStringList{kFirst, kLast} << QStringList{u"推進課"_s} << false;
    QTest::newRow("other products under a heading in the review")
        << withInside(
               u"<div class=\"box\"><h3>Also consider</h3><p><a href=/a>Pixelmate 8a</a>: "
               u"a slightly better zoom camera and seven years of updates, for £50 more.</p>"
               u"<p><a href=/b>Astra A57</a>: a metal frame and faster charging, but a weaker "
               u"main camera.</p></div>"_s +
               kMore +
               u"<p>完成は２０３０年春の予定で、市は工事期間中も駅の出入り口を確保し、利用者"
               u"への影響を抑えるとしている。商店街の振興組合は、工事の期間中に客足が落ちない"
               u"よう、臨時の駐輪場の整備や案内表示の充実を求める要望書を市に提出した。</p>"_s)
        << QStringList{kFirst, kLast} << QStringList{u"Pixelmate"_s, u"Astra"_s} << false;
    QTest::newRow("a donation appeal box")
        << u"<div class=\"wrap\">%ARTICLE%<div class=\"donate-cta\"><h3>Donate to The Lantern</h3>"
           u"<p>Your donation will support the student journalists of Ridgemont University and "
           u"cover our hosting costs.</p><a href=/donate>Donate</a></div></div>"_s
        << QStringList{kFirst, kLast} << QStringList{u"donation"_s} << false;
    QTest::newRow("a charity's appeal after the article")
        << u"<div class=\"wrap\">%ARTICLE%<div class=\"appeal-box\"><h2>Help keep the lights "
           u"on</h2><p>£25 could pay for a solar lantern for a midwife, and £250 could help repair "
           u"a clinic's fridge.</p><a href=/donate>Donate</a></div></div>"_s
        << QStringList{kFirst, kLast} << QStringList{u"lantern"_s} << false;
    QTest::newRow("notes to editors under the release")
        << u"<div class=\"wrap\">%ARTICLE%<div class=\"group\"><h4>Notes to editors</h4><p>"
           u"Lightpath International is a charity working to bring clean energy to clinics, "
           u"registered in 2004.</p></div></div>"_s
        << QStringList{kFirst, kLast} << QStringList{u"Lightpath"_s} << false;
    QTest::newRow("a recipe card that only jumps within the page")
        << withInside(u"<div class=\"recipe-card\" id=\"recipe\"><h2>祖母のプラムケーキ</h2>"
                      u"<div class=\"actions\"><a href=\"#reviews\">レビューへ（４１）</a></div>"
                      u"<ul><li>無塩バター１５０グラム、室温に戻しておく</li><li>グラニュー糖"
                      u"１２０グラム</li><li>卵３個</li></ul><ol><li>オーブンを１８０度に温め、型に"
                      u"バターを塗っておく。</li><li>バターと砂糖を白っぽくなるまで混ぜ、卵を一つ"
                      u"ずつ加える。</li></ol></div>"_s)
        << QStringList{kFirst, kLast, u"卵３個"_s, u"卵を一つずつ加える。"_s} << QStringList{}
        << false;
    QTest::newRow("a table of figures with its title and note")
        << withInside(
               u"<div class=\"module\"><h3>週間予報：北山市</h3><table><tr><th>日</th>"
               u"<th>最高</th><th>最低</th><th>降水</th></tr><tr><td>金</td><td>８度</td>"
               u"<td>４度</td><td>６９％</td></tr><tr><td>土</td><td>１１度</td><td>５度</td>"
               u"<td>３８％</td></tr><tr><td>日</td><td>８度</td><td>４度</td><td>６６％</td>"
               u"</tr></table><p>１４時更新　<a href=/wx>詳しい予報</a></p></div>"_s)
        << QStringList{kFirst, kLast} << QStringList{u"週間予報"_s, u"６９％"_s, u"１４時更新"_s}
        << false;
    QTest::newRow("the screen reader's marker before the text")
        << u"<p>ここから本文です。</p>%ARTICLE%"_s << QStringList{kFirst, kLast}
        << QStringList{u"ここから本文"_s} << false;
    QTest::newRow("production credits under the notes")
        << u"<div class=\"wrap\">%ARTICLE%<p class=\"ep-credits\">The show is produced by Sofia "
           u"Marr and Ben Otieno. Sound design by Lukas Feld. Music by Tidewater.</p></div>"_s
        << QStringList{kFirst, kLast} << QStringList{u"Sound design"_s} << false;
    QString episodes;
    for (int i = 1; i <= 6; ++i)
        episodes += u"<li><a href=/ep/%1>Part %1</a><p>Guests explore the lost fleet of the "
                    u"Arctic, from the archives to the seabed.</p></li>"_s.arg(i);
    QTest::newRow("a list of teasers under the article")
        << QString(kArticle).replace(u"</div>"_s,
                                     u"<h3>More episodes</h3><ul>"_s + episodes + u"</ul></div>"_s)
        << QStringList{kFirst, kLast} << QStringList{u"More episodes"_s, u"archives"_s} << false;
    QTest::newRow("a listing's box of short lines in the text")
        << withInside(u"<div class=\"listing\"><span>£425,000</span><br><span>3 bed house</span>"
                      u"<ul><li>3 bedrooms</li><li>Garden</li></ul><a href=/p/1>View</a></div>"_s +
                      kMore)
        << QStringList{kFirst, kLast} << QStringList{u"bedrooms"_s, u"£425,000"_s} << false;
    QTest::newRow("a heading left over cards of other stories")
        << u"<div class=\"wrap\">%ARTICLE%<section class=\"rec\"><h2>More from Homes</h2><div "
           u"class=\"rec-card\"><a href=/s/1>First-time buyers rise</a></div></section></div>"_s
        << QStringList{kFirst, kLast} << QStringList{u"More from"_s} << false;
    QTest::newRow("a heading over links that went")
        << QString(kArticle).replace(u"</div>"_s, u"<h3>Links</h3><ul><li><a href=/a>The Deep "
                                                  u"Heritage Lab</a></li><li><a href=/b>Our "
                                                  u"episode on ghost ships</a></li></ul></div>"_s)
        << QStringList{kFirst, kLast} << QStringList{u"Links"_s, u"Heritage"_s} << false;
    QTest::newRow("a podcast's episode line")
        << QString(kArticle).replace(u"<p>市は７日"_s,
                                     u"<p>Episode 142 · 12 October 2026 · 47 min</p><p>市は７日"_s)
        << QStringList{kFirst, kLast} << QStringList{u"Episode 142"_s} << false;
    const QString factBox =
        u"<aside class=\"box\"><h2>Getting there</h2><p>Ferries run from Brandvik twice daily, "
        u"and the crossing takes 55 minutes; bikes can be hired at the quay.</p>%1</aside>"_s;
    QTest::newRow("the author's box of facts in the article")
        << u"<div class=\"article-body\">%ARTICLE%"_s + factBox.arg(QString()) + u"</div>"_s
        << QStringList{kFirst, kLast, u"Getting there"_s, u"Ferries run"_s} << QStringList{}
        << false;
    QTest::newRow("an aside that links away is a sidebar")
        << u"<div class=\"article-body\">%ARTICLE%"_s +
               factBox.arg(u"<p><a href=/ferries>Timetables</a></p>"_s) + u"</div>"_s
        << QStringList{kFirst, kLast} << QStringList{u"Ferries run"_s} << false;
    QTest::newRow("a pull quote set aside in the article")
        << u"<div class=\"article-body\">%ARTICLE%<aside><blockquote><p>‘You can smell it from the "
           u"footbridge after a wet weekend, after rain, and people are told the river is "
           u"recovering’</p>"
           u"</blockquote></aside></div>"_s
        << QStringList{kFirst, kLast} << QStringList{u"footbridge"_s} << false;
    QTest::newRow("a travel writer's host and a transcript's notice")
        << u"<div class=\"wrap\">%ARTICLE%<p>The writer travelled as a guest of the Northern "
           u"Archipelago Tourist Board.</p><p>Transcripts are produced by a third party and may "
           u"not be in their final form.</p></div>"_s
        << QStringList{kFirst, kLast} << QStringList{u"travelled"_s, u"third party"_s} << false;
    QTest::newRow("the interviewee's profile box after the text")
        << u"<div class=\"wrap\">%ARTICLE%<div class=\"c-profile\"><h3>三枝航（さえぐさ・わたる）"
           u"</h3><p>１９８４年、南房の漁師町生まれ。大学卒業後、実家の食堂で修業し、都内の割烹を"
           u"経て２０１６年に開業。</p></div></div>"_s
        << QStringList{kFirst, kLast} << QStringList{u"さえぐさ"_s, u"漁師町"_s} << false;
    QTest::newRow("a disclaimer under the transcript")
        << u"<div class=\"wrap\">%ARTICLE%<p class=\"disclaimer\">Accuracy and availability of the "
           u"station's transcripts may vary. Transcript text may be revised to correct errors or "
           u"match updates to audio.</p></div>"_s
        << QStringList{kFirst, kLast} << QStringList{u"Accuracy"_s} << false;
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
    QString quotes = u"<div class=\"box\"><h3>本日の値上がり率上位</h3><table><tr><th>コード</th>"
                     u"<th>銘柄名</th><th>終値</th></tr>"_s;
    for (const QString &stock : {u"2914 大和フーズ"_s, u"9501 北陸中央電力"_s, u"4452 清和化学"_s})
        quotes += u"<tr><td><a href=/s>"_s + stock.section(u' ', 0, 0) + u"</a></td><td>"_s +
                  stock.section(u' ', 1) + u"</td><td>3,120</td></tr>"_s;
    quotes += u"</table></div>"_s;
    QTest::newRow("a table linking from every row")
        << withInside(quotes) << QStringList{kFirst, kLast}
        << QStringList{u"値上がり率"_s, u"大和フーズ"_s} << false;
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
    // Generated utility classes: "pr" among them is chance, not a press release or a promotion.
    QTest::newRow("short generated class names say nothing")
        << u"<div class=\"article-body\"><p>市は７日、駅前の再開発計画の概要を発表した。老朽化した"
           u"ビルを取り壊し、複合施設を整備する。</p><h2 class=\"pd pe gt be pr pf pg ph\">"
           u"商店主に不安</h2><p>計画に対しては、周辺の商店主らから工事中の客足の落ち込みを心配する"
           u"声も上がっている。</p>%MORE%</div>"_s
        << QStringList{u"商店主に不安"_s} << QStringList{} << false;
    QTest::newRow("pull quote and a card inside the body")
        << QString(kArticle).replace(
               u"<p>事業費"_s,
               u"<div class=\"pullquote\"><p>「人が集まり、長く住み続けられる街にしたい」"
               u"</p></div><div class=\"article-card\"><a href=/n>駅ビル、来年にも解体"
               u"へ</a><p>老朽化が進む駅ビルの今後と、市の計画をまとめた。</p></div><p>事業費"_s)
        << QStringList{kFirst, kLast, u"市長は「人が集まり"_s}
        << QStringList{u"街にしたい」\n"_s, u"駅ビルの今後"_s} << false;
    // A pull quote in a blockquote is kept as a quotation until it is seen to say again what
    // the article says.
    QTest::newRow("pull quote lifted from the article")
        << withInside(
               u"<blockquote class=\"pull-quote\"><p>「事業費は約１２０億円を見込み、国の補助金と"
               u"民間資金を組み合わせる」</p></blockquote>"_s)
        << QStringList{kFirst, kLast, u"事業費は約１２０億円"_s} << QStringList{u"「事業費"_s}
        << false;
    QTest::newRow("entities and white space")
        << u"<div class=\"article-body\"><p>  市は&nbsp;７日、 駅前の\n\n再開発計画の概要を発表した。&lt;速報&gt;老朽化したビルを取り壊し、複合施設を整備する計画で、事業費は約１２０億円を見込む。</p><p>計画に対しては、周辺の商店主らから工事中の客足の落ち込みを心配する声も上がっている。</p>%MORE%</div>"_s
        << QStringList{u"市は ７日、 駅前の 再開発計画の概要を発表した。<速報>老朽化したビルを取り壊し、複合施設を整備する計画で、事業費は約１２０億円を見込む。"_s}
        << QStringList{} << false;
    QTest::newRow("paywall cuts and marks")
        << u"<div class=\"article-body\"><p>市は７日、駅前の再開発計画の概要を発表した。老朽化した商業ビルを取り壊し、複合施設を整備する。</p><p>事業費は約１２０億円を見込み、国の補助金と民間資金を組み合わせる。市長は計画の意義を強調した。</p>%MORE%<p>この記事は有料記事です。残り８２０文字</p><p>有料会員だけが読める続きの段落。</p></div>"_s
        << QStringList{u"事業費は約１２０億円"_s} << QStringList{u"有料記事"_s, u"続きの段落"_s}
        << true;
    QTest::newRow("a membership offer beside the article is no paywall")
        << u"%ARTICLE%<aside><p>有料会員になると、紙面ビューアーや過去記事の検索もご利用いただけま"
           u"す。</p></aside>"_s
        << QStringList{kFirst, kLast} << QStringList{u"紙面ビューアー"_s} << false;
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
    // A live blog: the longest post outscores the feed around the posts, which it shares with
    // their times and headings.
    QStringList posts;
    QString feed = u"<div class=\"feed\">"_s;
    for (const QString &place : {u"駅の北側"_s, u"駅の南側"_s, u"旧市街"_s, u"川沿い"_s}) {
        posts << place + u"では、午後から公民館に避難所が開設され、高齢者を中心に住民の受け入れが"
                         u"始まった。"_s;
        feed += u"<div class=\"post\"><time>午後３時１０分</time><h2>"_s + place +
                u"の状況</h2><div class=\"post__body\"><p>"_s + posts.last() + u"</p>"_s +
                (place == u"旧市街"_s ? kMore : QString()) +
                u"</div><button>リンクをコピー</button></div>"_s;
    }
    feed += u"</div>"_s;
    QTest::newRow("posts of a live blog") << feed << posts << QStringList{u"３時１０分"_s} << false;
    // A box score beside the recap: tables, and one line of prose under them.
    QString scores = u"<section class=\"c-box\"><h2>得点表</h2><table>"_s;
    for (const QString &team : {u"北山"_s, u"南浜"_s, u"東台"_s, u"西川"_s, u"中央"_s, u"港"_s})
        scores += u"<tr><td>"_s + team +
                  u"</td><td>０</td><td>２</td><td>１</td><td>０</td>"
                  u"<td>３</td><td>６</td></tr>"_s;
    scores += u"</table><p>試合会場：市民球場、観客数１万２千人、審判は山田、佐藤、鈴木、"
              u"高橋の各氏、試合時間は２時間４８分。</p></section>"_s;
    QTest::newRow("a box of tables beside the article")
        << (u"<div class=\"c-w\">%ARTICLE%"_s + scores + u"</div>"_s) << QStringList{kFirst, kLast}
        << QStringList{u"得点表"_s, u"試合会場"_s} << false;
    QTest::newRow("paragraphs add up in the container above them")
        << split << sentences << QStringList{} << false;
    // An old page laid out in a table: the article is one cell's lines between breaks inside a
    // <font>, beside a cell of notices; the row is not one paragraph.
    QString notices;
    for (const QString &notice : {u"市民マラソン参加者募集"_s, u"図書館は月曜休館"_s,
                                  u"ごみ収集日の変更"_s, u"献血にご協力を"_s})
        notices += u"<p>"_s + notice + u"</p>"_s;
    QTest::newRow("article in a cell of a layout table")
        << (u"<table><tr><td><a href=/>トップ</a></td><td><font size=\"3\">"_s +
            u"市は７日、駅前の再開発計画の概要を発表した。老朽化した商業ビルを取り壊し、複合施設を"
            u"整備する。<br><br>事業費は約１２０億円を見込み、国の補助金と民間資金を組み合わせる。"
            u"<br><br>"
            u"計画に対しては、周辺の商店主らから心配する声も上がっており、市は来月から説明会"
            u"を開く。</font></td><td>"_s +
            notices + u"</td></tr></table>"_s)
        << QStringList{kFirst, kLast} << QStringList{u"市民マラソン"_s, u"献血"_s} << false;
    // <main> outscores the <article> inside it by its name's head start alone: it does not
    // hold more of the article, and what else it holds stays out.
    QTest::newRow("a better name is no reason to widen")
        << u"<main class=\"main\"><article class=\"release\">%ARTICLE%<div class=\"c-x\"><p>種類"
           u" 商品サービス</p><p>キーワード 再開発 駅前</p></div></article><div class=\"c-w\"><a "
           u"href=/>ニュース一覧へ戻る、トップページへ戻る、地域のニュースを見る</a></div><section "
           u"class=\"c-y\">"
           u"<p>新着のお知らせ、市の広報紙は毎月１日と１５日に発行しています。</"
           u"p><p>新着のお知らせ、"
           u"配布されない場合は、市役所の広報課まで、お問い合わせください。</p></section></main>"_s
        << QStringList{kFirst, kLast} << QStringList{u"新着のお知らせ"_s} << false;
    QTest::newRow("json-ld body when the page shows a teaser")
        << u"<script type=\"application/ld+json\">{\"@context\":\"https://schema.org\",\"@graph\":[{\"@type\":\"WebPage\"},{\"@type\":\"NewsArticle\",\"headline\":\"再開発\",\"articleBody\":\"市は７日、駅前の再開発計画の概要を発表した。老朽化した商業ビルを取り壊し、図書館や保育所を備えた複合施設を整備する。\\n事業費は約１２０億円を見込み、国の補助金と民間資金を組み合わせる。市長は「人が集まる街にしたい」と話した。\\n市は来月から説明会を開く。\"}]}</script><div class=\"teaser\"><p>市は７日、駅前の再開発計画の概要を発表した。</p><a href=/more>続きを表示</a></div>"_s
        << QStringList{kFirst,
                       u"事業費は約１２０億円を見込み、国の補助金と民間資金を組み合わせる。市長は「人が集まる街にしたい」と話した。"_s,
                       kLast}
        << QStringList{u"続きを表示"_s} << false;

    // An embedded body that only begins the article the page shows.
    const QString jsonLd = u"<script type=\"application/ld+json\">{\"@type\":\"NewsArticle\","
                           u"\"articleBody\":\"%1\"}</script>"_s;
    const QString teaserBody = u"市は７日、駅前の再開発計画の概要を発表した。老朽化した商業ビルを"
                               u"取り壊し、２０３０年までに図書館や保育所を備えた複合施設を整備す"
                               u"る。事業費は約１２０億円を見込み、国の補助金と民間資金を組み合わ"
                               u"せる。市長は「人が集まり、長く住み続けられる街に…"_s;
    const QString morePage =
        u"<p>完成は２０３０年春の予定で、市は工事期間中も駅の出入り口を確保し、利用者への影響を"
        u"抑えるとしている。</p><p>商店街の振興組合は、工事の期間中に客足が落ちないよう、市に"
        u"臨時の駐輪場の整備や案内表示の充実を求める要望書を提出した。</p>"_s;
    QTest::newRow("json-ld teaser gives way to the page's article")
        << (jsonLd.arg(teaserBody) + u"%ARTICLE%"_s + u"<div class=\"article-more\">"_s + kMore +
            morePage + u"</div>"_s)
        << QStringList{kFirst, kLast, u"完成は２０３０年春"_s, u"臨時の駐輪場"_s}
        << QStringList{u"街に…"_s} << false;
    QTest::newRow("json-ld body longer than the page's teaser stays")
        << (jsonLd.arg(teaserBody.chopped(1) + u"したい」と話した。\\n"_s +
                       u"計画に対しては、周辺の商店主らから心配する声も上がっており、市は来月か"
                       u"ら説明会を開く。"_s) +
            u"<div class=\"lead\"><p>市は７日、駅前の再開発計画の概要を発表した。</p></div>"_s)
        << QStringList{u"説明会を開く"_s, u"人が集まり"_s} << QStringList{} << false;
    // References in JSON-LD strings, once and twice encoded.
    const QString encoded =
        u"A city council in Halvern approved the plan on Monday. &quot;It&apos;s "
        u"a big step,&quot; the mayor said of the R&amp;D park. Residents&#8217; "
        u"groups said they would appeal, and the developer&#x2019;s shares rose."_s;
    QTest::newRow("a live blog's update is not the page's article")
        << (u"<script type=\"application/ld+json\">{\"@type\":\"LiveBlogPosting\","
            u"\"headline\":\"駅前再開発、複合施設に\",\"liveBlogUpdate\":[{\"@type\":"
            u"\"BlogPosting\",\"headline\":\"説明会の日程\",\"articleBody\":\"説明会は来月、"
            u"市役所本庁舎と駅前の公民館の二か所で、平日の夜と週末の昼にそれぞれ開かれる。参加の"
            u"申し込みは不要で、当日は計画の模型や完成予想図も展示される。市の担当者が質問に答え"
            u"るほか、意見を書き込める用紙も用意するという。会場の様子は後日、市のホームページで動画として公開される予定だ。\"}]}</script>%ARTICLE%"_s)
        << QStringList{kFirst, kLast} << QStringList{u"説明会は来月、"_s} << false;
    QTest::newRow("references in json-ld decoded")
        << jsonLd.arg(encoded)
        << QStringList{u"\"It's a big step,\" the mayor said of the R&D park. Residents’ groups"_s,
                       u"developer’s shares"_s}
        << QStringList{u"&quot;"_s, u"&#8217;"_s, u"&amp;"_s} << false;
    QTest::newRow("references encoded twice decoded")
        << jsonLd.arg(QString(encoded).replace(u"&"_s, u"&amp;"_s))
        << QStringList{u"Residents’ groups"_s, u"R&D park"_s}
        << QStringList{u"&#8217;"_s, u"&quot;"_s} << false;

    // A comparison site: a disclosure and key points above the article, a note on its method
    // below; the embedded body is the opening paragraph and a half.
    const QString disclosure =
        u"<div class=\"disclosure\"><p><b>Advertiser disclosure:</b> Many of the offers on this "
        u"page are from companies that compensate us. This may influence which products we write "
        u"about and where they appear on the page, but it does not affect our evaluations or the "
        u"order of the ratings.</p></div>"_s;
    const QStringList savings = {
        u"Savers have had a good year. Online banks have paid more than four percent on "
        u"certificates of deposit for most of the past two years, and many people moved their "
        u"money out of checking accounts to earn it."_s,
        u"The short answer for many people is that money they will not need for a year or more "
        u"can be locked in now, while the yields last."_s,
        u"Banks set those rates on where they expect short-term rates to go. When markets expect "
        u"cuts, longer terms often pay less than shorter ones, because the banks do not want to "
        u"promise high rates for years to come."_s,
        u"Early withdrawal costs three to six months of interest at most banks. Money that may "
        u"be needed in an emergency belongs in a savings account, even if it earns a little "
        u"less there."_s,
        u"A middle path is a ladder of certificates that mature at different times, in six, "
        u"twelve, eighteen and twenty-four months, so that some money comes free every half "
        u"year and can be used or put back."_s,
        u"Nobody knows exactly when rates will fall. Keep the emergency fund liquid and compare "
        u"the offers carefully, since the best rates are often at smaller banks online."_s};
    QString savingsPage = u"<article>"_s + disclosure + u"<div class=\"content\">"_s;
    for (const QString &paragraph : savings)
        savingsPage += u"<p>"_s + paragraph + u"</p>"_s;
    savingsPage += u"</div><div class=\"methodology\"><h3>Our methodology</h3><p>We track the "
                   u"rates of eighty banks every week.</p></div></article>"_s;
    QTest::newRow("json-ld teaser under a disclosure gives way to the page's article")
        << (jsonLd.arg(savings.at(0) + u" "_s + savings.at(1).left(60)) + savingsPage)
        << QStringList{savings.at(1), savings.at(5)} << QStringList{} << false;
    QTest::newRow("a comparison site's disclosure and method note")
        << savingsPage << QStringList{savings.at(0), savings.at(5)}
        << QStringList{u"compensate us"_s, u"methodology"_s, u"eighty banks"_s} << false;
    QTest::newRow("a code block with its copy button, line by line")
        << withInside(u"<div class=\"code-wrap\"><button>Copy</button><pre><code>import os\n"
                      u"import signal\n\nlog = open(\"/var/log/app.log\", \"a\")\n"
                      u"signal.signal(signal.SIGHUP, reopen)</code></pre></div>"_s)
        << QStringList{kFirst, u"import os\nimport signal\nlog = open"_s, kLast}
        << QStringList{u"Copy"_s} << false;
    QTest::newRow("a sub-heading whose class calls it a subtitle")
        << withInside(u"<h2 class=\"news-subtitle\">交通への影響</h2>"_s)
        << QStringList{kFirst, u"交通への影響"_s, kLast} << QStringList{} << false;
    QTest::newRow("a deck under the headline goes")
        << (u"<h2 class=\"subtitle\">駅前の顔、生まれ変わる</h2>"_s + kArticle)
        << QStringList{kFirst, kLast} << QStringList{u"生まれ変わる"_s} << false;
    QTest::newRow("a box saying the site is funded by readers")
        << (u"<div class=\"story\">%ARTICLE%<div class=\"box\"><h3>The Ledger is funded by "
            u"readers</h3><p>Our journalism is free for everyone. If you value it, please "
            u"consider a donation.</p><a href=/give>Give from £3</a></div></div>"_s)
        << QStringList{kFirst, kLast} << QStringList{u"funded by"_s, u"donation"_s} << false;

    // Cookie and consent notices, and the article a notice must not push aside.
    const QString consent =
        u"当サイトでは、利便性の向上と広告配信のためにクッキーを使用しています。"
        u"「同意する」を押すと、クッキーの使用に同意したものとみなされます。"_s;
    QTest::newRow("page under a consent dialog keeps its article")
        << (u"<div id=\"app\" aria-hidden=\"true\">%ARTICLE%</div><div class=\"x1\" "
            u"role=\"dialog\"><p>"_s +
            consent + u"</p><button>同意する</button></div>"_s)
        << QStringList{kFirst, kLast} << QStringList{u"クッキー"_s} << false;
    QTest::newRow("consent bar without telling names")
        << (u"%ARTICLE%<div class=\"x9\"><div class=\"x8\"><h3>クッキーの使用について</h3><p>"_s +
            consent + u"</p><button>設定</button><button>同意する</button></div></div>"_s)
        << QStringList{kFirst, kLast} << QStringList{u"クッキー"_s} << false;
    QTest::newRow("consent bar outweighing a short item")
        << (u"<div class=\"c-a\"><p>"_s + kFirst +
            u"老朽化したビルを取り壊し、複合施設を整備する。</p></div><div class=\"x9\"><div "
            u"class=\"x8\"><p>"_s +
            consent + consent + u"</p><button>同意する</button></div></div>"_s)
        << QStringList{kFirst} << QStringList{u"クッキー"_s} << false;
    // The strict pass drops the wrapper for its name and finds only the notice: a pass that
    // keeps the wrapper must get its turn.
    QTest::newRow("notice left when the article's wrapper was filtered")
        << (u"<div class=\"sticky-header-offset\">%ARTICLE%</div><div class=\"x9\"><p>"_s +
            consent + consent + u"</p></div>"_s)
        << QStringList{kFirst, kLast} << QStringList{u"クッキー"_s} << false;
    QTest::newRow("cookie notice of an embedded post")
        << QString(kArticle).replace(
               u"</div>"_s, u"<div class=\"embed\"><p>Allow X content? This article contains "
                            u"content provided by X. We ask for your permission before anything "
                            u"is loaded, as they may be using cookies.</p></div></div>"_s)
        << QStringList{kFirst, kLast} << QStringList{u"cookies"_s} << false;
    QTest::newRow("fixed cookie banner")
        << (u"<div class=\"x9\" style=\"position: fixed; bottom: 0\"><p>We use cookies to give "
            u"you the best experience. By continuing to browse, you agree to our use of "
            u"cookies.</p></div>%ARTICLE%"_s)
        << QStringList{kFirst} << QStringList{u"cookies"_s} << false;
    QTest::newRow("article about cookies stays")
        << u"<div class=\"article-body\"><p>個人情報保護委員会は７日、ウェブサイトがクッキーを使って閲覧履歴を集める際の指針を公表した。利用者が拒否しやすい画面にするよう求める。</p><p>指針は、同意のボタンだけを目立たせる表示を「不適切」とし、拒否のボタンを同じ大きさで示すよう促した。事業者団体は対応に時間がかかるとしている。</p></div>"_s
        << QStringList{u"クッキーを使って"_s, u"拒否のボタン"_s} << QStringList{} << false;

    // Articles in several parts.
    QTest::newRow("opening in a box of its own")
        << (u"<div class=\"story\"><div class=\"story-lede\"><p>"_s + kFirst +
            u"老朽化した商業ビルを取り壊し、複合施設を整備する計画だ。</p></div>"
            u"<div class=\"story-text\">"_s +
            kMore + morePage + u"</div></div>"_s)
        << QStringList{kFirst, u"完成は２０３０年春"_s} << QStringList{} << false;
    QString sections;
    for (const QString &heading : {u"計画の中身"_s, u"商店主の不安"_s, u"今後の日程"_s})
        sections += u"<section class=\"part\"><h2>"_s + heading + u"</h2><div class=\"text\">"_s +
                    kMore + u"</div></section><div class=\"ad\"></div>"_s;
    QTest::newRow("sections under their own headings")
        << (u"<div class=\"parts\">"_s + sections + u"</div>"_s)
        << QStringList{u"計画の中身"_s, u"商店主の不安"_s, u"今後の日程"_s} << QStringList{}
        << false;
    QTest::newRow("post quoted in a figure")
        << QString(kArticle).replace(
               u"</div>"_s, u"<figure class=\"embed-social\"><blockquote class=\"post\"><p>駅前が"
                            u"変わるのは楽しみ。工事中の不便は我慢します。</p>— 市民の声 "
                            u"(@shimin)</blockquote><figcaption>読み込み中</figcaption></figure>"
                            u"</div>"_s)
        << QStringList{u"駅前が変わるのは楽しみ"_s, u"— 市民の声 (@shimin)"_s}
        << QStringList{u"読み込み中"_s} << false;
    // The site's own boxes beside or inside the article, whatever their names.
    QTest::newRow("an offer after the article")
        << u"%ARTICLE%<section class=\"c-p\"><h2>市民新聞デジタルのご案内</h2><p>スタンダードプラ"
           u"ンなら、すべての有料記事が読み放題。紙面ビューアーで過去の紙面も読めます。初月無料"
           u"キャンペーン実施中。</p><a href=/plan>詳しく見る</a></section>"_s
        << QStringList{kFirst, kLast} << QStringList{u"読み放題"_s} << false;
    QTest::newRow("an appeal after the article")
        << u"%ARTICLE%<div class=\"c-e\"><h2>Before you go</h2><p>Every day, our reporters cover "
           u"the stories that matter to the people of this city, from the schools to the council. "
           u"If you value what we do, please consider making a contribution. Support us from as "
           u"little as $1, and it only takes a minute.</p><a href=/give>Continue</a></div>"_s
        << QStringList{kFirst, kLast} << QStringList{u"contribution"_s} << false;
    QTest::newRow("a box under a read-next heading in the body")
        << withInside(
               u"<div class=\"c-n\"><h3>Read next</h3><p>駅前の商店街、空き店舗が３年で倍に。"
               u"市は補助金で出店を後押しする方針だ。</p></div>"_s)
        << QStringList{kFirst, kLast} << QStringList{u"空き店舗"_s} << false;
    QTest::newRow("a box of short facts beside the article")
        << u"%ARTICLE%<section class=\"c-i\"><h2>計画の概要</h2><p>事業主体：市、民間事業者</p>"
           u"<p>完成予定：２０３０年春、駅前広場</p><p>総事業費：約１２０億円、補助金</p></section>"_s
        << QStringList{kFirst, kLast} << QStringList{u"事業主体"_s} << false;
    QTest::newRow("a product box with a shop's button")
        << withInside(
               u"<div class=\"c-b\"><h4>The Good</h4><ul><li>Bright screen</li><li>Long battery "
               u"life</li></ul><h4>The Bad</h4><ul><li>Heavy</li></ul><a href=/buy>$279 at "
               u"Lumen</a></div>"_s)
        << QStringList{kFirst, kLast} << QStringList{u"The Good"_s, u"Bright screen"_s} << false;
    QTest::newRow("a release's contact and boilerplate, a list of citations")
        << QString(kArticle).replace(
               u"</div>"_s,
               u"<div class=\"c-c\"><h3>Media contact</h3><p>Rachel Moore, University "
               u"Communications, 555-0199</p></div><div class=\"c-a\"><h3>About Northfield State "
               u"University</h3><p>Founded in 1868, the university serves 31,000 students on three "
               u"campuses.</p></div><div class=\"c-r\"><h2>Citations</h2><p>A. Okoro et al. "
               u"Bumblebees learn by watching. Animal Minds, 2024.</p></div></div>"_s)
        << QStringList{kFirst, kLast} << QStringList{u"Rachel Moore"_s, u"Founded"_s, u"Okoro"_s}
        << false;
    QTest::newRow("a heading's anchor made from its words")
        << withInside(u"<h2 id=\"what-time-the-shops-open\">What time the shops open</h2>"_s)
        << QStringList{u"What time the shops open"_s} << QStringList{} << false;
    QTest::newRow("a deck and a byline beside the body")
        << (u"<p class=\"story__dek\">The city would save money. Its residents would lose far "
            u"more.</p><div class=\"story__byline\">By Angela Ruiz. July 22.</div>"_s +
            kArticle)
        << QStringList{kFirst, kLast} << QStringList{u"would lose far more"_s, u"Angela Ruiz"_s}
        << false;
    QTest::newRow("a callout card stays, a teaser card goes")
        << withInside(
               u"<div class=\"kg-card kg-callout-card\"><div>説明会の日程は、市の広報紙とウェブ"
               u"サイトで知らせるという。</div></div><div class=\"kg-card kg-bookmark-card\"><a "
               u"href=/n>駅ビル、来年にも解体へ。老朽化が進む駅ビルの今後をまとめた。</a></div>"_s)
        << QStringList{kFirst, kLast, u"説明会の日程は"_s} << QStringList{u"駅ビル"_s} << false;
    QTest::newRow("a paragraph about subscriptions stays")
        << withInside(u"<p>施設内の図書館では、新聞の電子版の購読や、会員登録なしで使える無料の"
                      u"学習サービスも用意する。</p>"_s)
        << QStringList{kFirst, kLast, u"電子版の購読"_s} << QStringList{} << false;
    QTest::newRow("rest folded behind a button")
        << (u"<div class=\"c-a\">%ARTICLE%</div><div "
            u"class=\"c-b\"><button>続きを読む</button></div>"
            u"<div class=\"c-a\" style=\"display:none\">"_s +
            kMore + morePage + u"</div>"_s)
        << QStringList{kFirst, u"完成は２０３０年春"_s} << QStringList{} << false;
    QTest::newRow("a row of a table of facts is one line")
        << QString(kArticle).replace(
               u"</div>"_s,
               u"<table><tr><td><p>設立</p></td><td><p>２０２１年５月</p></td></tr><tr><td><p>"
               u"所在地</p></td><td><p>静岡県浜松市</p></td></tr><tr><td><p>事業内容</p></"
               u"td><td><p>"
               u"総菜・冷凍食品の製造および販売</p></td></tr></table></div>"_s)
        << QStringList{u"設立 ２０２１年５月"_s, u"所在地 静岡県浜松市"_s} << QStringList{}
        << false;
    QTest::newRow("plain list of facts stays")
        << QString(kArticle).replace(
               u"</div>"_s,
               u"<ul><li>図書館と子育て支援の窓口を一つの建物に集める</li><li>駅と"
               u"施設を屋根付きの通路で結び、雨の日も歩けるようにする</li></ul></div>"_s)
        << QStringList{u"図書館と子育て支援の窓口"_s, u"屋根付きの通路"_s} << QStringList{}
        << false;

    // The edges of the body.
    QTest::newRow("captions, credits and sign-offs")
        << QString(kArticle)
               .replace(u"<p>事業費"_s, u"<p>写真：市提供</p><p>完成予想図を示す市長＝７日、"
                                        u"市役所、山田太郎撮影</p><p>事業費"_s)
               .replace(u"</div>"_s, u"<p>（市政担当・佐藤健一）</p></div>"_s)
        << QStringList{kFirst, kLast}
        << QStringList{u"写真：市提供"_s, u"山田太郎撮影"_s, u"佐藤健一"_s} << false;
    QTest::newRow("affiliate and price notices")
        << QString(kArticle)
               .replace(u"<div class=\"article-body\">"_s,
                        u"<div class=\"article-body\"><p>※本記事はアフィリエイトプログラムによる"
                        u"収益を得ています</p>"_s)
               .replace(u"</div>"_s, u"<p>※価格は記事公開時点のものです。</p></div>"_s)
        << QStringList{kFirst, kLast} << QStringList{u"アフィリエイト"_s, u"価格は記事公開時点"_s}
        << false;
    QTest::newRow("pointers to other stories and videos")
        << QString(kArticle).replace(u"<p>事業費"_s,
                                     u"<p><strong>RELATED: <a href=\"/x\">Live updates on the "
                                     u"plan</a></strong></p><p>【動画】再開発の完成予想"
                                     u"</p><p>Related research shows such plans pay off.</p>"
                                     u"<p>事業費"_s)
        << QStringList{kFirst, kLast, u"Related research shows"_s}
        << QStringList{u"RELATED"_s, u"完成予想"_s} << false;
    QTest::newRow("the page's lines between the paragraphs")
        << QString(kArticle).replace(
               u"<p>事業費"_s,
               u"<p>Published 5:02 a.m. ET Sept. 12, 2024 | Updated 9:45 a.m. ET Sept. 12, 2024"
               u"</p><p>Medically reviewed by Dana Whitcombe, RD — Written by Hannah Berg</p>"
               u"<p><strong>MORE:</strong> What other cities are doing about their stations</p>"
               u"<p>See more on: Station Square</p><div>after newsletter promotion</div>"
               u"<p>More than 400 people attended the first meeting.</p><p>事業費"_s)
        << QStringList{kFirst, kLast, u"More than 400 people"_s}
        << QStringList{u"Published"_s, u"reviewed"_s, u"other cities"_s, u"Station Square"_s,
                       u"promotion"_s}
        << false;
    QTest::newRow("box of facts under its own heading above the article")
        << u"<div "
           u"class=\"case-box\"><h4>事件の概要</"
           u"h4><p>"
           u"原告：駅前商店会ほか、被告：市、事件番号：令和７年（行ウ）第１２号、判決日：２０２６年"
           u"１１月３日。</p>"
           u"<p>裁判長：山田一郎、陪席：佐藤花子、鈴木次郎の各裁判官による合議体。</p></div>%ARTICLE%"_s
        << QStringList{kFirst, kLast} << QStringList{u"事件の概要"_s, u"裁判長"_s} << false;
    QTest::newRow("quote card vouched for by a data line")
        << withInside(u"<div class=\"quote-card\"><table><tr><th colspan=3>北斗不動産</th></tr>"
                      u"<tr><td>8801</td><td>1,520</td><td>+35 (+2.4%)</td></tr>"
                      u"<tr><td colspan=3>Quotes delayed 20 minutes.</td></tr></table></div>"_s)
        << QStringList{kFirst, kLast} << QStringList{u"北斗不動産"_s, u"1,520"_s} << false;
    QTest::newRow("registration wall")
        << QString(kArticle).replace(
               u"</div>"_s,
               u"<div class=\"wall\"><h2>Register for free to keep reading</h2><p>This article is "
               u"available to registered readers.</p></div></div>"_s)
        << QStringList{kFirst} << QStringList{u"Register"_s} << true;
    QTest::newRow("dateline before the opening")
        << QString(kArticle).replace(
               u"<div class=\"article-body\">"_s,
               u"<div class=\"article-body\"><p>ニューヨーク＝中村亮太 2026年10月13日 11時00分</p>"_s)
        << QStringList{kFirst} << QStringList{u"中村亮太"_s} << false;
    // The desk's call for letters under the letters: how to send one is not one.
    QTest::newRow("call for letters after the letters")
        << u"<article>%ARTICLE%<div class=\"box\"><h4>Send us a letter</h4><p>Letters of up "
           u"to 300 words must give the writer's full name and town, and we may shorten them. "
           u"Write to desk@paper.example.</p></div></article>"_s
        << QStringList{kFirst, kLast} << QStringList{u"letter"_s, u"300 words"_s} << false;
    QTest::newRow("call for contributions after the letters")
        << u"<article>%ARTICLE%<div class=\"box\"><h4>ご投稿をお待ちしています</h4><p>"
           u"６００字以内で、住所、氏名、年齢、職業を明記の上、本社「読者のひろば」係へお送りくださ"
           u"い"
           u"。掲載分には図書カードを進呈します。</p></div></article>"_s
        << QStringList{kFirst, kLast} << QStringList{u"投稿"_s, u"６００字"_s} << false;
    // A review's score box above the text: the site's lines about the thing, one sentence at
    // most.
    QTest::newRow("score box of short lines")
        << QString(kArticle)
               .replace(u"</div>"_s, kMore + kMore + kMore + u"</div>"_s)
               .replace(u"<p>市は７日"_s,
                        u"<div class=\"verdict\"><div>8</div><div>Great</div><p>A tight, clever "
                        u"puzzle game.</p><dl><dt>Maker</dt><dd>Oakfern</dd><dt>Price</dt>"
                        u"<dd>$19.99</dd><dt>Length</dt><dd>9 hours</dd></dl></div><p>市は７日"_s)
        << QStringList{kFirst, kLast} << QStringList{u"Oakfern"_s, u"puzzle game"_s} << false;
    QTest::newRow("player holding only its clip's title")
        << withInside(u"<div class=\"embed\"><div class=\"clip-video\">Station Square - Official "
                      u"Concept Film</div></div>"_s)
        << QStringList{kFirst, kLast} << QStringList{u"Concept Film"_s} << false;
    // A table's row names what its date is; a dateline stands alone.
    QTest::newRow("date in a row of a table of facts")
        << withInside(u"<table><tr><td>Pages</td><td>212</td></tr><tr><td>Published</td>"
                      u"<td>March 3, 2026</td></tr></table>"_s)
        << QStringList{kFirst, kLast, u"Published March 3, 2026"_s} << QStringList{} << false;
    // A release's own text ends at its "About" heading; the issuer's notes follow in the same
    // flow.
    QTest::newRow("release ends at its about heading")
        << QString(kArticle).replace(
               u"</div>"_s,
               u"<h2>About Kessel Mills</h2><p>Kessel Mills, Inc. makes paper and board for "
               u"packaging in eleven plants and employs about 4,000 people.</p>"
               u"<h2>Forward-Looking Statements</h2><p>This release contains statements about "
               u"future results that involve risks and uncertainties.</p>"
               u"<p><b>Media Contact:</b><br>Ines Vogt<br>press@kessel.example</p>"
               u"<table><tr><td>Net sales</td><td>412,300</td><td>398,100</td></tr></table>"
               u"</div>"_s)
        << QStringList{kFirst, kLast}
        << QStringList{u"Kessel"_s, u"future results"_s, u"Ines Vogt"_s, u"412,300"_s} << false;
    // A roundup's products: each card says in sentences why, and only its shop's button and
    // prices are the site's.
    const QString card = u"<div class=\"deal-card\"><h3>Kettle %1</h3><p>This kettle boils a "
                         u"litre in under three minutes and switches itself off when dry.</p>"
                         u"<div class=\"deal-card__price\"><s>$59.99</s> <b>$3%1.99</b></div>"
                         u"<a href=\"https://shop.example/k%1\">$3%1.99 at Pantry Co</a></div>"_s;
    // Notes under an essay, each with its link back to the mark in the text, and the
    // columnist's disclaimer below them.
    const QString atEnd = QString(kArticle).chopped(6);
    QTest::newRow("notes under the article")
        << atEnd + u"<div class=\"essay-notes\"><h3>Notes</h3><ol><li id=\"fn1\">State housing "
                   u"survey 2023, tables 4-6. <a href=\"#r1\">↩</a></li><li id=\"fn2\">Census "
                   u"of permits, 2019-2023; author's calculations. <a href=\"#r2\">↩</a></li>"
                   u"</ol></div></div>"_s
        << QStringList{kFirst, kLast} << QStringList{u"Notes"_s, u"housing survey"_s, u"permits"_s}
        << false;
    QTest::newRow("注 and a columnist's disclaimer")
        << atEnd +
               u"<div class=\"col-notes\"><p>注</p><p>（注１）総務省「労働力調査」（２０２３年）。"
               u"</p><p>（注２）当研究所の推計による。</p></div><p>本稿の内容は筆者個人の見解で"
               u"あり、所属する組織の見解を示すものではありません。</p></div>"_s
        << QStringList{kFirst, kLast} << QStringList{u"労働力調査"_s, u"推計"_s, u"筆者"_s}
        << false;
    QTest::newRow("an embedded post's attribution goes, its words stay")
        << withInside(
               u"<blockquote class=\"social-embed\"><p>九年間ありがとうございました。新しい"
               u"挑戦を始めます。</p><p>A post shared by Kayla Brook (@kbrook)</p></blockquote>"_s)
        << QStringList{kFirst, kLast, u"九年間ありがとうございました"_s}
        << QStringList{u"A post shared by"_s} << false;
    QTest::newRow("standfirst above the byline")
        << u"<article><h1>駅前に複合施設</h1><p class=\"lead-in\">老朽ビルの跡地に図書館と保育所、"
           u"市が２０３０年までに整備する方針を示した。</p><div class=\"by\">市政担当　佐藤 "
           u"<time>2024年3月7日</time></div>%ARTICLE%</article>"_s
        << QStringList{kFirst, kLast} << QStringList{u"老朽ビルの跡地"_s} << false;
    QTest::newRow("blurred text under a wall")
        << withInside(
               u"<div class=\"locked\" style=\"filter: blur(4px)\" aria-hidden=\"true\">"
               u"<p>Analysts at the consultancy said the plan could be revised when the city "
               u"draws up next year's budget, according to two people who have seen it.</p>"
               u"</div>"_s)
        << QStringList{kFirst, kLast} << QStringList{u"Analysts"_s} << false;
    QTest::newRow("product cards of a roundup")
        << withInside(card.arg(1) + card.arg(2))
        << QStringList{kFirst, kLast, u"Kettle 1"_s, u"Kettle 2"_s, u"boils a litre"_s}
        << QStringList{u"Pantry Co"_s, u"$59.99"_s} << false;
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

void tst_MainText::articleContainer_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<bool>("fromContainer");

    const QString item =
        u"<p>７日午前の東京株式市場で日経平均株価は続伸し、午前終値は前日比１２０円高の"
        u"３万９８６２円だった。</p>"_s;
    const QString side =
        u"<div "
        u"class=\"c-s\"><p>読者の声、駅前の計画には賛成です。ただ、工事の間の騒音が心配です。</p>"
        u"</div>"_s;
    QTest::newRow("article element") << u"<article>"_s + item + u"</article>"_s + side << true;
    QTest::newRow("marked as the article body")
        << u"<div itemprop=\"articleBody\">"_s + item + u"</div>"_s + side << true;
    QTest::newRow("far ahead of the rest")
        << u"<div class=\"c-a\">%ARTICLE%</div>"_s + side << true;
    QTest::newRow("two alike, no container")
        << u"<div class=\"c-a\">"_s + item + u"</div>"_s + side << false;
    QTest::newRow("embedded body")
        << u"<script type=\"application/ld+json\">{\"@type\":\"NewsArticle\",\"articleBody\":\"市は"
           u"７日、駅前の再開発計画の概要を発表した。老朽化した商業ビルを取り壊し、２０３０年まで"
           u"に図書館や保育所を備えた複合施設を整備する。事業費は約１２０億円を見込み、国の補助金と"
           u"民間資金を組み合わせる。\"}</script>"_s +
               side
        << true;
}

void tst_MainText::articleContainer()
{
    QFETCH(QString, body);
    QFETCH(bool, fromContainer);
    const MainTextResult result = ExtractMainText(pageWith(body), QString(), QUrl());
    QVERIFY(!result.paragraphs.isEmpty());
    QCOMPARE(result.fromArticleContainer, fromContainer);
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
    QTest::addColumn<double>("fourGrams");
    QTest::addColumn<double>("shingles");

    // Each kanji and kana is a word of a shingle.
    QTest::newRow("same") << u"日本 語です"_s << u"日本語です"_s << 1.0 << 0.0 << 1.0 << 1.0;
    QTest::newRow("both empty") << QString() << QString() << 1.0 << 1.0 << 1.0 << 1.0;
    QTest::newRow("nothing extracted") << QString() << u"abcd"_s << 0.0 << 0.0 << 0.0 << 0.0;
    // Precision 2/4, recall 2/2: F1 2/3.
    QTest::newRow("twice too much") << u"a b c d"_s << u"a b"_s << 2.0 / 3 << 2.0 / 3 << 0.0 << 0.0;
    // A repeated token counts as often as both texts hold it; neither text has a run of four.
    QTest::newRow("repeats") << u"a a a"_s << u"a"_s << 0.5 << 0.5 << 1.0 << 0.0;
    // The same characters in another order: four-character runs notice, characters do not.
    QTest::newRow("order") << u"efghabcd"_s << u"abcdefgh"_s << 1.0 << 0.0 << 0.4 << 0.0;
    // Shingles read words: case and punctuation do not count.
    QTest::newRow("words, not their case")
        << u"the Mayor said, on Monday."_s << u"The mayor said on Monday"_s << 6.0 / 7 << 0.2
        << 5.0 / 9 << 1.0;
    // Two shingles of four words against the one of the label: precision 1/2, recall 1.
    QTest::newRow("a word more") << u"a b c d e"_s << u"a b c d"_s << 8.0 / 9 << 8.0 / 9 << 2.0 / 3
                                 << 2.0 / 3;
}

void tst_MainText::overlap()
{
    QFETCH(QString, extracted);
    QFETCH(QString, expected);
    QFETCH(double, characters);
    QFETCH(double, words);
    QFETCH(double, fourGrams);
    QFETCH(double, shingles);
    QVERIFY(qAbs(TextOverlap::Characters(extracted, expected).f1 - characters) < 1e-9);
    QVERIFY(qAbs(TextOverlap::Words(extracted, expected).f1 - words) < 1e-9);
    QVERIFY(qAbs(TextOverlap::FourGrams(extracted, expected).f1 - fourGrams) < 1e-9);
    QVERIFY(qAbs(TextOverlap::Shingles(extracted, expected).f1 - shingles) < 1e-9);
}

void tst_MainText::pageWithoutBodyTag_data()
{
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<QString>("kept");

    // The parser finds the body inside the notice: removing the notice once freed the body.
    QTest::newRow("consent notice holds the body")
        << QByteArray(
               "<html lang=\"ja\"><head><meta charset=UTF-8>\n<colbody>\n"
               "<div id=\"consent-banner\" role=\"dialog\"><p>このサイトはクッキーを使用します。"
               "</p><button>同意する</button></div>")
        << QString();
    QTest::newRow("article after a stray tag")
        << QByteArray("<html><head><meta charset=UTF-8></head><colbody><div><p>")
               .append(kFirst.toUtf8())
               .append("</p><button>同意する</button></div>")
        << QString(kFirst);
}

void tst_MainText::pageWithoutBodyTag()
{
    QFETCH(QByteArray, page);
    QFETCH(QString, kept);
    const MainTextResult result = ExtractMainText(page, QString(), QUrl());
    const QString text = result.paragraphs.join(u'\n');
    if (!kept.isEmpty())
        QVERIFY2(text.contains(kept), qPrintable(text));
}

QTEST_GUILESS_MAIN(tst_MainText)
#include "tst_maintext.moc"
