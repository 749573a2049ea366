#include "BodyEdges.h"

#include <QTest>

using namespace Qt::StringLiterals;

class tst_BodyEdges : public QObject
{
    Q_OBJECT

private slots:
    void lineKind_data();
    void lineKind();
    void trim_data();
    void trim();
    void dropEchoes_data();
    void dropEchoes();
    void dropHeadline_data();
    void dropHeadline();
};

namespace {

enum Kind { Text, Caption, Notice, SignOff };

Kind kindOf(const QString &line)
{
    if (BodyEdges::IsCaptionOrCredit(line))
        return Caption;
    if (BodyEdges::IsSiteNotice(line))
        return Notice;
    return BodyEdges::IsSignOff(line) ? SignOff : Text;
}

const QString kOpening = u"政府は７日の閣議で、物価高への対応を柱とする総合経済対策を決定した。"_s;
const QString kMiddle = u"首相は記者団に「家計を下支えする」と強調した。"_s;
const QString kClosing = u"補正予算案の審議は曲折も予想される。"_s;

} // namespace

void tst_BodyEdges::lineKind_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("kind");

    QTest::newRow("photo credit") << u"写真：共同"_s << int(Caption);
    QTest::newRow("image credit") << u"画像：ソノラ"_s << int(Caption);
    QTest::newRow("source of a chart") << u"出典：総務省の発表資料"_s << int(Caption);
    QTest::newRow("photographer") << u"（撮影・佐藤大輝）"_s << int(Caption);
    QTest::newRow("caption with place and photographer")
        << u"閣議に臨む首相（中央）＝７日午前、首相官邸で、山田一郎撮影"_s << int(Caption);
    QTest::newRow("caption with the day")
        << u"雪化粧した御嶽山＝２３日午前８時、木曽町から"_s << int(Caption);
    QTest::newRow("wire credit alone") << u"（共同）"_s << int(Caption);
    QTest::newRow("Latin image credit") << u"Image: Jordan Reyes / Circuitry"_s << int(Caption);
    QTest::newRow("photo by") << u"Photo by Kevin Marsh/Getty Images"_s << int(Caption);
    QTest::newRow("source line") << u"Source: company filings"_s << int(Caption);
    QTest::newRow("supplier") << u"提供元：東日ニュース"_s << int(Caption);
    QTest::newRow("caption ending in its credit")
        << u"Water covers the arena on April 3. (Sentinel photo by Jim Carver)"_s << int(Caption);
    QTest::newRow("wire photo credit")
        << u"Firefighters work at the scene on Tuesday. (AP Photo/Jane Doe)"_s << int(Caption);
    QTest::newRow("credit after a video's length") << u"02:14 - Source: CNW"_s << int(Caption);
    QTest::newRow("caption ending in the paper's photo")
        << u"A sketch of the planned mural on the side of the café. (Sentinel photo)"_s
        << int(Caption);
    QTest::newRow("caption with who and where")
        << u"県知事賞に選ばれた純米吟醸酒を手にする山田健二さん＝北山町の酒造"_s << int(Caption);

    QTest::newRow("byline with an accented name")
        << u"By Renée Dufresne, Sentinel Staff Writer"_s << int(SignOff);
    QTest::newRow("a syndicated columnist's note")
        << u"Ellis Granger is a former high school principal who writes about small-town life. To find out more about Ellis Granger and read features by other Creators Syndicate writers and cartoonists, visit the Creators Syndicate website at www.creators.example."_s
        << int(SignOff);
    QTest::newRow("a post's time in a US zone")
        << u"10:30 p.m. CDT, Sept. 14, 2026"_s << int(SignOff);
    QTest::newRow("time and reading time")
        << u"Tue, August 12, 2026 at 1:31 PM UTC · 2 min read"_s << int(SignOff);
    QTest::newRow("a chart's source in brackets")
        << u"日経平均株価の日中の値動き（出所：株式マーケットナビ）"_s << int(Caption);
    QTest::newRow("affiliate disclosure")
        << u"※本記事はアフィリエイトプログラムによる収益を得ています"_s << int(Notice);
    QTest::newRow("price at the time") << u"※価格は記事公開時点のものです。"_s << int(Notice);
    QTest::newRow("commission")
        << u"We may earn a commission when you buy through links on our site."_s << int(Notice);
    QTest::newRow("pointer to the video the text goes with")
        << u"※この記事は動画と合わせてご覧ください。"_s << int(Notice);
    QTest::newRow("pointer to the video above") << u"Watch the full report above."_s << int(Notice);
    QTest::newRow("shop button") << u"$379.99 at Amazon"_s << int(Notice);
    QTest::newRow("republished")
        << u"This article is republished from The Scholar Review under a Creative Commons license. Read the original article."_s
        << int(Notice);
    QTest::newRow("reprint") << u"※本記事は月刊「物流ジャーナル」１２月号からの転載です。"_s
                             << int(Notice);
    QTest::newRow("print edition")
        << u"A version of this article appears in print on Dec. 3, 2026, Section A, Page 16."_s
        << int(Notice);
    QTest::newRow("newsletter sign-up")
        << u"Sign up for the Climate Forward newsletter. Get it every week."_s << int(Notice);
    QTest::newRow("wire standards")
        << u"Our Standards: The Meridian Trust Principles."_s << int(Notice);
    QTest::newRow("a small commission")
        << u"If you buy through links on this page, we may earn a small commission."_s
        << int(Notice);
    QTest::newRow("first published")
        << u"This story was originally published March 18, 2024, 5:00 AM."_s << int(Notice);
    QTest::newRow("print edition of a magazine")
        << u"Published in the print edition of the April 1, 2024, issue, with the headline “Night Watch.”"_s
        << int(Notice);
    QTest::newRow("wire copy carried")
        << u"北斗新報デジタルは、共同通信の配信記事を掲載しています。"_s << int(Notice);
    QTest::newRow("produced in partnership")
        << u"This article was produced for the Local Reporting Network in partnership with the Calloway Courier."_s
        << int(Notice);
    QTest::newRow("an opinion's disclaimer")
        << u"The views expressed in this column are the author’s own and do not necessarily reflect those of the Valley Record."_s
        << int(Notice);
    QTest::newRow("a station's line under every story")
        << u"For the latest news, weather, sports, and streaming video, head to KVTR 4."_s
        << int(Notice);

    QTest::newRow("a station's follow line")
        << u"Stay with WKTV 7 for updates on this developing story."_s << int(Notice);
    QTest::newRow("a station's app")
        << u"Download the KRBN News app for breaking news alerts."_s << int(Notice);
    QTest::newRow("prices with tax") << u"※価格はすべて税込みです。"_s << int(Notice);
    QTest::newRow("information as of the broadcast")
        << u"※掲載の情報は放送時点のものです。"_s << int(Notice);
    QTest::newRow("an advertiser disclosure")
        << u"Advertiser disclosure: Many of the offers on this page are from companies that "
           u"compensate us."_s
        << int(Notice);
    QTest::newRow("correspondent") << u"（ワシントン＝佐藤健一）"_s << int(SignOff);
    QTest::newRow("bureau") << u"（函館支社・田中真由美）"_s << int(SignOff);
    QTest::newRow("desk") << u"（市政担当・佐藤健一）"_s << int(SignOff);
    QTest::newRow("interviewer") << u"（聞き手・田村誠一）"_s << int(SignOff);
    QTest::newRow("place, reporter and time")
        << u"ニューヨーク＝中村亮太 2026年10月13日 11時00分"_s << int(SignOff);
    QTest::newRow("wire sign-off")
        << u"Reporting by Lucas Brandt and Mei Tanaka; Editing by Sam Holloway"_s << int(SignOff);
    QTest::newRow("author note") << u"Isaac Brenner covers transportation for The Harbor Times."_s
                                 << int(SignOff);
    QTest::newRow("author's post")
        << u"Alicia Moreno is an associate professor of education policy at the University of Northfield."_s
        << int(SignOff);
    QTest::newRow("updated time") << u"Updated Dec. 4, 2026, 6:05 p.m. ET"_s << int(SignOff);
    QTest::newRow("contributor")
        << u"Associated Press writer Josh Funk in Omaha contributed to this report."_s
        << int(SignOff);
    QTest::newRow("reporter in lenticular brackets") << u"【佐藤花子】"_s << int(SignOff);
    QTest::newRow("wire information used")
        << u"Information from the Associated Press was used in this report."_s << int(SignOff);
    QTest::newRow("a guest writer's note")
        << u"Angela Ruiz is a retired school librarian and a member of the Eastside Neighborhood Council."_s
        << int(SignOff);
    QTest::newRow("a beat covered")
        << u"Gideon Marsh covers upstate New York for the Metro desk."_s << int(SignOff);

    QTest::newRow("a disclaimer")
        << u"Docket Report provides news and analysis for informational purposes only. Nothing on this site is legal advice."_s
        << int(Notice);
    QTest::newRow("not an offer to invest")
        << u"本記事は情報提供を目的としたものであり、投資勧誘を目的としたものではありません。"_s
        << int(Notice);
    QTest::newRow("a magazine's print edition")
        << u"This article appears in the May 2026 print edition with the headline “The Keepers.”"_s
        << int(Notice);
    QTest::newRow("delayed quotes")
        << u"All quotes delayed a minimum of 15 minutes."_s << int(Notice);
    QTest::newRow("an appeal for readers' photos")
        << u"Got a great shot? Share your northern lights photos with us at wkvt.example/submit."_s
        << int(Notice);
    QTest::newRow("the reader for the page's files")
        << u"PDF形式のファイルをご覧いただく場合には、Adobe Acrobat Readerが必要です。"_s
        << int(Notice);
    QTest::newRow("about the issuer, closing a release")
        << u"About Northgate Water: Northgate Water supplies 400,000 homes in three counties."_s
        << int(Notice);
    QTest::newRow("the desk asking for stories")
        << u"Got a showbiz story? Email us at tips@paper.example"_s << int(Notice);
    QTest::newRow("how to send an obituary")
        << u"Obituaries may be submitted by funeral homes or families."_s << int(Notice);
    QTest::newRow("how to send a notice")
        << u"Share your news: Weddings and anniversaries are published free."_s << int(Notice);
    QTest::newRow("an agency picture's licence")
        << u"Editorial use only. No commercial use without permission."_s << int(Notice);
    QTest::newRow("a licence's heading") << u"Usage terms"_s << int(Notice);
    QTest::newRow("a bookmaker's line")
        << u"Official betting partner. 18+ only. Please gamble responsibly."_s << int(Notice);
    QTest::newRow("a product lent for review")
        << u"※本記事はメーカーから貸し出された製品を使用して作成しています。"_s << int(Notice);
    QTest::newRow("when the programme is on")
        << u"Evening Desk airs weeknights at 7pm on Channel Five."_s << int(Notice);
    QTest::newRow("about a subject, in a sentence")
        << u"About 40 people attended: most were parents of pupils at the school."_s << int(Text);
    QTest::newRow("a show airing, in a sentence")
        << u"The final episode airs on Sunday, the network said."_s << int(Text);
    QTest::newRow("work delayed is news")
        << u"The company said the work had been delayed by two weeks because of the rain."_s
        << int(Text);
    QTest::newRow("sharing photos is news")
        << u"The app lets parents share photos with teachers, the district said."_s << int(Text);
    QTest::newRow("a sentence") << kOpening << int(Text);
    QTest::newRow("reader's signature under a letter")
        << u"会社員　山田 花子（44）＝北山町"_s << int(Text);
    QTest::newRow("reader's signature, name unspaced")
        << u"無職 佐々木誠（81）＝南が丘"_s << int(Text);
    QTest::newRow("a race's heading")
        << u"◇東京マラソン（１日、東京都庁前スタート）"_s << int(Text);
    QTest::newRow("note in brackets") << u"（選管最終）"_s << int(Text);
    QTest::newRow("a person in the news")
        << u"John Smith is expected to appear in court next month."_s << int(Text);
    QTest::newRow("sources said") << u"Sources said the talks had stalled."_s << int(Text);
    QTest::newRow("photographs in a sentence")
        << u"Photographs of the scene were shared widely on social media."_s << int(Text);
    QTest::newRow("prices in a sentence")
        << u"Prices were rising faster than wages."_s << int(Text);
    QTest::newRow("a price in a sentence")
        << u"The shop sells apples at $2 a pound."_s << int(Text);
    QTest::newRow("an exchange rate in a sentence")
        << u"円相場は１ドル＝１５０円台で推移した。"_s << int(Text);
    QTest::newRow("an exchange rate in a heading")
        << u"円相場、一時１ドル＝１６０円台"_s << int(Text);
    QTest::newRow("a photo in a sentence")
        << u"Police released a photo of the suspect (taken by a neighbor) on Monday."_s
        << int(Text);
    QTest::newRow("a member in the news")
        << u"Angela Ruiz is expected to testify before the council on Monday."_s << int(Text);
    QTest::newRow("an app in a sentence")
        << u"Download the app and the council will text you when the road reopens, he said."_s
        << int(Text);
    QTest::newRow("a price in a quoted sentence")
        << u"店主は「価格はすべて税込みで、お釣りのないようにしています」と話した。"_s << int(Text);
    QTest::newRow("information in a sentence")
        << u"Information from the sensors was used to plan the new route."_s << int(Text);
}

void tst_BodyEdges::lineKind()
{
    QFETCH(QString, line);
    QFETCH(int, kind);
    QCOMPARE(int(kindOf(line)), kind);
}

void tst_BodyEdges::trim_data()
{
    QTest::addColumn<QStringList>("paragraphs");
    QTest::addColumn<QStringList>("trimmed");

    QTest::newRow("sign-off at the end")
        << QStringList{kOpening, kClosing, u"（ワシントン＝佐藤健一）"_s}
        << QStringList{kOpening, kClosing};
    QTest::newRow("date closing a list of facts")
        << QStringList{kOpening, kClosing, u"Pages 212"_s, u"Price $24.00"_s,
                       u"Published March 3, 2026"_s}
        << QStringList{kOpening, kClosing, u"Pages 212"_s, u"Price $24.00"_s,
                       u"Published March 3, 2026"_s};
    QTest::newRow("dateline after a byline at the end")
        << QStringList{kOpening, kClosing, u"By Ada Quill"_s, u"Published March 3, 2026"_s}
        << QStringList{kOpening, kClosing};
    QTest::newRow("standfirst above a byline with place and time")
        << QStringList{u"Insurers raise rates again; two lines to reroute"_s,
                       u"Hannah Lowe, London 22 March 2024 07:30 GMT"_s, kOpening, kMiddle,
                       kClosing}
        << QStringList{kOpening, kMiddle, kClosing};
    QTest::newRow("a long first paragraph above a byline stays")
        << QStringList{kOpening.repeated(8), u"By Ada Quill"_s, kOpening, kMiddle, kClosing}
        << QStringList{kOpening.repeated(8), u"By Ada Quill"_s, kOpening, kMiddle, kClosing};
    QTest::newRow("dateline and byline at the start")
        << QStringList{u"ニューヨーク＝中村亮太 2026年10月13日 11時00分"_s, kOpening, kClosing}
        << QStringList{kOpening, kClosing};
    QTest::newRow("a wire's note to the papers above the story")
        << QStringList{u"(ATTN: ADDS details in paras 4-7, graphic)"_s, kOpening, kClosing}
        << QStringList{kOpening, kClosing};
    QTest::newRow("a bracketed word opening the story stays")
        << QStringList{u"(AP) Officials said Tuesday that the bridge would reopen in May."_s,
                       kClosing}
        << QStringList{u"(AP) Officials said Tuesday that the bridge would reopen in May."_s,
                       kClosing};
    QTest::newRow("sign-off in the middle stays")
        << QStringList{kOpening, u"（ワシントン＝佐藤健一）"_s, kMiddle, kClosing}
        << QStringList{kOpening, u"（ワシントン＝佐藤健一）"_s, kMiddle, kClosing};
    QTest::newRow("captions go wherever they stand")
        << QStringList{kOpening, u"写真：共同"_s, kMiddle, kClosing}
        << QStringList{kOpening, kMiddle, kClosing};
    QTest::newRow("notices and sign-offs stacked at the end")
        << QStringList{kOpening, kClosing, u"Reporting by Ana Silva; Editing by Chris Reese"_s,
                       u"Our Standards: The Meridian Trust Principles."_s}
        << QStringList{kOpening, kClosing};
    QTest::newRow("a tip line at the foot")
        << QStringList{kOpening, kClosing, u"Have a news tip? Send it to news@kvtn.example."_s}
        << QStringList{kOpening, kClosing};
    QTest::newRow("breadcrumb before, address after")
        << QStringList{u"トップ ＞ 地域ニュース"_s, kOpening, kClosing,
                       u"北斗新報社 〒060-0000 札幌市中央区北１条西１丁目"_s}
        << QStringList{kOpening, kClosing};
    QTest::newRow("nothing but a sign-off") << QStringList{u"（共同）"_s} << QStringList{};
    QTest::newRow("a call for tips at the foot")
        << QStringList{kOpening, kClosing,
                       u"Help us report on jail health care. If you have worked in a county jail or been held in one, we want to hear from you. Email tips@openledger.example."_s}
        << QStringList{kOpening, kClosing};
    QTest::newRow("a wire's closing credit ends the story")
        << QStringList{kOpening, kClosing,
                       u"Reporting by Nora Eide in Oslo; Editing by Mark Cullen"_s,
                       u"Nora writes on energy, from hydropower to offshore wind."_s}
        << QStringList{kOpening, kClosing};
    QTest::newRow("a release's end mark ends it")
        << QStringList{kOpening, kClosing, u"###"_s,
                       u"The department is an equal opportunity provider and employer."_s}
        << QStringList{kOpening, kClosing};
    QTest::newRow("a wire's end mark ends it")
        << QStringList{kOpening, kClosing, u"(END)"_s} << QStringList{kOpening, kClosing};
    QTest::newRow("ornaments between sections go")
        << QStringList{kOpening, u"⁂"_s, kMiddle, u"___"_s, kClosing}
        << QStringList{kOpening, kMiddle, kClosing};
    QTest::newRow("the paper's note on naming the accused at the end")
        << QStringList{kOpening, kClosing,
                       u"The Courier publishes booking photos of people charged with crimes. A "
                       u"charge is not a conviction."_s}
        << QStringList{kOpening, kClosing};
    QTest::newRow("presumed innocent in the text stays")
        << QStringList{kOpening,
                       u"Her lawyer said she is presumed innocent until proven guilty and will "
                       u"fight the charge."_s,
                       kMiddle,
                       kMiddle,
                       kMiddle,
                       kClosing}
        << QStringList{kOpening,
                       u"Her lawyer said she is presumed innocent until proven guilty and will "
                       u"fight the charge."_s,
                       kMiddle,
                       kMiddle,
                       kMiddle,
                       kClosing};
    QTest::newRow("the page's number and a row of tools")
        << QStringList{u"ページID：P012345"_s, u"［会員限定記事］ 保存 共有 印刷"_s, kOpening,
                       kClosing}
        << QStringList{kOpening, kClosing};
    QTest::newRow("a line of tool words in the text stays")
        << QStringList{kOpening, u"Save, share and print the form before you go."_s, kClosing}
        << QStringList{kOpening, u"Save, share and print the form before you go."_s, kClosing};
    QTest::newRow("a closing credit far from the end stays")
        << QStringList{kOpening, u"Reporting by the team showed the plan had stalled."_s,
                       kMiddle,  kMiddle,
                       kMiddle,  kClosing}
        << QStringList{kOpening, u"Reporting by the team showed the plan had stalled."_s,
                       kMiddle,  kMiddle,
                       kMiddle,  kClosing};
}

void tst_BodyEdges::trim()
{
    QFETCH(QStringList, paragraphs);
    QFETCH(QStringList, trimmed);
    BodyEdges::Trim(paragraphs);
    QCOMPARE(paragraphs, trimmed);
}

void tst_BodyEdges::dropEchoes_data()
{
    QTest::addColumn<QStringList>("paragraphs");
    QTest::addColumn<QStringList>("kept");

    const QString said = u"“People think it’s lonely,” Marsh said as we washed the dishes. “It’s "
                         u"the least lonely place I know. You can’t ignore anything out here.”"_s;
    QTest::newRow("a pull quote before the sentence it was lifted from")
        << QStringList{kOpening,
                       u"“People think it’s lonely. It’s the least lonely place I know.”"_s, said,
                       kClosing}
        << QStringList{kOpening, said, kClosing};
    QTest::newRow("a caption said twice")
        << QStringList{kOpening, kMiddle + kClosing, kMiddle + kClosing}
        << QStringList{kOpening, kMiddle + kClosing};
    QTest::newRow("a line that says more stays")
        << QStringList{u"“It’s the least lonely place I know,” she said, and she meant the island, "
                       u"the birds and the weather."_s,
                       said}
        << QStringList{u"“It’s the least lonely place I know,” she said, and she meant the island, "
                       u"the birds and the weather."_s,
                       said};
    QTest::newRow("short lines alike stay") << QStringList{u"UP NEXT"_s, kOpening, u"UP NEXT"_s}
                                            << QStringList{u"UP NEXT"_s, kOpening, u"UP NEXT"_s};
}

void tst_BodyEdges::dropEchoes()
{
    QFETCH(QStringList, paragraphs);
    QFETCH(QStringList, kept);
    BodyEdges::DropEchoes(paragraphs);
    QCOMPARE(paragraphs, kept);
}

void tst_BodyEdges::dropHeadline_data()
{
    QTest::addColumn<QStringList>("paragraphs");
    QTest::addColumn<QStringList>("headlines");
    QTest::addColumn<QStringList>("kept");

    const QString headline = u"経済対策を閣議決定　電気・ガス補助を延長"_s;
    QTest::newRow("the headline again")
        << QStringList{headline, kOpening} << QStringList{headline} << QStringList{kOpening};
    QTest::newRow("the section's label the headline begins with")
        << QStringList{u"社説"_s, kOpening}
        << QStringList{u"社説：物流の担い手不足　荷主も責任を"_s} << QStringList{kOpening};
    QTest::newRow("a series label over the headline")
        << QStringList{u"The Water Ledger · Part 1"_s, kOpening}
        << QStringList{u"The Water Ledger: How a county utility hid its failed tests"_s}
        << QStringList{kOpening};
    QTest::newRow("a sub-heading that only shares a word stays")
        << QStringList{u"Water"_s, kOpening}
        << QStringList{u"Water rates rise for the third year in a row"_s}
        << QStringList{u"Water"_s, kOpening};
    QTest::newRow("inside the title with the site's name")
        << QStringList{headline, kOpening} << QStringList{headline + u"：東洋日報"_s}
        << QStringList{kOpening};
    QTest::newRow("in another width and spacing")
        << QStringList{u"経済対策を閣議決定 電気・ガス補助を延長"_s, kOpening}
        << QStringList{headline} << QStringList{kOpening};
    QTest::newRow("said twice on an old page") << QStringList{headline, headline, kOpening}
                                               << QStringList{headline} << QStringList{kOpening};
    QTest::newRow("with a mark before it") << QStringList{u"【速報】"_s + headline, kOpening}
                                           << QStringList{headline} << QStringList{kOpening};
    QTest::newRow("a sentence that ends like one stays")
        << QStringList{u"政府は経済対策を閣議決定した。"_s, kOpening}
        << QStringList{u"政府は経済対策を閣議決定した。：東洋日報"_s}
        << QStringList{u"政府は経済対策を閣議決定した。"_s, kOpening};
    const QString quoted = u"新人森本、プロ初完封　「最後まで投げ切れてうれしい」"_s;
    QTest::newRow("a headline ending in a quotation")
        << QStringList{quoted, kOpening} << QStringList{quoted + u"｜スポーツ朝陽"_s}
        << QStringList{kOpening};
    QTest::newRow("a quotation that is no headline stays")
        << QStringList{u"「最後まで投げ切れてうれしい」"_s, kOpening}
        << QStringList{u"新人森本が初完封、監督も称賛"_s}
        << QStringList{u"「最後まで投げ切れてうれしい」"_s, kOpening};
    QTest::newRow("only at the top") << QStringList{kOpening, headline} << QStringList{headline}
                                     << QStringList{kOpening, headline};
    QTest::newRow("a short word is no headline")
        << QStringList{u"経済"_s, kOpening} << QStringList{headline}
        << QStringList{u"経済"_s, kOpening};
}

void tst_BodyEdges::dropHeadline()
{
    QFETCH(QStringList, paragraphs);
    QFETCH(QStringList, headlines);
    QFETCH(QStringList, kept);
    BodyEdges::DropHeadline(paragraphs, headlines);
    QCOMPARE(paragraphs, kept);
}

QTEST_GUILESS_MAIN(tst_BodyEdges)
#include "tst_bodyedges.moc"
