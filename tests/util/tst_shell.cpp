#include "util/Shell.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// Only the refusals: anything that reaches the desktop would open a real program.
class tst_Shell : public QObject
{
    Q_OBJECT

private slots:
    void openDocument_refusesWhatIsNoFile_data();
    void openDocument_refusesWhatIsNoFile();
};

void tst_Shell::openDocument_refusesWhatIsNoFile_data()
{
    QTest::addColumn<QString>("relative"); // below a temporary folder; "" is the folder itself

    QTest::newRow("missing file") << u"missing.qfw"_s;
    QTest::newRow("folder") << QString();
    QTest::newRow("file below a missing folder") << u"no/such.qfw"_s;
}

void tst_Shell::openDocument_refusesWhatIsNoFile()
{
    QFETCH(QString, relative);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(!OpenDocument(relative.isEmpty() ? dir.path() : dir.filePath(relative)));
    QVERIFY(!OpenDocument(QString()));
}

QTEST_GUILESS_MAIN(tst_Shell)
#include "tst_shell.moc"
