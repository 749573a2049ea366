#include "util/Version.h"

#include <QTest>

using namespace Qt::StringLiterals;

// The texts the program shows its version in. A version bump changes this table, and only it.
class tst_Version : public QObject
{
    Q_OBJECT

private slots:
    void texts_data();
    void texts();
};

void tst_Version::texts_data()
{
    QTest::addColumn<QString>("actual");
    QTest::addColumn<QString>("expected");

    QTest::newRow("version text") << VersionText() << u" Ver.1.0.0"_s;
    QTest::newRow("window title") << ProgramTitle() << u"Varnholt Ver.1.0.0"_s;
    QTest::newRow("user agent") << UserAgent() << u"Varnholt/1.0.0"_s;
}

void tst_Version::texts()
{
    QFETCH(QString, actual);
    QFETCH(QString, expected);
    QCOMPARE(actual, expected);
}

QTEST_GUILESS_MAIN(tst_Version)
#include "tst_version.moc"
