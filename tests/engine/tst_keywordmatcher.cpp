#include "engine/KeyWordMatcher.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestKeyWordMatcher : public QObject
{
    Q_OBJECT

private slots:
    void matchKeyWord_data();
    void matchKeyWord();
};

void TestKeyWordMatcher::matchKeyWord_data()
{
    QTest::addColumn<QStringList>("keyWords");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("expected");

    QTest::newRow("plain substring")
        << QStringList{u"株価"_s} << u"今日の株価は上昇"_s << u"株価"_s;
    QTest::newRow("no keyword contained") << QStringList{u"株価"_s} << u"天気予報"_s << QString();
    QTest::newRow("letter case ignored")
        << QStringList{u"linux"_s} << u"New LINUX kernel"_s << u"linux"_s;
    QTest::newRow("full-width title, half-width keyword")
        << QStringList{u"abc"_s} << u"ＡＢＣ社が発表"_s << u"abc"_s;
    QTest::newRow("full-width keyword, half-width title")
        << QStringList{u"ＩＴ"_s} << u"it業界"_s << u"ＩＴ"_s;
    QTest::newRow("hiragana keyword, katakana title")
        << QStringList{u"にゅーす"_s} << u"今日のニュース"_s << u"にゅーす"_s;
    QTest::newRow("katakana keyword, hiragana title")
        << QStringList{u"ニュース"_s} << u"にゅーす速報"_s << u"ニュース"_s;
    QTest::newRow("half-width katakana title")
        << QStringList{u"カタカナ"_s} << u"ｶﾀｶﾅ表記"_s << u"カタカナ"_s;
    QTest::newRow("half-width voiced katakana")
        << QStringList{u"ガス"_s} << u"ｶﾞｽ料金"_s << u"ガス"_s;
    QTest::newRow("first keyword in list order wins")
        << QStringList{u"日本銀行"_s, u"銀行"_s} << u"日本銀行が利上げ"_s << u"日本銀行"_s;
    QTest::newRow("later keyword when the first is absent")
        << QStringList{u"証券"_s, u"銀行"_s} << u"日本銀行が利上げ"_s << u"銀行"_s;
    QTest::newRow("shorter keyword listed first wins")
        << QStringList{u"銀行"_s, u"日本銀行"_s} << u"日本銀行が利上げ"_s << u"銀行"_s;
    QTest::newRow("empty keyword never matches")
        << QStringList{QString()} << u"どんな見出しでも"_s << QString();
    QTest::newRow("empty keyword skipped, next one matches")
        << QStringList{QString(), u"見出し"_s} << u"どんな見出しでも"_s << u"見出し"_s;
    QTest::newRow("keyword longer than title")
        << QStringList{u"長いキーワード"_s} << u"長い"_s << QString();
    QTest::newRow("empty title") << QStringList{u"a"_s} << QString() << QString();
    QTest::newRow("no keywords") << QStringList{} << u"title"_s << QString();
    QTest::newRow("title with NUL") << QStringList{u"b"_s} << u"a\u0000b"_s << u"b"_s;
}

void TestKeyWordMatcher::matchKeyWord()
{
    QFETCH(QStringList, keyWords);
    QFETCH(QString, title);
    QFETCH(QString, expected);

    const KeyWordMatcher matcher(keyWords);
    const QString found = matcher.MatchKeyWord(title);
    QCOMPARE(found, expected);
    // An empty result means "no match" to the parser: a match must never be empty.
    QCOMPARE(found.isEmpty(), expected.isEmpty());
}

QTEST_GUILESS_MAIN(TestKeyWordMatcher)
#include "tst_keywordmatcher.moc"
