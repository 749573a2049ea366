#include "util/WriteChunks.h"

#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QThread>

#include <fcntl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace WriteChunks {

void pauseForTest()
{
    static const int pause = qEnvironmentVariableIntValue("VARNHOLT_TEST_WRITE_PAUSE_MS");
    if (pause > 0)
        QThread::msleep(ulong(pause));
}

void syncFolderOf(const QString &path)
{
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

qint64 readChunk(QIODevice &source, QByteArray &buffer, QString &reason)
{
    buffer.resize(kChunkSize);
    const qint64 got = source.read(buffer.data(), kChunkSize);
    if (got < 0) {
        reason = u"could not read what was to be written: "_s + source.errorString();
        buffer.clear();
        return -1;
    }
    buffer.resize(got);
    return got;
}

} // namespace WriteChunks
