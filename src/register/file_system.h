#pragma once
// What the winners register asks of the file system that differs from one system to
// another, declared once.  file_system_posix.cpp or file_system_windows.cpp answers it,
// whichever system the build is for (cmake/PindelPlataforma.cmake); nothing else in the
// register knows which one it runs on.

#include <QString>

#include <cstdint>
#include <filesystem>

class QFile;
class QFileDevice;

namespace pindel::winners {

// What tells one state of a file from another without reading it again: its identity (the
// device and inode it lives on; on Windows the volume's serial number and the file's index)
// and its content stamp (size, modification time to the nanosecond; on Windows in 100 ns).
// A save compares the stamp of what it read with the stamp of what the path holds just
// before its rename, so that it never replaces content it has not read.
//
// The modification time comes from the kernel's coarse clock (a few milliseconds on Linux),
// so a rewrite in place that keeps the size, within one tick, keeps the stamp: such a change
// by another program can go unseen.  Saves never rewrite in place: each renames a new inode
// into place, created while the old one still exists, so between copies of this program the
// inode tells even then.
struct FileStamp {
    enum class State {
        Missing,   // nothing at the path
        Present,   // the fields below describe what is there
        Unknown,   // the system would not say (no right to look, an I/O error)
    };
    State state = State::Unknown;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedSeconds = 0;
    std::int64_t modifiedNanoseconds = 0;

    // Unknown equals nothing, itself included: a state nobody could see is never taken for
    // the one that was read.
    friend bool operator==(const FileStamp &a, const FileStamp &b)
    {
        if (a.state == State::Unknown || b.state == State::Unknown || a.state != b.state)
            return false;
        return a.state == State::Missing
            || (a.device == b.device && a.inode == b.inode && a.size == b.size
                && a.modifiedSeconds == b.modifiedSeconds && a.modifiedNanoseconds == b.modifiedNanoseconds);
    }
    friend bool operator!=(const FileStamp &a, const FileStamp &b) { return !(a == b); }
};

// The stamp of whatever `path` names now, symbolic links followed (the atomic replace
// writes through them too).
FileStamp stampOfPath(const QString &path);

// The stamp of the file `file` has open: the very inode its bytes come from, whatever the
// path names by now.
FileStamp stampOfOpenFile(const QFile &file);

// Pushes what `file` holds to the disk, so that a rename after it can never put in place a
// file whose bytes a power cut would lose.
void syncToDisk(QFileDevice &file);

// How long a read or a replace refused because another program has the file open is tried
// again, in milliseconds.  Windows refuses to replace a file that any program has open
// (another copy reading it, a virus scanner) and to open a file that a save is just putting
// in place (Qt's replace holds the new file, shared with no one, until its rename is done):
// both last a moment.  Elsewhere an open file can be opened and replaced, and a refusal is
// final at once.
int inUseWaitMs();

// Whether the lock file's few bytes fit on the disk of `directory`.  On Windows QLockFile
// keeps a lock file it could create but not write (a full disk) open until the program ends:
// the file stays behind, and no later save of this run can take the lock.  Elsewhere
// QLockFile removes a lock file it could not write, and the answer is always yes.
bool roomForTheLock(const QString &directory);

// Whether the file system ignores the case of names (Windows') or not.
bool fileSystemIgnoresCase();

// `path` as the standard library's file system functions take it: every letter of it,
// whatever the system's 8-bit code page can hold.
std::filesystem::path nativePath(const QString &path);

} // namespace pindel::winners
