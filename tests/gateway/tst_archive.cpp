// The archive: placement by day and category, duplicates, pruning, and survival of a reopen.
#include "archive/Archive.h"

#include <QTemporaryDir>
#include <QTest>

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
    QCOMPARE(titles(m_archive->list(u"dom"_s, kDay, 0, 10)),
             (QStringList{u"日付なし"_s, u"未来"_s, u"夜"_s, u"朝"_s}));
    QCOMPARE(titles(m_archive->list(u"dom"_s, kDay.addDays(-1), 0, 10)), QStringList{u"前日"_s});
    QCOMPARE(m_archive->count(u"dom"_s, kDay), 4);
    QCOMPARE(titles(m_archive->list(u"dom"_s, kDay, 1, 2)), (QStringList{u"未来"_s, u"夜"_s}));
    QCOMPARE(m_archive->count(u"int"_s, kDay), 0);
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
    QCOMPARE(m_archive->count(u"dom"_s, kDay), domCount);
    if (secondCode != u"dom")
        QCOMPARE(m_archive->count(secondCode, kDay), otherCount);
    const auto first = m_archive->list(u"dom"_s, kDay, 0, 10).constLast();
    const QList<ArchivedItem> seconds = m_archive->list(secondCode, kDay, 0, 10);
    if (sameId && secondCode != u"dom")
        QCOMPARE(seconds.first().id, first.id);
    // An item keeps its first title and its categories in the order it was placed.
    if (sameId)
        QCOMPARE(m_archive->item(first.id)->title, u"見出し"_s);
}

void tst_Archive::prune_dropsOldDaysOnly()
{
    m_archive->store(u"dom"_s, u"S"_s,
                     {item(u"古い"_s, u"http://a.test/1"_s, at(9, -15)),
                      item(u"境目"_s, u"http://a.test/2"_s, at(9, -14)),
                      item(u"今日"_s, u"http://a.test/3"_s, at(9))},
                     at(10));
    const qint64 oldId = m_archive->list(u"dom"_s, kDay.addDays(-15), 0, 1).first().id;
    m_archive->storeArticle(oldId, {{u"本文"_s}, at(10), true});
    m_archive->prune(kDay.addDays(-14));
    QCOMPARE(m_archive->count(u"dom"_s, kDay.addDays(-15)), 0);
    QCOMPARE(m_archive->count(u"dom"_s, kDay.addDays(-14)), 1);
    QCOMPARE(m_archive->count(u"dom"_s, kDay), 1);
    QVERIFY(!m_archive->item(oldId));
    QVERIFY(!m_archive->article(oldId));
}

void tst_Archive::reopen_keepsItemsArticlesAndFeedState()
{
    m_archive->store(u"dom"_s, u"S"_s, {item(u"一"_s, u"http://a.test/1"_s, at(9))}, at(10));
    const qint64 id = m_archive->list(u"dom"_s, kDay, 0, 1).first().id;
    m_archive->storeArticle(id, {{u"第一段落"_s, u"第二段落"_s}, at(10), true});
    m_archive->storeFeedState(u"dom http://a.test/f"_s,
                              {"\"e\"", "Wed, 01 May 2024 00:00:00 GMT", at(10), at(11)});
    m_archive = std::make_unique<Archive>();
    const FileResult reopened = m_archive->open(path());
    QVERIFY2(reopened.ok, qPrintable(reopened.error));

    QCOMPARE(titles(m_archive->list(u"dom"_s, kDay, 0, 10)), QStringList{u"一"_s});
    const auto article = m_archive->article(id);
    QVERIFY(article);
    QCOMPARE(article->paragraphs, (QStringList{u"第一段落"_s, u"第二段落"_s}));
    QVERIFY(article->complete);
    const FeedState state = m_archive->feedState(u"dom http://a.test/f"_s);
    QCOMPARE(state.etag, QByteArray("\"e\""));
    QCOMPARE(state.checked, at(10));
    QCOMPARE(state.retryAfter, at(11));
    QVERIFY(!m_archive->feedState(u"int http://a.test/f"_s).checked.isValid());
}

QTEST_GUILESS_MAIN(tst_Archive)
#include "tst_archive.moc"
