#include "util/FileTools.h"

#include "util/SafeWrite.h"

#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

constexpr QChar kSeparator = u'/';

// The path without trailing separators; a path made of separators only stays "/".
QString withoutTrailingSeparators(const QString &path)
{
    qsizetype end = path.size();
    while (end > 1 && path.at(end - 1) == kSeparator)
        --end;
    return path.left(end);
}

} // namespace

bool IsDriveSpec(const QString &text)
{
    return (text.size() == 2 || text.size() == 3) && text.at(1) == u':';
}

QString JoinPath(QString &folder, const QString &name)
{
    // "C:" alone means the current folder of that drive; joining makes it the drive's root.
    if (folder.size() == 2 && IsDriveSpec(folder))
        folder += kSeparator;
    if (folder.isEmpty())
        return name;
    if (name.isEmpty())
        return folder;

    qsizetype nameStart = 0;
    while (nameStart < name.size() && name.at(nameStart) == kSeparator)
        ++nameStart;
    const QString head = withoutTrailingSeparators(folder);
    if (head == u"/"_s)
        return head + name.mid(nameStart);
    return head + kSeparator + name.mid(nameStart);
}

QString ParentFolderOf(const QString &path)
{
    const QString trimmed = withoutTrailingSeparators(path);
    const qsizetype cut = trimmed.lastIndexOf(kSeparator);
    if (cut < 0 || trimmed == u"/"_s)
        return {};
    if (cut == 0)
        return u"/"_s;
    return withoutTrailingSeparators(trimmed.left(cut));
}

QString FileNameOf(const QString &path)
{
    const QString trimmed = withoutTrailingSeparators(path);
    if (trimmed == u"/"_s)
        return {};
    return trimmed.mid(trimmed.lastIndexOf(kSeparator) + 1);
}

QString BaseNameOf(const QString &path)
{
    const QString name = FileNameOf(path);
    if (name.startsWith(u'.'))
        return {};
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? name : name.left(dot);
}

bool CanReadFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly);
}

bool CanAppendFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Append);
}

qint16 CopyFileTo(const QString &source, const QString &destination, bool overwrite, QString *error)
{
    const auto fail = [error](const QString &text) -> qint16 {
        if (error)
            *error = text;
        return 1;
    };
    if (source == destination)
        return 0;
    if (!overwrite && QFileInfo::exists(destination))
        return fail(destination + u": already exists"_s);

    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return fail(source + u": "_s + in.errorString());
    // A copy that fails half-way leaves the old destination whole.
    const FileResult copied = WriteFileAtomically(destination, in);
    return copied ? 0 : fail(copied.error);
}

QString TrimAtNul(const QString &text)
{
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    return nul < 0 ? text : text.left(nul);
}
