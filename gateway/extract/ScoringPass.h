#pragma once

#include <QString>
#include <QStringList>

// One pass of the readability-style extractor over a decoded page: drop what cannot be the
// article, score the paragraph-like blocks, take the best-scoring element with the siblings that
// belong to it, clean boilerplate out of it and return its paragraphs. Later passes relax the
// rules when the strict one finds too little.
struct PassRules
{
    bool dropUnlikely = true;       // navigation, sidebars, ads... by tag, role and class/id
    bool weighClasses = true;       // class/id words move scores by 25
    bool cleanConditionally = true; // link lists and image blocks inside the result go
};

QStringList ScoredMainText(const QString &pageText, const PassRules &rules);
