#pragma once

#include <QString>
#include <QStringList>

#include <libxml/tree.h>

// The articleBody of an Article, NewsArticle or BlogPosting that the page describes in a
// <script type="application/ld+json">, also inside @graph; empty when there is none. Raw line
// breaks inside its strings, which many pages leave in, do not make it unreadable.
QString JsonLdArticleBody(xmlDoc *doc);

// The same for the page's own headline ("headline" or "name" of the article).
QString JsonLdHeadline(xmlDoc *doc);

// An articleBody as paragraphs: plain text with line breaks or a piece of HTML, with character
// references decoded, also when the page encoded them twice ("&amp;#8217;").
QStringList EmbeddedParagraphs(const QString &articleBody);

// Whether an embedded body is only the teaser of the article the page shows: the page's text is
// clearly longer and begins the same way.
bool IsTeaserOf(const QStringList &embedded, const QStringList &pageText);
