#include "util/CodePage.h"

#include <QTest>

using namespace Qt::StringLiterals;

class tst_CodePage : public QObject
{
    Q_OBJECT

private slots:
    void toCp932_data();
    void toCp932();
    void fromCp932_data();
    void fromCp932();
    void fromEucJp_data();
    void fromEucJp();
    void toEucJp_data();
    void toEucJp();
    void cp932RoundTripsEveryDecodableDoubleByte();
    void longTextWithFailuresKeepsEverythingElse();
};

void tst_CodePage::toCp932_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("replaced"); // characters that became "?"

    QTest::newRow("empty") << QString() << QByteArray() << 0;
    QTest::newRow("ascii") << u"News 123"_s << "News 123"_ba << 0;
    QTest::newRow("backslash stays") << u"C:\\News"_s << "C:\\News"_ba << 0;
    QTest::newRow("fullwidth at") << u"＠"_s << "\x81\x97"_ba << 0;
    QTest::newRow("fullwidth colon") << u"："_s << "\x81\x46"_ba << 0;
    QTest::newRow("fullwidth tilde") << u"～"_s << "\x81\x60"_ba << 0;
    QTest::newRow("hiragana") << u"あい"_s << "\x82\xa0\x82\xa2"_ba << 0;
    QTest::newRow("kanji") << u"次ページ"_s << "\x8e\x9f\x83\x79\x81\x5b\x83\x57"_ba << 0;
    QTest::newRow("halfwidth katakana") << u"ｱｲｳﾞ"_s << "\xb1\xb2\xb3\xde"_ba << 0;
    QTest::newRow("nec circled digit") << u"①"_s << "\x87\x40"_ba << 0;
    QTest::newRow("emoji alone") << u"😀"_s << "?"_ba << 1;
    QTest::newRow("emoji between") << u"a😀b"_s << "a?b"_ba << 1;
    QTest::newRow("two emoji") << u"😀😀"_s << "??"_ba << 2;
    QTest::newRow("latin accent") << u"café"_s << "caf?"_ba << 1;
    QTest::newRow("unmapped then kanji") << u"é日"_s << "?\x93\xfa"_ba << 1;
    QTest::newRow("lone high surrogate in middle")
        << (u"a"_s + QChar(0xD83D) + u"b"_s) << "a?b"_ba << 1;
    QTest::newRow("lone high surrogate at end") << (u"a"_s + QChar(0xD83D)) << "a?"_ba << 1;
    QTest::newRow("lone low surrogate") << (QChar(0xDE00) + u"あ"_s) << "?\x82\xa0"_ba << 1;
    QTest::newRow("a question mark of the text is not counted") << u"a?b"_s << "a?b"_ba << 0;
    QTest::newRow("kanji beyond the basic plane") << u"𠮷野家"_s << "?\x96\xec\x89\xc6"_ba << 1;
    QTest::newRow("IBM extension kanji is held") << u"髙"_s << "\xfb\xfc"_ba << 0;
    QTest::newRow("nul") << QString(QChar(0)) << QByteArray(1, '\0') << 0;
}

void tst_CodePage::toCp932()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QFETCH(int, replaced);
    QCOMPARE(CodePage::toCp932(text), bytes);
    // The count grows by this text's replacements.
    qsizetype counted = 3;
    QCOMPARE(CodePage::toCp932(text, &counted), bytes);
    QCOMPARE(counted, qsizetype(3 + replaced));
}

void tst_CodePage::fromCp932_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");

    const QChar bad = QChar::ReplacementCharacter;
    QTest::newRow("empty") << QByteArray() << QString();
    QTest::newRow("ascii and cr lf") << "a=b\r\n"_ba << u"a=b\r\n"_s;
    QTest::newRow("fullwidth tilde") << "\x81\x60"_ba << u"～"_s;
    QTest::newRow("kanji") << "\x93\xfa\x96\x7b"_ba << u"日本"_s;
    QTest::newRow("halfwidth katakana") << "\xb1\xde"_ba << u"ｱﾞ"_s;
    QTest::newRow("nul kept") << QByteArray("a\0b", 3) << (u"a"_s + QChar(0) + u"b"_s);
    QTest::newRow("undefined single byte") << "a\x80z"_ba << (u"a"_s + bad + u"z"_s);
    QTest::newRow("bad trail byte resyncs") << "\x82\x20x"_ba << (QString(bad) + u" x"_s);
    QTest::newRow("truncated lead at end") << "ab\x82"_ba << (u"ab"_s + bad);
    QTest::newRow("binary garbage") << "\xfd\xfe\xff"_ba << QString(3, bad);
}

void tst_CodePage::fromCp932()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(CodePage::fromCp932(bytes), text);
}

void tst_CodePage::fromEucJp_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");

    const QChar bad = QChar::ReplacementCharacter;
    QTest::newRow("empty") << QByteArray() << QString();
    QTest::newRow("ascii") << "<a href=\"x\">"_ba << u"<a href=\"x\">"_s;
    QTest::newRow("wave dash is fullwidth tilde") << "\xa1\xc1"_ba << u"～"_s;
    QTest::newRow("hiragana") << "\xa4\xa2"_ba << u"あ"_s;
    QTest::newRow("next page") << "\xbc\xa1\xa5\xda\xa1\xbc\xa5\xb8"_ba << u"次ページ"_s;
    QTest::newRow("halfwidth katakana") << "\x8e\xb1\x8e\xde"_ba << u"ｱﾞ"_s;
    QTest::newRow("jis x 0212") << "\x8f\xa2\xaf"_ba << u"˘"_s;
    QTest::newRow("nec circled digit") << "\xad\xa1"_ba << u"①"_s;
    QTest::newRow("nul kept") << QByteArray("\xa4\xa2\0z", 4) << (u"あ"_s + QChar(0) + u"z"_s);
    QTest::newRow("invalid pair") << "a\xff\xffz"_ba << (u"a"_s + bad + bad + u"z"_s);
    QTest::newRow("kana prefix with ascii") << "\x8e\x20z"_ba << (QString(bad) + u" z"_s);
    QTest::newRow("truncated at end") << "ok\xa4"_ba << (u"ok"_s + bad);
    QTest::newRow("truncated three byte at end") << "\x8f\xa2"_ba << QString(2, bad);
    QTest::newRow("decoding goes on after error")
        << "\xa4\xff\xa4\xa2"_ba << (QString(bad) + bad + u"あ"_s);
}

void tst_CodePage::fromEucJp()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(CodePage::fromEucJp(bytes), text);
}

void tst_CodePage::toEucJp_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("empty") << QString() << QByteArray();
    QTest::newRow("ascii") << u"abc"_s << "abc"_ba;
    QTest::newRow("fullwidth tilde") << u"～"_s << "\xa1\xc1"_ba;
    QTest::newRow("halfwidth katakana") << u"ｱ"_s << "\x8e\xb1"_ba;
    QTest::newRow("jis x 0212 takes three bytes") << u"˘˘"_s << "\x8f\xa2\xaf\x8f\xa2\xaf"_ba;
    QTest::newRow("emoji") << u"x😀y"_s << "x?y"_ba;
}

void tst_CodePage::toEucJp()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(CodePage::toEucJp(text), bytes);
    // Whatever a page carries must come back as the same text when it is read.
    if (!bytes.contains('?'))
        QCOMPARE(CodePage::fromEucJp(bytes), text);
}

void tst_CodePage::cp932RoundTripsEveryDecodableDoubleByte()
{
    // Every character read from a settings file must survive being written back.
    QString text;
    for (int lead = 0x81; lead <= 0xfc; ++lead) {
        if (lead >= 0xa0 && lead <= 0xdf)
            continue;
        for (int trail = 0x40; trail <= 0xfc; ++trail) {
            const char pair[2] = {char(lead), char(trail)};
            const QString one = CodePage::fromCp932(QByteArrayView(pair, 2));
            if (one.size() == 1 && one.front() != QChar::ReplacementCharacter)
                text += one;
        }
    }
    QVERIFY2(text.size() > 7000, qPrintable(QString::number(text.size())));
    const QByteArray encoded = CodePage::toCp932(text);
    QCOMPARE(encoded.size(), text.size() * 2);
    QCOMPARE(CodePage::fromCp932(encoded), text);
}

void tst_CodePage::longTextWithFailuresKeepsEverythingElse()
{
    QString text;
    QByteArray expected;
    for (int i = 0; i < 5000; ++i) {
        text += u"日😀a"_s;
        expected += "\x93\xfa?a"_ba;
    }
    qsizetype replaced = 0;
    QCOMPARE(CodePage::toCp932(text, &replaced), expected);
    QCOMPARE(replaced, qsizetype(5000));

    QByteArray euc;
    QString decoded;
    for (int i = 0; i < 5000; ++i) {
        euc += "\xa4\xa2\xff"_ba;
        decoded += u"あ"_s + QChar(QChar::ReplacementCharacter);
    }
    QCOMPARE(CodePage::fromEucJp(euc), decoded);
}

QTEST_GUILESS_MAIN(tst_CodePage)
#include "tst_codepage.moc"
