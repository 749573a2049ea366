#pragma once

#include <QString>

#include <libxml/tree.h>

// The articleBody of an Article, NewsArticle or BlogPosting that the page describes in a
// <script type="application/ld+json">, also inside @graph; empty when there is none.
QString JsonLdArticleBody(xmlDoc *doc);
