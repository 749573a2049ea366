#include "startup/CategoryTable.h"

#include <QTest>

using namespace Qt::StringLiterals;

class tst_categorytable : public QObject
{
    Q_OBJECT

private slots:
    void entries_data();
    void entries();
    void secondCall_replacesWholeTable();
    void baseUrl_data();
    void baseUrl();
};

void tst_categorytable::entries_data()
{
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("entry");

    QTest::newRow("todayFirst") << QString() << 0 << u"/headlines/dom/"_s;
    QTest::newRow("todayLast") << QString() << 11 << u"/headlines/clm/"_s;
    QTest::newRow("placeholderRow") << QString() << 5 << u"/headlines/---/"_s;
    QTest::newRow("earlierDaySports") << u"011231/"_s << 7 << u"/headlines/011231/spo/"_s;
    QTest::newRow("earlierDayRegional") << u"011231/"_s << 8 << u"/headlines/011231/---/"_s;
}

void tst_categorytable::entries()
{
    QFETCH(QString, prefix);
    QFETCH(int, index);
    QFETCH(QString, entry);

    CategoryTable table;
    table.MakeCategoryURL(prefix);
    QCOMPARE(table.CategoryURL.at(std::size_t(index)), entry);
}

void tst_categorytable::secondCall_replacesWholeTable()
{
    CategoryTable table;
    table.MakeCategoryURL(u"011231/"_s);
    table.MakeCategoryURL(u"020101/"_s);

    QCOMPARE(int(table.CategoryURL.size()), CategoryCount);
    for (const QString &entry : table.CategoryURL) {
        QVERIFY2(entry.startsWith(u"/headlines/020101/"_s), qPrintable(entry));
        QCOMPARE(entry.size(), u"/headlines/020101/dom/"_s.size());
    }
}

void tst_categorytable::baseUrl_data()
{
    QTest::addColumn<QString>("configured");
    QTest::addColumn<QString>("expected");

    QTest::newRow("none") << QString() << u"http://127.0.0.1:8642"_s;
    QTest::newRow("plain") << u"http://127.0.0.1:9000"_s << u"http://127.0.0.1:9000"_s;
    QTest::newRow("trailingSlash") << u"http://127.0.0.1:9000/"_s << u"http://127.0.0.1:9000"_s;
    QTest::newRow("onlyOneSlashTrimmed") << u"http://localhost//"_s << u"http://localhost/"_s;
}

void tst_categorytable::baseUrl()
{
    QFETCH(QString, configured);
    QFETCH(QString, expected);

    QCOMPARE(PortalBaseURL(configured), expected);
}

QTEST_GUILESS_MAIN(tst_categorytable)
#include "tst_categorytable.moc"
