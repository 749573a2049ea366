// The archive: placement by day and category, duplicates, pruning, survival of a reopen, and
// what it says when its file is locked or damaged.
#include "archive/Archive.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace {

FeedItem item(const QString &title, const QString &link, const QDateTime &published = {},
              const QString &identity = {})
{
    FeedItem out;
    out.title = title;
    out.link = QUrl(link);
    out.identity = identity;
    out.description = title + u" の要約"_s;
    out.published = published;
    return out;
}

QStringList titles(const QList<ArchivedItem> &items)
{
    QStringList out;
    for (const ArchivedItem &i : items)
        out << i.title;
    return out;
}

const QDate kDay(2024, 5, 1);
const QString kFeed = u"http://a.test/rss.xml"_s;
QDateTime at(int hour, int dayOffset = 0)
{
    return QDateTime(kDay.addDays(dayOffset), QTime(hour, 0));
}

// The archive's tables as the gateway first wrote them, before its file carried a version.
constexpr const char *kFirstSchema = R"(
CREATE TABLE items(id INTEGER PRIMARY KEY, link TEXT NOT NULL UNIQUE, title TEXT NOT NULL,
    source TEXT NOT NULL, description TEXT NOT NULL, content TEXT NOT NULL,
    published INTEGER NOT NULL, day TEXT NOT NULL);
CREATE INDEX items_day ON items(day);
CREATE TABLE placements(item INTEGER NOT NULL REFERENCES items(id) ON DELETE CASCADE,
    code TEXT NOT NULL, title TEXT NOT NULL, PRIMARY KEY(item, code));
CREATE INDEX placements_code ON placements(code, title);
CREATE TABLE articles(item INTEGER PRIMARY KEY REFERENCES items(id) ON DELETE CASCADE,
    body TEXT NOT NULL, fetched INTEGER NOT NULL, complete INTEGER NOT NULL);
CREATE TABLE feeds(key TEXT PRIMARY KEY, etag BLOB NOT NULL, last_modified BLOB NOT NULL,
    checked INTEGER NOT NULL, retry_after INTEGER NOT NULL);
)";

// Another program's connection to the archive file.
class Connection
{
public:
    explicit Connection(const QString &path) { sqlite3_open(path.toUtf8().constData(), &m_db); }
    ~Connection() { sqlite3_close(m_db); }
    Q_DISABLE_COPY_MOVE(Connection)

    bool exec(const QByteArray &sql)
    {
        return sqlite3_exec(m_db, sql.constData(), nullptr, nullptr, nullptr) == 0;
    }
    int version()
    {
        sqlite3_stmt *query = nullptr;
        sqlite3_prepare_v2(m_db, "PRAGMA user_version", -1, &query, nullptr);
        const int version = sqlite3_step(query) == SQLITE_ROW ? sqlite3_column_int(query, 0) : -1;
        sqlite3_finalize(query);
        return version;
    }

private:
    sqlite3 *m_db = nullptr;
};

QByteArray damagedPages(const QByteArray &archive)
{
    QByteArray bytes = archive;
    // The header stays; every page after the first is overwritten.
    for (qsizetype i = 4096; i < bytes.size(); ++i)
        bytes[i] = char(0xa5);
    return bytes;
}

} // namespace

class tst_Archive : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void store_placesByDayNewestFirst();
    void store_duplicates_data();
    void store_duplicates();
    void prune_dropsOldDaysOnly();
    void reopen_keepsItemsArticlesAndFeedState();
    void locked_changesFailNamingTheFile_data();
    void locked_changesFailNamingTheFile();
    void damagedFile_movedAsideForANewOne_data();
    void damagedFile_movedAsideForANewOne();
    void firstSchema_migratedKeepingEveryItem();
    void newerVersion_leftAsItIs();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Archive> m_archive;
    QString path() const { return m_dir->filePath(u"cache/archive.sqlite"_s); }
};

void tst_Archive::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_archive = std::make_unique<Archive>();
    const FileResult opened = m_archive->open(path());
    QVERIFY2(opened.ok, qPrintable(opened.error));
}

void tst_Archive::store_placesByDayNewestFirst()
{
    const StoreResult stored = m_archive->store(u"dom"_s, kFeed, u"Src"_s,
                                                {item(u"朝"_s, u"http://a.test/1"_s, at(8)),
                                                 item(u"夜"_s, u"http://a.test/2"_s, at(21)),
                                                 item(u"前日"_s, u"http://a.test/3"_s, at(22, -1)),
                                                 item(u"日付なし"_s, u"http://a.test/4"_s),
                                                 item(u"未来"_s, u"http://a.test/5"_s, at(12, 3))},
                                                at(23));
    QVERIFY2(stored.ok, qPrintable(stored.error));
    QCOMPARE(stored.placed, 5);
    // Undated and future items count as first seen now (23:00); a tie keeps the feed's order.
    QCOMPARE(titles(m_archive->list(u"dom"_s, kDay, 0, 10).value),
             (QStringList{u"日付なし"_s, u"未来"_s, u"夜"_s, u"朝"_s}));
    QCOMPARE(titles(m_archive->list(u"dom"_s, kDay.addDays(-1), 0, 10).value),
             QStringList{u"前日"_s});
    QCOMPARE(m_archive->count(u"dom"_s, kDay).value, 4);
    QCOMPARE(titles(m_archive->list(u"dom"_s, kDay, 1, 2).value),
             (QStringList{u"未来"_s, u"夜"_s}));
    QCOMPARE(m_archive->count(u"int"_s, kDay).value, 0);
}

void tst_Archive::store_duplicates_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("feed");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("link");
    QTest::addColumn<QString>("identity"); // empty: the link
    QTest::addColumn<int>("domCount");
    QTest::addColumn<int>("otherCount");
    QTest::addColumn<int>("addresses"); // article addresses shown in both categories
    QTest::addColumn<int>("merged");
    QTest::addColumn<QStringList>("firstCodes");

    // The first item: "見出し", http://a.test/1, its guid "tag:a.test,2024:1", from feed A of dom.
    const QString guid = u"tag:a.test,2024:1"_s;
    const QString a = kFeed;
    const QString b = u"http://b.test/rss.xml"_s;
    const QStringList dom{u"dom"_s};
    QTest::newRow("seen again in its feed")
        << u"dom"_s << a << u"見出し"_s << u"http://a.test/1"_s << guid << 1 << 0 << 1 << 0 << dom;
    QTest::newRow("its guid in another feed of the category: one story")
        << u"dom"_s << b << u"別題"_s << u"http://mirror.test/9"_s << guid << 1 << 0 << 1 << 1
        << dom;
    QTest::newRow("its title from another feed of the category that day: one story")
        << u"dom"_s << b << u"見出し"_s << u"http://b.test/9"_s << QString() << 1 << 0 << 1 << 1
        << dom;
    QTest::newRow("its title again in its own feed: two items")
        << u"dom"_s << a << u"見出し"_s << u"http://a.test/2"_s << QString() << 2 << 0 << 2 << 0
        << dom;
    QTest::newRow("its link with another guid: two items")
        << u"dom"_s << a << u"別題"_s << u"http://a.test/1"_s << u"tag:a.test,2024:2"_s << 2 << 0
        << 2 << 0 << dom;
    QTest::newRow("its link with a fragment: two items")
        << u"dom"_s << a << u"別題"_s << u"http://a.test/1#0627"_s << QString() << 2 << 0 << 2 << 0
        << dom;
    QTest::newRow("its guid in another category: one address")
        << u"int"_s << b << u"見出し"_s << u"http://a.test/1"_s << guid << 1 << 1 << 1 << 0
        << QStringList{u"dom"_s, u"int"_s};
    QTest::newRow("its title in another category is another item")
        << u"int"_s << b << u"見出し"_s << u"http://b.test/9"_s << QString() << 1 << 1 << 2 << 0
        << dom;
}

void tst_Archive::store_duplicates()
{
    QFETCH(QString, code);
    QFETCH(QString, feed);
    QFETCH(QString, title);
    QFETCH(QString, link);
    QFETCH(QString, identity);
    QFETCH(int, domCount);
    QFETCH(int, otherCount);
    QFETCH(int, addresses);
    QFETCH(int, merged);
    QFETCH(QStringList, firstCodes);

    QVERIFY(m_archive
                ->store(u"dom"_s, kFeed, u"A"_s,
                        {item(u"見出し"_s, u"http://a.test/1"_s, at(9), u"tag:a.test,2024:1"_s)},
                        at(10))
                .ok);
    const StoreResult second =
        m_archive->store(code, feed, u"B"_s, {item(title, link, at(9), identity)}, at(10));
    QVERIFY2(second.ok, qPrintable(second.error));
    QCOMPARE(second.merged, merged);
    QCOMPARE(m_archive->count(u"dom"_s, kDay).value, domCount);
    if (code != u"dom")
        QCOMPARE(m_archive->count(code, kDay).value, otherCount);
    QSet<qint64> shown;
    for (const QString &each : {u"dom"_s, code}) {
        for (const ArchivedItem &placed : m_archive->list(each, kDay, 0, 10).value)
            shown.insert(placed.id);
    }
    QCOMPARE(shown.size(), addresses);
    // The first item keeps its title and link, and its categories in the order it was placed.
    const ArchivedItem first = *m_archive->item(1).value;
    QCOMPARE(first.title, u"見出し"_s);
    QCOMPARE(first.link, QUrl(u"http://a.test/1"_s));
    QCOMPARE(first.codes, firstCodes);
}

void tst_Archive::prune_dropsOldDaysOnly()
{
    m_archive->store(u"dom"_s, kFeed, u"S"_s,
                     {item(u"古い"_s, u"http://a.test/1"_s, at(9, -15)),
                      item(u"境目"_s, u"http://a.test/2"_s, at(9, -14)),
                      item(u"今日"_s, u"http://a.test/3"_s, at(9))},
                     at(10));
    const qint64 oldId = m_archive->list(u"dom"_s, kDay.addDays(-15), 0, 1).value.first().id;
    m_archive->storeArticle(oldId, {{u"本文"_s}, at(10), true});
    m_archive->prune(kDay.addDays(-14));
    QCOMPARE(m_archive->count(u"dom"_s, kDay.addDays(-15)).value, 0);
    QCOMPARE(m_archive->count(u"dom"_s, kDay.addDays(-14)).value, 1);
    QCOMPARE(m_archive->count(u"dom"_s, kDay).value, 1);
    QVERIFY(!m_archive->item(oldId).value);
    QVERIFY(!m_archive->article(oldId).value);
}

void tst_Archive::reopen_keepsItemsArticlesAndFeedState()
{
    m_archive->store(u"dom"_s, kFeed, u"S"_s, {item(u"一"_s, u"http://a.test/1"_s, at(9))}, at(10));
    const qint64 id = m_archive->list(u"dom"_s, kDay, 0, 1).value.first().id;
    m_archive->storeArticle(id, {{u"第一段落"_s, u"第二段落"_s}, at(10), true});
    m_archive->storeFeedState(u"dom http://a.test/f"_s, {"\"e\"", "Wed, 01 May 2024 00:00:00 GMT",
                                                         at(10), at(11), u"answered 429"_s});
    m_archive = std::make_unique<Archive>();
    const FileResult reopened = m_archive->open(path());
    QVERIFY2(reopened.ok, qPrintable(reopened.error));

    QCOMPARE(titles(m_archive->list(u"dom"_s, kDay, 0, 10).value), QStringList{u"一"_s});
    const auto article = m_archive->article(id).value;
    QVERIFY(article);
    QCOMPARE(article->paragraphs, (QStringList{u"第一段落"_s, u"第二段落"_s}));
    QVERIFY(article->complete);
    const FeedState state = m_archive->feedState(u"dom http://a.test/f"_s).value;
    QCOMPARE(state.etag, QByteArray("\"e\""));
    QCOMPARE(state.checked, at(10));
    QCOMPARE(state.retryAfter, at(11));
    QCOMPARE(state.failure, u"answered 429"_s);
    QVERIFY(!m_archive->feedState(u"int http://a.test/f"_s).value.checked.isValid());
}

void tst_Archive::locked_changesFailNamingTheFile_data()
{
    QTest::addColumn<QString>("change");
    QTest::newRow("store") << u"store"_s;
    QTest::newRow("store an article") << u"article"_s;
    QTest::newRow("store a feed's state") << u"feed"_s;
    QTest::newRow("prune") << u"prune"_s;
}

void tst_Archive::locked_changesFailNamingTheFile()
{
    QFETCH(QString, change);
    m_archive = std::make_unique<Archive>();
    QVERIFY(m_archive->open(path(), std::chrono::milliseconds(50)));
    QVERIFY(
        m_archive
            ->store(u"dom"_s, kFeed, u"S"_s, {item(u"一"_s, u"http://a.test/1"_s, at(9))}, at(10))
            .ok);
    const qint64 id = m_archive->list(u"dom"_s, kDay, 0, 1).value.first().id;

    // Another portal on the same folder is in the middle of a change.
    Connection other(path());
    QVERIFY(other.exec("BEGIN IMMEDIATE; DELETE FROM articles;"));
    const auto attempt = [&]() -> std::pair<bool, QString> {
        if (change == u"store") {
            const StoreResult stored = m_archive->store(
                u"dom"_s, kFeed, u"S"_s, {item(u"二"_s, u"http://a.test/2"_s, at(9))}, at(10));
            return {stored.ok, stored.error};
        }
        FileResult result;
        if (change == u"article")
            result = m_archive->storeArticle(id, {{u"本文"_s}, at(10), true});
        else if (change == u"feed")
            result =
                m_archive->storeFeedState(u"dom http://a.test/f"_s, {"\"e\"", {}, at(10), {}, {}});
        else
            result = m_archive->prune(kDay.addDays(1));
        return {result.ok, result.error};
    };
    const auto [ok, error] = attempt();
    QVERIFY(!ok);
    QVERIFY2(error.startsWith(path() + u": "_s) && error.contains(u"locked"_s), qPrintable(error));
    // Reading goes on meanwhile, and shows what was there.
    QCOMPARE(m_archive->count(u"dom"_s, kDay).value, 1);

    QVERIFY(other.exec("ROLLBACK"));
    const auto [later, why] = attempt();
    QVERIFY2(later, qPrintable(why));
}

void tst_Archive::damagedFile_movedAsideForANewOne_data()
{
    QTest::addColumn<bool>("wholeFile"); // false: only the pages after the header

    QTest::newRow("not a database at all") << true;
    QTest::newRow("damaged pages") << false;
}

void tst_Archive::damagedFile_movedAsideForANewOne()
{
    QFETCH(bool, wholeFile);
    QVERIFY(
        m_archive
            ->store(u"dom"_s, kFeed, u"S"_s, {item(u"一"_s, u"http://a.test/1"_s, at(9))}, at(10))
            .ok);
    m_archive.reset();
    QFile file(path());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray damaged = wholeFile ? QByteArray(8192, 'x') : damagedPages(file.readAll());
    file.close();
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(damaged), damaged.size());
    file.close();

    QStringList said;
    m_archive = std::make_unique<Archive>([&said](const QString &line) { said << line; });
    const FileResult opened = m_archive->open(path());
    QVERIFY2(opened.ok, qPrintable(opened.error));

    // One line names both files; the damaged one is kept as it was for whoever wants to look.
    const QString aside = path() + u".damaged"_s;
    QCOMPARE(said.size(), 1);
    QVERIFY2(said.first().contains(path() + u":"_s) && said.first().contains(aside),
             qPrintable(said.first()));
    QFile kept(aside);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), damaged);
    // The new archive works.
    QCOMPARE(m_archive->count(u"dom"_s, kDay).value, 0);
    QVERIFY(
        m_archive
            ->store(u"dom"_s, kFeed, u"S"_s, {item(u"二"_s, u"http://a.test/2"_s, at(9))}, at(10))
            .ok);
    QCOMPARE(m_archive->count(u"dom"_s, kDay).value, 1);
}

void tst_Archive::firstSchema_migratedKeepingEveryItem()
{
    const QString old = m_dir->filePath(u"old/archive.sqlite"_s);
    QVERIFY(QDir().mkpath(m_dir->filePath(u"old"_s)));
    const QByteArray seen = QByteArray::number(at(9).toSecsSinceEpoch());
    {
        Connection first(old);
        QVERIFY(first.exec(kFirstSchema));
        QVERIFY(first.exec(
            "INSERT INTO items VALUES(7, 'http://a.test/1', '一', 'S', '要約', '', " + seen +
            ", '2024-05-01');"
            "INSERT INTO placements VALUES(7, 'dom', '一');"
            "INSERT INTO articles VALUES(7, '第一段落' || char(10) || "
            "'第二段落', " +
            seen +
            ", 1);"
            "INSERT INTO feeds VALUES('dom http://a.test/rss.xml', "
            "CAST('\"e\"' AS BLOB), CAST('' AS BLOB), " +
            seen + ", 0);"));
        QCOMPARE(first.version(), 0);
    }

    Archive archive;
    const FileResult opened = archive.open(old);
    QVERIFY2(opened.ok, qPrintable(opened.error));
    QCOMPARE(Connection(old).version(), Archive::kSchemaVersion);
    // Every item keeps its article address, text and feed state.
    const QList<ArchivedItem> items = archive.list(u"dom"_s, kDay, 0, 10).value;
    QCOMPARE(items.size(), 1);
    QCOMPARE(items.first().id, 7);
    QCOMPARE(items.first().link, QUrl(u"http://a.test/1"_s));
    QCOMPARE(archive.article(7).value->paragraphs, (QStringList{u"第一段落"_s, u"第二段落"_s}));
    QCOMPARE(archive.feedState(u"dom http://a.test/rss.xml"_s).value.etag, QByteArray("\"e\""));

    // The feed shows the item again: the same one, not a story merged from elsewhere; an item
    // whose link differs only in its fragment is another one.
    const StoreResult again = archive.store(
        u"dom"_s, kFeed, u"S"_s,
        {item(u"一"_s, u"http://a.test/1"_s, at(9)), item(u"二"_s, u"http://a.test/1#b"_s, at(9))},
        at(10));
    QVERIFY2(again.ok, qPrintable(again.error));
    QCOMPARE(again.merged, 0);
    QCOMPARE(archive.count(u"dom"_s, kDay).value, 2);
    QCOMPARE(archive.list(u"dom"_s, kDay, 0, 10).value.constFirst().id, 7);

    // Opened again, nothing more to do.
    Archive reopened;
    QVERIFY(reopened.open(old));
    QCOMPARE(reopened.count(u"dom"_s, kDay).value, 2);
}

void tst_Archive::newerVersion_leftAsItIs()
{
    const QString newer = m_dir->filePath(u"newer.sqlite"_s);
    {
        Connection later(newer);
        QVERIFY(later.exec("CREATE TABLE things(x); PRAGMA user_version = 9;"));
    }
    Archive archive;
    const FileResult opened = archive.open(newer);
    QVERIFY(!opened.ok);
    QVERIFY2(opened.error.startsWith(newer + u": "_s) && opened.error.contains(u"newer"_s),
             qPrintable(opened.error));
    Connection after(newer);
    QCOMPARE(after.version(), 9);
    QVERIFY(!after.exec("SELECT * FROM items"));
    QVERIFY(!QFile::exists(newer + u".damaged"_s));
}

QTEST_GUILESS_MAIN(tst_Archive)
#include "tst_archive.moc"
