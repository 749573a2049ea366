#include "engine/ArticleText.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestArticleText : public QObject
{
    Q_OBJECT

private slots:
    void extractArticleText_data();
    void extractArticleText();
};

void TestArticleText::extractArticleText_data()
{
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("expected");

    QTest::newRow("text between the markers")
        << u"<html><!-- TextStart -->本文です<!-- TextEnd --></html>"_s << u"本文です"_s;
    QTest::newRow("br becomes CR LF")
        << u"<!-- TextStart -->one<br>two<!-- TextEnd -->"_s << u"one\r\ntwo"_s;
    QTest::newRow("two br give an empty line")
        << u"<!-- TextStart -->one<br><br>two<!-- TextEnd -->"_s << u"one\r\n\r\ntwo"_s;
    QTest::newRow("br in capitals and mixed case")
        << u"<!-- TextStart -->a<BR>b<Br>c<bR>d<!-- TextEnd -->"_s << u"a\r\nb\r\nc\r\nd"_s;
    QTest::newRow("br variants stay")
        << u"<!-- TextStart -->a<br/>b<br />c<!-- TextEnd -->"_s << u"a<br/>b<br />c"_s;
    QTest::newRow("source line breaks removed, words join")
        << u"<!-- TextStart -->first\r\nsecond<br>\r\nthird<!-- TextEnd -->"_s
        << u"firstsecond\r\nthird"_s;
    QTest::newRow("lone CR and LF stay")
        << u"<!-- TextStart -->a\rb\nc<!-- TextEnd -->"_s << u"a\rb\nc"_s;
    QTest::newRow("entities and other tags kept")
        << u"<!-- TextStart --><p>&amp;</p><!-- TextEnd -->"_s << u"<p>&amp;</p>"_s;
    QTest::newRow("first end marker ends the text")
        << u"<!-- TextStart -->a<!-- TextEnd -->b<!-- TextEnd -->"_s << u"a"_s;
    QTest::newRow("empty text") << u"<!-- TextStart --><!-- TextEnd -->"_s << QString();
    QTest::newRow("end marker without start marker")
        << u"<html>0123456789012345678901234<!-- TextEnd -->"_s << QString();
    QTest::newRow("start marker without end marker") << u"<!-- TextStart -->text"_s << QString();
    QTest::newRow("markers in the wrong order")
        << u"<!-- TextEnd -->text<!-- TextStart -->more"_s << QString();
    QTest::newRow("end before start, another end after")
        << u"<!-- TextEnd --><!-- TextStart -->text<!-- TextEnd -->"_s << QString();
    QTest::newRow("empty page") << QString() << QString();
    QTest::newRow("markers in other case are not markers")
        << u"<!-- textstart -->a<!-- TextEnd -->"_s << QString();
}

void TestArticleText::extractArticleText()
{
    QFETCH(QString, html);
    QFETCH(QString, expected);
    QCOMPARE(ExtractArticleText(html), expected);
}

QTEST_GUILESS_MAIN(TestArticleText)
#include "tst_articletext.moc"
