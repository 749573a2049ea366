#include "PageCharset.h"

#include "HtmlTree.h"
#include "util/CodePage.h"

#include <QStringDecoder>
#include <QStringList>

#include <libxml/HTMLparser.h>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

// The HTML standard looks for <meta> in the first 1024 bytes; real pages put long comments and
// scripts ahead of it, so look a little further.
constexpr qsizetype kMetaScanBytes = 8192;

struct Bom
{
    QByteArrayView bytes;
    const char *charset;
};

const Bom kBoms[] = {
    {"\xEF\xBB\xBF", "UTF-8"},
    {"\xFF\xFE", "UTF-16LE"},
    {"\xFE\xFF", "UTF-16BE"},
};

QString fromBom(const QByteArray &page)
{
    for (const Bom &bom : kBoms) {
        if (page.startsWith(bom.bytes))
            return QString::fromLatin1(bom.charset);
    }
    return {};
}

// The charset parameter of a header value such as `text/html; charset="Shift_JIS"`.
QString charsetParameter(const QString &value)
{
    const QStringList parts = value.split(u';');
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const QString part = parts.at(i).trimmed();
        const qsizetype equals = part.indexOf(u'=');
        if (equals < 0 || part.left(equals).trimmed().compare(u"charset"_s, Qt::CaseInsensitive))
            continue;
        QString charset = part.mid(equals + 1).trimmed();
        if (charset.size() >= 2 && (charset.front() == u'"' || charset.front() == u'\''))
            charset = charset.mid(1, charset.size() - 2);
        return charset.trimmed();
    }
    return {};
}

// The charset the page's <meta charset> or <meta http-equiv="Content-Type"> names. The head is
// parsed as Latin-1, which keeps every byte, since the attribute values are ASCII.
QString fromMeta(const QByteArray &page)
{
    const QByteArray head = page.left(kMetaScanBytes);
    std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)> doc(
        htmlReadMemory(head.constData(), int(head.size()), nullptr, "ISO-8859-1",
                       HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING |
                           HTML_PARSE_NONET | HTML_PARSE_IGNORE_ENC),
        xmlFreeDoc);
    if (!doc)
        return {};
    const HtmlTree::XPathResult metas = HtmlTree::Select(doc.get(), "//meta");
    if (!metas || !metas->nodesetval)
        return {};
    for (int i = 0; i < metas->nodesetval->nodeNr; ++i) {
        xmlNodePtr meta = metas->nodesetval->nodeTab[i];
        const QString charset = HtmlTree::Attribute(meta, "charset").trimmed();
        if (!charset.isEmpty())
            return charset;
        if (HtmlTree::Attribute(meta, "http-equiv")
                .trimmed()
                .compare(u"content-type"_s, Qt::CaseInsensitive) == 0) {
            const QString fromContent = charsetParameter(HtmlTree::Attribute(meta, "content"));
            if (!fromContent.isEmpty())
                return fromContent;
        }
    }
    return {};
}

} // namespace

namespace PageCharset {

QString Canonical(const QString &label)
{
    const QString name = label.trimmed().toLower();
    static const struct
    {
        const char *label;
        const char *charset;
    } kNames[] = {
        {"utf-8", "UTF-8"},
        {"utf8", "UTF-8"},
        {"unicode-1-1-utf-8", "UTF-8"},
        {"utf-16le", "UTF-16LE"},
        {"utf-16", "UTF-16LE"},
        {"utf-16be", "UTF-16BE"},
        {"shift_jis", "Shift_JIS"},
        {"shift-jis", "Shift_JIS"},
        {"sjis", "Shift_JIS"},
        {"x-sjis", "Shift_JIS"},
        {"ms_kanji", "Shift_JIS"},
        {"csshiftjis", "Shift_JIS"},
        {"windows-31j", "Shift_JIS"},
        {"cp932", "Shift_JIS"},
        {"ms932", "Shift_JIS"},
        {"euc-jp", "EUC-JP"},
        {"x-euc-jp", "EUC-JP"},
        {"eucjp", "EUC-JP"},
        {"euc_jp", "EUC-JP"},
        {"cseucpkdfmtjapanese", "EUC-JP"},
        {"ujis", "EUC-JP"},
        {"iso-8859-1", "ISO-8859-1"},
        {"latin1", "ISO-8859-1"},
        {"iso8859-1", "ISO-8859-1"},
        {"us-ascii", "ISO-8859-1"},
        {"ascii", "ISO-8859-1"},
        {"windows-1252", "ISO-8859-1"},
    };
    for (const auto &entry : kNames) {
        if (name == QLatin1StringView(entry.label))
            return QString::fromLatin1(entry.charset);
    }
    return {};
}

QString Detect(const QByteArray &page, const QString &contentType)
{
    const QString bom = fromBom(page);
    if (!bom.isEmpty())
        return bom;
    for (const QString &declared : {charsetParameter(contentType), fromMeta(page)}) {
        const QString charset = Canonical(declared);
        if (!charset.isEmpty())
            return charset;
    }
    return u"UTF-8"_s;
}

QString DecodePage(const QByteArray &page, const QString &contentType)
{
    const QString charset = Detect(page, contentType);
    QByteArrayView bytes = page;
    // A byte-order mark decides the charset, so it is never part of the text.
    for (const Bom &bom : kBoms) {
        if (page.startsWith(bom.bytes))
            bytes = bytes.sliced(bom.bytes.size());
    }
    if (charset == u"Shift_JIS")
        return CodePage::fromCp932(bytes);
    if (charset == u"EUC-JP")
        return CodePage::fromEucJp(bytes);
    if (charset == u"ISO-8859-1")
        return QString::fromLatin1(bytes);
    if (charset == u"UTF-16LE")
        return QStringDecoder(QStringDecoder::Utf16LE, QStringDecoder::Flag::Stateless)(bytes);
    if (charset == u"UTF-16BE")
        return QStringDecoder(QStringDecoder::Utf16BE, QStringDecoder::Flag::Stateless)(bytes);
    return QString::fromUtf8(bytes);
}

} // namespace PageCharset
