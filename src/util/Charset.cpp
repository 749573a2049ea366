#include "util/Charset.h"

#include "util/CodePage.h"

#include <QList>
#include <QStringDecoder>

#include <algorithm>
#include <array>

using namespace Qt::StringLiterals;

namespace {

// The HTML standard looks for <meta> in the first 1024 bytes; real pages put long comments and
// scripts ahead of it, so look a little further.
constexpr qsizetype kMetaScanBytes = 8192;

const auto kUtf8 = u"UTF-8"_s;
const auto kUtf16Le = u"UTF-16LE"_s;
const auto kUtf16Be = u"UTF-16BE"_s;
const auto kShiftJis = u"Shift_JIS"_s;
const auto kEucJp = u"EUC-JP"_s;
const auto kLatin1 = u"ISO-8859-1"_s;
const auto kWindows1252 = u"windows-1252"_s;

struct Alias
{
    const char *label;
    const QString &charset;
};

// Every spelling met in headers, declarations and <meta>, lower case.
const Alias kAliases[] = {
    {"utf-8", kUtf8},
    {"utf8", kUtf8},
    {"unicode-1-1-utf-8", kUtf8},
    {"utf-16le", kUtf16Le},
    {"utf-16", kUtf16Le},
    {"utf-16be", kUtf16Be},
    {"shift_jis", kShiftJis},
    {"shift-jis", kShiftJis},
    {"sjis", kShiftJis},
    {"x-sjis", kShiftJis},
    {"ms_kanji", kShiftJis},
    {"csshiftjis", kShiftJis},
    {"windows-31j", kShiftJis},
    {"cp932", kShiftJis},
    {"ms932", kShiftJis},
    {"euc-jp", kEucJp},
    {"x-euc-jp", kEucJp},
    {"eucjp", kEucJp},
    {"euc_jp", kEucJp},
    {"euc-jp-ms", kEucJp},
    {"cseucpkdfmtjapanese", kEucJp},
    {"ujis", kEucJp},
    {"iso-8859-1", kLatin1},
    {"iso8859-1", kLatin1},
    {"iso_8859-1", kLatin1},
    {"latin1", kLatin1},
    {"l1", kLatin1},
    {"us-ascii", kLatin1},
    {"ascii", kLatin1},
    {"windows-1252", kWindows1252},
    {"cp1252", kWindows1252},
    {"x-cp1252", kWindows1252},
};

struct Bom
{
    QByteArrayView bytes;
    const QString &charset;
};

const Bom kBoms[] = {
    {"\xEF\xBB\xBF", kUtf8},
    {"\xFF\xFE", kUtf16Le},
    {"\xFE\xFF", kUtf16Be},
};

// windows-1252's bytes 0x80-0x9F; the five it leaves undefined stay the C1 controls.
constexpr std::array<char16_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString fromWindows1252(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(text.data());
    for (const char byte : bytes) {
        const auto value = static_cast<unsigned char>(byte);
        *out++ = value >= 0x80 && value < 0xA0 ? kWindows1252High[value - 0x80] : char16_t(value);
    }
    return text;
}

// How much of the bytes reads as UTF-8: the well-formed sequences of two to four bytes, and the
// bytes that start no well-formed sequence.
struct Utf8Reading
{
    qsizetype sequences = 0;
    qsizetype faults = 0;
};

Utf8Reading readUtf8(QByteArrayView bytes)
{
    Utf8Reading reading;
    const auto *in = reinterpret_cast<const unsigned char *>(bytes.data());
    const auto *const end = in + bytes.size();
    while (in < end) {
        const unsigned char lead = *in;
        if (lead < 0x80) {
            ++in;
            continue;
        }
        int length = 0;
        unsigned char low = 0x80;  // the second byte's range, narrowed against overlong and
        unsigned char high = 0xBF; // surrogate forms and code points above U+10FFFF
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            low = lead == 0xE0 ? 0xA0 : 0x80;
            high = lead == 0xED ? 0x9F : 0xBF;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        }
        bool wellFormed = length > 0 && end - in >= length && in[1] >= low && in[1] <= high;
        for (int i = 2; wellFormed && i < length; ++i)
            wellFormed = in[i] >= 0x80 && in[i] <= 0xBF;
        if (wellFormed) {
            ++reading.sequences;
            in += length;
        } else {
            ++reading.faults;
            ++in;
        }
    }
    return reading;
}

bool hasFault(QStringView text, bool controlsAreFaults)
{
    return std::any_of(text.begin(), text.end(), [&](QChar c) {
        return c == QChar::ReplacementCharacter ||
               (controlsAreFaults && c.unicode() >= 0x80 && c.unicode() < 0xA0);
    });
}

QString firstKnown(std::initializer_list<QString> labels)
{
    for (const QString &label : labels) {
        const QString charset = Charset::Canonical(label);
        if (!charset.isEmpty())
            return charset;
    }
    return {};
}

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

// One attribute of a tag from at, as the HTML standard's prescan reads it; at moves past it. An
// empty name: the tag ends at at (or the bytes do).
struct Attribute
{
    QByteArray name;
    QByteArray value;
};

Attribute readAttribute(QByteArrayView bytes, qsizetype &at)
{
    Attribute attribute;
    while (at < bytes.size() && (isSpace(bytes[at]) || bytes[at] == '/'))
        ++at;
    if (at >= bytes.size() || bytes[at] == '>')
        return attribute;
    while (at < bytes.size() && bytes[at] != '=' && bytes[at] != '>' && bytes[at] != '/' &&
           !isSpace(bytes[at])) {
        attribute.name += lower(bytes[at]);
        ++at;
    }
    while (at < bytes.size() && isSpace(bytes[at]))
        ++at;
    if (at >= bytes.size() || bytes[at] != '=')
        return attribute;
    ++at;
    while (at < bytes.size() && isSpace(bytes[at]))
        ++at;
    if (at < bytes.size() && (bytes[at] == '"' || bytes[at] == '\'')) {
        const char quote = bytes[at++];
        const qsizetype close = bytes.indexOf(quote, at);
        const qsizetype stop = close < 0 ? bytes.size() : close;
        attribute.value = bytes.sliced(at, stop - at).toByteArray();
        at = close < 0 ? bytes.size() : close + 1;
        return attribute;
    }
    while (at < bytes.size() && bytes[at] != '>' && !isSpace(bytes[at]))
        attribute.value += bytes[at++];
    return attribute;
}

bool startsTag(QByteArrayView bytes, qsizetype at, QByteArrayView name)
{
    if (bytes.size() - at < name.size() + 1)
        return false;
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (lower(bytes[at + i]) != name[i])
            return false;
    }
    const char after = bytes[at + name.size()];
    return isSpace(after) || after == '/';
}

QString charsetOfMeta(QByteArrayView bytes, qsizetype &at)
{
    QString charset;
    QString httpEquiv;
    QString content;
    for (;;) {
        const Attribute attribute = readAttribute(bytes, at);
        if (attribute.name.isEmpty())
            break;
        const QString value = QString::fromLatin1(attribute.value).trimmed();
        if (attribute.name == "charset" && charset.isEmpty())
            charset = value;
        else if (attribute.name == "http-equiv")
            httpEquiv = value;
        else if (attribute.name == "content")
            content = value;
    }
    if (!charset.isEmpty())
        return charset;
    if (httpEquiv.compare(u"content-type"_s, Qt::CaseInsensitive) == 0)
        return Charset::FromContentType(content);
    return {};
}

} // namespace

namespace Charset {

QString Canonical(QStringView label)
{
    const QString name = label.trimmed().toString().toLower();
    if (name.isEmpty())
        return {};
    for (const Alias &alias : kAliases) {
        if (name == QLatin1StringView(alias.label))
            return alias.charset;
    }
    // Whatever else this Qt can read (with ICU: Big5, EUC-KR, KOI8-R...).
    if (QStringDecoder(name.toLatin1().constData()).isValid())
        return name;
    return {};
}

QString FromBom(QByteArrayView bytes)
{
    for (const Bom &bom : kBoms) {
        if (bytes.startsWith(bom.bytes))
            return bom.charset;
    }
    return {};
}

QString FromContentType(QStringView contentType)
{
    const QList<QStringView> parts = contentType.split(u';');
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const QStringView part = parts.at(i).trimmed();
        const qsizetype equals = part.indexOf(u'=');
        if (equals < 0 || part.left(equals).trimmed().compare(u"charset"_s, Qt::CaseInsensitive))
            continue;
        QStringView charset = part.mid(equals + 1).trimmed();
        if (charset.size() >= 2 && (charset.front() == u'"' || charset.front() == u'\''))
            charset = charset.mid(1, charset.size() - 2);
        return charset.trimmed().toString();
    }
    return {};
}

QString FromXmlDeclaration(QByteArrayView document)
{
    if (!document.startsWith("<?xml"))
        return {};
    const qsizetype end = document.indexOf("?>");
    if (end < 0)
        return {};
    const QByteArrayView declaration = document.first(end);
    const qsizetype key = declaration.indexOf("encoding");
    if (key < 0)
        return {};
    qsizetype at = key + 8;
    while (at < declaration.size() && isSpace(declaration[at]))
        ++at;
    if (at >= declaration.size() || declaration[at] != '=')
        return {};
    ++at;
    while (at < declaration.size() && isSpace(declaration[at]))
        ++at;
    if (at >= declaration.size() || (declaration[at] != '"' && declaration[at] != '\''))
        return {};
    const qsizetype close = declaration.indexOf(declaration[at], at + 1);
    if (close < 0)
        return {};
    return QString::fromLatin1(declaration.sliced(at + 1, close - at - 1));
}

QString FromMeta(QByteArrayView page)
{
    const QByteArrayView head = page.first(std::min(page.size(), kMetaScanBytes));
    qsizetype at = 0;
    while ((at = head.indexOf('<', at)) >= 0) {
        if (head.sliced(at).startsWith("<!--")) {
            const qsizetype end = head.indexOf("-->", at + 4);
            if (end < 0)
                return {};
            at = end + 3;
            continue;
        }
        ++at;
        if (startsTag(head, at, "meta")) {
            at += 4;
            const QString charset = charsetOfMeta(head, at);
            if (!charset.isEmpty())
                return charset;
            continue;
        }
        const char first = at < head.size() ? lower(head[at]) : '\0';
        if ((first >= 'a' && first <= 'z') || first == '/') {
            // Another tag: its attributes are read so that a ">" in a quoted value does not end
            // it early.
            while (at < head.size() && !isSpace(head[at]) && head[at] != '>')
                ++at;
            while (!readAttribute(head, at).name.isEmpty()) {
            }
        } else if (first == '!' || first == '?') {
            const qsizetype end = head.indexOf('>', at);
            if (end < 0)
                return {};
            at = end + 1;
        }
    }
    return {};
}

QString OfPage(QByteArrayView page, QStringView contentType)
{
    const QString bom = FromBom(page);
    if (!bom.isEmpty())
        return bom;
    const QString declared = firstKnown({FromContentType(contentType), FromMeta(page)});
    return declared.isEmpty() ? kUtf8 : declared;
}

QString OfXml(QByteArrayView document, QStringView contentType)
{
    const QString bom = FromBom(document);
    if (!bom.isEmpty())
        return bom;
    const QString declared =
        firstKnown({FromXmlDeclaration(document), FromContentType(contentType)});
    return declared.isEmpty() ? kUtf8 : declared;
}

QString DecodeAs(QByteArrayView bytes, QStringView charset)
{
    if (charset == kEucJp)
        return CodePage::fromEucJp(bytes);
    if (charset == kShiftJis)
        return CodePage::fromCp932(bytes);
    if (charset == kWindows1252 || charset == kLatin1)
        return fromWindows1252(bytes);
    if (charset == kUtf16Le)
        return QStringDecoder(QStringDecoder::Utf16LE, QStringDecoder::Flag::Stateless)(bytes);
    if (charset == kUtf16Be)
        return QStringDecoder(QStringDecoder::Utf16BE, QStringDecoder::Flag::Stateless)(bytes);
    if (charset != kUtf8 && !charset.isEmpty()) {
        QStringDecoder decoder(charset.toLatin1().constData(), QStringDecoder::Flag::Stateless);
        if (decoder.isValid())
            return decoder(bytes);
    }
    return QString::fromUtf8(bytes);
}

QString Decode(QByteArrayView bytes, QStringView charset)
{
    // A byte-order mark decides, so it is never part of the text.
    const QString bom = FromBom(bytes);
    if (!bom.isEmpty()) {
        for (const Bom &known : kBoms) {
            if (known.charset == bom)
                bytes = bytes.sliced(known.bytes.size());
        }
        return DecodeAs(bytes, bom);
    }
    if (charset == kUtf16Le || charset == kUtf16Be)
        return DecodeAs(bytes, charset);
    const Utf8Reading utf8 = readUtf8(bytes);
    if (charset != kUtf8) {
        if (utf8.faults == 0 && utf8.sequences > 0)
            return QString::fromUtf8(bytes);
        return DecodeAs(bytes, charset);
    }
    // A damaged byte or two in UTF-8 text stays a damaged character; text that is mostly not
    // UTF-8 is the Japanese code page its declaration forgot. EUC-JP first: its text nearly
    // always reads as Shift_JIS too, the reverse hardly ever.
    if (utf8.faults > utf8.sequences) {
        if (QString text = CodePage::fromEucJp(bytes); !hasFault(text, true))
            return text;
        if (QString text = CodePage::fromCp932(bytes); !hasFault(text, false))
            return text;
    }
    return QString::fromUtf8(bytes);
}

QString DecodePage(QByteArrayView page, QStringView contentType)
{
    return Decode(page, OfPage(page, contentType));
}

QString DecodeXml(QByteArrayView document, QStringView contentType)
{
    return Decode(document, OfXml(document, contentType));
}

} // namespace Charset
