#include "BodyEdges.h"

#include "BoilerplateWords.h"

#include <QRegularExpression>

#include <algorithm>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

bool matches(const QRegularExpression &pattern, QStringView line)
{
    return pattern.match(line).hasMatch();
}

// Without white space and in one width and case: how a headline compares with a line.
QString folded(QStringView text)
{
    QString out;
    for (QChar c : text.toString().normalized(QString::NormalizationForm_KC)) {
        if (!c.isSpace())
            out += c.toLower();
    }
    return out;
}

bool endsLikeSentence(QStringView line)
{
    const QStringView trimmed = line.trimmed();
    return !trimmed.isEmpty() && (trimmed.back() == u'。' || trimmed.back() == u'.' ||
                                  trimmed.back() == u'」' || trimmed.back() == u'”');
}

bool endsWithQuote(QStringView line)
{
    const QStringView trimmed = line.trimmed();
    return !trimmed.isEmpty() && (trimmed.back() == u'」' || trimmed.back() == u'”');
}

// A trail of links from the site's top to the section: "トップ ＞ 地域ニュース".
bool isBreadcrumb(QStringView line)
{
    static const QRegularExpression kTrail(
        u"^[^。、,.]{1,24}(\\s*[＞>›»→/|｜]\\s*[^。、,.＞>›»→/|｜]{1,24})+$"_s);
    return line.size() <= 80 && matches(kTrail, line.trimmed());
}

// A wire's note to the papers that print it, above the story: "(ATTN: ADDS details in paras
// 4-7)", "(EDS: RECASTS lead)", "(LEAD)".
bool isWireAdvisory(QStringView line)
{
    static const QRegularExpression kAdvisory(u"^[(（][A-Z]{2,}( [A-Z]{2,})?([:：]|[)）]$)"_s);
    return line.size() <= 200 && matches(kAdvisory, line.trimmed());
}

// How to reach the publisher, at the foot of a page: its postal address, or where to send a
// tip ("Have a news tip? Send it to news@...").
bool isPublisherContact(QStringView line)
{
    static const QRegularExpression kContact(
        u"〒\\s*[0-9０-９]{3}[-－ー]?[0-9０-９]{4}|[\\w.+-]+@[\\w-]+\\.[\\w.]+|news tip|"
        u"情報提供"_s,
        QRegularExpression::CaseInsensitiveOption);
    return line.size() <= 200 && matches(kContact, line);
}

// The credit a wire story ends with: "Reporting by ...; Editing by ...", "... contributed to
// this report.", "Information from ... was used in this report."
bool isClosingCredit(QStringView line)
{
    static const QRegularExpression kWireSignOff(
        u"^(additional )?(reporting|writing|editing|compiled|research|fact-checking) by |"
        u"contributed (reporting )?to this (report|story|article)\\.?$|"
        u"^information from .{1,80} (was|were) used in this (report|story|article)"_s,
        QRegularExpression::CaseInsensitiveOption);
    return line.size() <= 220 && matches(kWireSignOff, line.trimmed());
}

// The marker a page leaves for screen readers where its text begins or ends: "ここから本文です。",
// "本文ここまで", "Start of main content".
bool isReaderMarker(QStringView line)
{
    static const QRegularExpression kMarker(
        u"^(ここから|ここまで(が)?)本文(です)?。?$|^本文(は)?(ここから|ここまで)(です)?。?$|"
        u"^(start|end) of (the )?main content\\.?$"_s,
        QRegularExpression::CaseInsensitiveOption);
    return line.size() <= 24 && matches(kMarker, line.trimmed());
}

// The paper's standing note under crime stories: why it names or shows the accused, and that
// an arrest proves nothing ("A charge is not a conviction.", "All suspects are presumed
// innocent until proven guilty.").
bool isAccusedNotice(QStringView line)
{
    static const QRegularExpression kAccused(
        u"\\bpublishes (booking photos|mug ?shots|arrest (records|photos))|"
        u"\\ba charge is not a conviction\\b|presumed innocent until proven guilty|"
        u"\\b(charges|an arrest|arrests) (is|are) (merely |only )?(an? )?accusations?\\b"_s,
        QRegularExpression::CaseInsensitiveOption);
    return line.size() <= 300 && matches(kAccused, line);
}

// The page's own number for itself, which a city's or a ministry's pages show above the text:
// "ページID：P012345", "ページ番号：1004321".
bool isPageId(QStringView line)
{
    static const QRegularExpression kPageId(
        u"^(ページ|記事)(ID|ＩＤ|番号)\\s*[：:]\\s*[\\w-]{1,16}$|^page id\\s*:\\s*[\\w-]{1,16}$"_s,
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::UseUnicodePropertiesOption);
    return line.size() <= 40 && matches(kPageId, line.trimmed());
}

// A row of the article's tools, perhaps with a marker in brackets: "［会員限定記事］ 保存 共有
// 印刷", "Save Share Print".
bool isToolRow(QStringView line)
{
    static const QStringList kTools = {
        u"保存"_s,       u"共有"_s,     u"印刷"_s,   u"シェア"_s, u"ブックマーク"_s, u"メール"_s,
        u"save"_s,       u"share"_s,    u"print"_s,  u"email"_s,  u"e-mail"_s,       u"comment"_s,
        u"記事を保存"_s, u"コメント"_s, u"listen"_s, u"gift"_s,
    };
    static const QRegularExpression kBracketed(u"[［\\[【][^］\\]】]{1,16}[］\\]】]"_s);
    if (line.size() > 60)
        return false;
    QString rest = line.toString();
    rest.remove(kBracketed);
    static const QRegularExpression kSpaces(u"\\s+"_s);
    const QStringList words = rest.split(kSpaces, Qt::SkipEmptyParts);
    return words.size() >= 2 && std::all_of(words.cbegin(), words.cend(), [](const QString &w) {
               return kTools.contains(w.toLower());
           });
}

// A rule or an ornament between sections: "___", "* * *", "⁂". No letter, no digit.
bool isOrnament(QStringView line)
{
    return std::none_of(line.cbegin(), line.cend(), [](QChar c) { return c.isLetterOrNumber(); });
}

// The mark a release or a wire story ends with: "###", "-30-", "(END)". What follows it is the
// sender's: a contact, boilerplate about the sender.
bool isEndMark(QStringView line)
{
    static const QRegularExpression kEndMark(
        u"^(#\\s*#\\s*#|[-–—]\\s*30\\s*[-–—]|[(（]?\\s*(END|end|End)\\s*[)）]?|[-–—]\\s*0\\s*[-–—])$"_s);
    return line.size() <= 12 && matches(kEndMark, line.trimmed());
}

// "Hannah Lowe, London 22 March 2024 07:30 GMT": who wrote it, where and when.
bool isNamePlaceAndTime(QStringView text)
{
    static const QRegularExpression kNamePlaceTime(
        u"^\\p{Lu}[\\w.'’-]+( \\p{Lu}[\\w.'’-]+){1,3}, \\p{Lu}[\\w.'’ -]{1,30}[ ,]+"
        u"([0-9]{1,2} \\p{Lu}\\w+ [0-9]{4}|\\p{Lu}\\w+\\.? [0-9]{1,2},? [0-9]{4})"
        u"( [0-9]{1,2}[:.][0-9]{2}( ?[ap]\\.?m\\.?)?( [A-Z]{2,4})?)?$"_s,
        QRegularExpression::UseUnicodePropertiesOption);
    return text.size() <= 120 && matches(kNamePlaceTime, text.trimmed());
}

// A note on the author at the foot of the article: "Jane Doe is a senior reporter at ...", "Jane
// Doe receives funding from ...". A syndicated columnist's runs long, with the syndicate's
// pointer to more of their work.
bool isAuthorNote(QStringView text)
{
    static const QRegularExpression kAuthorNote(
        u"^\\p{Lu}[\\w.'’-]+( \\p{Lu}[\\w.'’-]+){1,3} (is|was|covers|writes|reports|has written) "
        u".{0,80}"
        u"(reporter|correspondent|editor|writer|columnist|journalist|professor|lecturer|"
        u"researcher|fellow|contributor|author of|for [A-Z]|librarian|teacher|lawyer|attorney|"
        u"physician|economist|historian|scientist|director of|founder of|president of|"
        u"retired|member of the|who (writes|covers|reports))|"
        u"^\\p{Lu}[\\w.'’-]+( \\p{Lu}[\\w.'’-]+){1,3} (receives|has received) funding|"
        u"^\\p{Lu}[\\w.'’-]+( \\p{Lu}[\\w.'’-]+){1,3} (covers|writes about|reports on) |"
        u"does not work for, consult, own shares in"_s,
        QRegularExpression::UseUnicodePropertiesOption);
    return matches(kAuthorNote, text);
}

// Letters and digits only, in one width and case: a quotation compared with the sentence it
// was lifted from, whatever quotation marks and breaks either has.
QString lettersOf(QStringView text)
{
    QString out;
    for (QChar c : text.toString().normalized(QString::NormalizationForm_KC)) {
        if (c.isLetterOrNumber())
            out += c.toLower();
    }
    return out;
}

// Whether a line is lifted from another, word for word but for the punctuation and the words
// left out between its pieces: a pull quote joins two sentences of a paragraph. A line that
// differs in a name or a number is the author's own (a list of places, of results).
bool isLiftedFrom(const QString &line, const QString &source)
{
    constexpr qsizetype kShortestPiece = 8;
    constexpr int kMostPieces = 2;
    if (source.size() < line.size() || !(source.contains(QStringView(line).left(kShortestPiece)) ||
                                         source.contains(QStringView(line).right(kShortestPiece))))
        return false;
    qsizetype covered = 0;
    int pieces = 0;
    for (qsizetype at = 0; at < line.size();) {
        qsizetype length = 0;
        while (at + length < line.size() && source.contains(QStringView(line).mid(at, length + 1)))
            ++length;
        if (length >= kShortestPiece) {
            if (++pieces > kMostPieces)
                return false;
            covered += length;
            at += length;
        } else {
            ++at;
        }
    }
    return covered * 100 >= line.size() * 97;
}

// A date as the last row of a list of facts ("Pages 384", "Published April 7, 2026"): the
// thing's date, not the article's. A dateline follows the text, or a byline.
bool closesFactList(const QStringList &paragraphs)
{
    constexpr qsizetype kLongestFact = 80;
    const qsizetype size = paragraphs.size();
    if (size < 3 || !Boilerplate::IsDateline(paragraphs.back()))
        return false;
    for (qsizetype i = size - 3; i < size - 1; ++i) {
        const QString &line = paragraphs.at(i);
        if (line.size() > kLongestFact || Boilerplate::ReadsLikeSentence(line) ||
            BodyEdges::IsSignOff(line))
            return false;
    }
    return true;
}

// The label over a headline that the headline itself begins with: the section ("社説" over
// "社説：…"), the series ("The Water Ledger · Part 1" over "The Water Ledger: How …").
bool isKicker(QStringView line, const QStringList &headlines)
{
    constexpr qsizetype kLongestKicker = 40;
    const QStringView text = line.trimmed();
    if (text.isEmpty() || text.size() > kLongestKicker || endsLikeSentence(text))
        return false;
    static const QRegularExpression kSeparator(u"\\s*[·•|｜:：—–]"_s);
    const qsizetype cut = text.indexOf(kSeparator);
    const QStringView label = (cut > 0 ? text.left(cut) : text).trimmed();
    if (label.size() < 2)
        return false;
    static const QString kAfterLabel = u":：|｜—–・　"_s;
    return std::any_of(headlines.cbegin(), headlines.cend(), [&](const QString &headline) {
        const QStringView h = QStringView(headline).trimmed();
        return h.size() > label.size() * 2 && h.startsWith(label) &&
               kAfterLabel.contains(h.at(label.size()));
    });
}

} // namespace

namespace BodyEdges {

bool IsCaptionOrCredit(QStringView line)
{
    const QStringView text = line.trimmed();
    if (text.isEmpty() || text.size() > 120)
        return false;
    // "Image: ...", "Photo by ...", "Source: ...", "Credit ..."
    static const QRegularExpression kLatin(
        u"^[(\\[]?(image|images|photo|photos|photograph|picture|illustration|graphic|chart|map|"
        u"video|credit|credits|source|sources)( credit| source)?\\s*(:|：|by |courtesy of |via )"_s,
        QRegularExpression::CaseInsensitiveOption);
    if (matches(kLatin, text))
        return true;
    // A caption that ends with its credit: "… on April 3. (Sentinel photo by Jim Carver)",
    // "(AP Photo/Jane Doe)"
    static const QRegularExpression kCreditAtEnd(
        u"[(（]([\\w.&’' -]{0,30} )?(photo|photograph|image|picture)s?(( by |/|:)[^()（）]{1,40})?[)）]$"_s,
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::UseUnicodePropertiesOption);
    if (matches(kCreditAtEnd, text))
        return true;
    // A credit after a video's length or a chart's title: "02:14 - Source: CNW"
    static const QRegularExpression kTrailingCredit(
        u"\\s[-–—|]\\s*(source|credit|image|photo)s?\\s*:\\s*\\S"_s,
        QRegularExpression::CaseInsensitiveOption);
    if (text.size() <= 60 && matches(kTrailingCredit, text))
        return true;
    if (text.contains(u'。'))
        return false;
    // "写真：共同", "画像：メーカー提供", "出典：総務省", "撮影・中村亮太", "（撮影・佐藤）"
    static const QRegularExpression kLead(
        u"^[（(【]?(写真|画像|図|図表|表|グラフ|出典|資料|提供|撮影|動画|映像|イラスト|配信)元?"
        u"\\s*[：:＝=・／/】]"_s);
    if (matches(kLead, text))
        return true;
    // A reader's signature under a letter, in the paper's form of occupation, name, age and
    // town: "会社員　山田 花子（44）＝北山町". The letter's own, though it reads like a caption.
    static const QRegularExpression kLetterWriter(
        u"^[^\\s　＝=（）()]{1,10}[\\s　]+[^\\s　＝=（）()]{1,8}([\\s　][^\\s　＝=（）()]{1,8})?"
        u"[（(][0-9０-９]{1,3}[）)][＝=][^＝=\\s　]{1,16}$"_s);
    if (matches(kLetterWriter, text))
        return false;
    // A caption with its place, time or photographer after "＝": "首相＝７日、官邸、山田撮影"
    static const QRegularExpression kJapaneseCaption(
        u"＝[^＝]{0,50}(撮影|提供)[)）]?$|＝[0-9０-９]{1,2}日(午前|午後)?[^＝]{0,40}$|"
        u"[（(](写真|画像|撮影|出所|出典|資料|提供)[：:＝=・][^）)]{1,30}[）)]$|"
        // "…を手にする山田さん＝北山町": who or what, then where, and no sentence
        u"^[^＝=]{8,}＝[^＝=0-9０-９、,]{2,20}$"_s);
    if (matches(kJapaneseCaption, text))
        return true;
    // A wire or photo credit alone in brackets: "（共同）", "（アジア通信）", "（撮影・佐藤大輝）"
    static const QRegularExpression kBracketedCredit(
        u"^[（(][^（）()]{0,24}(共同|時事|通信|新聞|新報|ロイター|撮影|提供|AFP|AP|Reuters)"
        u"[）)]$"_s);
    return matches(kBracketedCredit, text);
}

bool IsSiteNotice(QStringView line)
{
    const QStringView text = line.trimmed();
    if (text.isEmpty() || text.size() > 250)
        return false;
    static const QRegularExpression kNotice(
        // affiliate links and commissions
        u"affiliate (link|program|commission)|earn (a |an )?(small |affiliate )?commission|"
        u"commission (when|if) you buy|アフィリエイト|売上の一部が.{0,30}還元|"
        u"(広告|PR)を(含|利用)|収益を得て|"
        u"^advertiser disclosure\\b|(companies|partners|advertisers) (that|who) compensate us|"
        // prices at the time of writing
        u"prices? (is|are|was|were) (accurate|correct)|prices? (may|might|can) (change|vary)|"
        u"価格は.{0,12}(時点|当時)|^※?(表示)?価格は(すべて|全て)?税込|"
        u"^※?掲載(の|した|している)?(情報|内容)は.{0,20}(時点|当時)のもの|"
        // reprints and licences
        u"republished (from|with permission)|creative commons|\\bCC BY\\b|"
        u"read the original article|originally (published|appeared) (in|on|by)|"
        u"this (story|article) was (originally|first) published|"
        u"appears in print on|published in the print edition|からの転載|より転載|転載したもの|"
        u"^this (article|story|report) was produced (in partnership with|for|by) |"
        u"views expressed .{0,60}(author|writer)’?'?s? own|do not necessarily reflect|"
        u"(筆者|執筆者)(個人)?の(個人的な)?見解であり|所属(する)?(組織|機関|団体)の(公式)?見解|"
        // where the page's wire copy comes from
        u"配信記事を(掲載|配信)|の配信記事です|から(記事の)?(配信|提供)を受けて|"
        // a station's or paper's line under every story: "For the latest news, ... head to"
        u"^for (the latest|more) (local )?(news|updates|stories|coverage)\\b.{0,80}"
        u"\\b(head to|visit|go to|download|follow)\\b|"
        u"^stay (with|tuned to) .{1,40} for (updates|the latest|more)\\b|"
        u"^download (the|our) .{1,40}\\bapp\\b.{0,40}$|"
        // newsletter sign-ups
        u"^(sign up|subscribe) (for|to) .{0,60}newsletter|ニュースレター.{0,20}(登録|購読)|"
        // the wire's own promise about itself
        u"^our standards:|"
        // disclaimers: what the site's pages are not
        u"for (general )?informational purposes only|"
        u"(is|are|does|do) not (intended as |to be taken as |constitute |a substitute for )?"
        u"(legal|financial|investment|medical|tax) advice|投資勧誘を目的と|"
        // a magazine's print edition: "This article appears in the May 2026 print edition"
        u"appears in the [\\w ]{0,30}(print edition|issue)\\b|"
        // a market page's data line
        u"(quotes|data|prices) (are )?delayed (by )?(at least |a minimum of )?[0-9]+ min|"
        u"market data (provided|powered) by|"
        // an appeal for the readers' pictures: "Share your photos with us at ..."
        u"\\b(share|send|submit|upload)\\b.{0,50}\\b(photos?|videos?|pictures?)\\b.{0,10}\\b(with|"
        u"to) us\\b|"
        // a travel writer's trip paid by others: "The writer travelled as a guest of ..."
        u"\\b(travell?ed|stayed) as (a |the )?guests? of\\b|"
        // a broadcaster's note pointing to the video the text goes with
        u"動画(と|も)(合わせて|あわせて|一緒に|併せて)ご覧|(詳しく|詳細)は動画で|"
        u"^(watch|see) the (full )?(video|report) (above|below)\\b|"
        // a broadcaster's note on its transcripts
        u"^transcripts? (is|are) (produced|provided|generated|prepared) by|"
        u"may not be in (its|their) final form|"
        // the issuer's paragraph closing a release: "About Acme: Acme makes ..."
        u"(?-i:^About \\p{Lu}[\\w&.’'-]*( [\\p{Lu}&][\\w&.’'-]*){0,5}: )|"
        // the desk asking for tips and notices, and how to send them
        u"^got a ([\\w-]+ )?(story|tip)\\?|^share your news\\b|"
        u"^(obituaries|announcements|notices|letters)( to the editor)? (may|can|should) be "
        u"(submitted|sent|emailed)\\b|^submit an? (announcement|obituary|notice|letter)\\.?$|"
        // the licence of an agency's pictures
        u"^usage terms$|^editorial use only\\b|"
        // a bookmaker's line under a sports page
        u"^official betting partner\\b|\\b18\\+ only\\b|\\bgamble responsibly\\b|"
        // a product lent for a review
        u"(メーカー|販売元|メーカー各社|企業)(から|より)(貸し出|借り受け|借り|提供)(された|"
        u"を受けた|し"
        u"た)(製品|機材|端末|商品)|"
        // when a programme is on: "Evening Desk airs weeknights at 7pm on Channel 4"
        u"^[\\w'’&. -]{1,50} airs (weeknights|weekdays|nightly|daily|every [a-z]+|"
        u"(mon|tues|wednes|thurs|fri|satur|sun)days?) (at|from) [0-9]|"
        // the reader needed for the page's files
        u"adobe (acrobat )?reader"_s,
        QRegularExpression::CaseInsensitiveOption);
    if (matches(kNotice, text))
        return true;
    return Boilerplate::IsBuyButton(text);
}

bool IsSignOff(QStringView line)
{
    const QStringView text = line.trimmed();
    if (text.isEmpty() || text.size() > 400)
        return false;
    if (text.size() > 220)
        return isAuthorNote(text);
    if (Boilerplate::IsByline(text) || Boilerplate::IsDateline(text))
        return true;
    // "（ワシントン＝佐藤健一）", "（函館支社・田中真由美）", "（市政担当・佐藤健一）",
    // "（文：中島由香）", "（聞き手・田村誠一）", "（北斗新報）"
    static const QRegularExpression kBracketed(
        u"^[（(]([^（）()。、]{1,20}[＝=][^（）()。、]{1,20}|"
        u"[^（）()。、]{0,12}(部|局|社|担当|班|支局|総局|本社|通信部|記者|特派員)[・＝=\\s　]"
        u"[^（）()。、]{1,12}|"
        u"(文|写真|取材|構成|撮影|執筆|聞き手)[・：:＝=][^（）()。、]{1,20}|"
        u"[^（）()。、]{0,12}(編集部|通信|新聞|新報|共同|時事))[）)]$"_s);
    if (matches(kBracketed, text))
        return true;
    // "【佐藤花子】", "【ワシントン＝中村亮太】": the reporter in lenticular brackets, alone
    static const QRegularExpression kLenticular(u"^【[^【】。、\\s]{1,24}】$"_s);
    if (matches(kLenticular, text))
        return true;
    // "ニューヨーク＝中村亮太 2026年10月13日 11時00分"
    static const QRegularExpression kPlaceAndReporter(
        u"^[^\\s。、＝=]{1,12}[＝=][^\\s。、]{2,12}([\\s　]+[0-9０-９]{4}年[^。]*)?$"_s);
    if (matches(kPlaceAndReporter, text))
        return true;
    if (isClosingCredit(text))
        return true;
    return isAuthorNote(text) || isNamePlaceAndTime(text);
}

void Trim(QStringList &paragraphs)
{
    // Near the end, an end mark closes the article; an ornament says nothing wherever it stands.
    for (qsizetype i = std::max<qsizetype>(1, paragraphs.size() - 5); i < paragraphs.size(); ++i) {
        if (isEndMark(paragraphs.at(i))) {
            paragraphs.resize(i);
            break;
        }
    }
    paragraphs.removeIf([](const QString &line) {
        return isOrnament(line) || isReaderMarker(line) || IsCaptionOrCredit(line) ||
               IsSiteNotice(line) || isPageId(line) || isToolRow(line);
    });
    // A byline just under the first line or two closes the header: those lines are the
    // standfirst or a kicker, not the text. On a short item the byline may close it instead.
    for (qsizetype i = 1; i < std::min<qsizetype>(3, paragraphs.size() - 3); ++i) {
        if (isNamePlaceAndTime(paragraphs.at(i)) || Boilerplate::IsByline(paragraphs.at(i))) {
            const bool shortAbove =
                std::all_of(paragraphs.cbegin(), paragraphs.cbegin() + i,
                            [](const QString &line) { return line.size() < 250; });
            if (shortAbove)
                paragraphs.remove(0, i);
            break;
        }
    }
    // A few lines at each end at most: further in, such a line is the article's.
    for (int i = 0; i < 3 && !paragraphs.isEmpty() &&
                    (IsSignOff(paragraphs.front()) || isBreadcrumb(paragraphs.front()) ||
                     isWireAdvisory(paragraphs.front()));
         ++i)
        paragraphs.removeFirst();
    // A wire story's closing credit ends it: what follows is the page's (an author's note, a
    // line about the wire's standards).
    for (qsizetype i = std::max<qsizetype>(1, paragraphs.size() - 3); i < paragraphs.size(); ++i) {
        if (isClosingCredit(paragraphs.at(i))) {
            paragraphs.resize(i);
            break;
        }
    }
    for (int i = 0; i < 3 && !paragraphs.isEmpty() &&
                    (IsSignOff(paragraphs.back()) || isPublisherContact(paragraphs.back()) ||
                     isAccusedNotice(paragraphs.back())) &&
                    !closesFactList(paragraphs);
         ++i)
        paragraphs.removeLast();
}

void DropEchoes(QStringList &paragraphs)
{
    // Long enough to be a quotation, short enough to be one.
    constexpr qsizetype kShortest = 30;
    constexpr qsizetype kLongest = 400;
    QStringList letters;
    for (const QString &paragraph : std::as_const(paragraphs))
        letters << lettersOf(paragraph);
    std::vector<bool> dropped(size_t(paragraphs.size()), false);
    for (qsizetype i = 0; i < letters.size(); ++i) {
        const QString &line = letters.at(i);
        // A heading says again in few words what its section says: it is no quotation.
        if (line.size() < kShortest || line.size() > kLongest ||
            !u"。.」”\"!?！？"_s.contains(paragraphs.at(i).trimmed().back()))
            continue;
        for (qsizetype j = 0; j < letters.size() && !dropped[size_t(i)]; ++j)
            dropped[size_t(i)] = j != i && !dropped[size_t(j)] && isLiftedFrom(line, letters.at(j));
    }
    QStringList kept;
    for (qsizetype i = 0; i < paragraphs.size(); ++i) {
        if (!dropped[size_t(i)])
            kept << paragraphs.at(i);
    }
    paragraphs = kept;
}

void DropHeadline(QStringList &paragraphs, const QStringList &headlines)
{
    if (!paragraphs.isEmpty() && isKicker(paragraphs.front(), headlines))
        paragraphs.removeFirst();
    QStringList wanted;
    for (const QString &headline : headlines) {
        const QString each = folded(headline);
        if (each.size() >= 6)
            wanted << each;
    }
    for (int dropped = 0; dropped < 2 && !paragraphs.isEmpty(); ++dropped) {
        const QString line = folded(paragraphs.front());
        if (line.size() < 6 || line.size() > 160)
            return;
        // A headline may end in a quotation ("…初完封　「うれしい」"); one that ends in a full
        // stop is a sentence of the article unless it is a headline word for word.
        if (endsLikeSentence(paragraphs.front()) &&
            (!endsWithQuote(paragraphs.front()) || line.size() < 12) && !wanted.contains(line))
            return;
        const bool repeats = std::any_of(wanted.cbegin(), wanted.cend(), [&](const QString &h) {
            // The title holds the headline with the site's name; a line may add a "【速報】".
            return (line.size() >= 8 && h.contains(line)) ||
                   (line.contains(h) && line.size() <= h.size() + 12);
        });
        if (!repeats)
            return;
        paragraphs.removeFirst();
    }
}

} // namespace BodyEdges
