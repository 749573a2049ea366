#pragma once

#include <QString>
#include <QStringList>

// The lines around and between an article's paragraphs that are the page's, not the author's:
// captions and credits, bylines, datelines and sign-offs, affiliate, price and licence notices,
// and the headline said again.
namespace BodyEdges {

// A caption or credit standing alone: "写真：共同", "Image: Getty Images", "（撮影・佐藤大輝）",
// "閣議に臨む首相＝７日、首相官邸で、山田一郎撮影". Never article text, wherever it stands.
bool IsCaptionOrCredit(QStringView line);

// A notice of the site's: affiliate links, prices at the time of writing, reprint, licence and
// print-edition lines. Never article text, wherever it stands.
bool IsSiteNotice(QStringView line);

// A sign-off or a note on the author: "（ワシントン＝佐藤健一）", "ニューヨーク＝中村亮太
// 2026年10月13日 11時00分", "Reporting by ...; Editing by ...", "Jane Doe is a reporter
// at ...". Article text too in the middle of one; only at its start or end the page's.
bool IsSignOff(QStringView line);

// Removes captions, credits and site notices wherever they stand, and sign-offs, bylines and
// datelines from the start and the end.
void Trim(QStringList &paragraphs);

// Removes a short line whose words the other lines already say: a pull quote, a caption
// repeated in a gallery. Of two lines alike, the first goes.
void DropEchoes(QStringList &paragraphs);

// Removes up to two leading lines that say one of the page's headlines again (its <title>,
// og:title, an <h1>...). A line ending like a sentence is the article's.
void DropHeadline(QStringList &paragraphs, const QStringList &headlines);

} // namespace BodyEdges
