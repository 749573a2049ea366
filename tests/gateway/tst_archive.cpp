// The archive: placement by day and category, duplicates, pruning, survival of a reopen, and
// what it says when its file is locked or damaged.
#include "archive/Archive.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace {

FeedItem item(const QString &title, const QString &link, const QDateTime &published = {})
{
    FeedItem out;
    out.title = title;
    out.link = QUrl(link);
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
QDateTime at(int hour, int dayOffset = 0)
{
    return QDateTime(kDay.addDays(dayOffset), QTime(hour, 0));
}

// Another program's connection to the archive file.
class Connection
{
public:
    explicit Connection(const QString &path) { sqlite3_open(path.toUtf8().constData(), &m_db); }
    ~Connection() { sqlite3_close(m_db); }
    Q_DISABLE_COPY_MOVE(Connection)

    bool exec(const char *sql) { return sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) == 0; }

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
    const StoreResult stored = m_archive->store(u"dom"_s, u"Src"_s,
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
    QTest::addColumn<QString>("secondCode");
    QTest::addColumn<QString>("secondTitle");
    QTest::addColumn<QString>("secondLink");
    QTest::addColumn<int>("domCount");
    QTest::addColumn<int>("otherCount");
    QTest::addColumn<bool>("sameId");

    QTest::newRow("same link, same category")
        << u"dom"_s << u"別題"_s << u"http://a.test/1"_s << 1 << 0 << true;
    QTest::newRow("same title, other feed of the category")
        << u"dom"_s << u"見出し"_s << u"http://b.test/9"_s << 1 << 0 << false;
    QTest::newRow("same link in another category: one address")
        << u"int"_s << u"見出し"_s << u"http://a.test/1"_s << 1 << 1 << true;
    QTest::newRow("same title in another category is kept")
        << u"int"_s << u"見出し"_s << u"http://b.test/9"_s << 1 << 1 << false;
    QTest::newRow("different item")
        << u"dom"_s << u"別"_s << u"http://b.test/9"_s << 2 << 0 << false;
}

void tst_Archive::store_duplicates()
{
    QFETCH(QString, secondCode);
    QFETCH(QString, secondTitle);
    QFETCH(QString, secondLink);
    QFETCH(int, domCount);
    QFETCH(int, otherCount);
    QFETCH(bool, sameId);

    QVERIFY(
        m_archive->store(u"dom"_s, u"A"_s, {item(u"見出し"_s, u"http://a.test/1"_s, at(9))}, at(10))
            .ok);
    const StoreResult second =
        m_archive->store(secondCode, u"B"_s, {item(secondTitle, secondLink, at(9))}, at(10));
    QVERIFY2(second.ok, qPrintable(second.error));
    QCOMPARE(m_archive->count(u"dom"_s, kDay).value, domCount);
    if (secondCode != u"dom")
        QCOMPARE(m_archive->count(secondCode, kDay).value, otherCount);
    const auto first = m_archive->list(u"dom"_s, kDay, 0, 10).value.constLast();
    const QList<ArchivedItem> seconds = m_archive->list(secondCode, kDay, 0, 10).value;
    if (sameId && secondCode != u"dom")
        QCOMPARE(seconds.first().id, first.id);
    // An item keeps its first title and its categories in the order it was placed.
    if (sameId)
        QCOMPARE(m_archive->item(first.id).value->title, u"見出し"_s);
}

void tst_Archive::prune_dropsOldDaysOnly()
{
    m_archive->store(u"dom"_s, u"S"_s,
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
    m_archive->store(u"dom"_s, u"S"_s, {item(u"一"_s, u"http://a.test/1"_s, at(9))}, at(10));
    const qint64 id = m_archive->list(u"dom"_s, kDay, 0, 1).value.first().id;
    m_archive->storeArticle(id, {{u"第一段落"_s, u"第二段落"_s}, at(10), true});
    m_archive->storeFeedState(u"dom http://a.test/f"_s,
                              {"\"e\"", "Wed, 01 May 2024 00:00:00 GMT", at(10), at(11)});
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
    QVERIFY(m_archive->store(u"dom"_s, u"S"_s, {item(u"一"_s, u"http://a.test/1"_s, at(9))}, at(10))
                .ok);
    const qint64 id = m_archive->list(u"dom"_s, kDay, 0, 1).value.first().id;

    // Another portal on the same folder is in the middle of a change.
    Connection other(path());
    QVERIFY(other.exec("BEGIN IMMEDIATE; DELETE FROM articles;"));
    const auto attempt = [&]() -> std::pair<bool, QString> {
        if (change == u"store") {
            const StoreResult stored = m_archive->store(
                u"dom"_s, u"S"_s, {item(u"二"_s, u"http://a.test/2"_s, at(9))}, at(10));
            return {stored.ok, stored.error};
        }
        FileResult result;
        if (change == u"article")
            result = m_archive->storeArticle(id, {{u"本文"_s}, at(10), true});
        else if (change == u"feed")
            result = m_archive->storeFeedState(u"dom http://a.test/f"_s, {"\"e\"", {}, at(10), {}});
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
    QVERIFY(m_archive->store(u"dom"_s, u"S"_s, {item(u"一"_s, u"http://a.test/1"_s, at(9))}, at(10))
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
    QVERIFY(m_archive->store(u"dom"_s, u"S"_s, {item(u"二"_s, u"http://a.test/2"_s, at(9))}, at(10))
                .ok);
    QCOMPARE(m_archive->count(u"dom"_s, kDay).value, 1);
}

QTEST_GUILESS_MAIN(tst_Archive)
#include "tst_archive.moc"
