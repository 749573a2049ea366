#pragma once

#include "startup/RunOptions.h"
#include "util/TestSeams.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>

class DebugLog;
class FetchProgress;
class HttpTransport;
class KeyWordList;
class Prompter;
struct Settings;

// How a collection run ended.
enum class RunEnd {
    Completed, // ran to the end; the output may still have failed (outputWritten)
    GaveUp,    // the person answered No after a page stayed empty: save and exit, nothing written
    Cancelled, // the person confirmed Cancel: end at once, nothing written, nothing saved
};

// What one run reads. The run settles its own copy of the options and leaves the rest alone,
// so a second run in the same process starts from the same inputs.
struct RunInput
{
    const Settings &settings;
    const KeyWordList &keyWords;
    RunOptions options; // as the command line gave them
    QString BaseURL;    // the portal's address, without a trailing slash
    DebugLog &log;
    QString savedAddressesPath = {}; // the record SkipSaved keeps; empty: none
};

struct RunResult
{
    RunEnd end = RunEnd::Completed;
    QString SaveFilePath; // with extension; empty when the run never chose a file
    bool outputWritten = false;
    qint32 recordsWritten = 0; // records this run added to the file
    qint64 lostCharacters = 0; // of those records, written as "?" since CP932 could not hold them
    QStringList missedPages;   // addresses of the pages the run went on without
    QString refusingPortal;    // the portal's address, when it refused some of them
    RunOptions options;        // as the run settled them from the settings
};

// The services a run talks through; all outlive the run.
struct RunServices
{
    HttpTransport &http;
    Prompter &prompter;
    FetchProgress &progress;
    // The run's clock: the previous day's pages and the file-name date pattern read it.
    std::function<QDateTime()> now = &RunClockNow;
};

// One collection run: settles options from the settings and the command line, walks the ticked
// categories (today, and the previous day with Yesterday), fetches the articles, writes the file.
// With SkipSaved the addresses it wrote join the record in the settings folder, once the output
// is safe, and headlines already in that record are left out.
RunResult FetchNews(RunInput input, RunServices &services);
