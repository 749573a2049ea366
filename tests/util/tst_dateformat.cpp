#include "util/DateFormat.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestDateFormat : public QObject
{
    Q_OBJECT

private slots:
    void formatDate_data();
    void formatDate();
};

void TestDateFormat::formatDate_data()
{
    QTest::addColumn<QDateTime>("when");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("expected");

    const QDateTime morning(QDate(2001, 2, 3), QTime(4, 5, 6));
    const QDateTime evening(QDate(2024, 11, 28), QTime(23, 59, 58));

    QTest::newRow("default file-name pattern") << evening << u"yyyymmdd"_s << u"20241128"_s;
    QTest::newRow("output date, padded") << morning << u"yyyy/mm/dd"_s << u"2001/02/03"_s;
    QTest::newRow("output date-time")
        << morning << u"yyyy/mm/dd(hh:nn)"_s << u"2001/02/03(04:05)"_s;
    QTest::newRow("output date-time, late")
        << evening << u"yyyy/mm/dd(hh:nn)"_s << u"2024/11/28(23:59)"_s;
    QTest::newRow("previous-day prefix") << morning << u"yymmdd"_s << u"010203"_s;
    QTest::newRow("log clock in capitals") << morning << u"HH:MM:SS"_s << u"04:05:06"_s;
    QTest::newRow("mm right after hh is minutes") << morning << u"hhmm"_s << u"0405"_s;
    QTest::newRow("mm after hh across text") << morning << u"hh時mm分"_s << u"04時05分"_s;
    QTest::newRow("a year code between hh and mm: the month")
        << morning << u"hhyymm"_s << u"040102"_s;
    QTest::newRow("mm after a date code is the month") << morning << u"dd mm"_s << u"03 02"_s;
    QTest::newRow("month again after minutes were shown")
        << morning << u"hh:nn dd.mm"_s << u"04:05 03.02"_s;
    QTest::newRow("single letters are unpadded") << morning << u"y-m-d h:n:s"_s << u"y-2-3 4:5:6"_s;
    QTest::newRow("m after h is minutes") << morning << u"h:m"_s << u"4:5"_s;
    QTest::newRow("mixed case codes") << evening << u"YyYy-Mm-Dd"_s << u"2024-11-28"_s;
    QTest::newRow("three y give a two-digit year and a y") << morning << u"yyy"_s << u"01y"_s;
    QTest::newRow("five y give the year and a y") << morning << u"yyyyy"_s << u"2001y"_s;
    QTest::newRow("other characters copied") << morning << u"Clip_[ab]ce"_s << u"Clip_[ab]ce"_s;
    QTest::newRow("empty pattern") << morning << QString() << QString();
    QTest::newRow("small year keeps four digits")
        << QDateTime(QDate(987, 6, 5), QTime(0, 0)) << u"yyyy yy"_s << u"0987 87"_s;
}

void TestDateFormat::formatDate()
{
    QFETCH(QDateTime, when);
    QFETCH(QString, pattern);
    QFETCH(QString, expected);
    QCOMPARE(FormatDate(when, pattern), expected);
}

QTEST_GUILESS_MAIN(TestDateFormat)
#include "tst_dateformat.moc"
