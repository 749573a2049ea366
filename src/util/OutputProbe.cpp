#include "util/OutputProbe.h"

#include "util/FileTools.h"
#include "util/ScratchFile.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

OutputProbe failure(const QString &where, int systemError)
{
    return {false, where, systemError};
}

} // namespace

OutputProbe ProbeOutputFile(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat found
    {
    };
    if (::stat(name.constData(), &found) == 0) {
        if (S_ISDIR(found.st_mode))
            return failure(path, EISDIR);
        if (!S_ISREG(found.st_mode))
            return {};
        // Opened for appending and closed without a byte: the file stays as it was.
        const int fd = ::open(name.constData(), O_WRONLY | O_APPEND | O_NOCTTY | O_CLOEXEC);
        if (fd < 0)
            return failure(path, errno);
        ::close(fd);
    } else if (errno != ENOENT) {
        // A name too long, a file where a folder should be, a folder that may not be searched.
        return failure(path, errno);
    }

    QString folder = ParentFolderOf(path);
    if (folder.isEmpty())
        folder = u"."_s;
    int error = 0;
    const int fd = OpenNamelessFile(QFile::encodeName(folder), error);
    if (fd < 0)
        return failure(folder, error);
    ::close(fd);
    return {};
}
