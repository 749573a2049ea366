#include "PageCharset.h"
#include "util/CodePage.h"

#include <QTest>

using namespace Qt::StringLiterals;

class tst_PageCharset : public QObject
{
    Q_OBJECT

private slots:
    void detect_data();
    void detect();
    void decodePage_data();
    void decodePage();
};

namespace {

QByteArray page(const QByteArray &head, const QByteArray &body = "<p>x</p>")
{
    return "<!DOCTYPE html><html><head>" + head + "</head><body>" + body + "</body></html>";
}

} // namespace

void tst_PageCharset::detect_data()
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
    QTest::newRow("meta in the body is too late")
        << page("", QByteArray(9000, 'x') + "<meta charset=\"euc-jp\">") << QString() << u"UTF-8"_s;
    QTest::newRow("latin-1") << page("<meta charset=\"iso-8859-1\">") << QString()
                             << u"ISO-8859-1"_s;
}

void tst_PageCharset::detect()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, contentType);
    QFETCH(QString, charset);
    QCOMPARE(PageCharset::Detect(bytes, contentType), charset);
}

void tst_PageCharset::decodePage_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("contentType");
    QTest::addColumn<QString>("text");

    // Vendor characters are where a plain Shift_JIS or EUC-JP decoder gives up.
    const QString japanese = u"髙橋さんの①～②、﨑"_s;
    QTest::newRow("utf-8") << japanese.toUtf8() << u"text/html; charset=utf-8"_s << japanese;
    QTest::newRow("cp932 vendor characters")
        << CodePage::toCp932(japanese) << u"text/html; charset=Shift_JIS"_s << japanese;
    QTest::newRow("euc-jp vendor characters")
        << CodePage::toEucJp(japanese) << u"text/html; charset=EUC-JP"_s << japanese;
    QTest::newRow("utf-8 bom stripped")
        << ("\xEF\xBB\xBF"_ba + japanese.toUtf8()) << QString() << japanese;
    QTest::newRow("utf-16le bom stripped")
        << "\xFF\xFE\x42\x30\x44\x30"_ba << QString() << u"あい"_s;
    QTest::newRow("meta names euc-jp")
        << ("<meta charset=\"EUC-JP\">"_ba + CodePage::toEucJp(u"日本"_s)) << QString()
        << u"<meta charset=\"EUC-JP\">日本"_s;
    QTest::newRow("latin-1") << "caf\xE9"_ba << u"text/html; charset=iso-8859-1"_s << u"café"_s;
}

void tst_PageCharset::decodePage()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, contentType);
    QFETCH(QString, text);
    QCOMPARE(PageCharset::DecodePage(bytes, contentType), text);
}

QTEST_GUILESS_MAIN(tst_PageCharset)
#include "tst_pagecharset.moc"
