#include "BoilerplateWords.h"

#include <QRegularExpression>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

bool anyOf(const QStringList &words, std::initializer_list<QStringView> wanted)
{
    for (const QString &word : words) {
        for (QStringView w : wanted) {
            if (word == w)
                return true;
        }
    }
    return false;
}

bool containsAny(QStringView text, std::initializer_list<QStringView> wanted)
{
    for (QStringView w : wanted) {
        if (text.contains(w, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

// Brackets and bullets that decorate a boilerplate heading.
QString undecorated(QStringView line)
{
    static const QString kDecoration = u"【】［］[]〔〕＜＞<>《》■□▼▽▶►◆◇●○・:：|｜-—#＃※"_s;
    QString out;
    for (QChar c : line) {
        if (!c.isSpace() && !kDecoration.contains(c))
            out += c.toLower();
    }
    return out;
}

} // namespace

namespace Boilerplate {

QStringList Words(QStringView classAndId)
{
    QStringList words;
    QString word;
    const auto flush = [&] {
        if (!word.isEmpty())
            words << word.toLower();
        word.clear();
    };
    for (qsizetype i = 0; i < classAndId.size(); ++i) {
        const QChar c = classAndId[i];
        if (!c.isLetterOrNumber()) {
            flush();
            continue;
        }
        // "articleBody", "sideNav": a capital after a small letter starts a word.
        if (c.isUpper() && i > 0 && classAndId[i - 1].isLower())
            flush();
        word += c;
    }
    flush();
    return words;
}

namespace {

// Utility-first and generated styles ("pd pe gt be pf pg", "mb-20 text-18") name nothing: among
// many such short words, one as short as "ad" or "pr" is chance, not a name. Counted once each:
// "ad-slot ad-slot--inline dfp-ad-1" says "ad" three times and means it.
QStringList NamingWords(QStringView classAndId)
{
    QStringList words = Words(classAndId);
    const auto isShort = [](const QString &word) {
        return word.size() <= 3;
    };
    QStringList distinct = words;
    distinct.removeDuplicates();
    const qsizetype shortWords = std::count_if(distinct.cbegin(), distinct.cend(), isShort);
    if (shortWords >= 5 && shortWords * 2 >= distinct.size())
        words.removeIf(isShort);
    return words;
}

} // namespace

bool LooksNegative(QStringView classAndId)
{
    const QStringList words = NamingWords(classAndId);
    if (anyOf(words, {u"ad",         u"ads",      u"adv",       u"advert",       u"advertisement",
                      u"banner",     u"bnr",      u"bread",     u"topicpath",    u"pankuzu",
                      u"comment",    u"comments", u"reply",     u"replies",      u"footer",
                      u"foot",       u"menu",     u"nav",       u"navi",         u"gnav",
                      u"navigation", u"related",  u"relation",  u"kanren",       u"share",
                      u"sharing",    u"social",   u"sns",       u"sidebar",      u"side",
                      u"aside",      u"sponsor",  u"sponsored", u"pagination",   u"pager",
                      u"paging",     u"ranking",  u"rank",      u"recommend",    u"recommended",
                      u"osusume",    u"pickup",   u"pr",        u"promo",        u"popular",
                      u"widget",     u"tags",     u"popup",     u"modal",        u"cookie",
                      u"newsletter", u"header",   u"masthead",  u"sitemap",      u"copyright",
                      u"rss",        u"follow",   u"community", u"supplemental", u"skyscraper",
                      u"gdpr",       u"login",    u"consent",   u"cmp",          u"cookies",
                      u"card",       u"cta",      u"donate",    u"donation",     u"disclaimer"}))
        return true;
    return containsAny(classAndId, {u"adsbygoogle", u"advert", u"banner", u"breadcrumb", u"comment",
                                    u"disqus", u"footer", u"outbrain", u"taboola", u"related",
                                    u"sidebar", u"sponsor", u"pagination", u"ranking", u"recommend",
                                    u"newsletter", u"pullquote", u"pull-quote", u"pull_quote"});
}

bool NamesOnlyCard(QStringView classAndId)
{
    const QStringList words = NamingWords(classAndId);
    if (!words.contains(u"card"_s))
        return false;
    QString others = classAndId.toString();
    others.replace(u"card"_s, QString(), Qt::CaseInsensitive);
    return !LooksNegative(others);
}

bool LooksPositive(QStringView classAndId)
{
    const QStringList words = NamingWords(classAndId);
    if (anyOf(words, {u"article", u"body", u"content", u"contents", u"main", u"entry", u"text",
                      u"story", u"post", u"blog", u"honbun", u"kiji", u"hentry", u"column"}))
        return true;
    return containsAny(classAndId, {u"article", u"content", u"entry", u"story", u"honbun"});
}

bool LooksLikeCredit(QStringView classAndId)
{
    return anyOf(NamingWords(classAndId),
                 {u"byline",    u"author",   u"writer",    u"credit",   u"caption",   u"date",
                  u"time",      u"subtitle", u"strapline", u"dateline", u"published", u"updated",
                  u"timestamp", u"photo",    u"source",    u"dek",      u"deck",      u"standfirst",
                  u"kicker",    u"eyebrow",  u"credits",   u"profile"});
}

int ClassWeight(QStringView classAndId)
{
    return (LooksPositive(classAndId) ? 25 : 0) - (LooksNegative(classAndId) ? 25 : 0);
}

bool HidesElement(QStringView style)
{
    QString compact;
    for (QChar c : style) {
        if (!c.isSpace())
            compact += c.toLower();
    }
    // Text blurred under a registration wall is on the page but not for reading.
    return compact.contains(u"display:none") || compact.contains(u"visibility:hidden") ||
           compact.contains(u"filter:blur(");
}

int Punctuation(QStringView text)
{
    int count = 0;
    for (QChar c : text) {
        if (c == u'、' || c == u'，' || c == u'。' || c == u'！' || c == u'？' || c == u',' ||
            c == u'．')
            ++count;
    }
    return count;
}

bool ReadsLikeSentence(QStringView text)
{
    const QStringView trimmed = text.trimmed();
    if (trimmed.isEmpty() || IsByline(trimmed))
        return false;
    if (trimmed.contains(u'。'))
        return true;
    // A full stop after a small letter ends a sentence; after "Dec" or "St" it ends a word.
    static const QRegularExpression kLatinSentenceEnd(u"[a-z]{2,}[.!?][\"”’]? "_s);
    if (trimmed.contains(kLatinSentenceEnd))
        return true;
    const QChar last = trimmed.back();
    return last == u'.' || last == u'！' || last == u'？' || last == u'!' || last == u'?' ||
           last == u'」';
}

bool IsReadMore(QStringView label)
{
    static const QStringList kLabels = {
        u"続きを読む"_s,      u"続きを表示"_s, u"全文を表示"_s,      u"全文を読む"_s,
        u"もっと見る"_s,      u"readmore"_s,   u"continuereading"_s, u"showmore"_s,
        u"showfullarticle"_s, u"expand"_s,
    };
    return label.size() < 40 && kLabels.contains(undecorated(label));
}

bool IsBoilerplateLine(QStringView line)
{
    const QString plain = undecorated(line);
    static const QStringList kWhole = {
        u"関連記事"_s,
        u"関連ニュース"_s,
        u"関連リンク"_s,
        u"関連情報"_s,
        u"関連トピックス"_s,
        u"あわせて読みたい"_s,
        u"合わせて読みたい"_s,
        u"おすすめ記事"_s,
        u"おすすめ"_s,
        u"オススメ"_s,
        u"人気記事"_s,
        u"アクセスランキング"_s,
        u"ランキング"_s,
        u"この記事をシェア"_s,
        u"この記事をシェアする"_s,
        u"シェア"_s,
        u"シェアする"_s,
        u"ツイート"_s,
        u"コメント"_s,
        u"コメントする"_s,
        u"写真特集"_s,
        u"広告"_s,
        u"pr"_s,
        u"次の記事"_s,
        u"前の記事"_s,
        u"一覧へ戻る"_s,
        u"記事一覧"_s,
        u"related"_s,
        u"relatedarticles"_s,
        u"relatedstories"_s,
        u"readmore"_s,
        u"share"_s,
        u"sharethisarticle"_s,
        u"advertisement"_s,
        u"skipadvertisement"_s,
        u"mostread"_s,
        u"有料記事"_s,
        u"会員限定記事"_s,
        u"recommended"_s,
        u"readnext"_s,
        u"whattoreadnext"_s,
        u"morestories"_s,
        u"sources"_s,
        u"references"_s,
        u"citations"_s,
        // the notes under an essay or a column, each pointing back to its mark in the text
        u"notes"_s,
        u"footnotes"_s,
        u"endnotes"_s,
        u"注"_s,
        u"脚注"_s,
        u"注釈"_s,
        u"mediacontact"_s,
        u"mediacontacts"_s,
        u"presscontact"_s,
        u"presscontacts"_s,
        u"notestoeditors"_s,
        u"notetoeditors"_s,
        u"editorsnotes"_s,
        u"abouttheauthor"_s,
        u"abouttheauthors"_s,
        // a review or comparison site's note on how it works
        u"methodology"_s,
        u"ourmethodology"_s,
        u"howwetested"_s,
        u"howwechose"_s,
        u"参考文献"_s,
        u"参考資料"_s,
        // what other pages to read instead
        u"alsoconsider"_s,
        u"youmightalsolike"_s,
        u"youmayalsolike"_s,
        u"furtherreading"_s,
        u"dontmiss"_s,
        u"trendingnow"_s,
        u"mostpopular"_s,
        u"editorspicks"_s,
        u"topstories"_s,
        u"latestnews"_s,
        u"morenews"_s,
        u"relatedcontent"_s,
        u"relatedtopics"_s,
        u"relatedlinks"_s,
        u"relatedcoverage"_s,
        // a release's or a city's page: who to ask, the files, the paper, the terms
        u"お問い合わせ"_s,
        u"お問い合わせ先"_s,
        u"問い合わせ先"_s,
        u"このページに関するお問い合わせ"_s,
        u"本件に関するお問い合わせ"_s,
        u"本件に関するお問い合わせ先"_s,
        u"関連ファイル"_s,
        u"添付ファイル"_s,
        u"論文情報"_s,
        u"用語解説"_s,
        u"続きを読む"_s,
        u"もっと見る"_s,
        u"トップへ戻る"_s,
        u"ページの先頭へ"_s,
    };
    if (kWhole.contains(plain))
        return true;
    // A call for readers' letters or tips over how to send them ("Submit a letter",
    // "投稿を募集しています"): the desk's, not the letters'.
    static const QRegularExpression kCallForLetters(
        u"^(submit|send(us)?|write)(a|your)?(letters?|tips?)(totheeditor)?$|"
        u"^(writetous|haveyoursay)$|"
        u"^(ご?投稿|お便り|原稿|ご意見)(を)?(募集|お待ち|受け付け)(しています|しております|中|します)?$"_s);
    if (line.size() < 60 && kCallForLetters.match(plain).hasMatch())
        return true;
    // Copyright and reprint notices.
    if (line.size() < 150 && (plain.startsWith(u"copyright") || plain.startsWith(u"©") ||
                              plain.contains(u"allrightsreserved") || plain.contains(u"無断転載") ||
                              plain.contains(u"無断複製")))
        return true;
    // The label between an article and the advertisement or video cut into it: "Story continues
    // below advertisement", "Article continues below", "Continue reading below".
    static const QRegularExpression kContinuesBelow(
        u"^(the )?(story|article|text|content|post) continues (below|after)|^continue reading below"_s,
        QRegularExpression::CaseInsensitiveOption);
    if (line.size() < 60 && kContinuesBelow.match(line.trimmed()).hasMatch())
        return true;
    // The markers around an embedded post that say where it starts and ends.
    static const QRegularExpression kEmbedMarker(
        u"^(skip|skip past|after|end of) ([\\w.]+ ){0,3}(post|content|tweet|video|promotion)"
        u"( (by|on|from) .{1,40})?$"_s,
        QRegularExpression::CaseInsensitiveOption);
    if (line.size() < 80 && kEmbedMarker.match(line.trimmed()).hasMatch())
        return true;
    // The attribution an embedded post prints under itself: "A post shared by Name (@name)".
    static const QRegularExpression kEmbedAttribution(
        u"^(a )?(post|photo|video) shared by .{1,60}$"_s,
        QRegularExpression::CaseInsensitiveOption);
    if (line.size() < 90 && kEmbedAttribution.match(line.trimmed()).hasMatch())
        return true;
    // "RELATED: ...", "Watch: ...", "【動画】...": a pointer to another story or to a video.
    static const QRegularExpression kPointer(
        u"^[\\s【\\[(]*(related|see also|see more( on)?|more|read more|also read|more on this|"
        u"recommended|watch|"
        u"listen|video|photos|gallery|関連|動画|写真特集)\\s*[】\\])]?\\s*[:：|｜]|^【(動画|写真|関連)】"_s,
        QRegularExpression::CaseInsensitiveOption);
    if (line.size() < 150 && kPointer.match(line).hasMatch())
        return true;
    if (IsAboutHeading(line))
        return true;
    // "一覧はこちら", "詳しくはこちら": a prompt to follow a link, not a sentence of the article.
    if (line.size() < 60 && (plain.endsWith(u"はこちら") || plain.endsWith(u"こちらから")))
        return true;
    // "【関連記事】…" lines are links to other articles, whatever follows.
    static const QStringList kLeads = {u"関連記事"_s,         u"関連ニュース"_s,
                                       u"あわせて読みたい"_s, u"合わせて読みたい"_s,
                                       u"readmore"_s,         u"relatedarticle"_s};
    for (const QString &lead : kLeads) {
        if (plain.startsWith(lead) && line.size() < 120)
            return true;
    }
    return false;
}

bool IsAboutHeading(QStringView line)
{
    // "About Northfield State University", "About the author": the boilerplate a press release
    // or a newsroom ends with.
    static const QRegularExpression kAbout(
        u"^About (the authors?|us|this (story|series|project)|[A-Z][\\w&.’'-]*( [A-Z&][\\w&.’'-]*){0,5})$"_s);
    return line.size() < 60 && kAbout.match(line.trimmed()).hasMatch();
}

bool IsAdLabel(QStringView line)
{
    static const QStringList kLabels = {u"advertisement"_s,
                                        u"skipadvertisement"_s,
                                        u"ad"_s,
                                        u"ads"_s,
                                        u"sponsored"_s,
                                        u"広告"_s,
                                        u"pr"_s,
                                        u"スポンサーリンク"_s};
    return kLabels.contains(undecorated(line));
}

bool IsBuyButton(QStringView label)
{
    static const QRegularExpression kBuyButton(
        u"^(from )?[$£€¥][0-9][0-9,.]* (at|from) [A-Z][\\w&'’ .-]{1,30}$"_s);
    return kBuyButton.match(label.trimmed()).hasMatch();
}

bool IsByline(QStringView line)
{
    if (line.size() > 120 || line.endsWith(u'.'))
        return false;
    static const QRegularExpression kByline(
        u"^(By|BY|From) \\p{Lu}[\\w.'’-]+( \\p{Lu}[\\w.'’-]+)*( (and|&) \\p{Lu}[\\w.'’-]+( "
        u"\\p{Lu}[\\w.'’-]+)*)?\\s*($|[,·|•—-])|"
        // "Medically reviewed by Dana Whitcombe, RD — Written by Hannah Berg — Updated ..."
        u"^(Medically reviewed|Fact[- ]checked|Reviewed|Written|Edited|Words|Story|Posted|"
        u"Photographs?) by \\p{Lu}[\\w.'’-]+( \\p{Lu}[\\w.'’-]+)*\\s*($|[,·|•—-])|"
        u"^[（(]?(文|写真|取材|構成|撮影|執筆)[・＝=：:]"_s,
        // Names are not all ASCII: "By Renée Dufresne".
        QRegularExpression::UseUnicodePropertiesOption);
    return kByline.match(line).hasMatch();
}

bool IsDateline(QStringView line)
{
    // "Published 5:02 a.m. ET Sept. 12, 2024 | Updated 9:45 a.m. ET Sept. 12, 2024"
    if (line.size() > 100)
        return false;
    static const QRegularExpression kDateParts(
        u"[0-9０-９]|年|月|日|時|分|秒|午前|午後|更新|最終|配信|公開|掲載|"
        u"[火水木金土]|[/:：.,・·•（）()|｜\\s-]|\\b(a\\.m|p\\.m|am|pm|updated|published|posted|on|"
        u"last|utc|gmt|jst|et|est|edt|pt|pst|pdt|ct|cst|cdt|mt|mst|mdt|akst|akdt|hst|bst|cet|"
        // "Tue, August 12, 2026 at 1:31 PM UTC · 2 min read"
        u"at|min|mins|minutes?|read|"
        // a podcast's episode line: "Episode 142 · 12 October 2026 · 47 min"
        u"episode|ep|"
        u"jan(uary)?|feb(ruary)?|mar(ch)?|apr(il)?|may|june?|july?|aug(ust)?|sept?(ember)?|"
        u"oct(ober)?|nov(ember)?|dec(ember)?|"
        u"mon(day)?|tue(sday)?|wed(nesday)?|thu(rsday)?|fri(day)?|sat(urday)?|sun(day)?)\\b"_s,
        QRegularExpression::CaseInsensitiveOption);
    bool digit = false;
    for (QChar c : line)
        digit = digit || c.isDigit();
    return digit && line.toString().remove(kDateParts).isEmpty();
}

bool IsConsentNotice(QStringView text)
{
    if (text.size() > 1500)
        return false;
    // The subject: cookies or personal data...
    static const QRegularExpression kSubject(
        u"cookie|クッキー|gdpr|personal data|個人データ|パーソナルデータ|個人情報"_s,
        QRegularExpression::CaseInsensitiveOption);
    // ...and the site speaking to its reader, which an article about cookies does not do.
    static const QRegularExpression kSiteSpeaking(
        u"\\b(we|our|you|your)\\b|当サイト|本サイト|このサイト|当ウェブサイト|弊社|当社|お客様"_s,
        QRegularExpression::CaseInsensitiveOption);
    return kSubject.match(text).hasMatch() && kSiteSpeaking.match(text).hasMatch();
}

bool IsPromotion(QStringView text)
{
    if (text.size() > 1500)
        return false;
    // Each a different way of asking for the reader's money, address or membership.
    static const QRegularExpression kCues[] = {
        QRegularExpression(u"subscri(be|ber|ption)|購読"_s,
                           QRegularExpression::CaseInsensitiveOption),
        QRegularExpression(u"\\b(donat(e|ion)|your (gift|support|donation|contribution)|"
                           u"mak(e|ing) a (contribution|gift|donation))|"
                           u"support (us|our|independent|local)\\b|寄付"_s,
                           QRegularExpression::CaseInsensitiveOption),
        // a charity's ask: "£25 could pay for a solar lantern"
        QRegularExpression(u"[$£€][0-9][0-9,]* (could|can|will) (pay for|buy|provide|fund)"_s,
                           QRegularExpression::CaseInsensitiveOption),
        QRegularExpression(u"\\b(become|becoming) a (member|subscriber|supporter)|"
                           u"\\bmembers? like you|会員登録|有料会員|会員限定"_s,
                           QRegularExpression::CaseInsensitiveOption),
        QRegularExpression(u"free (trial|articles?)|articles? remaining|reached your limit|"
                           u"unlimited (digital )?access|as little as [$£€]|"
                           u"読み放題|初月無料|[0-9０-９一]+カ月無料|無料でお試し|お試し"_s,
                           QRegularExpression::CaseInsensitiveOption),
        QRegularExpression(u"\\bsign up\\b|newsletter|メールマガジン|ニュースレター|お申し?込み"_s,
                           QRegularExpression::CaseInsensitiveOption),
        QRegularExpression(u"(電子版|デジタル)の?ご案内|キャンペーン"_s),
        // why the asking: "... is funded by readers", "free for everyone"
        QRegularExpression(
            u"\\b(funded|supported|paid for) by (our )?readers\\b|"
            u"\\breader-(funded|supported)\\b|\\bfree (for everyone|for all|to read)\\b"_s,
            QRegularExpression::CaseInsensitiveOption),
    };
    int cues = 0;
    for (const QRegularExpression &cue : kCues) {
        if (cue.match(text).hasMatch())
            ++cues;
    }
    return cues >= 2;
}

bool IsConsentAction(QStringView label)
{
    static const QStringList kActions = {
        u"accept"_s,         u"acceptall"_s,  u"acceptcookies"_s, u"agree"_s,
        u"iagree"_s,         u"ok"_s,         u"okay"_s,          u"gotit"_s,
        u"allow"_s,          u"allowall"_s,   u"reject"_s,        u"rejectall"_s,
        u"decline"_s,        u"manage"_s,     u"manageoptions"_s, u"settings"_s,
        u"cookiesettings"_s, u"同意する"_s,   u"同意します"_s,    u"同意して閉じる"_s,
        u"すべて許可"_s,     u"すべて同意"_s, u"許可する"_s,      u"拒否する"_s,
        u"すべて拒否"_s,     u"設定"_s,       u"詳細設定"_s,      u"cookie設定"_s,
    };
    return kActions.contains(undecorated(label));
}

qsizetype PaywallCut(const QStringList &paragraphs)
{
    static const QRegularExpression kMarker(
        u"この記事は有料記事です|この記事は有料会員限定|この記事は会員限定|有料会員限定記事|"
        u"残り[0-9０-９,，]+文字|会員登録で続きが読め|続きを読むには|この続きを読むには|"
        u"有料会員になると、?(続き|全文|この記事|記事の続き)|ログインして続きを読む|"
        u"ログインすると続きを読め|"
        u"subscribe to continue reading|this article is for subscribers|"
        u"to continue reading,? (please )?(subscribe|log in|sign in)|"
        u"^(register|sign up|log in|sign in|subscribe)( for free| now)? to (keep|continue) reading|"
        u"this (article|story) is (only )?(available|reserved) (to|for) "
        u"(registered|subscribed|paying) "
        u"(readers|users|members|subscribers)"_s,
        QRegularExpression::CaseInsensitiveOption);
    for (qsizetype i = 0; i < paragraphs.size(); ++i) {
        if (kMarker.match(paragraphs.at(i)).hasMatch())
            return i;
    }
    return -1;
}

} // namespace Boilerplate
