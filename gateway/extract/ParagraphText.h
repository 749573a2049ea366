#pragma once

#include <QStringList>

#include <libxml/tree.h>

// The one way HTML becomes text, for article pages and for feeds alike: paragraphs, every block
// element and every <br> ending one; white space collapsed, entities decoded. Scripts, figures
// with their captions, form controls and hidden elements say nothing. No paragraph is empty.
namespace ParagraphText {

// A part of a page: headings other than the page title (<h1>) are paragraphs of their own;
// lines that are all link, datelines, bylines and lines that only introduce boilerplate
// ("関連記事", "この記事をシェア") are left out.
void Append(const xmlNode *node, QStringList &paragraphs);
QStringList Of(const xmlNode *node);
// Text that is all content (a feed's title or summary): every line and heading is kept.
QStringList WholeTextOf(const xmlNode *node);

// An element that starts a new line of text.
bool IsBlockTag(QStringView tag);
// An element whose content is never part of an article's text.
bool IsSilentTag(QStringView tag);
// Marked hidden by the hidden attribute, aria-hidden or its inline style.
bool IsHidden(const xmlNode *node);

} // namespace ParagraphText
