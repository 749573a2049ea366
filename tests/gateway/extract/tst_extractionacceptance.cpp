#include "ExtractionAcceptance.h"

#include <QTest>

using namespace Qt::StringLiterals;

class tst_ExtractionAcceptance : public QObject
{
    Q_OBJECT

private slots:
    void accepts_data();
    void accepts();
};

namespace {

// 60 characters, a whole news item.
const QString kItem =
    u"７日午前の東京株式市場で日経平均株価は続伸し、午前終値は前日比１２０円高の３万９８６２円だった。"_s;
const QString kSummary = u"日経平均株価は続伸した。"_s;

QStringList longText()
{
    return {kItem, kItem + kItem};
}

} // namespace

void tst_ExtractionAcceptance::accepts_data()
{
    QTest::addColumn<QStringList>("paragraphs");
    QTest::addColumn<bool>("fromContainer");
    QTest::addColumn<QString>("summary");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("long enough to be an article") << longText() << false << kSummary << true;
    QTest::newRow("long, without a summary") << longText() << false << QString() << true;
    QTest::newRow("nothing found") << QStringList{} << true << kSummary << false;
    QTest::newRow("short item in an article container")
        << QStringList{kItem} << true << kSummary << true;
    QTest::newRow("short item, no summary, in a container")
        << QStringList{kItem} << true << QString() << true;
    QTest::newRow("short text where nothing looks like an article")
        << QStringList{kItem} << false << kSummary << false;
    QTest::newRow("a label in a container is no item")
        << QStringList{u"写真特集　清水の舞台、よみがえった屋根　大改修を終えて法要"_s} << true
        << QString() << false;
    QTest::newRow("too short even in a container")
        << QStringList{u"東北新幹線、全線で運転を再開。"_s} << true << QString() << false;
    QTest::newRow("says no more than the summary")
        << QStringList{kItem} << true << kItem + u"関係者が明らかにした。"_s << false;
    QTest::newRow("the summary itself") << QStringList{kItem} << true << kItem << false;
    QTest::newRow("long but shorter than the summary")
        << longText() << false << longText().join(QString()) + kItem << false;
    QTest::newRow("holds the summary and adds to it")
        << QStringList{kSummary, u"半導体関連株に買いが入った。"_s} << false << kSummary << true;
    QTest::newRow("holds the summary, adds too little")
        << QStringList{kSummary + u"午前。"_s} << false << kSummary << false;
    QTest::newRow("holds a summary cut short with an ellipsis")
        << QStringList{kSummary, u"半導体関連株に買いが入った。"_s} << false
        << u"日経平均株価は続…"_s << true;
    QTest::newRow("holds the summary printed in another width")
        << QStringList{u"日経平均株価は続伸し、１２０円高となった。"_s,
                       u"半導体関連株に買いが入った。"_s}
        << false << u"日経平均株価は続伸し、120円高となった。"_s << true;
}

void tst_ExtractionAcceptance::accepts()
{
    QFETCH(QStringList, paragraphs);
    QFETCH(bool, fromContainer);
    QFETCH(QString, summary);
    QFETCH(bool, accepted);
    MainTextResult extraction;
    extraction.paragraphs = paragraphs;
    extraction.fromArticleContainer = fromContainer;
    QCOMPARE(AcceptsExtraction(extraction, summary), accepted);
}

QTEST_GUILESS_MAIN(tst_ExtractionAcceptance)
#include "tst_extractionacceptance.moc"
