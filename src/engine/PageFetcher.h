#pragma once

#include "engine/HttpTransport.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>

class DebugLog;
class FetchProgress;
class Prompter;

// The text of one page, or why there is none.
struct FetchedPage
{
    QString text;           // trimmed; empty when the person gave up on the page
    bool gaveUp = false;    // No after repeated empty pages: the whole run ends (save and exit)
    bool cancelled = false; // the person cancelled the run meanwhile: it ends, nothing written
};

// Every page of a run goes through GetHTML: one silent re-request when a page comes back empty,
// then a question; a question when a request fails; and the two ways of giving up.
class PageFetcher
{
public:
    // progress, when given, is asked before every request and question (FetchProgress::mayGoOn);
    // a failure at BaseURL's scheme, host and port is told as the portal's.
    PageFetcher(HttpTransport &http, Prompter &prompter, DebugLog &log,
                FetchProgress *progress = nullptr, QString BaseURL = {});

    FetchedPage GetHTML(const QString &url);
    // Pages the run will read later, in its order; see HttpTransport::expect. Waits, like a
    // request, while the person decides whether to cancel.
    void expect(const QString &url);
    // The run ends before reading the pages it announced.
    void forgetExpected() { m_http.forgetExpected(); }
    // Whether a request to url would go where one to reference goes; see IsSameOrigin.
    bool isSameOrigin(const QString &url, const QString &reference)
    {
        return IsSameOrigin(m_http, url, reference);
    }

    // Pages the run goes on without, in the order they were missed: every failed request that
    // was not retried, and whatever a caller adds (a walk cut short).
    const QStringList &missedPages() const { return m_missed; }
    void addMissedPage(const QString &url) { m_missed.append(url); }
    // The portal refused the connection for a page the run went on without: it is probably not
    // running.
    bool portalRefused() const { return m_portalRefused; }

private:
    bool mayGoOn() const;

    HttpTransport &m_http;
    Prompter &m_prompter;
    DebugLog &m_log;
    FetchProgress *m_progress;
    QString m_BaseURL;
    QStringList m_missed;
    bool m_portalRefused = false;
};

// Page bytes (EUC-JP) as text, cut before the first NUL.
QString ConvertCharset(QByteArrayView bytes);
