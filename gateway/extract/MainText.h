#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QUrl>

struct MainTextResult
{
    QStringList paragraphs; // plain text, trimmed, none empty; empty when nothing was found
    bool partial = false;   // a paywall cut the article short
    // The text came from a clear article container: an <article> or itemprop="articleBody"
    // element, the page's embedded article body, or a candidate far ahead of everything else.
    // A short text from there is a whole news item, not a caption or a teaser.
    bool fromArticleContainer = false;
};

// Charset from the Content-Type header value, the BOM or <meta>; then automatic main-text
// extraction: the page's JSON-LD article body unless it is only a teaser of what the page shows,
// else a readability-style scoring pass, relaxed when it finds too little or only a consent
// notice. Captions, credits, sign-offs, site notices and the repeated headline are left out.
// However short the text, it is returned: whether it will do is AcceptsExtraction's question.
MainTextResult ExtractMainText(const QByteArray &page, const QString &contentType,
                               const QUrl &address);

// The text nodes an XPath expression selects, as paragraphs: text nodes under one block element
// form one paragraph, a selected element gives the paragraphs of its text. An expression that
// does not compile selects nothing.
MainTextResult ExtractByXPath(const QByteArray &page, const QString &contentType,
                              const QString &xpath);

// In characters (code points).
inline constexpr qsizetype kShortestMainText = 120;
