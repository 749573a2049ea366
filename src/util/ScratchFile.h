#pragma once

#include "util/FileResult.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QString>

#include <memory>

// A descriptor for a new file without a name in folder (O_TMPFILE, else a unique name removed at
// once), or -1 with the system's error number in error.
int OpenNamelessFile(const QByteArray &folder, int &error);

// A file without a name, in a given folder, for data a run would otherwise hold in memory. It
// never appears in the folder (or leaves it at once), so a killed process leaves nothing behind,
// and its space is freed when it is closed.
class ScratchFile
{
public:
    // Fails with the folder and the reason when the folder takes no file.
    static FileResult create(const QString &folder, std::unique_ptr<ScratchFile> &out);

    // Adds bytes at the end; offset receives where they start. A failed write leaves the bytes
    // before it as they were.
    FileResult append(QByteArrayView bytes, qint64 &offset);
    // Reads back length bytes from offset; anything short is a failure.
    FileResult read(qint64 offset, qint64 length, QByteArray &out);

    const QString &folder() const { return m_folder; }

private:
    ScratchFile() = default;
    FileResult failure(const QString &reason) const;

    QString m_folder;
    QFile m_file;
    qint64 m_size = 0;
};
