#include "IconvCodePage.h"
#include "util/CodePage.h"

#include <QRandomGenerator>
#include <QTest>

#include <functional>

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
    void decodesEverySequenceAsIconv_data();
    void decodesEverySequenceAsIconv();
    void encodesEveryCharacterAsIconv_data();
    void encodesEveryCharacterAsIconv();
    void mixedTextAsIconv_data();
    void mixedTextAsIconv();

private:
    IconvCodePage::Reference m_iconv;
};

namespace {

enum class Page { EucJp, Cp932 };

QString hex(QByteArrayView bytes)
{
    return QString::fromLatin1(bytes.toByteArray().toHex(' '));
}

QString units(QStringView text)
{
    QString list;
    for (QChar unit : text)
        list += QString::number(unit.unicode(), 16).rightJustified(4, u'0') + u' ';
    return list;
}

// Calls visit with every sequence of `length` bytes whose first byte is in leads, and, past
// the second byte, whose last byte is in lasts (every byte when lasts is empty).
void everySequence(int length, const QList<int> &leads, const QList<int> &lasts,
                   const std::function<bool(QByteArrayView)> &visit)
{
    QList<int> every;
    for (int b = 0; b < 256; ++b)
        every.append(b);
    char bytes[3];
    for (int lead : leads) {
        bytes[0] = char(lead);
        if (length == 1) {
            if (!visit(QByteArrayView(bytes, 1)))
                return;
            continue;
        }
        for (int second = 0; second < 256; ++second) {
            bytes[1] = char(second);
            if (length == 2) {
                if (!visit(QByteArrayView(bytes, 2)))
                    return;
                continue;
            }
            for (int third : lasts.isEmpty() ? every : lasts) {
                bytes[2] = char(third);
                if (!visit(QByteArrayView(bytes, 3)))
                    return;
            }
        }
    }
}

QList<int> range(int first, int last)
{
    QList<int> bytes;
    for (int b = first; b <= last; ++b)
        bytes.append(b);
    return bytes;
}

} // namespace

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

void tst_CodePage::decodesEverySequenceAsIconv_data()
{
    QTest::addColumn<Page>("page");
    QTest::addColumn<int>("length");
    QTest::addColumn<QList<int>>("leads");
    QTest::addColumn<QList<int>>("lasts"); // the third byte's values; empty: all

    const QList<int> all = range(0x00, 0xff);
    // Bytes that start, end or break a sequence in one of the code pages.
    const QList<int> followers = {0x00, 0x0a, 0x41, 0x7f, 0x80, 0x8e, 0x8f, 0xa0,
                                  0xa1, 0xc1, 0xdf, 0xe0, 0xfc, 0xfe, 0xff};
    QTest::newRow("euc-jp, one byte") << Page::EucJp << 1 << all << QList<int>();
    QTest::newRow("euc-jp, two bytes") << Page::EucJp << 2 << all << QList<int>();
    QTest::newRow("euc-jp, three bytes after 0x8F")
        << Page::EucJp << 3 << QList<int>{0x8f} << QList<int>();
    QTest::newRow("euc-jp, two-byte leads then another byte")
        << Page::EucJp << 3 << (QList<int>{0x8e} + range(0xa0, 0xff)) << followers;
    QTest::newRow("euc-jp, single bytes then a pair")
        << Page::EucJp << 3 << range(0x00, 0x8d) + range(0x90, 0x9f) << followers;
    QTest::newRow("cp932, one byte") << Page::Cp932 << 1 << all << QList<int>();
    QTest::newRow("cp932, two bytes") << Page::Cp932 << 2 << all << QList<int>();
    QTest::newRow("cp932, two bytes then another byte") << Page::Cp932 << 3 << all << followers;
}

void tst_CodePage::decodesEverySequenceAsIconv()
{
    QFETCH(Page, page);
    QFETCH(int, length);
    QFETCH(QList<int>, leads);
    QFETCH(QList<int>, lasts);

    qsizetype compared = 0;
    QString failure;
    everySequence(length, leads, lasts, [&](QByteArrayView bytes) {
        const QString ours =
            page == Page::EucJp ? CodePage::fromEucJp(bytes) : CodePage::fromCp932(bytes);
        const QString theirs =
            page == Page::EucJp ? m_iconv.fromEucJp(bytes) : m_iconv.fromCp932(bytes);
        ++compared;
        if (ours == theirs)
            return true;
        failure = hex(bytes) + u": "_s + units(ours) + u"instead of "_s + units(theirs);
        return false;
    });
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    QVERIFY(compared >= 256);
}

void tst_CodePage::encodesEveryCharacterAsIconv_data()
{
    QTest::addColumn<Page>("page");
    QTest::addColumn<QString>("before"); // around every character
    QTest::addColumn<QString>("after");
    QTest::addColumn<bool>("beyondBmp"); // every surrogate pair instead of every BMP unit

    const QString high(QChar(0xd83d));
    const QString low(QChar(0xde00));
    for (Page page : {Page::EucJp, Page::Cp932}) {
        const char *name = page == Page::EucJp ? "euc-jp" : "cp932";
        QTest::addRow("%s, every BMP unit", name) << page << QString() << QString() << false;
        QTest::addRow("%s, every BMP unit amid text", name)
            << page << u"日a"_s << u"b本"_s << false;
        QTest::addRow("%s, every BMP unit after a high surrogate", name)
            << page << high << QString() << false;
        QTest::addRow("%s, every BMP unit before a low surrogate", name)
            << page << QString() << low << false;
        QTest::addRow("%s, every BMP unit before a high surrogate", name)
            << page << QString() << high << false;
        QTest::addRow("%s, every code point beyond the BMP", name)
            << page << u"a"_s << u"あ"_s << true;
    }
}

void tst_CodePage::encodesEveryCharacterAsIconv()
{
    QFETCH(Page, page);
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(bool, beyondBmp);

    const char32_t first = beyondBmp ? 0x10000 : 0;
    const char32_t last = beyondBmp ? 0x10ffff : 0xffff;
    for (char32_t point = first; point <= last; ++point) {
        const QString text = before + QString::fromUcs4(&point, 1) + after;
        qsizetype ours = 0;
        qsizetype theirs = 0;
        const QByteArray bytes =
            page == Page::EucJp ? CodePage::toEucJp(text) : CodePage::toCp932(text, &ours);
        const QByteArray expected =
            page == Page::EucJp ? m_iconv.toEucJp(text) : m_iconv.toCp932(text, &theirs);
        if (bytes != expected || ours != theirs) {
            QFAIL(qPrintable(units(text) + u": "_s + hex(bytes) + u" ("_s + QString::number(ours) +
                             u" replaced) instead of "_s + hex(expected) + u" ("_s +
                             QString::number(theirs) + u")"_s));
        }
    }
}

void tst_CodePage::mixedTextAsIconv_data()
{
    QTest::addColumn<Page>("page");
    QTest::addColumn<QByteArray>("bytes");

    const QByteArray kanji = "\xb4\xc1\xbb\xfa"_ba;
    QTest::newRow("c1 bytes amid kanji") << Page::EucJp << kanji + "\x80\x85\x9f"_ba + kanji;
    QTest::newRow("0xA0 is no lead") << Page::EucJp << "\xa0\xa1\xa1\xa0"_ba;
    QTest::newRow("kana prefix with a lead after it") << Page::EucJp << "\x8e\xa4\xa2"_ba;
    QTest::newRow("0x8F with a kana prefix inside") << Page::EucJp << "\x8f\x8e\xb1\xa1"_ba;
    QTest::newRow("0x8F then 0xFF at the end") << Page::EucJp << "abc\x8f\xff"_ba;
    QTest::newRow("user-defined area") << Page::EucJp << "\xf5\xa1\x8f\xfe\xfe"_ba;
    QTest::newRow("truncated lead after text") << Page::EucJp << kanji + "\xb4"_ba;
    QTest::newRow("cp932 user-defined area") << Page::Cp932 << "\xf0\x40\xf9\xfc"_ba;
    QTest::newRow("cp932 lead before a kana byte") << Page::Cp932 << "\x81\xb1\x82"_ba;

    // A long random mix, so that iconv's buffering between its steps would show.
    for (Page page : {Page::EucJp, Page::Cp932}) {
        const QList<QByteArray> pieces =
            page == Page::EucJp
                ? QList<QByteArray>{"<p>"_ba,          kanji,     "\xa1\xc1"_ba, "\x8e\xb1"_ba,
                                    "\x8f\xa2\xaf"_ba, "\xff"_ba, "\x8f"_ba,     "\xa4"_ba,
                                    "\x8e"_ba,         "\x90"_ba, "\xad\xa1"_ba, QByteArray(1, 0)}
                : QList<QByteArray>{"<p>"_ba,      "\x93\xfa"_ba,   "\x81\x60"_ba, "\xb1"_ba,
                                    "\x80"_ba,     "\x82"_ba,       "\xfd"_ba,     "\x87\x40"_ba,
                                    "\xfb\xfc"_ba, QByteArray(1, 0)};
        QRandomGenerator random(42);
        QByteArray bytes;
        while (bytes.size() < 200000)
            bytes += pieces[random.bounded(int(pieces.size()))];
        QTest::addRow("%s, random mix", page == Page::EucJp ? "euc-jp" : "cp932") << page << bytes;
    }
}

void tst_CodePage::mixedTextAsIconv()
{
    QFETCH(Page, page);
    QFETCH(QByteArray, bytes);

    const QString text =
        page == Page::EucJp ? CodePage::fromEucJp(bytes) : CodePage::fromCp932(bytes);
    QCOMPARE(text, page == Page::EucJp ? m_iconv.fromEucJp(bytes) : m_iconv.fromCp932(bytes));
    // And back, with the replacements of what the other code page cannot hold.
    qsizetype ours = 0;
    qsizetype theirs = 0;
    QCOMPARE(CodePage::toCp932(text, &ours), m_iconv.toCp932(text, &theirs));
    QCOMPARE(ours, theirs);
    QCOMPARE(CodePage::toEucJp(text), m_iconv.toEucJp(text));
}

QTEST_GUILESS_MAIN(tst_CodePage)
#include "tst_codepage.moc"
