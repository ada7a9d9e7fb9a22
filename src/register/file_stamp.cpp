#include "file_stamp.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <sys/stat.h>
#else
#include <QDateTime>
#endif

namespace pindel::winners {

#ifdef Q_OS_UNIX

namespace {

FileStamp fromStat(const struct stat &info)
{
    FileStamp stamp;
    stamp.state = FileStamp::State::Present;
    stamp.device = std::uint64_t(info.st_dev);
    stamp.inode = std::uint64_t(info.st_ino);
    stamp.size = std::int64_t(info.st_size);
#if defined(Q_OS_DARWIN)
    stamp.modifiedSeconds = std::int64_t(info.st_mtimespec.tv_sec);
    stamp.modifiedNanoseconds = std::int64_t(info.st_mtimespec.tv_nsec);
#else
    stamp.modifiedSeconds = std::int64_t(info.st_mtim.tv_sec);
    stamp.modifiedNanoseconds = std::int64_t(info.st_mtim.tv_nsec);
#endif
    return stamp;
}

} // namespace

FileStamp stampOfPath(const QString &path)
{
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) == 0)
        return fromStat(info);
    FileStamp stamp;
    if (errno == ENOENT)
        stamp.state = FileStamp::State::Missing;
    return stamp;
}

FileStamp stampOfOpenFile(const QFile &file)
{
    struct stat info {};
    if (file.handle() >= 0 && ::fstat(file.handle(), &info) == 0)
        return fromStat(info);
    return {};
}

#else

// Without inode numbers: the file's index is not reachable through QtCore, so the creation
// time stands in for the identity (a rename keeps the replacing file's own), and the
// modification time is as fine as the platform reports it.
FileStamp stampOfPath(const QString &path)
{
    const QFileInfo info(path);
    FileStamp stamp;
    if (!info.exists()) {
        stamp.state = FileStamp::State::Missing;
        return stamp;
    }
    stamp.state = FileStamp::State::Present;
    stamp.inode = std::uint64_t(info.birthTime().toMSecsSinceEpoch());
    stamp.size = info.size();
    const qint64 modified = info.lastModified().toMSecsSinceEpoch();
    stamp.modifiedSeconds = modified / 1000;
    stamp.modifiedNanoseconds = (modified % 1000) * 1000000;
    return stamp;
}

FileStamp stampOfOpenFile(const QFile &file)
{
    return stampOfPath(file.fileName());
}

#endif

} // namespace pindel::winners
