#pragma once
// The register tests' system helpers on Windows (see register_test_util.h).

#include "register_test_util.h"

#include <QDir>
#include <QFile>
#include <QString>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <aclapi.h>

#include <string>

namespace regtest {

// Windows keeps file times in steps of 100 ns.
inline constexpr long kTimeStepNs = 100;

namespace detail {

// 100 ns steps from 1601, Windows' epoch, to 1970, the Unix one.
inline constexpr qint64 kEpochSteps = 116444736000000000LL;

inline std::wstring native(const QString &path)
{
    return QDir::toNativeSeparators(path).toStdWString();
}

// The entry itself, a folder or a link as much as a file, open to have its times read or set.
inline HANDLE openForTimes(const QString &path, DWORD access)
{
    return ::CreateFileW(native(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

} // namespace detail

// The modification time of `path` itself (a link, not what it names).
inline bool modifiedTime(const QString &path, FileTime &time)
{
    const HANDLE file = detail::openForTimes(path, FILE_READ_ATTRIBUTES);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    FILETIME written {};
    const bool ok = ::GetFileTime(file, nullptr, nullptr, &written);
    ::CloseHandle(file);
    const qint64 steps = (qint64(written.dwHighDateTime) << 32 | written.dwLowDateTime) - detail::kEpochSteps;
    time = {steps / 10000000, long(steps % 10000000) * 100};
    return ok;
}

// Sets the modification time of `path` itself, its other times left.
inline bool setModifiedTime(const QString &path, const FileTime &time)
{
    const HANDLE file = detail::openForTimes(path, FILE_WRITE_ATTRIBUTES);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const qint64 steps = time.seconds * 10000000 + time.nanoseconds / 100 + detail::kEpochSteps;
    const FILETIME written{DWORD(steps & 0xFFFFFFFF), DWORD(quint64(steps) >> 32)};
    const bool ok = ::SetFileTime(file, nullptr, nullptr, &written);
    ::CloseHandle(file);
    return ok;
}

// Puts `from` in the place of `to` in one step, whatever `to` held, as a save does.
inline bool renameOver(const QString &from, const QString &to)
{
    return ::MoveFileExW(detail::native(from).c_str(), detail::native(to).c_str(), MOVEFILE_REPLACE_EXISTING);
}

// A symbolic link at `link` naming `target` (relative to the link's folder).  Windows lets
// only some users make them (administrators, or any user in developer mode), and a system
// may say yes and make none (Wine 8), so the link is looked for afterwards.
inline bool symbolicLink(const QString &target, const QString &link)
{
    if (!::CreateSymbolicLinkW(detail::native(link).c_str(), detail::native(target).c_str(),
                               SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE))
        return false;
    const DWORD attributes = ::GetFileAttributesW(detail::native(link).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// The reason the system gives for `code` (GetLastError), as Qt words a failed file
// operation.
inline QString systemReason(DWORD code)
{
    return qt_error_string(int(code));
}

// Makes the regular file `path` refused to this program, as long as the object lives: it
// is held open and shared with no one, as an editor, a backup or a virus scanner may hold
// a file on Windows, so every other open, this program's own included, is refused.  ok()
// says whether the file could be taken.
class AccessDenied {
public:
    explicit AccessDenied(const QString &path)
        : m_file(::CreateFileW(detail::native(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr))
    {
    }
    ~AccessDenied()
    {
        if (ok())
            ::CloseHandle(m_file);
    }
    AccessDenied(const AccessDenied &) = delete;
    AccessDenied &operator=(const AccessDenied &) = delete;

    bool ok() const { return m_file != INVALID_HANDLE_VALUE; }

private:
    HANDLE m_file;
};

// Makes the folder `path` refuse new entries to this user, as long as the object lives: its
// access list denies the current user adding files and folders (the rest stays readable).
// ok() says whether the system then really refuses: one that lets this user past access
// lists (Wine run by root only keeps Unix permissions, which root passes) does not.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const QString &path)
        : m_path(detail::native(path))
    {
        PACL old = nullptr;
        if (::GetNamedSecurityInfoW(m_path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                                    nullptr, &old, nullptr, &m_saved) != ERROR_SUCCESS)
            return;
        EXPLICIT_ACCESSW deny {};
        deny.grfAccessPermissions = FILE_ADD_FILE | FILE_ADD_SUBDIRECTORY | FILE_DELETE_CHILD;
        deny.grfAccessMode = DENY_ACCESS;
        deny.grfInheritance = NO_INHERITANCE;
        ::BuildTrusteeWithNameW(&deny.Trustee, const_cast<LPWSTR>(L"CURRENT_USER"));
        PACL denied = nullptr;
        if (::SetEntriesInAclW(1, &deny, old, &denied) != ERROR_SUCCESS)
            return;
        m_changed = setList(denied);
        ::LocalFree(denied);
        m_ok = m_changed && !QFile(path + QStringLiteral("/probe")).open(QIODevice::WriteOnly | QIODevice::NewOnly);
        QFile::remove(path + QStringLiteral("/probe"));
    }
    ~ReadOnlyFolder()
    {
        if (m_changed) {
            PACL old = nullptr;
            BOOL present = FALSE, defaulted = FALSE;
            ::GetSecurityDescriptorDacl(m_saved, &present, &old, &defaulted);
            setList(old);
        }
        if (m_saved)
            ::LocalFree(m_saved);
    }
    ReadOnlyFolder(const ReadOnlyFolder &) = delete;
    ReadOnlyFolder &operator=(const ReadOnlyFolder &) = delete;

    bool ok() const { return m_ok; }

private:
    bool setList(PACL list)
    {
        return ::SetNamedSecurityInfoW(const_cast<LPWSTR>(m_path.c_str()), SE_FILE_OBJECT,
                                       DACL_SECURITY_INFORMATION, nullptr, nullptr, list, nullptr)
            == ERROR_SUCCESS;
    }

    std::wstring m_path;
    PSECURITY_DESCRIPTOR m_saved = nullptr;
    bool m_changed = false;
    bool m_ok = false;
};

// Why the named-pipe cases skip on Windows: its named pipes live under \\.\pipe\, never in a
// folder beside a file, so no read can be stuck on one there and there is nothing to watch.
inline constexpr char kNoNamedPipes[] = "a named pipe cannot stand in a folder on Windows";

class PipeWatchdog {
public:
    explicit PipeWatchdog(const QString &, int = 5000) {}
    bool finish() { return false; }
};

} // namespace regtest
