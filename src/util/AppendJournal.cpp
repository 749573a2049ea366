// The journaled append: the old length and identity of the file are recorded and synced before
// the first new byte, so a kill at any moment can be rolled back to exactly the old bytes.
#include "util/SafeWrite.h"
#include "util/WriteChunks.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

constexpr QByteArrayView kMagic = "Varnholt append journal 1\n";
constexpr qint64 kTailLength = 4096; // the bytes before the old end that the checksum covers
constexpr qint64 kLargestJournal = 4096;
// The journals of the output layouts' files.
constexpr QStringView kJournalSuffixes[] = {u".qfw.journal", u".qfb.journal", u".qfk.journal",
                                            u".csv.journal"};

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

// An open descriptor, closed when it goes.
class Descriptor
{
public:
    explicit Descriptor(int fd = -1)
        : m_fd(fd)
    {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Q_DISABLE_COPY_MOVE(Descriptor)
    int get() const { return m_fd; }
    bool isOpen() const { return m_fd >= 0; }
    void reset(int fd)
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }
    int release() { return std::exchange(m_fd, -1); }

private:
    int m_fd;
};

bool writeAll(int fd, const char *data, qint64 size, int &error)
{
    while (size > 0) {
        const ssize_t step = ::write(fd, data, size_t(size));
        if (step < 0) {
            if (errno == EINTR)
                continue;
            error = errno;
            return false;
        }
        if (step == 0) {
            error = EIO;
            return false;
        }
        data += step;
        size -= step;
    }
    return true;
}

bool readAt(int fd, char *data, qint64 size, qint64 offset)
{
    while (size > 0) {
        const ssize_t step = ::pread(fd, data, size_t(size), off_t(offset));
        if (step < 0 && errno == EINTR)
            continue;
        if (step <= 0)
            return false;
        data += step;
        size -= step;
        offset += step;
    }
    return true;
}

// What a journal holds about the file before the append.
struct JournalRecord
{
    qint64 length = 0;
    quint64 device = 0;
    quint64 inode = 0;
    qint64 tailLength = 0;
    QByteArray tailSum; // hex SHA-1 of the tailLength bytes before length
};

// The checksum of the tail bytes before length; empty when they cannot be read.
std::optional<QByteArray> tailSum(int fd, qint64 length, qint64 tailLength)
{
    QByteArray tail(tailLength, '\0');
    if (!readAt(fd, tail.data(), tailLength, length - tailLength))
        return std::nullopt;
    return QCryptographicHash::hash(tail, QCryptographicHash::Sha1).toHex();
}

QByteArray journalText(const JournalRecord &record)
{
    QByteArray text = kMagic.toByteArray();
    text += "length " + QByteArray::number(record.length) + '\n';
    text += "device " + QByteArray::number(record.device) + '\n';
    text += "inode " + QByteArray::number(record.inode) + '\n';
    text += "tail " + QByteArray::number(record.tailLength) + ' ' + record.tailSum + '\n';
    text += "end\n";
    return text;
}

enum class JournalKind { Ours, Unfinished, Foreign };

// Unfinished: a kill hit before the journal was whole, so the file was not touched yet.
JournalKind parseJournal(const QByteArray &text, JournalRecord &record)
{
    if (!text.startsWith(kMagic))
        return kMagic.startsWith(text) ? JournalKind::Unfinished : JournalKind::Foreign;
    if (!text.endsWith("end\n"))
        return JournalKind::Unfinished;
    bool ok = true;
    const auto number = [&ok](const QByteArray &field) {
        bool parsed = false;
        const qint64 value = field.toLongLong(&parsed);
        ok = ok && parsed && value >= 0;
        return value;
    };
    const QList<QByteArray> lines = text.mid(kMagic.size()).split('\n');
    if (lines.size() < 5)
        return JournalKind::Unfinished;
    const auto field = [&lines](int line, const QByteArray &name) {
        const QList<QByteArray> words = lines.at(line).split(' ');
        return words.size() >= 2 && words.at(0) == name ? words : QList<QByteArray>();
    };
    const QList<QByteArray> length = field(0, "length");
    const QList<QByteArray> device = field(1, "device");
    const QList<QByteArray> inode = field(2, "inode");
    const QList<QByteArray> tail = field(3, "tail");
    if (length.isEmpty() || device.isEmpty() || inode.isEmpty() || tail.size() != 3)
        return JournalKind::Unfinished;
    record.length = number(length.at(1));
    record.device = quint64(number(device.at(1)));
    record.inode = quint64(number(inode.at(1)));
    record.tailLength = number(tail.at(1));
    record.tailSum = tail.at(2);
    if (!ok || record.tailLength > record.length || record.tailLength > kTailLength)
        return JournalKind::Unfinished;
    return JournalKind::Ours;
}

void removeJournal(const QString &journal)
{
    ::unlink(native(journal).constData());
    WriteChunks::syncFolderOf(journal);
}

QString lockedReason()
{
    return u"another Varnholt is appending to this file right now"_s;
}

// Opens and locks the journal; an empty descriptor when there is none. Fails when another process
// holds it.
FileResult openJournalLocked(const QString &journal, int flags, Descriptor &out)
{
    const int fd = ::open(native(journal).constData(), flags | O_CLOEXEC, 0644);
    if (fd < 0) {
        if (errno == ENOENT && !(flags & O_CREAT))
            return FileResult::success();
        return FileResult::failure(journal, systemReason(errno));
    }
    Descriptor opened(fd);
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        return FileResult::failure(journal,
                                   errno == EWOULDBLOCK ? lockedReason() : systemReason(errno));
    // The holder may have finished and removed it between the open and the lock.
    struct stat held
    {
    }, named{};
    if (::fstat(fd, &held) != 0 || ::stat(native(journal).constData(), &named) != 0 ||
        held.st_ino != named.st_ino || held.st_dev != named.st_dev) {
        return (flags & O_CREAT) ? FileResult::failure(journal, lockedReason())
                                 : FileResult::success();
    }
    out.reset(opened.release());
    return FileResult::success();
}

// Rolls back with the journal already open and locked.
FileResult rollBack(const QString &path, const QString &journal, int journalFd, QString *note)
{
    QByteArray text(kLargestJournal, '\0');
    const ssize_t got = ::pread(journalFd, text.data(), size_t(text.size()), 0);
    if (got < 0)
        return FileResult::failure(journal, systemReason(errno));
    text.resize(got);

    JournalRecord record;
    switch (parseJournal(text, record)) {
    case JournalKind::Foreign:
        return FileResult::failure(
            journal, u"is in the way of the append journal and is not Varnholt's; move it away"_s);
    case JournalKind::Unfinished:
        removeJournal(journal);
        return FileResult::success();
    case JournalKind::Ours:
        break;
    }

    const auto say = [note](const QString &text) {
        if (note)
            *note = text;
    };
    Descriptor file(::open(native(path).constData(), O_RDWR | O_CLOEXEC));
    struct stat now
    {
    };
    if (!file.isOpen() || ::fstat(file.get(), &now) != 0) {
        if (errno != ENOENT)
            return FileResult::failure(path, systemReason(errno));
        say(path + u": an interrupted append was found, but the file is gone"_s);
        removeJournal(journal);
        return FileResult::success();
    }
    const qint64 size = qint64(now.st_size);
    if (quint64(now.st_dev) != record.device || quint64(now.st_ino) != record.inode ||
        size < record.length) {
        say(path + u": an interrupted append was found, but the file has been replaced or "
                   "shortened since; it is left as it is"_s);
        removeJournal(journal);
        return FileResult::success();
    }
    if (size > record.length) {
        const std::optional<QByteArray> sum = tailSum(file.get(), record.length, record.tailLength);
        if (!sum || *sum != record.tailSum) {
            say(path + u": an interrupted append was found, but the file's earlier bytes have "
                       "changed since; it is left as it is"_s);
            removeJournal(journal);
            return FileResult::success();
        }
        if (::ftruncate(file.get(), off_t(record.length)) != 0 || ::fsync(file.get()) != 0)
            return FileResult::failure(path, u"could not cut an interrupted append back: "_s +
                                                 systemReason(errno));
        say(path + u": the records of an interrupted run were removed (%1 bytes; the file is back "
                   "to its %2 bytes)"_s.arg(size - record.length)
                       .arg(record.length));
    }
    removeJournal(journal);
    return FileResult::success();
}

// The plain append for what is not an ordinary file: a device or a pipe cannot be cut back.
FileResult appendToSpecialFile(const QString &path, QIODevice &source)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return FileResult::failure(path, file.errorString());
    QByteArray chunk;
    QString reason;
    for (;;) {
        const qint64 got = WriteChunks::readChunk(source, chunk, reason);
        if (got < 0)
            return FileResult::failure(path, reason);
        if (got == 0)
            break;
        if (file.write(chunk) != got || !file.flush())
            return FileResult::failure(path, file.errorString());
    }
    return FileResult::success();
}

} // namespace

QString AppendJournalPath(const QString &path)
{
    return path + u".journal"_s;
}

FileResult RollBackInterruptedAppend(const QString &path, QString *note)
{
    const QString journal = AppendJournalPath(path);
    Descriptor locked;
    if (FileResult opened = openJournalLocked(journal, O_RDWR, locked); !opened)
        return opened;
    if (!locked.isOpen())
        return FileResult::success();
    return rollBack(path, journal, locked.get(), note);
}

QStringList RollBackAppendsIn(const QString &folder)
{
    QStringList notes;
    if (folder.isEmpty())
        return notes;
    const QDir dir(folder);
    // Matched by hand: QDir's wildcard filters compile and JIT a regular expression each, at every
    // start, mostly for a folder with no journal at all. Case-blind, like those filters.
    const auto isJournal = [](const QString &name) {
        return std::any_of(
            std::begin(kJournalSuffixes), std::end(kJournalSuffixes),
            [&name](QStringView suffix) { return name.endsWith(suffix, Qt::CaseInsensitive); });
    };
    for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden)) {
        if (!isJournal(name))
            continue;
        QString note;
        const QString path = dir.filePath(name.chopped(qsizetype(u".journal"_s.size())));
        const FileResult result = RollBackInterruptedAppend(path, &note);
        if (!result)
            notes << result.error;
        else if (!note.isEmpty())
            notes << note;
    }
    return notes;
}

FileResult AppendAllOrNothing(const QString &path, const QByteArray &bytes)
{
    return WriteChunks::fromBytes(
        bytes, [&path](QIODevice &source) { return AppendAllOrNothing(path, source); });
}

FileResult AppendAllOrNothing(const QString &path, QIODevice &source)
{
    if (FileResult mended = RollBackInterruptedAppend(path); !mended)
        return mended;

    const QByteArray name = native(path);
    struct stat before
    {
    };
    if (::stat(name.constData(), &before) != 0) {
        if (errno != ENOENT)
            return FileResult::failure(path, systemReason(errno));
        // A new file appears whole or not at all, which is what an append to nothing means.
        return WriteFileAtomically(path, source);
    }
    if (!S_ISREG(before.st_mode))
        return appendToSpecialFile(path, source);

    Descriptor file(::open(name.constData(), O_RDWR | O_APPEND | O_CLOEXEC));
    if (!file.isOpen())
        return FileResult::failure(path, systemReason(errno));
    struct stat opened
    {
    };
    if (::fstat(file.get(), &opened) != 0)
        return FileResult::failure(path, systemReason(errno));

    JournalRecord record;
    record.length = qint64(opened.st_size);
    record.device = quint64(opened.st_dev);
    record.inode = quint64(opened.st_ino);
    record.tailLength = std::min(record.length, kTailLength);
    const std::optional<QByteArray> sum = tailSum(file.get(), record.length, record.tailLength);
    if (!sum)
        return FileResult::failure(path,
                                   u"could not read the end of the file: "_s + systemReason(errno));
    record.tailSum = *sum;

    const QString journal = AppendJournalPath(path);
    Descriptor locked;
    if (FileResult taken = openJournalLocked(journal, O_RDWR | O_CREAT, locked); !taken)
        return taken;
    const QByteArray text = journalText(record);
    int error = 0;
    if (::ftruncate(locked.get(), 0) != 0 ||
        !writeAll(locked.get(), text.constData(), text.size(), error) ||
        ::fsync(locked.get()) != 0) {
        const QString reason = systemReason(error ? error : errno);
        removeJournal(journal);
        return FileResult::failure(path, u"its append journal "_s + journal +
                                             u" could not be written: "_s + reason);
    }
    WriteChunks::syncFolderOf(journal);

    // From here on a kill leaves the journal, and the next run cuts the file back.
    QByteArray chunk;
    QString reason;
    bool ok = true;
    for (;;) {
        const qint64 got = WriteChunks::readChunk(source, chunk, reason);
        if (got < 0) {
            ok = false;
            break;
        }
        if (got == 0)
            break;
        if (!writeAll(file.get(), chunk.constData(), got, error)) {
            reason = systemReason(error);
            ok = false;
            break;
        }
        WriteChunks::pauseForTest();
    }
    if (ok && ::fsync(file.get()) != 0) {
        reason = systemReason(errno);
        ok = false;
    }
    if (!ok) {
        if (::ftruncate(file.get(), off_t(record.length)) != 0 || ::fsync(file.get()) != 0)
            // The journal stays, so the next run cuts the file back.
            return FileResult::failure(path, reason + u"; the file could not be cut back yet: "_s +
                                                 systemReason(errno));
        removeJournal(journal);
        return FileResult::failure(path, reason);
    }
    removeJournal(journal);
    return FileResult::success();
}
