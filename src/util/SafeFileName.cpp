#include "util/SafeFileName.h"

#include <QStringList>

#include <utility>

QString SafeFileName(const QString &text)
{
    QString result = text;
    result.replace(u'?', u'？');
    result.replace(u'/', u'／');
    for (qsizetype i = 2; i < result.size(); ++i) {
        if (result.at(i) == u':')
            result[i] = u'：';
    }
    static constexpr std::pair<char16_t, char16_t> kRest[] = {
        {u',', u'，'}, {u';', u'；'}, {u'*', u'＊'}, {u'~', u'～'},
        {u'<', u'＜'}, {u'>', u'＞'}, {u'|', u'｜'},
    };
    for (const auto &[from, to] : kRest)
        result.replace(QChar(from), QChar(to));
    result.replace(u'\\', u'/');
    return result;
}

QString WithoutDotLevels(const QString &path)
{
    QStringList kept;
    for (const QString &level : path.split(u'/', Qt::SkipEmptyParts)) {
        if (level != u"." && level != u"..")
            kept << level;
    }
    return kept.join(u'/');
}
