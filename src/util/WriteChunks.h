#pragma once

#include "util/FileResult.h"

#include <QBuffer>
#include <QByteArray>
#include <QString>

class QIODevice;

// What the safe writers share: the chunk they write at a time, the test seam that pauses between
// chunks, and the folder sync that makes a created, renamed or removed name durable.
namespace WriteChunks {

inline constexpr qint64 kChunkSize = 64 * 1024;

// Sleeps for VARNHOLT_TEST_WRITE_PAUSE_MS milliseconds when that variable is set (a test seam).
void pauseForTest();

// Syncs the folder that holds path; a file system without folder syncs is not an error.
void syncFolderOf(const QString &path);

// Reads the next chunk of source into buffer: its size (0 at the end), or -1 with reason set.
qint64 readChunk(QIODevice &source, QByteArray &buffer, QString &reason);

// Runs a writer that reads from a device over bytes held in memory.
template<typename Writer>
FileResult fromBytes(const QByteArray &bytes, Writer write)
{
    QBuffer source;
    source.setData(bytes);
    source.open(QIODevice::ReadOnly);
    return write(source);
}

} // namespace WriteChunks
