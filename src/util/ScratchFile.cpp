#include "util/ScratchFile.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

int OpenNamelessFile(const QByteArray &folder, int &error)
{
    int fd = ::open(folder.constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd >= 0)
        return fd;
    error = errno;
    if (error != EOPNOTSUPP && error != EISDIR && error != EINVAL)
        return -1;
    QByteArray name = folder + "/.varnholt-scratch-XXXXXX";
    fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        return -1;
    }
    ::unlink(name.constData());
    return fd;
}

FileResult ScratchFile::create(const QString &folder, std::unique_ptr<ScratchFile> &out)
{
    std::unique_ptr<ScratchFile> file(new ScratchFile);
    file->m_folder = folder;
    int error = 0;
    const int fd = OpenNamelessFile(QFile::encodeName(folder), error);
    if (fd < 0)
        return file->failure(systemReason(error));
    // Unbuffered: a full disk shows itself at the write that hits it, not at some later flush.
    if (!file->m_file.open(fd, QIODevice::ReadWrite | QIODevice::Unbuffered,
                           QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return file->failure(file->m_file.errorString());
    }
    out = std::move(file);
    return FileResult::success();
}

FileResult ScratchFile::failure(const QString &reason) const
{
    return FileResult::failure(m_folder, u"temporary file: "_s + reason);
}

FileResult ScratchFile::append(QByteArrayView bytes, qint64 &offset)
{
    if (!m_file.seek(m_size))
        return failure(m_file.errorString());
    qint64 written = 0;
    while (written < bytes.size()) {
        const qint64 step = m_file.write(bytes.data() + written, bytes.size() - written);
        if (step <= 0) {
            const QString reason = m_file.errorString();
            // Cut back, so that the file holds only whole pieces.
            m_file.resize(m_size);
            return failure(reason.isEmpty()
                               ? u"wrote only %1 of %2 bytes"_s.arg(written).arg(bytes.size())
                               : reason);
        }
        written += step;
    }
    offset = m_size;
    m_size += written;
    return FileResult::success();
}

FileResult ScratchFile::read(qint64 offset, qint64 length, QByteArray &out)
{
    out.resize(length);
    if (length == 0)
        return FileResult::success();
    if (!m_file.seek(offset))
        return failure(m_file.errorString());
    qint64 got = 0;
    while (got < length) {
        const qint64 step = m_file.read(out.data() + got, length - got);
        if (step <= 0) {
            out.clear();
            return failure(step < 0 ? m_file.errorString()
                                    : u"read only %1 of %2 bytes"_s.arg(got).arg(length));
        }
        got += step;
    }
    return FileResult::success();
}
