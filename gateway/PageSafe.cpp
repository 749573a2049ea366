#include "PageSafe.h"

#include "PortalCharacters.h"

QString PageSafe(QStringView text, QList<char32_t> *lost)
{
    QString plain = text.toString();
    for (QChar &c : plain) {
        const char16_t unit = c.unicode();
        if (unit < 0x20 || (unit >= 0x7F && unit < 0xA0) || unit == 0x2028 || unit == 0x2029)
            c = u' ';
    }
    return PortalCharacters::Kept(plain, lost)
        .replace(u'&', u'＆')
        .replace(u'<', u'＜')
        .replace(u'>', u'＞');
}
