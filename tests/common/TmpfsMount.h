#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/mount.h>
#include <unistd.h>

// A small tmpfs mounted on a folder for as long as this lives: a real file system that runs out
// of space, or turns read-only. Mounting needs root (CI runs as root); elsewhere failure() says why
// and the test skips.
class TmpfsMount
{
public:
    TmpfsMount(const QString &folder, qint64 bytes)
        : m_folder(folder)
    {
        QDir().mkpath(folder);
        const QByteArray options = "size=" + QByteArray::number(bytes) + ",mode=0755";
        if (::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0,
                    options.constData()) == 0)
            m_mounted = true;
        else
            m_failure = QStringLiteral("cannot mount a tmpfs here (needs root): ") +
                        QString::fromLocal8Bit(std::strerror(errno));
    }
    ~TmpfsMount()
    {
        if (m_mounted)
            ::umount2(QFile::encodeName(m_folder).constData(), MNT_DETACH);
    }
    Q_DISABLE_COPY_MOVE(TmpfsMount)

    const QString &failure() const { return m_failure; }

    // Fills the file system until not one more byte fits; the filler stays until unmounted.
    bool fill() const
    {
        QFile filler(m_folder + QStringLiteral("/filler"));
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
            return false;
        const QByteArray block(4096, 'f');
        while (filler.write(block) == block.size()) {
        }
        // Whatever is left is less than a block: take it a byte at a time.
        while (filler.write("f", 1) == 1) {
        }
        return true;
    }

    // From now on nothing can be written there, as on a disk mounted read-only.
    bool makeReadOnly() const
    {
        return m_mounted && ::mount("tmpfs", QFile::encodeName(m_folder).constData(), "tmpfs",
                                    MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }

    // Frees bytes of the filler again, so that a write of that size still fits.
    bool release(qint64 bytes) const
    {
        QFile filler(m_folder + QStringLiteral("/filler"));
        return filler.resize(std::max<qint64>(0, filler.size() - bytes));
    }

private:
    QString m_folder;
    bool m_mounted = false;
    QString m_failure;
};
