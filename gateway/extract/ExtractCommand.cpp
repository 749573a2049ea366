#include "ExtractCommand.h"

#include "ExtractionAcceptance.h"
#include "MainText.h"

#include <QFile>
#include <QUrl>

#include <cstdio>

using namespace Qt::StringLiterals;

int RunExtractCommand(const QString &file, const QString &address)
{
    QFile page(file);
    if (!page.open(QIODevice::ReadOnly)) {
        const QByteArray message =
            u"varnholt-portal: cannot read %1: %2\n"_s.arg(file, page.errorString()).toUtf8();
        std::fputs(message.constData(), stderr);
        return 2;
    }
    MainTextResult result = ExtractMainText(page.readAll(), QString(), QUrl(address));
    // What the gateway would serve for an item without a summary.
    if (!AcceptsExtraction(result, QString()))
        result.paragraphs.clear();
    for (const QString &paragraph : result.paragraphs) {
        const QByteArray line = paragraph.toUtf8() + '\n';
        std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    }
    std::fflush(stdout);
    return result.paragraphs.isEmpty() ? 1 : 0;
}
