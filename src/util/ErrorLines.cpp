#include "util/ErrorLines.h"

using namespace Qt::StringLiterals;

void WriteErrorLines(const QString &text, std::FILE *stream, bool endLine)
{
    QString lines = text;
    lines.replace(u"\r\n"_s, u"\n"_s);
    lines.replace(u'\n', u"\nVarnholt: "_s);
    lines = u"Varnholt: "_s + lines;
    if (endLine)
        lines += u'\n';
    std::fputs(lines.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}
