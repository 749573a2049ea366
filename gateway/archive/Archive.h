#pragma once

#include "feeds/FeedParser.h"
#include "util/FileResult.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <chrono>
#include <functional>
#include <mutex>
#include <optional>

struct sqlite3;

// One item as the list and article pages show it.
struct ArchivedItem
{
    qint64 id = 0;
    QString title;
    QString source;
    QUrl link; // with its fragment
    QString description;
    QString content;
    QDateTime published; // the publication time, or when the item was first seen
    QStringList codes;   // the categories it was placed in, first placement first
};

// What the gateway remembers of one feed of one category between fetches.
struct FeedState
{
    QByteArray etag;
    QByteArray lastModified;
    QDateTime checked;    // last fetch attempt; invalid: never
    QDateTime retryAfter; // invalid: no hold-off
    QString failure;      // why the last fetch gave no items; empty when it worked
};

// What storing a feed's items came to: how many were newly placed and how many left out as a
// story another feed of the category had placed, or why none were.
struct StoreResult
{
    bool ok = true;
    int placed = 0;
    int merged = 0;
    QString error; // "<archive file>: <SQLite's reason>"
};

struct StoredArticle
{
    QStringList paragraphs;
    QDateTime fetched;
    bool complete = false; // false: a fallback stored after a failure, worth a later retry
};

// What a read of the archive gave, or why it gave nothing: a locked, full or damaged archive is
// never an empty one.
template<typename T>
struct ArchiveRead
{
    bool ok = true;
    T value{};
    QString error; // "<archive file>: <SQLite's reason>"
};

// The archive of everything the feeds showed, by local day, in one SQLite file. Every change is
// one transaction, so a kill at any moment leaves the previous state or the new one. The file
// carries its schema's version (ArchiveSchema.h): an older one is brought up to date as it
// opens, a newer one is left alone, a damaged one is moved aside for a new one. Safe to use
// from several threads.
//
// An item is known by its identity (ItemIdentity.h): the same identity seen again, from any
// feed of any category, is the same item with the same article address, placed in each category
// that showed it; so Varnholt, which skips an address it has recorded, reads the story once.
// Within a category, an item whose title another feed of it placed that day is left out as the
// same story told twice.
class Archive
{
public:
    static constexpr int kSchemaVersion = 2;

    // say: where the archive tells that it moved a damaged file aside.
    explicit Archive(std::function<void(const QString &)> say = {});
    ~Archive();
    Q_DISABLE_COPY_MOVE(Archive)

    // Opens or creates the file, making its folder. lockWait: how long a change waits for
    // another process's before it fails.
    FileResult open(const QString &path,
                    std::chrono::milliseconds lockWait = std::chrono::seconds(5));

    // Adds the items feed showed for category code (now: when they were seen). An item whose
    // identity is known keeps its id and day and is placed in code too. All of them or, on a
    // failure, none.
    StoreResult store(const QString &code, const QString &feed, const QString &source,
                      const QList<FeedItem> &items, const QDateTime &now);

    ArchiveRead<qsizetype> count(const QString &code, QDate day);
    // Newest first.
    ArchiveRead<QList<ArchivedItem>> list(const QString &code, QDate day, qsizetype from,
                                          qsizetype count);
    ArchiveRead<std::optional<ArchivedItem>> item(qint64 id);

    ArchiveRead<std::optional<StoredArticle>> article(qint64 id);
    FileResult storeArticle(qint64 id, const StoredArticle &article);

    // key: the category code and the feed's address.
    ArchiveRead<FeedState> feedState(const QString &key);
    FileResult storeFeedState(const QString &key, const FeedState &state);

    // Forgets every item of a day before firstKept.
    FileResult prune(QDate firstKept);

private:
    FileResult openFile();
    FileResult setUp();
    FileResult migrate(int from);
    FileResult startAfresh(const QString &why);
    // Before every operation: a damage found by the last one moves the file aside now.
    bool usable();
    FileResult exec(const char *sql);
    QString notOpen() const;
    // "<path>: <SQLite's reason>" for a statement that ended with code.
    QString failure(int code);
    FileResult failed(int code) { return {false, failure(code)}; }
    void rollBack();

    std::function<void(const QString &)> m_say;
    std::mutex m_mutex;
    sqlite3 *m_db = nullptr;
    QString m_path;
    std::chrono::milliseconds m_lockWait{5000};
    bool m_damaged = false;
};
