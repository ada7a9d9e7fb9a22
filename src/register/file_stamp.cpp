#include "file_stamp.h"

#include <QFile>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <sys/stat.h>
#elif defined(Q_OS_WIN)
#include <QDir>

#include <string>

#include <io.h>
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
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

#elif defined(Q_OS_WIN)

namespace {

// The volume's serial number and the file's index on it name the file itself, whatever
// name it has now: a rename that puts another file in place brings that file's index.  The
// last-write time counts 100 ns ticks since 1601.
FileStamp fromInformation(const BY_HANDLE_FILE_INFORMATION &info)
{
    constexpr std::uint64_t kTicksPerSecond = 10000000;
    const std::uint64_t ticks = (std::uint64_t(info.ftLastWriteTime.dwHighDateTime) << 32)
                                | info.ftLastWriteTime.dwLowDateTime;
    FileStamp stamp;
    stamp.state = FileStamp::State::Present;
    stamp.device = info.dwVolumeSerialNumber;
    stamp.inode = (std::uint64_t(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    stamp.size = std::int64_t((std::uint64_t(info.nFileSizeHigh) << 32) | info.nFileSizeLow);
    stamp.modifiedSeconds = std::int64_t(ticks / kTicksPerSecond);
    stamp.modifiedNanoseconds = std::int64_t(ticks % kTicksPerSecond) * 100;
    return stamp;
}

FileStamp stampOfHandle(HANDLE handle)
{
    BY_HANDLE_FILE_INFORMATION info {};
    if (handle != INVALID_HANDLE_VALUE && GetFileInformationByHandle(handle, &info))
        return fromInformation(info);
    return {};
}

} // namespace

FileStamp stampOfPath(const QString &path)
{
    // Only the attributes, sharing everything: a look that never stands in the way of
    // another copy's read, write or rename.  BACKUP_SEMANTICS opens a folder as well.
    const std::wstring native = QDir::toNativeSeparators(path).toStdWString();
    const HANDLE handle = CreateFileW(native.c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        FileStamp stamp;
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            stamp.state = FileStamp::State::Missing;
        return stamp;
    }
    const FileStamp stamp = stampOfHandle(handle);
    CloseHandle(handle);
    return stamp;
}

FileStamp stampOfOpenFile(const QFile &file)
{
    if (file.handle() < 0)
        return {};
    return stampOfHandle(reinterpret_cast<HANDLE>(_get_osfhandle(file.handle())));
}

#endif

} // namespace pindel::winners
