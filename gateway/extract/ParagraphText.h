#pragma once

#include <QStringList>

#include <libxml/tree.h>

// The text of a part of a page as paragraphs: every block element and every <br> ends one;
// headings other than the page title are paragraphs of their own. Scripts, figures with their
// captions, form controls and hidden elements say nothing; lines that only introduce
// boilerplate ("関連記事", "この記事をシェア") are left out. No paragraph is empty.
namespace ParagraphText {

void Append(const xmlNode *node, QStringList &paragraphs);
QStringList Of(const xmlNode *node);

// An element that starts a new line of text.
bool IsBlockTag(QStringView tag);
// An element whose content is never part of an article's text.
bool IsSilentTag(QStringView tag);
// Marked hidden by the hidden attribute, aria-hidden or its inline style.
bool IsHidden(const xmlNode *node);

} // namespace ParagraphText
