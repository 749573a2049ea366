#include "Archive.h"

#include <QDir>
#include <QFileInfo>

#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace {

constexpr const char *kSchema = R"(
PRAGMA foreign_keys = ON;
CREATE TABLE IF NOT EXISTS items(
    id INTEGER PRIMARY KEY,
    link TEXT NOT NULL UNIQUE,
    title TEXT NOT NULL,
    source TEXT NOT NULL,
    description TEXT NOT NULL,
    content TEXT NOT NULL,
    published INTEGER NOT NULL,
    day TEXT NOT NULL);
CREATE INDEX IF NOT EXISTS items_day ON items(day);
CREATE TABLE IF NOT EXISTS placements(
    item INTEGER NOT NULL REFERENCES items(id) ON DELETE CASCADE,
    code TEXT NOT NULL,
    title TEXT NOT NULL,
    PRIMARY KEY(item, code));
CREATE INDEX IF NOT EXISTS placements_code ON placements(code, title);
CREATE TABLE IF NOT EXISTS articles(
    item INTEGER PRIMARY KEY REFERENCES items(id) ON DELETE CASCADE,
    body TEXT NOT NULL,
    fetched INTEGER NOT NULL,
    complete INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS feeds(
    key TEXT PRIMARY KEY,
    etag BLOB NOT NULL,
    last_modified BLOB NOT NULL,
    checked INTEGER NOT NULL,
    retry_after INTEGER NOT NULL);
)";

QString dayKey(QDate day)
{
    return day.toString(Qt::ISODate);
}

// One prepared statement; finalised when it goes.
class Statement
{
public:
    Statement(sqlite3 *db, const char *sql) { sqlite3_prepare_v2(db, sql, -1, &m_stmt, nullptr); }
    ~Statement() { sqlite3_finalize(m_stmt); }
    Q_DISABLE_COPY_MOVE(Statement)

    bool ok() const { return m_stmt != nullptr; }
    Statement &bind(int index, const QString &text)
    {
        const QByteArray bytes = text.toUtf8();
        sqlite3_bind_text(m_stmt, index, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
        return *this;
    }
    Statement &bind(int index, const QByteArray &bytes)
    {
        sqlite3_bind_blob(m_stmt, index, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
        return *this;
    }
    Statement &bind(int index, qint64 number)
    {
        sqlite3_bind_int64(m_stmt, index, number);
        return *this;
    }
    // SQLITE_ROW, SQLITE_DONE or an error code.
    int step() { return m_stmt ? sqlite3_step(m_stmt) : SQLITE_MISUSE; }
    bool run() { return step() == SQLITE_DONE; }

    qint64 number(int column) const { return sqlite3_column_int64(m_stmt, column); }
    QString text(int column) const
    {
        return QString::fromUtf8(
            reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column)),
            sqlite3_column_bytes(m_stmt, column));
    }
    QByteArray bytes(int column) const
    {
        return QByteArray(static_cast<const char *>(sqlite3_column_blob(m_stmt, column)),
                          sqlite3_column_bytes(m_stmt, column));
    }

private:
    sqlite3_stmt *m_stmt = nullptr;
};

QDateTime fromSeconds(qint64 seconds)
{
    return seconds > 0 ? QDateTime::fromSecsSinceEpoch(seconds) : QDateTime();
}

qint64 toSeconds(const QDateTime &time)
{
    return time.isValid() ? time.toSecsSinceEpoch() : 0;
}

ArchivedItem itemOf(const Statement &row)
{
    ArchivedItem item;
    item.id = row.number(0);
    item.title = row.text(1);
    item.source = row.text(2);
    item.link = QUrl(row.text(3));
    item.description = row.text(4);
    item.content = row.text(5);
    item.published = fromSeconds(row.number(6));
    return item;
}

constexpr const char *kItemColumns =
    "i.id, i.title, i.source, i.link, i.description, i.content, i.published";

} // namespace

Archive::Archive() = default;

Archive::~Archive()
{
    sqlite3_close(m_db);
}

FileResult Archive::exec(const char *sql)
{
    char *message = nullptr;
    if (sqlite3_exec(m_db, sql, nullptr, nullptr, &message) == SQLITE_OK)
        return FileResult::success();
    const FileResult failed = FileResult::failure(m_path, QString::fromUtf8(message));
    sqlite3_free(message);
    return failed;
}

FileResult Archive::open(const QString &path)
{
    std::lock_guard lock(m_mutex);
    m_path = path;
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return FileResult::failure(path, u"cannot create the archive's folder"_s);
    if (sqlite3_open_v2(path.toUtf8().constData(), &m_db,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX,
                        nullptr) != SQLITE_OK) {
        const FileResult failed = FileResult::failure(
            path, u"cannot open the archive: "_s +
                      QString::fromUtf8(m_db ? sqlite3_errmsg(m_db) : "out of memory"));
        sqlite3_close(m_db);
        m_db = nullptr;
        return failed;
    }
    // A second portal on the same folder waits for the first one's write instead of failing.
    sqlite3_busy_timeout(m_db, 5000);
    // WAL keeps readers off the writer's back; NORMAL is still safe against a killed process.
    if (const FileResult journal = exec("PRAGMA journal_mode = WAL; PRAGMA synchronous = NORMAL;");
        !journal)
        return journal;
    return exec(kSchema);
}

StoreResult Archive::store(const QString &code, const QString &source, const QList<FeedItem> &items,
                           const QDateTime &now)
{
    std::lock_guard lock(m_mutex);
    if (const FileResult begun = exec("BEGIN IMMEDIATE"); !begun)
        return {false, 0, begun.error};
    int placed = 0;
    bool failed = false;
    for (const FeedItem &item : items) {
        // A date in the future is a wrong clock at the source; first sight is the better guess.
        const QDateTime published =
            item.published.isValid() && item.published <= now.addSecs(3600) ? item.published : now;
        const QString day = dayKey(published.toLocalTime().date());
        const QString link = item.link.toString(QUrl::FullyEncoded);

        Statement insert(m_db, "INSERT OR IGNORE INTO items(link, title, source, description, "
                               "content, published, day) VALUES(?, ?, ?, ?, ?, ?, ?)");
        insert.bind(1, link).bind(2, item.title).bind(3, source).bind(4, item.description);
        insert.bind(5, item.content).bind(6, toSeconds(published)).bind(7, day);
        if (!insert.run()) {
            failed = true;
            break;
        }
        Statement find(m_db, "SELECT id, day FROM items WHERE link = ?");
        find.bind(1, link);
        if (find.step() != SQLITE_ROW) {
            failed = true;
            break;
        }
        const qint64 id = find.number(0);
        const QString itemDay = find.text(1);

        Statement twin(m_db, "SELECT 1 FROM placements p JOIN items i ON i.id = p.item "
                             "WHERE p.code = ? AND p.title = ? AND i.day = ? AND i.id <> ?");
        twin.bind(1, code).bind(2, item.title).bind(3, itemDay).bind(4, id);
        if (twin.step() == SQLITE_ROW)
            continue;
        Statement place(m_db,
                        "INSERT OR IGNORE INTO placements(item, code, title) VALUES(?, ?, ?)");
        place.bind(1, id).bind(2, code).bind(3, item.title);
        if (!place.run()) {
            failed = true;
            break;
        }
        placed += sqlite3_changes(m_db);
    }
    if (failed) {
        const FileResult why = FileResult::failure(m_path, QString::fromUtf8(sqlite3_errmsg(m_db)));
        exec("ROLLBACK");
        return {false, 0, why.error};
    }
    if (const FileResult committed = exec("COMMIT"); !committed)
        return {false, 0, committed.error};
    return {true, placed, {}};
}

qsizetype Archive::count(const QString &code, QDate day)
{
    std::lock_guard lock(m_mutex);
    Statement query(m_db, "SELECT COUNT(*) FROM placements p JOIN items i ON i.id = p.item "
                          "WHERE p.code = ? AND i.day = ?");
    query.bind(1, code).bind(2, dayKey(day));
    return query.step() == SQLITE_ROW ? qsizetype(query.number(0)) : 0;
}

QList<ArchivedItem> Archive::list(const QString &code, QDate day, qsizetype from, qsizetype count)
{
    std::lock_guard lock(m_mutex);
    const QByteArray sql = QByteArray("SELECT ") + kItemColumns +
                           " FROM placements p JOIN items i ON i.id = p.item WHERE p.code = ? "
                           "AND i.day = ? ORDER BY i.published DESC, i.id LIMIT ? OFFSET ?";
    Statement query(m_db, sql.constData());
    query.bind(1, code).bind(2, dayKey(day)).bind(3, qint64(count)).bind(4, qint64(from));
    QList<ArchivedItem> items;
    while (query.step() == SQLITE_ROW)
        items.append(itemOf(query));
    return items;
}

std::optional<ArchivedItem> Archive::item(qint64 id)
{
    std::lock_guard lock(m_mutex);
    const QByteArray sql = QByteArray("SELECT ") + kItemColumns + " FROM items i WHERE i.id = ?";
    Statement query(m_db, sql.constData());
    query.bind(1, id);
    if (query.step() != SQLITE_ROW)
        return std::nullopt;
    ArchivedItem item = itemOf(query);
    Statement codes(m_db, "SELECT code FROM placements WHERE item = ? ORDER BY rowid");
    codes.bind(1, id);
    while (codes.step() == SQLITE_ROW)
        item.codes.append(codes.text(0));
    return item;
}

std::optional<StoredArticle> Archive::article(qint64 id)
{
    std::lock_guard lock(m_mutex);
    Statement query(m_db, "SELECT body, fetched, complete FROM articles WHERE item = ?");
    query.bind(1, id);
    if (query.step() != SQLITE_ROW)
        return std::nullopt;
    return StoredArticle{query.text(0).split(u'\n'), fromSeconds(query.number(1)),
                         query.number(2) != 0};
}

void Archive::storeArticle(qint64 id, const StoredArticle &article)
{
    std::lock_guard lock(m_mutex);
    Statement query(m_db, "INSERT OR REPLACE INTO articles(item, body, fetched, complete) "
                          "VALUES(?, ?, ?, ?)");
    query.bind(1, id).bind(2, article.paragraphs.join(u'\n')).bind(3, toSeconds(article.fetched));
    query.bind(4, qint64(article.complete ? 1 : 0));
    query.run();
}

FeedState Archive::feedState(const QString &key)
{
    std::lock_guard lock(m_mutex);
    Statement query(m_db,
                    "SELECT etag, last_modified, checked, retry_after FROM feeds WHERE key = ?");
    query.bind(1, key);
    if (query.step() != SQLITE_ROW)
        return {};
    return {query.bytes(0), query.bytes(1), fromSeconds(query.number(2)),
            fromSeconds(query.number(3))};
}

void Archive::storeFeedState(const QString &key, const FeedState &state)
{
    std::lock_guard lock(m_mutex);
    Statement query(m_db, "INSERT OR REPLACE INTO feeds(key, etag, last_modified, checked, "
                          "retry_after) VALUES(?, ?, ?, ?, ?)");
    query.bind(1, key).bind(2, state.etag).bind(3, state.lastModified);
    query.bind(4, toSeconds(state.checked)).bind(5, toSeconds(state.retryAfter));
    query.run();
}

void Archive::prune(QDate firstKept)
{
    std::lock_guard lock(m_mutex);
    Statement query(m_db, "DELETE FROM items WHERE day < ?");
    query.bind(1, dayKey(firstKept));
    query.run();
}
