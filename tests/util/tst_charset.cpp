// The one charset module: names, declarations, and text where the declaration is wrong.
#include "util/Charset.h"
#include "util/CodePage.h"

#include <QTest>

using namespace Qt::StringLiterals;

class tst_Charset : public QObject
{
    Q_OBJECT

private slots:
    void canonical_data();
    void canonical();
    void ofPage_data();
    void ofPage();
    void ofXml_data();
    void ofXml();
    void decodePage_data();
    void decodePage();
    void decodeAs_takesTheNameAtItsWord();
};

namespace {

QByteArray page(const QByteArray &head, const QByteArray &body = "<p>x</p>")
{
    return "<!DOCTYPE html><html><head>" + head + "</head><body>" + body + "</body></html>";
}

// Vendor characters are where a plain Shift_JIS or EUC-JP decoder gives up.
const QString kJapanese = u"髙橋さんの①～②、﨑"_s;

} // namespace

void tst_Charset::canonical_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("charset");

    QTest::newRow("utf8, spaced") << u" UTF8 "_s << u"UTF-8"_s;
    QTest::newRow("windows-31j") << u"Windows-31J"_s << u"Shift_JIS"_s;
    QTest::newRow("x-sjis") << u"x-sjis"_s << u"Shift_JIS"_s;
    QTest::newRow("cp932") << u"CP932"_s << u"Shift_JIS"_s;
    QTest::newRow("x-euc-jp") << u"x-euc-jp"_s << u"EUC-JP"_s;
    QTest::newRow("ujis") << u"ujis"_s << u"EUC-JP"_s;
    QTest::newRow("latin1") << u"latin1"_s << u"ISO-8859-1"_s;
    QTest::newRow("us-ascii") << u"US-ASCII"_s << u"ISO-8859-1"_s;
    QTest::newRow("windows-1252") << u"Windows-1252"_s << u"windows-1252"_s;
    QTest::newRow("cp1252") << u"cp1252"_s << u"windows-1252"_s;
    QTest::newRow("utf-16 without an order") << u"utf-16"_s << u"UTF-16LE"_s;
    QTest::newRow("unknown") << u"bogus"_s << QString();
    QTest::newRow("empty") << QString() << QString();
}

void tst_Charset::canonical()
{
    QFETCH(QString, label);
    QFETCH(QString, charset);
    QCOMPARE(Charset::Canonical(label), charset);
}

void tst_Charset::ofPage_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("contentType");
    QTest::addColumn<QString>("charset");

    QTest::newRow("nothing declared") << page("") << QString() << u"UTF-8"_s;
    QTest::newRow("header") << page("") << u"text/html; charset=Shift_JIS"_s << u"Shift_JIS"_s;
    QTest::newRow("header quoted, upper case")
        << page("") << u"text/html;CHARSET=\"EUC-JP\""_s << u"EUC-JP"_s;
    QTest::newRow("header without charset")
        << page("<meta charset=\"euc-jp\">") << u"text/html"_s << u"EUC-JP"_s;
    QTest::newRow("meta charset") << page("<meta charset=\"shift_jis\">") << QString()
                                  << u"Shift_JIS"_s;
    QTest::newRow("meta charset unquoted")
        << page("<meta charset=x-sjis>") << QString() << u"Shift_JIS"_s;
    QTest::newRow("meta http-equiv")
        << page("<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=EUC-JP\">")
        << QString() << u"EUC-JP"_s;
    QTest::newRow("meta http-equiv, content first")
        << page("<meta content='text/html; charset=Shift_JIS' http-equiv=content-type />")
        << QString() << u"Shift_JIS"_s;
    QTest::newRow("windows-31j alias")
        << page("<meta charset=\"Windows-31J\">") << QString() << u"Shift_JIS"_s;
    QTest::newRow("header beats meta")
        << page("<meta charset=\"shift_jis\">") << u"text/html; charset=utf-8"_s << u"UTF-8"_s;
    QTest::newRow("unknown header falls to meta")
        << page("<meta charset=\"euc-jp\">") << u"text/html; charset=bogus"_s << u"EUC-JP"_s;
    QTest::newRow("bom beats header")
        << ("\xEF\xBB\xBF"_ba + page("")) << u"text/html; charset=Shift_JIS"_s << u"UTF-8"_s;
    QTest::newRow("utf-16le bom") << "\xFF\xFE<\0h\0"_ba << QString() << u"UTF-16LE"_s;
    QTest::newRow("meta after a long comment")
        << page("<!--" + QByteArray(3000, '-') + "--><meta charset=\"euc-jp\">") << QString()
        << u"EUC-JP"_s;
    QTest::newRow("meta inside a comment is no meta")
        << page("<!-- <meta charset=\"euc-jp\"> -->") << QString() << u"UTF-8"_s;
    QTest::newRow("\">\" in a quoted value does not end the tag early")
        << page("<link title='a>b <meta charset=euc-jp>'><meta charset=\"shift_jis\">") << QString()
        << u"Shift_JIS"_s;
    QTest::newRow("meta in the body is too late")
        << page("", QByteArray(9000, 'x') + "<meta charset=\"euc-jp\">") << QString() << u"UTF-8"_s;
    QTest::newRow("latin-1") << page("<meta charset=\"iso-8859-1\">") << QString()
                             << u"ISO-8859-1"_s;
    QTest::newRow("windows-1252") << page("<meta charset=\"windows-1252\">") << QString()
                                  << u"windows-1252"_s;
}

void tst_Charset::ofPage()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, contentType);
    QFETCH(QString, charset);
    QCOMPARE(Charset::OfPage(bytes, contentType), charset);
}

void tst_Charset::ofXml_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("contentType");
    QTest::addColumn<QString>("charset");

    QTest::newRow("declaration") << "<?xml version=\"1.0\" encoding=\"EUC-JP\"?><rss/>"_ba
                                 << QString() << u"EUC-JP"_s;
    QTest::newRow("declaration, single quotes and spaces")
        << "<?xml version='1.0' encoding = 'Shift_JIS' ?><rss/>"_ba << QString() << u"Shift_JIS"_s;
    QTest::newRow("declaration beats header")
        << "<?xml version=\"1.0\" encoding=\"EUC-JP\"?><rss/>"_ba << u"text/xml; charset=utf-8"_s
        << u"EUC-JP"_s;
    QTest::newRow("unknown declaration falls to header")
        << "<?xml version=\"1.0\" encoding=\"x-nothing\"?><rss/>"_ba
        << u"text/xml; charset=Shift_JIS"_s << u"Shift_JIS"_s;
    QTest::newRow("no declaration: header")
        << "<rss/>"_ba << u"text/xml; charset=euc-jp"_s << u"EUC-JP"_s;
    QTest::newRow("a declaration later on is none")
        << " <?xml version=\"1.0\" encoding=\"EUC-JP\"?><rss/>"_ba << QString() << u"UTF-8"_s;
    QTest::newRow("bom beats declaration")
        << "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"EUC-JP\"?>"_ba << QString() << u"UTF-8"_s;
    QTest::newRow("nothing") << "<rss/>"_ba << QString() << u"UTF-8"_s;
}

void tst_Charset::ofXml()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, contentType);
    QFETCH(QString, charset);
    QCOMPARE(Charset::OfXml(bytes, contentType), charset);
}

void tst_Charset::decodePage_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("contentType");
    QTest::addColumn<QString>("text");

    QTest::newRow("utf-8") << kJapanese.toUtf8() << u"text/html; charset=utf-8"_s << kJapanese;
    QTest::newRow("cp932 vendor characters")
        << CodePage::toCp932(kJapanese) << u"text/html; charset=Shift_JIS"_s << kJapanese;
    QTest::newRow("euc-jp vendor characters")
        << CodePage::toEucJp(kJapanese) << u"text/html; charset=EUC-JP"_s << kJapanese;
    QTest::newRow("utf-8 bom stripped")
        << ("\xEF\xBB\xBF"_ba + kJapanese.toUtf8()) << QString() << kJapanese;
    QTest::newRow("utf-16le bom stripped")
        << "\xFF\xFE\x42\x30\x44\x30"_ba << QString() << u"あい"_s;
    QTest::newRow("meta names euc-jp")
        << ("<meta charset=\"EUC-JP\">"_ba + CodePage::toEucJp(u"日本"_s)) << QString()
        << u"<meta charset=\"EUC-JP\">日本"_s;
    QTest::newRow("latin-1") << "caf\xE9"_ba << u"text/html; charset=iso-8859-1"_s << u"café"_s;
    QTest::newRow("windows-1252: curly quotes, dashes and the euro sign")
        << "\x93Quoted\x94 \x96 \x80"
           "5 \x85"_ba
        << u"text/html; charset=windows-1252"_s << u"“Quoted” – €5 …"_s;
    QTest::newRow("latin-1 label, windows-1252 bytes")
        << "\x91it\x92s\x99"_ba << u"text/html; charset=ISO-8859-1"_s << u"‘it’s™"_s;
    // Wrong declarations: the bytes win.
    QTest::newRow("valid UTF-8 declared as Shift_JIS")
        << ("<meta charset=\"Shift_JIS\">"_ba + kJapanese.toUtf8()) << QString()
        << u"<meta charset=\"Shift_JIS\">"_s + kJapanese;
    QTest::newRow("valid UTF-8 declared as EUC-JP")
        << kJapanese.toUtf8() << u"text/html; charset=EUC-JP"_s << kJapanese;
    QTest::newRow("valid UTF-8 declared as windows-1252")
        << u"café “€”"_s.toUtf8() << u"text/html; charset=windows-1252"_s << u"café “€”"_s;
    QTest::newRow("Shift_JIS declared as UTF-8")
        << CodePage::toCp932(kJapanese) << u"text/html; charset=UTF-8"_s << kJapanese;
    QTest::newRow("EUC-JP declared as UTF-8")
        << CodePage::toEucJp(kJapanese) << u"text/html; charset=UTF-8"_s << kJapanese;
    QTest::newRow("Shift_JIS declaring nothing")
        << page("", CodePage::toCp932(u"ニュース"_s)) << QString()
        << QString::fromUtf8(page("", u"ニュース"_s.toUtf8()));
    QTest::newRow("UTF-8 with a damaged byte stays UTF-8")
        << (kJapanese.toUtf8() + "\xFF") << u"text/html; charset=utf-8"_s
        << kJapanese + QChar(QChar::ReplacementCharacter);
    QTest::newRow("ASCII declared as Shift_JIS")
        << "plain text"_ba << u"text/html; charset=Shift_JIS"_s << u"plain text"_s;
}

void tst_Charset::decodePage()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, contentType);
    QFETCH(QString, text);
    QCOMPARE(Charset::DecodePage(bytes, contentType), text);
}

void tst_Charset::decodeAs_takesTheNameAtItsWord()
{
    // The portal's pages are EUC-JP by definition: valid UTF-8 there is read as EUC-JP too.
    const QByteArray utf8 = u"日本"_s.toUtf8();
    QCOMPARE(Charset::DecodeAs(utf8, u"EUC-JP"), CodePage::fromEucJp(utf8));
    QCOMPARE(Charset::DecodeAs(CodePage::toCp932(kJapanese), u"Shift_JIS"), kJapanese);
    QCOMPARE(Charset::DecodeAs("\x80"_ba, u"windows-1252"), u"€"_s);
}

QTEST_GUILESS_MAIN(tst_Charset)
#include "tst_charset.moc"
