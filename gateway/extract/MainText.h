#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QUrl>

struct MainTextResult
{
    QStringList paragraphs; // plain text, trimmed, none empty; empty when nothing was found
    bool partial = false;   // a paywall cut the article short
};

// Charset from the Content-Type header value, the BOM or <meta>; then automatic main-text
// extraction: the page's JSON-LD article body when it has one, else a readability-style scoring
// pass, relaxed when it finds too little. Fewer than kShortestMainText characters count as none.
MainTextResult ExtractMainText(const QByteArray &page, const QString &contentType,
                               const QUrl &address);

// The text nodes an XPath expression selects, as paragraphs: text nodes under one block element
// form one paragraph, a selected element gives the paragraphs of its text. An expression that
// does not compile selects nothing.
MainTextResult ExtractByXPath(const QByteArray &page, const QString &contentType,
                              const QString &xpath);

// In characters (code points).
inline constexpr qsizetype kShortestMainText = 120;
