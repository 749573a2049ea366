#include "Archive.h"

#include "ArchiveSchema.h"
#include "feeds/ItemIdentity.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace {

QString dayKey(QDate day)
{
    return day.toString(Qt::ISODate);
}

bool isDamage(int code)
{
    const int primary = code & 0xff;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

// One prepared statement; finalised when it goes. The first failure, of the preparation, a
// binding or a step, is kept: a later step returns it instead of running.
class Statement
{
public:
    Statement(sqlite3 *db, const char *sql)
        : m_code(sqlite3_prepare_v2(db, sql, -1, &m_stmt, nullptr))
    {}
    ~Statement() { sqlite3_finalize(m_stmt); }
    Q_DISABLE_COPY_MOVE(Statement)

    Statement &bind(int index, const QString &text)
    {
        const QByteArray bytes = text.toUtf8();
        return keep(sqlite3_bind_text(m_stmt, index, bytes.constData(), int(bytes.size()),
                                      SQLITE_TRANSIENT));
    }
    Statement &bind(int index, const QByteArray &bytes)
    {
        return keep(sqlite3_bind_blob(m_stmt, index, bytes.constData(), int(bytes.size()),
                                      SQLITE_TRANSIENT));
    }
    Statement &bind(int index, qint64 number)
    {
        return keep(sqlite3_bind_int64(m_stmt, index, number));
    }
    // SQLITE_ROW, SQLITE_DONE or the failure's code.
    int step()
    {
        if (m_code != SQLITE_OK)
            return m_code;
        const int code = sqlite3_step(m_stmt);
        if (code != SQLITE_ROW && code != SQLITE_DONE)
            m_code = code;
        return code;
    }

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
    Statement &keep(int code)
    {
        if (m_code == SQLITE_OK)
            m_code = code;
        return *this;
    }

    sqlite3_stmt *m_stmt = nullptr;
    int m_code;
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

// What the one row query finds says through read; none when there is no row.
template<typename T, typename Read>
ArchiveRead<T> oneRow(Statement &query, T none, Read read,
                      const std::function<QString(int)> &failure)
{
    const int found = query.step();
    if (found == SQLITE_DONE)
        return {true, std::move(none), {}};
    if (found != SQLITE_ROW)
        return {false, {}, failure(found)};
    return {true, read(query), {}};
}

// The file name beside path that a damaged archive moves to: the first one not taken.
QString asideName(const QString &path)
{
    QString name = path + u".damaged"_s;
    for (int n = 2; QFile::exists(name) && n < 1000; ++n)
        name = path + u".damaged"_s + QString::number(n);
    return name;
}

} // namespace

Archive::Archive(std::function<void(const QString &)> say)
    : m_say(std::move(say))
{}

Archive::~Archive()
{
    sqlite3_close(m_db);
}

QString Archive::notOpen() const
{
    return m_path + u": the archive is not open"_s;
}

QString Archive::failure(int code)
{
    if (isDamage(code))
        m_damaged = true;
    const char *reason =
        m_db && sqlite3_errcode(m_db) == code ? sqlite3_errmsg(m_db) : sqlite3_errstr(code);
    return m_path + u": "_s + QString::fromUtf8(reason);
}

FileResult Archive::exec(const char *sql)
{
    char *message = nullptr;
    const int code = sqlite3_exec(m_db, sql, nullptr, nullptr, &message);
    if (code == SQLITE_OK)
        return FileResult::success();
    if (isDamage(code))
        m_damaged = true;
    const FileResult failed =
        FileResult::failure(m_path, QString::fromUtf8(message ? message : sqlite3_errstr(code)));
    sqlite3_free(message);
    return failed;
}

void Archive::rollBack()
{
    // A failed statement may have ended the transaction itself.
    if (m_db && !sqlite3_get_autocommit(m_db))
        exec("ROLLBACK");
}

FileResult Archive::open(const QString &path, std::chrono::milliseconds lockWait)
{
    std::lock_guard lock(m_mutex);
    m_path = path;
    m_lockWait = lockWait;
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return FileResult::failure(path, u"cannot create the archive's folder"_s);
    const FileResult opened = openFile();
    if (opened || !m_damaged)
        return opened;
    return startAfresh(opened.error);
}

FileResult Archive::openFile()
{
    m_damaged = false;
    if (sqlite3_open_v2(m_path.toUtf8().constData(), &m_db,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX,
                        nullptr) != SQLITE_OK) {
        const FileResult failed = FileResult::failure(
            m_path, u"cannot open the archive: "_s +
                        QString::fromUtf8(m_db ? sqlite3_errmsg(m_db) : "out of memory"));
        sqlite3_close(m_db);
        m_db = nullptr;
        return failed;
    }
    // A second portal on the same folder waits for the first one's write instead of failing.
    sqlite3_busy_timeout(m_db, int(m_lockWait.count()));
    return setUp();
}

FileResult Archive::setUp()
{
    // WAL keeps readers off the writer's back; NORMAL is still safe against a killed process.
    if (const FileResult journal = exec("PRAGMA journal_mode = WAL; PRAGMA synchronous = NORMAL; "
                                        "PRAGMA foreign_keys = ON;");
        !journal)
        return journal;
    {
        // A damaged page found now is better than a day that seems empty later.
        Statement check(m_db, "PRAGMA quick_check");
        const int code = check.step();
        if (code != SQLITE_ROW)
            return failed(code);
        if (const QString verdict = check.text(0); verdict != u"ok") {
            m_damaged = true;
            return FileResult::failure(m_path, u"the archive is damaged: "_s + verdict);
        }
    }
    if (const FileResult begun = exec("BEGIN IMMEDIATE"); !begun)
        return begun;
    int version = 0;
    {
        Statement query(m_db, "PRAGMA user_version");
        const int code = query.step();
        if (code != SQLITE_ROW) {
            const FileResult why = failed(code);
            rollBack();
            return why;
        }
        version = int(query.number(0));
    }
    if (version > kSchemaVersion) {
        rollBack();
        return FileResult::failure(
            m_path, u"written by a newer varnholt-portal (archive version %1; this one reads up "
                    u"to %2): left as it is"_s.arg(version)
                        .arg(kSchemaVersion));
    }
    FileResult ready = FileResult::success();
    if (version < kSchemaVersion)
        ready = migrate(version);
    if (ready)
        ready = exec("COMMIT");
    if (!ready)
        rollBack();
    return ready;
}

FileResult Archive::migrate(int from)
{
    if (from == 0) {
        // Files from before the version was kept hold the first schema; a new file holds none.
        Statement tables(m_db, "SELECT 1 FROM sqlite_schema WHERE type = 'table' AND name = "
                               "'items'");
        const int code = tables.step();
        if (code != SQLITE_ROW && code != SQLITE_DONE)
            return failed(code);
        if (code == SQLITE_DONE)
            return exec(ArchiveSchema::Create);
        from = 1;
    }
    for (int version = from; version < kSchemaVersion; ++version) {
        if (const FileResult stepped = exec(ArchiveSchema::Migrations[version - 1]); !stepped)
            return stepped;
    }
    return FileResult::success();
}

FileResult Archive::startAfresh(const QString &why)
{
    sqlite3_close(m_db);
    m_db = nullptr;
    const QString aside = asideName(m_path);
    QFile damaged(m_path);
    if (!damaged.rename(aside)) {
        const FileResult stuck{false, why + u"; it could not be moved aside to %1: %2"_s.arg(
                                                aside, damaged.errorString())};
        if (m_say)
            m_say(stuck.error);
        return stuck;
    }
    // The write-ahead log belongs to the damaged file and would be read into the new one.
    const QString wal = m_path + u"-wal"_s;
    const QString index = m_path + u"-shm"_s;
    if ((QFile::exists(wal) && !QFile::rename(wal, aside + u"-wal"_s) && !QFile::remove(wal)) ||
        (QFile::exists(index) && !QFile::remove(index))) {
        const FileResult stuck{false, why + u"; moved aside to %1, but %2 or %3 could not be "
                                            u"removed"_s.arg(aside, wal, index)};
        if (m_say)
            m_say(stuck.error);
        return stuck;
    }
    const FileResult fresh = openFile();
    if (m_say)
        m_say(fresh ? u"%1; moved aside to %2 and a new archive started at %3"_s.arg(why, aside,
                                                                                     m_path)
                    : u"%1; moved aside to %2, but no new archive could be started: %3"_s.arg(
                          why, aside, fresh.error));
    return fresh;
}

bool Archive::usable()
{
    // What went wrong is said by startAfresh; the caller fails with "not open".
    if (m_damaged && m_db)
        static_cast<void>(startAfresh(m_path + u": the archive is damaged"_s));
    return m_db != nullptr;
}

StoreResult Archive::store(const QString &code, const QString &feed, const QString &source,
                           const QList<FeedItem> &items, const QDateTime &now)
{
    std::lock_guard lock(m_mutex);
    if (!usable())
        return {false, 0, 0, notOpen()};
    if (const FileResult begun = exec("BEGIN IMMEDIATE"); !begun)
        return {false, 0, 0, begun.error};
    StoreResult result;
    const auto fail = [&](int failedCode) {
        result = {false, 0, 0, failure(failedCode)};
        rollBack();
        return result;
    };
    for (const FeedItem &item : items) {
        // A date in the future is a wrong clock at the source; first sight is the better guess.
        const QDateTime published =
            item.published.isValid() && item.published <= now.addSecs(3600) ? item.published : now;
        const QString day = dayKey(published.toLocalTime().date());
        const QString identity = IdentityOf(item);

        Statement insert(m_db, "INSERT OR IGNORE INTO items(identity, link, title, source, "
                               "description, content, published, day) VALUES(?, ?, ?, ?, ?, ?, "
                               "?, ?)");
        insert.bind(1, identity).bind(2, item.link.toString(QUrl::FullyEncoded));
        insert.bind(3, item.title).bind(4, source).bind(5, item.description);
        insert.bind(6, item.content).bind(7, toSeconds(published)).bind(8, day);
        if (const int stepped = insert.step(); stepped != SQLITE_DONE)
            return fail(stepped);
        Statement find(m_db, "SELECT id, day FROM items WHERE identity = ?");
        find.bind(1, identity);
        if (const int stepped = find.step(); stepped != SQLITE_ROW)
            return fail(stepped == SQLITE_DONE ? SQLITE_INTERNAL : stepped);
        const qint64 id = find.number(0);
        const QString itemDay = find.text(1);

        // Placed here already: seen again, or the same story from another feed of the category.
        Statement placed(m_db, "SELECT feed FROM placements WHERE item = ? AND code = ?");
        placed.bind(1, id).bind(2, code);
        const int placedStep = placed.step();
        if (placedStep == SQLITE_ROW) {
            const QString placedBy = placed.text(0);
            // A placement from before feeds were remembered is taken to be this feed's.
            if (placedBy.isEmpty()) {
                Statement adopt(m_db, "UPDATE placements SET feed = ? WHERE item = ? AND code = ?");
                adopt.bind(1, feed).bind(2, id).bind(3, code);
                if (const int stepped = adopt.step(); stepped != SQLITE_DONE)
                    return fail(stepped);
            } else if (placedBy != feed) {
                ++result.merged;
            }
            continue;
        }
        if (placedStep != SQLITE_DONE)
            return fail(placedStep);
        Statement twin(m_db, "SELECT 1 FROM placements p JOIN items i ON i.id = p.item "
                             "WHERE p.code = ? AND p.title = ? AND i.day = ? AND i.id <> ? "
                             "AND p.feed <> ?");
        twin.bind(1, code).bind(2, item.title).bind(3, itemDay).bind(4, id).bind(5, feed);
        const int twinStep = twin.step();
        if (twinStep == SQLITE_ROW) {
            ++result.merged;
            continue;
        }
        if (twinStep != SQLITE_DONE)
            return fail(twinStep);
        Statement place(m_db, "INSERT INTO placements(item, code, title, feed) VALUES(?, ?, ?, ?)");
        place.bind(1, id).bind(2, code).bind(3, item.title).bind(4, feed);
        if (const int stepped = place.step(); stepped != SQLITE_DONE)
            return fail(stepped);
        ++result.placed;
    }
    if (const FileResult committed = exec("COMMIT"); !committed) {
        // A commit that failed leaves the transaction open: nothing of it was kept.
        rollBack();
        return {false, 0, 0, committed.error};
    }
    return result;
}

ArchiveRead<qsizetype> Archive::count(const QString &code, QDate day)
{
    std::lock_guard lock(m_mutex);
    if (!usable())
        return {false, 0, notOpen()};
    Statement query(m_db, "SELECT COUNT(*) FROM placements p JOIN items i ON i.id = p.item "
                          "WHERE p.code = ? AND i.day = ?");
    query.bind(1, code).bind(2, dayKey(day));
    if (const int stepped = query.step(); stepped != SQLITE_ROW)
        return {false, 0, failure(stepped)};
    return {true, qsizetype(query.number(0)), {}};
}

ArchiveRead<QList<ArchivedItem>> Archive::list(const QString &code, QDate day, qsizetype from,
                                               qsizetype count)
{
    std::lock_guard lock(m_mutex);
    if (!usable())
        return {false, {}, notOpen()};
    const QByteArray sql = QByteArray("SELECT ") + kItemColumns +
                           " FROM placements p JOIN items i ON i.id = p.item WHERE p.code = ? "
                           "AND i.day = ? ORDER BY i.published DESC, i.id LIMIT ? OFFSET ?";
    Statement query(m_db, sql.constData());
    query.bind(1, code).bind(2, dayKey(day)).bind(3, qint64(count)).bind(4, qint64(from));
    QList<ArchivedItem> items;
    int stepped = SQLITE_ROW;
    while ((stepped = query.step()) == SQLITE_ROW)
        items.append(itemOf(query));
    if (stepped != SQLITE_DONE)
        return {false, {}, failure(stepped)};
    return {true, items, {}};
}

ArchiveRead<std::optional<ArchivedItem>> Archive::item(qint64 id)
{
    std::lock_guard lock(m_mutex);
    if (!usable())
        return {false, {}, notOpen()};
    const QByteArray sql = QByteArray("SELECT ") + kItemColumns + " FROM items i WHERE i.id = ?";
    Statement query(m_db, sql.constData());
    query.bind(1, id);
    const int found = query.step();
    if (found == SQLITE_DONE)
        return {};
    if (found != SQLITE_ROW)
        return {false, {}, failure(found)};
    ArchivedItem item = itemOf(query);
    Statement codes(m_db, "SELECT code FROM placements WHERE item = ? ORDER BY rowid");
    codes.bind(1, id);
    int stepped = SQLITE_ROW;
    while ((stepped = codes.step()) == SQLITE_ROW)
        item.codes.append(codes.text(0));
    if (stepped != SQLITE_DONE)
        return {false, {}, failure(stepped)};
    return {true, item, {}};
}

ArchiveRead<std::optional<StoredArticle>> Archive::article(qint64 id)
{
    std::lock_guard lock(m_mutex);
    if (!usable())
        return {false, {}, notOpen()};
    Statement query(m_db, "SELECT body, fetched, complete FROM articles WHERE item = ?");
    query.bind(1, id);
    return oneRow<std::optional<StoredArticle>>(
        query, std::nullopt,
        [](const Statement &row) {
            return StoredArticle{row.text(0).split(u'\n'), fromSeconds(row.number(1)),
                                 row.number(2) != 0};
        },
        [this](int code) { return failure(code); });
}

FileResult Archive::storeArticle(qint64 id, const StoredArticle &article)
{
    std::lock_guard lock(m_mutex);
    if (!usable())
        return {false, notOpen()};
    Statement query(m_db, "INSERT OR REPLACE INTO articles(item, body, fetched, complete) "
                          "VALUES(?, ?, ?, ?)");
    query.bind(1, id).bind(2, article.paragraphs.join(u'\n')).bind(3, toSeconds(article.fetched));
    query.bind(4, qint64(article.complete ? 1 : 0));
    if (const int stepped = query.step(); stepped != SQLITE_DONE)
        return failed(stepped);
    return FileResult::success();
}

ArchiveRead<FeedState> Archive::feedState(const QString &key)
{
    std::lock_guard lock(m_mutex);
    if (!usable())
        return {false, {}, notOpen()};
    Statement query(m_db, "SELECT etag, last_modified, checked, retry_after, failure FROM feeds "
                          "WHERE key = ?");
    query.bind(1, key);
    return oneRow<FeedState>(
        query, {},
        [](const Statement &row) {
            return FeedState{row.bytes(0), row.bytes(1), fromSeconds(row.number(2)),
                             fromSeconds(row.number(3)), row.text(4)};
        },
        [this](int code) { return failure(code); });
}

FileResult Archive::storeFeedState(const QString &key, const FeedState &state)
{
    std::lock_guard lock(m_mutex);
    if (!usable())
        return {false, notOpen()};
    Statement query(m_db, "INSERT OR REPLACE INTO feeds(key, etag, last_modified, checked, "
                          "retry_after, failure) VALUES(?, ?, ?, ?, ?, ?)");
    query.bind(1, key).bind(2, state.etag).bind(3, state.lastModified);
    query.bind(4, toSeconds(state.checked)).bind(5, toSeconds(state.retryAfter));
    query.bind(6, state.failure);
    if (const int stepped = query.step(); stepped != SQLITE_DONE)
        return failed(stepped);
    return FileResult::success();
}

FileResult Archive::prune(QDate firstKept)
{
    std::lock_guard lock(m_mutex);
    if (!usable())
        return {false, notOpen()};
    Statement query(m_db, "DELETE FROM items WHERE day < ?");
    query.bind(1, dayKey(firstKept));
    if (const int stepped = query.step(); stepped != SQLITE_DONE)
        return failed(stepped);
    return FileResult::success();
}
