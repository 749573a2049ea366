#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>

class FetchProgress;
class HttpTransport;
class Prompter;
struct ProgramState;

// How a collection run ended.
enum class RunEnd {
    Completed, // ran to the end; the output may still have failed (outputWritten)
    GaveUp,    // the person answered No after a page stayed empty: save and exit, nothing written
    Cancelled, // the person confirmed Cancel: end at once, nothing written, nothing saved
};

struct RunResult
{
    RunEnd end = RunEnd::Completed;
    QString SaveFilePath; // with extension; empty when the run never chose a file
    bool outputWritten = false;
    qint32 recordsWritten = 0; // records this run added to the file
    QStringList missedPages;   // addresses of the pages the run went on without
};

// The services a run talks through; all outlive the run.
struct RunServices
{
    HttpTransport &http;
    Prompter &prompter;
    FetchProgress &progress;
    // The run's clock: the previous day's pages and the file-name date pattern read it.
    std::function<QDateTime()> now = [] {
        return QDateTime::currentDateTime();
    };
};

// One collection run: settles options from the settings and the command line, walks the ticked
// categories (today, and the previous day with Yesterday), fetches the articles, writes the file.
RunResult FetchNews(ProgramState &state, RunServices &services);
