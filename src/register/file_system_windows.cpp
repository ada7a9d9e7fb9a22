// The register's file system on Windows: the file's index and the volume's serial number for
// its identity, _commit, the free space for the lock, names compared without case, wide
// paths.

#include "file_system.h"

#include <QDir>
#include <QFile>

#include <string>

#include <io.h>
#include <windows.h>   // the build defines WIN32_LEAN_AND_MEAN and NOMINMAX

namespace pindel::winners {

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

void syncToDisk(QFileDevice &file)
{
    (void)::_commit(file.handle());
}

int inUseWaitMs()
{
    return 1000;
}

bool roomForTheLock(const QString &directory)
{
    ULARGE_INTEGER available {};
    return !::GetDiskFreeSpaceExW(reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(directory).utf16()),
                                  &available, nullptr, nullptr)
        || available.QuadPart > 0;
}

bool fileSystemIgnoresCase()
{
    return true;
}

std::filesystem::path nativePath(const QString &path)
{
    return std::filesystem::path(path.toStdWString());
}

} // namespace pindel::winners
