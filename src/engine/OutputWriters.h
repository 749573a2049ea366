#pragma once

#include "util/FileResult.h"

#include <QByteArray>
#include <QDateTime>
#include <QIODevice>
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

// Each writer appends one record with the given body (CP932), in CP932 with CR LF, to out, and
// tells lostCharacters when the record lost characters (those of its body were counted when the
// body was converted).
void WriteQfw(QByteArray &out, const ArticleRecord &record, QByteArrayView body,
              const WriterContext &context);
void WriteQfb(QByteArray &out, const ArticleRecord &record, QByteArrayView body,
              const WriterContext &context);
void WriteQfk(QByteArray &out, const ArticleRecord &record, QByteArrayView body,
              const WriterContext &context);
void WriteCsv(QByteArray &out, const ArticleRecord &record, QByteArrayView body,
              const WriterContext &context);

// Every record of the list in the layout, in list order, made one record at a time as the
// device is read, so that the whole output is never held at once. A body the list cannot read
// back makes the read fail with the reason.
class RecordStream final : public QIODevice
{
public:
    RecordStream(OutputLayout layout, const ArticleList &articles, const WriterContext &context);
    bool isSequential() const override { return true; }
    // Tells lostCharacters about the records not read, as if they had been written: a write
    // that stopped early still names every record that lost characters.
    void countTheRest();

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    using Writer = void (*)(QByteArray &, const ArticleRecord &, QByteArrayView,
                            const WriterContext &);
    Writer m_writer;
    const ArticleList &m_articles;
    const WriterContext &m_context;
    qint32 m_next = 0; // the record to make next
    QByteArray m_made; // the part of the records made that was not read yet
    qsizetype m_taken = 0;
    QByteArray m_body;
};

// The whole output at once, for callers that want it in memory.
QByteArray BuildOutput(OutputLayout layout, const ArticleList &articles,
                       const WriterContext &context);

// The file operations SaveArticles uses; tests swap in failing ones.
struct OutputFileAccess
{
    std::function<bool(const QString &path)> canAppend;
    std::function<FileResult(const QString &path, QIODevice &source)> replace;
    std::function<FileResult(const QString &path, QIODevice &source)> append;

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

// What the person is told when the output file at path cannot be opened: the fixed text, the
// path, and the reason when it is known.
QString OutputUnwritableMessage(const QString &path, const QString &reason = {});

// Writes all records to path plus the layout's extension: an overwrite replaces the file
// atomically, an append adds every record or none. Each record that lost characters to CP932
// gets a log line with its title and their number.
SaveResult SaveArticles(const QString &path, const ArticleList &articles, SaveContext &context);
