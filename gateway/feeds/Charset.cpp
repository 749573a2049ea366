#include "Charset.h"

#include "util/CodePage.h"

#include <QRegularExpression>
#include <QStringDecoder>

using namespace Qt::StringLiterals;

QString charsetOfContentType(const QString &contentType)
{
    static const QRegularExpression pattern(uR"(charset\s*=\s*["']?([^"';\s]+))"_s,
                                            QRegularExpression::CaseInsensitiveOption);
    return pattern.match(contentType).captured(1).toLower();
}

QString xmlDeclaredEncoding(const QByteArray &bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return u"utf-8"_s;
    if (bytes.startsWith("\xFF\xFE"))
        return u"utf-16le"_s;
    if (bytes.startsWith("\xFE\xFF"))
        return u"utf-16be"_s;
    if (!bytes.startsWith("<?xml"))
        return {};
    const qsizetype end = bytes.indexOf("?>");
    if (end < 0)
        return {};
    static const QRegularExpression pattern(uR"(encoding\s*=\s*["']([A-Za-z0-9._-]+)["'])"_s);
    return pattern.match(QString::fromLatin1(bytes.left(end))).captured(1).toLower();
}

QString decodeCharset(const QByteArray &bytes, const QString &charset)
{
    const QString name = charset.toLower();
    if (name == u"shift_jis" || name == u"shift-jis" || name == u"sjis" || name == u"x-sjis" ||
        name == u"windows-31j" || name == u"cp932" || name == u"ms_kanji")
        return CodePage::fromCp932(bytes);
    if (name == u"euc-jp" || name == u"x-euc-jp" || name == u"eucjp" || name == u"euc-jp-ms")
        return CodePage::fromEucJp(bytes);
    if (!name.isEmpty() && name != u"utf-8" && name != u"utf8") {
        QStringDecoder decoder(name.toLatin1().constData());
        if (decoder.isValid())
            return decoder.decode(bytes);
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    return utf8.decode(bytes);
}
