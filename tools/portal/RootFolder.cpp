#include "RootFolder.h"

#include "CorpusSite.h"
#include "util/CodePage.h"

#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

const auto kHtml = u".html"_s;

bool isInside(const QString &file, const QString &folder)
{
    return file.startsWith(folder + u'/');
}

} // namespace

RootFolder::RootFolder(const QString &folder)
    : m_folder(QFileInfo(folder).canonicalFilePath())
{}

QString RootFolder::fileFor(const QString &path) const
{
    if (m_folder.isEmpty() || !path.startsWith(u'/') || path.contains(u"..") ||
        path.contains(QChar(0)) || path.contains(u'\\'))
        return {};
    QStringList candidates;
    if (path.endsWith(u'/'))
        candidates = {m_folder + path + u"index.html"_s};
    else
        candidates = {m_folder + path + kHtml, m_folder + path};
    for (const QString &candidate : candidates) {
        const QFileInfo info(candidate);
        // A link inside the folder must not lead out of it.
        if (info.isFile() && isInside(info.canonicalFilePath(), m_folder))
            return candidate;
    }
    return {};
}

PageReply RootFolder::page(const QString &path) const
{
    const QString file = fileFor(path);
    if (file.isEmpty())
        return NotFound(path);
    QFile input(file);
    if (!input.open(QIODevice::ReadOnly)) {
        const QString text = u"<html><body>"_s + file.toHtmlEscaped() + u": "_s +
                             input.errorString().toHtmlEscaped() + u"</body></html>\r\n"_s;
        return {500, CodePage::toEucJp(text)};
    }
    const QByteArray bytes = input.readAll();
    if (file.endsWith(kHtml))
        return {200, CodePage::toEucJp(QString::fromUtf8(bytes))};
    return {200, bytes};
}
