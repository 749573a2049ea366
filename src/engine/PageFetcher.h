#pragma once

#include <QByteArrayView>
#include <QString>

class DebugLog;
class HttpTransport;
class Prompter;

// The text of one page, or why there is none.
struct FetchedPage
{
    QString text;        // trimmed; empty when the person gave up on the page
    bool gaveUp = false; // No after repeated empty pages: the whole run ends (save and exit)
};

// Every page of a run goes through GetHTML: one silent re-request when a page comes back empty,
// then a question; a question when a request fails; and the two ways of giving up.
class PageFetcher
{
public:
    PageFetcher(HttpTransport &http, Prompter &prompter, DebugLog &log);

    FetchedPage GetHTML(const QString &url);

private:
    HttpTransport &m_http;
    Prompter &m_prompter;
    DebugLog &m_log;
};

// Page bytes (EUC-JP) as text, cut before the first NUL.
QString ConvertCharset(QByteArrayView bytes);
