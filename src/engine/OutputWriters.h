#pragma once

#include "util/FileResult.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <functional>

class ArticleList;
class DebugLog;
class Prompter;
struct ArticleRecord;
struct RunOptions;

// The four output layouts; "/qfb" wins over "/qfk", which wins over "/csv"; .qfw is the default.
enum class OutputLayout { Qfw, Qfb, Qfk, Csv };

OutputLayout ChooseLayout(const RunOptions &runOptions);
QString LayoutExtension(OutputLayout layout); // ".qfw", ".qfb", ".qfk", ".csv"

using Clock = std::function<QDateTime()>;

// Called once for a record that lost characters: how many CP932 could not hold and wrote as "?".
using LostCharacters = std::function<void(const ArticleRecord &record, qsizetype count)>;

// What every record's writer needs: the tag rule and the clock, read anew for every record.
struct WriterContext
{
    bool NoAddKey = false;
    Clock now;
    LostCharacters lostCharacters = {}; // may be empty
};

// Each writer appends one record, in CP932 with CR LF, to out, and tells lostCharacters when
// the record lost characters (those of its body were counted when the body was converted).
void WriteQfw(QByteArray &out, const ArticleRecord &record, const WriterContext &context);
void WriteQfb(QByteArray &out, const ArticleRecord &record, const WriterContext &context);
void WriteQfk(QByteArray &out, const ArticleRecord &record, const WriterContext &context);
void WriteCsv(QByteArray &out, const ArticleRecord &record, const WriterContext &context);

// Every record of the list in the layout, in list order.
QByteArray BuildOutput(OutputLayout layout, const ArticleList &articles,
                       const WriterContext &context);

// The file operations SaveArticles uses; tests swap in failing ones.
struct OutputFileAccess
{
    std::function<bool(const QString &path)> canAppend;
    std::function<FileResult(const QString &path, const QByteArray &bytes)> replace;
    std::function<FileResult(const QString &path, const QByteArray &bytes)> append;

    static OutputFileAccess real(); // CanAppendFile, WriteFileAtomically, AppendAllOrNothing
};

struct SaveContext
{
    RunOptions &runOptions; // layout flags, NoAddKey; OverWrite/Append are settled here
    int chkOverWrite;       // the OverWrite setting: 1 overwrites when no switch decided
    Prompter &prompter;
    Clock now = [] {
        return QDateTime::currentDateTime();
    };
    OutputFileAccess files = OutputFileAccess::real();
    DebugLog *log = nullptr; // names each record that lost characters
};

struct SaveResult
{
    QString SaveFilePath;      // the path with the layout's extension
    bool written = false;      // false: nothing of this run reached the file (the reason was told)
    qint64 lostCharacters = 0; // written as "?" because CP932 could not hold them
};

// Writes all records to path plus the layout's extension: an overwrite replaces the file
// atomically, an append adds every record or none. Each record that lost characters to CP932
// gets a log line with its title and their number.
SaveResult SaveArticles(const QString &path, const ArticleList &articles, SaveContext &context);
