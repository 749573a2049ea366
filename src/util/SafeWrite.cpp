#include "util/SafeWrite.h"

#include "util/WriteChunks.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

using namespace Qt::StringLiterals;

namespace {

// The QSaveFile's own reason, or a count of what went missing when it gave none.
QString reasonOf(const QFileDevice &file, qint64 written, qint64 wanted)
{
    if (file.error() != QFileDevice::NoError && !file.errorString().isEmpty())
        return file.errorString();
    return u"wrote only %1 of %2 bytes"_s.arg(written).arg(wanted);
}

// Writes all of bytes; a write that stops part-way reports no reason, so the rest is written
// again, which brings out the reason (a full disk, a size limit) or finishes the job.
qint64 writeAll(QFileDevice &file, const QByteArray &bytes)
{
    qint64 written = 0;
    while (written < bytes.size()) {
        const qint64 step = file.write(bytes.constData() + written, bytes.size() - written);
        if (step <= 0)
            break;
        written += step;
    }
    return written;
}

} // namespace

FileResult WriteFileAtomically(const QString &path, const QByteArray &bytes)
{
    return WriteChunks::fromBytes(
        bytes, [&path](QIODevice &source) { return WriteFileAtomically(path, source); });
}

FileResult WriteFileAtomically(const QString &path, QIODevice &source)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return FileResult::failure(path, file.errorString());

    QByteArray chunk;
    QString reason;
    for (;;) {
        const qint64 got = WriteChunks::readChunk(source, chunk, reason);
        if (got < 0) {
            file.cancelWriting();
            return FileResult::failure(path, reason);
        }
        if (got == 0)
            break;
        const qint64 written = writeAll(file, chunk);
        if (written != got) {
            reason = reasonOf(file, written, got);
            file.cancelWriting();
            return FileResult::failure(path, reason);
        }
        WriteChunks::pauseForTest();
    }
    // A write may only have reached Qt's buffer; on a full disk it fails here, and commit() would
    // still rename the short file over the old one.
    if (!file.flush() || file.error() != QFileDevice::NoError) {
        reason = reasonOf(file, 0, 0);
        file.cancelWriting();
        return FileResult::failure(path, reason);
    }
    if (!file.commit())
        return FileResult::failure(path, file.errorString());
    WriteChunks::syncFolderOf(path);
    return FileResult::success();
}

FileResult AppendUnjournaled(const QString &path, const QByteArray &bytes)
{
    const bool existed = QFile::exists(path);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return FileResult::failure(path, file.errorString());
    const qint64 oldSize = file.size();

    const qint64 written = writeAll(file, bytes);
    // The write may only have filled Qt's buffer: a full disk shows itself at the flush.
    if (written == bytes.size() && file.flush()) {
        file.close();
        if (file.error() == QFileDevice::NoError)
            return FileResult::success();
    }

    QString reason = reasonOf(file, written, bytes.size());
    file.close();
    if (!existed) {
        QFile::remove(path);
    } else if (QFile::exists(path) && QFileInfo(path).size() != oldSize &&
               !QFile::resize(path, oldSize)) {
        reason += u"; could not cut the file back to its old length"_s;
    }
    return FileResult::failure(path, reason);
}
