#pragma once

#include <QString>
#include <QStringList>

// Text of an HTML fragment (a feed's title or summary) as a reader sees it, cut into paragraphs
// by the same rules as an article page (ParagraphText), but keeping every line; text without
// markup keeps its own line breaks.
QStringList HtmlParagraphs(const QString &html);
// One line: the paragraphs joined by a space.
QString HtmlLine(const QString &html);
