#pragma once
// The register tests' system helpers on Linux (see register_test_util.h).

#include "register_test_util.h"

#include <QFile>
#include <QSemaphore>
#include <QString>

#include <atomic>
#include <fcntl.h>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>

namespace regtest {

// Linux keeps file times to the nanosecond.
inline constexpr long kTimeStepNs = 1;

// The modification time of `path` itself (a link, not what it names).
inline bool modifiedTime(const QString &path, FileTime &time)
{
    struct stat info {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return false;
    time = {qint64(info.st_mtim.tv_sec), long(info.st_mtim.tv_nsec)};
    return true;
}

// Sets the modification time of `path` itself, its access time left.
inline bool setModifiedTime(const QString &path, const FileTime &time)
{
    const timespec times[2] = {{0, UTIME_OMIT}, {time_t(time.seconds), time.nanoseconds}};
    return ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, AT_SYMLINK_NOFOLLOW) == 0;
}

// Puts `from` in the place of `to` in one step, whatever `to` held, as a save does.
inline bool renameOver(const QString &from, const QString &to)
{
    return ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

// A symbolic link at `link` naming `target` (relative to the link's folder).
inline bool symbolicLink(const QString &target, const QString &link)
{
    return QFile::link(target, link);
}

// Makes `path` refused to this thread by the system, as long as the object lives: its mode
// becomes `mode` (000: no one may read or write it), and when the process runs as root,
// which the mode alone would not stop, the calling thread also gives up the two
// capabilities that let root pass over file permissions (from its effective set only, so
// it can take them back).  Capabilities belong to a thread: whatever should be refused must
// run on the thread that created this object.  ok() says whether all of it worked.
class AccessDenied {
public:
    explicit AccessDenied(const QString &path, mode_t mode = 0)
        : m_path(QFile::encodeName(path))
    {
        struct stat info {};
        if (::stat(m_path.constData(), &info) != 0 || ::chmod(m_path.constData(), mode) != 0)
            return;
        m_oldMode = info.st_mode & 07777;
        m_chmodded = true;
        if (::geteuid() != 0) {
            m_ok = true;
            return;
        }
        if (!capabilities(m_saved, false))
            return;
        __user_cap_data_struct lowered[_LINUX_CAPABILITY_U32S_3];
        std::copy(std::begin(m_saved), std::end(m_saved), std::begin(lowered));
        for (const int cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH})
            lowered[CAP_TO_INDEX(cap)].effective &= ~CAP_TO_MASK(cap);
        m_lowered = capabilities(lowered, true);
        m_ok = m_lowered;
    }
    ~AccessDenied()
    {
        if (m_lowered)
            capabilities(m_saved, true);
        if (m_chmodded)
            ::chmod(m_path.constData(), m_oldMode);
    }
    AccessDenied(const AccessDenied &) = delete;
    AccessDenied &operator=(const AccessDenied &) = delete;

    bool ok() const { return m_ok; }

private:
    // capget (set false) or capset (set true) on the calling thread, through the raw calls.
    static bool capabilities(__user_cap_data_struct *data, bool set)
    {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        return ::syscall(set ? SYS_capset : SYS_capget, &header, data) == 0;
    }

    QByteArray m_path;
    mode_t m_oldMode = 0;
    bool m_chmodded = false;
    bool m_lowered = false;
    bool m_ok = false;
    __user_cap_data_struct m_saved[_LINUX_CAPABILITY_U32S_3] {};
};

// Frees a reader stuck opening the named pipe at `path`, by opening it for writing and
// closing it again, once `ms` have passed without finish(): a save that would block on the
// pipe for ever then ends, and its test fails instead of hanging.  finish() says whether it
// had to.
class PipeWatchdog {
public:
    explicit PipeWatchdog(const QString &path, int ms = 5000)
        : m_path(QFile::encodeName(path))
        , m_thread([this, ms] {
            if (m_finished.tryAcquire(1, ms))
                return;
            m_fired = true;
            const int fd = ::open(m_path.constData(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0)
                ::close(fd);
        })
    {
    }
    ~PipeWatchdog() { finish(); }
    PipeWatchdog(const PipeWatchdog &) = delete;
    PipeWatchdog &operator=(const PipeWatchdog &) = delete;

    bool finish()
    {
        if (m_thread.joinable()) {
            m_finished.release();
            m_thread.join();
        }
        return m_fired;
    }

private:
    QByteArray m_path;
    QSemaphore m_finished;
    std::atomic<bool> m_fired{false};
    std::thread m_thread;   // last: it starts once the members it uses exist
};

// A folder that refuses new entries to this thread: mode 0555, root's overriding
// capabilities given up as for AccessDenied.
class ReadOnlyFolder : public AccessDenied {
public:
    explicit ReadOnlyFolder(const QString &path)
        : AccessDenied(path, 0555)
    {
    }
};

} // namespace regtest
