#pragma once
// The winners file as the disk keeps it: read whole, created without replacing anything,
// replaced only while it is still the file that was read, never left half-written.  Each
// call tries again for a moment while another program holds the file (file_system.h says
// how long), and every failure comes back with the system's reason, for the player.

#include "file_system.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QString>
#include <QThread>

#include <algorithm>

#ifdef PINDEL_REGISTER_TEST_HOOKS
#include <functional>
#endif

class QFileInfo;

namespace pindel::winners {

// Calls `tryOnce` until it answers that another try is not worth it, or for at most `waitMs`
// (one call with 0).  What another program holds up lasts a moment: the pauses between
// tries are short, so that the moment it is free is not missed.
template <typename TryOnce>
void keepTrying(int waitMs, TryOnce tryOnce)
{
    const QDeadlineTimer deadline(waitMs);
    for (unsigned pauseMs = 1; tryOnce() && !deadline.hasExpired(); pauseMs = std::min(pauseMs * 2, 8u))
        QThread::msleep(pauseMs);
}

// Creates `directory` and its missing parents.  False, with the reason, when it cannot.
bool makeDirectory(const QString &directory, QString &reason);

// The reason to give when the path holds something other than a regular file; empty
// when it is a regular file (or nothing at all).
QString notARegularFile(const QFileInfo &info);

// Reads the whole file; false, with the system's reason, when it cannot be opened or a read
// fails part-way (`bytes` then holds what was read).  `stamp`, when given, receives the
// stamp of the file the bytes come from, taken before the first byte is read.
bool readWhole(const QString &path, QByteArray &bytes, QString &reason, FileStamp *stamp = nullptr);

// Creates the file at `path` holding `bytes`, whole or not at all, and never over a file
// that is there: written beside it first, then renamed into place by a rename that replaces
// nothing.  False, with the system's reason, when it cannot be created or the path was taken
// meanwhile (by another copy of the program).
bool createNew(const QString &path, const QByteArray &bytes, QString &reason);

enum class Replaced {
    Done,               // the path holds `bytes` now
    Failed,             // nothing changed; `reason` says why
    ChangedMeanwhile,   // the path no longer holds the file stamped `read`: nothing changed
};

// Replaces the file at `path` with `bytes` in one rename, provided the path still holds the
// file stamped `read`.  Afterwards the path holds either the old file or the new one,
// complete: a crash or a full disk leaves the old file whole.
Replaced replaceIfUnchanged(const QString &path, const QByteArray &bytes, const FileStamp &read,
                            QString &reason);

#ifdef PINDEL_REGISTER_TEST_HOOKS
// Only in the register built for the tests: `hook` runs in every replace of this process,
// after the new content is written beside the file and before the check that the file is
// still the one read, the moment a stalled copy would be stopped in.  setBeforeCreate's hook
// runs in every createNew, after the content is written beside the file and before it is put
// in place.
namespace testing {
void setBeforeReplace(std::function<void()> hook);
void setBeforeCreate(std::function<void()> hook);
}
#endif

} // namespace pindel::winners
