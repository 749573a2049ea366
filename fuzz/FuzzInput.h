#pragma once

#include <QByteArrayView>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

// The fuzzer's bytes as text: mutations of the UTF-8 seeds keep their markup.
inline QString fuzzText(const std::uint8_t *data, std::size_t size)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
}

inline QByteArrayView fuzzBytes(const std::uint8_t *data, std::size_t size)
{
    return QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size));
}

// The loaders read files: one scratch file, rewritten for every input, in memory where it can.
class ScratchFile
{
public:
    explicit ScratchFile(const QString &name)
        : m_dir(scratchTemplate())
        , m_path(m_dir.filePath(name))
    {}

    const QString &write(QByteArrayView bytes)
    {
        QFile file(m_path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(bytes.data(), bytes.size()) != bytes.size())
            std::abort(); // the target would test nothing
        return m_path;
    }

private:
    static QString scratchTemplate()
    {
        const QString memory = QStringLiteral("/dev/shm");
        const QString base = QDir(memory).exists() ? memory : QDir::tempPath();
        return base + QStringLiteral("/varnholt-fuzz-XXXXXX");
    }

    QTemporaryDir m_dir;
    QString m_path;
};

// A property the input broke: abort so the fuzzer keeps the input.
inline void fuzzRequire(bool holds)
{
    if (!holds)
        std::abort();
}
