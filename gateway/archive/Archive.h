#pragma once

#include "feeds/FeedParser.h"
#include "util/FileResult.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <mutex>
#include <optional>

struct sqlite3;

// One item as the list and article pages show it.
struct ArchivedItem
{
    qint64 id = 0;
    QString title;
    QString source;
    QUrl link;
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
};

// What storing a feed's items came to: how many were newly placed, or why none were.
struct StoreResult
{
    bool ok = true;
    int placed = 0;
    QString error; // "<archive file>: <SQLite's reason>"
};

struct StoredArticle
{
    QStringList paragraphs;
    QDateTime fetched;
    bool complete = false; // false: a fallback stored after a failure, worth a later retry
};

// The archive of everything the feeds showed, by local day, in one SQLite file. Every change is
// one transaction, so a kill at any moment leaves the previous state or the new one. Safe to
// use from several threads.
class Archive
{
public:
    Archive();
    ~Archive();
    Q_DISABLE_COPY_MOVE(Archive)

    // Opens or creates the file, making its folder.
    FileResult open(const QString &path);

    // Adds the items a feed of category code showed (now: when they were seen). An item whose
    // link is known keeps its id and day and is placed in code too; an item whose title code
    // already shows that day is left out. All of them or, on a failure, none.
    StoreResult store(const QString &code, const QString &source, const QList<FeedItem> &items,
                      const QDateTime &now);

    qsizetype count(const QString &code, QDate day);
    // Newest first.
    QList<ArchivedItem> list(const QString &code, QDate day, qsizetype from, qsizetype count);
    std::optional<ArchivedItem> item(qint64 id);

    std::optional<StoredArticle> article(qint64 id);
    void storeArticle(qint64 id, const StoredArticle &article);

    // key: the category code and the feed's address.
    FeedState feedState(const QString &key);
    void storeFeedState(const QString &key, const FeedState &state);

    // Forgets every item of a day before firstKept.
    void prune(QDate firstKept);

private:
    FileResult exec(const char *sql);

    std::mutex m_mutex;
    sqlite3 *m_db = nullptr;
    QString m_path;
};
