#pragma once

#include <QStringList>

#include <libxml/tree.h>

// One pass of the readability-style extractor over a parsed page: drop what cannot be the
// article, score the paragraph-like blocks, take the best-scoring element with the siblings that
// belong to it, clean boilerplate out of it and return its paragraphs. Later passes relax the
// rules when the strict one finds too little.
struct PassRules
{
    bool dropUnlikely = true;       // navigation, sidebars, ads... by tag, role and class/id
    bool weighClasses = true;       // class/id words move scores by 25
    bool cleanConditionally = true; // link lists and image blocks inside the result go
};

struct ScoredText
{
    QStringList paragraphs;
    // The text came from a clear article container: an <article> or itemprop="articleBody"
    // element, or a candidate that outscored everything else on the page by far.
    bool fromArticleContainer = false;
};

// Works on its own copy of the document; the page stays as it was.
ScoredText ScoredMainText(const xmlDoc *page, const PassRules &rules);
