#include "util/SafeWrite.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

using namespace Qt::StringLiterals;

FileResult WriteFileAtomically(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return FileResult::failure(path, file.errorString());
    const qint64 written = file.write(bytes);
    if (written != bytes.size()) {
        const QString reason = written < 0
                                   ? file.errorString()
                                   : u"wrote only %1 of %2 bytes"_s.arg(written).arg(bytes.size());
        file.cancelWriting();
        return FileResult::failure(path, reason);
    }
    // commit() flushes, syncs and renames; the old file stays as it was when any step fails.
    if (!file.commit())
        return FileResult::failure(path, file.errorString());
    return FileResult::success();
}

FileResult AppendAllOrNothing(const QString &path, const QByteArray &bytes)
{
    const bool existed = QFile::exists(path);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return FileResult::failure(path, file.errorString());
    const qint64 oldSize = file.size();

    // A write that stops part-way reports no reason; writing the rest again brings out the
    // reason (a full disk, a size limit) or finishes the job.
    qint64 written = 0;
    while (written < bytes.size()) {
        const qint64 step = file.write(bytes.constData() + written, bytes.size() - written);
        if (step <= 0)
            break;
        written += step;
    }
    // The write may only have filled Qt's buffer: a full disk shows itself at the flush.
    if (written == bytes.size() && file.flush()) {
        file.close();
        if (file.error() == QFileDevice::NoError)
            return FileResult::success();
    }

    QString reason = file.errorString();
    if (file.error() == QFileDevice::NoError)
        reason = u"wrote only %1 of %2 bytes"_s.arg(written).arg(bytes.size());
    file.close();
    if (!existed) {
        QFile::remove(path);
    } else if (QFile::exists(path) && QFileInfo(path).size() != oldSize &&
               !QFile::resize(path, oldSize)) {
        reason += u"; could not cut the file back to its old length"_s;
    }
    return FileResult::failure(path, reason);
}
