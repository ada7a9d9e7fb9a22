// The register's file system on Linux and other POSIX systems: stat for the stamp, fsync,
// names as the locale encodes them, case kept.

#include "file_system.h"

#include <QFile>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace pindel::winners {

namespace {

FileStamp fromStat(const struct stat &info)
{
    FileStamp stamp;
    stamp.state = FileStamp::State::Present;
    stamp.device = std::uint64_t(info.st_dev);
    stamp.inode = std::uint64_t(info.st_ino);
    stamp.size = std::int64_t(info.st_size);
    stamp.modifiedSeconds = std::int64_t(info.st_mtim.tv_sec);
    stamp.modifiedNanoseconds = std::int64_t(info.st_mtim.tv_nsec);
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

void syncToDisk(QFileDevice &file)
{
    (void)::fsync(file.handle());
}

int inUseWaitMs()
{
    return 0;
}

bool roomForTheLock(const QString &)
{
    return true;
}

bool fileSystemIgnoresCase()
{
    return false;
}

std::filesystem::path nativePath(const QString &path)
{
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

} // namespace pindel::winners
