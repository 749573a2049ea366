#pragma once

#include <QString>
#include <QStringList>

// The words and markers by which a page's boilerplate gives itself away.
namespace Boilerplate {

// The words of a class/id string: split at spaces, "-", "_" and camelCase humps, lower case.
QStringList Words(QStringView classAndId);

// Names ads, banners, navigation, comments, related lists, share bars, sidebars, rankings...
bool LooksNegative(QStringView classAndId);
// Names a card and nothing else boilerplate: a card may be a teaser of another page or the
// author's own box, which only its links tell apart.
bool NamesOnlyCard(QStringView classAndId);
// Names the article itself: article, body, content, main, entry, text...
bool LooksPositive(QStringView classAndId);
// Credit lines, captions, datelines, the deck under the headline: small parts of an article
// that are not its text.
bool LooksLikeCredit(QStringView classAndId);
// +25 for a positive name, -25 for a negative one, 0 for both or neither.
int ClassWeight(QStringView classAndId);

// An inline style that hides the element.
bool HidesElement(QStringView style);

// Commas and sentence ends, Japanese and Latin: how much a block reads like prose.
int Punctuation(QStringView text);
// Ends like a sentence: 。！？ or a Latin full stop.
bool ReadsLikeSentence(QStringView text);

// The label of a button that unfolds the rest of an article: "続きを読む", "Continue reading".
bool IsReadMore(QStringView label);

// A heading or line that only introduces boilerplate: "関連記事", "この記事をシェア", "Read more".
bool IsBoilerplateLine(QStringView line);

// The heading a press release ends its own text with: "About Northfield State University".
bool IsAboutHeading(QStringView line);

// The label over an advertisement: "Advertisement", "広告", "PR", "Sponsored".
bool IsAdLabel(QStringView line);

// A shop's button: "$379.99 at Amazon", "£29 at Argos".
bool IsBuyButton(QStringView label);

// A credit line: "By Dana Whitfield · Dec. 7, 2026", "文・高橋由美　写真・森田翔".
bool IsByline(QStringView line);

// Only a date and time, perhaps with "更新" or "配信": "2026年12月7日 11時32分", "12/7(月)
// 14:03配信".
bool IsDateline(QStringView line);

// A cookie or consent notice: the site speaking to its reader about cookies or personal data
// ("当サイトではクッキーを使用しています", "We use cookies..."), short as such notices are.
bool IsConsentNotice(QStringView text);
// The site asking for the reader's money, address or membership: subscription and membership
// offers, donation appeals, meters of free articles, newsletter sign-ups; short as such boxes are.
bool IsPromotion(QStringView text);
// The label of a consent notice's button: "Accept all", "OK", "同意する", "設定"...
bool IsConsentAction(QStringView label);

// Index of the first paragraph where a paywall cuts the article, -1 when none does.
qsizetype PaywallCut(const QStringList &paragraphs);

} // namespace Boilerplate
