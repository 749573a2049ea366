#pragma once

#include <QString>
#include <QStringList>

// Text of an HTML fragment as a reader sees it: entities decoded, tags dropped, scripts and
// styles left out, one paragraph per block or line break, white space collapsed.
QStringList htmlParagraphs(const QString &html);
// One line: the paragraphs joined by a space.
QString htmlLine(const QString &html);

// "&", "<" and ">" in their full-width forms, so that no text can break the portal's markup.
QString pageSafe(QString text);
