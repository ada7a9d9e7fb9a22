#include "winners_file.h"

#include "durable_file.h"
#include "file_system.h"
#include "leftover_temporaries.h"
#include "older_program_file.h"

#include <QFileInfo>
#include <QLockFile>

#include <utility>

namespace pindel::winners {

namespace {

// How long a save waits for another copy's lock before it goes ahead without it.  A save
// holds the lock for milliseconds; a copy that keeps it longer is stuck, and the player
// must not wait for it.
constexpr int kLockWaitMs = 2000;

// A lock file whose holder cannot be checked (killed after creating it, before writing its
// process id into it) counts as abandoned once it is this old.  QLockFile removes a stale
// lock only when its holder no longer keeps the file locked with flock, so a live copy,
// however slow, never loses its lock this way.
constexpr int kStaleLockMs = 1000;

// How many times a save starts again from a fresh read when the file changed under it
// before it could replace it.  Each round is one read and one write of a small file; a file
// that keeps changing that often is being rewritten by something else in a loop, and the
// save gives up, with the reason, rather than spin.
constexpr int kSaveRounds = 5;

// Why a save is refused after a load that could not read the file whole.
const QString kUnreadAtLoad = QStringLiteral("no se pudo leer entero al abrir el tablero y se "
                                             "perderían los nombres que guarda");

QString readFailed(const QString &path, const QString &reason)
{
    return QStringLiteral("No se pudo leer el archivo de ganadores %1: %2").arg(path, reason);
}

QString createFailed(const QString &path, const QString &reason)
{
    return QStringLiteral("No se pudo crear el archivo de ganadores %1: %2").arg(path, reason);
}

QString saveFailed(const QString &path, const QString &reason)
{
    return QStringLiteral("No se pudo guardar el archivo de ganadores %1: %2").arg(path, reason);
}

// Takes the lock that orders the saves of every running copy, waiting at most kLockWaitMs
// for a copy that holds it.  A holder that has died leaves a stale lock, which QLockFile
// recognises (its process is gone) and removes.  An error that waiting cannot cure (no
// right to create the lock file, a full disk) ends the wait at once.  Short pauses rather
// than QLockFile's own doubling ones: a copy saving in a loop frees the lock only for a
// moment between saves, and a waiter that sleeps long would miss every such moment.
bool takeLock(QLockFile &lock)
{
    bool taken = false;
    keepTrying(kLockWaitMs, [&] {
        taken = lock.tryLock(0);
        return !taken && lock.error() == QLockFile::LockFailedError;
    });
    return taken;
}

} // namespace

WinnersFile::WinnersFile(QString directory, QStringList olderProgramFiles)
    : m_directory(std::move(directory)), m_olderProgramFiles(std::move(olderProgramFiles))
{
}

LoadResult WinnersFile::load()
{
    LoadResult result;
    result.path = path();
    const QFileInfo info(result.path);

    if (const QString odd = notARegularFile(info); !odd.isEmpty()) {
        // A directory or a device where the file should be: reading it could block, and
        // nothing may be created over it.
        m_saveRefused = kUnreadAtLoad;
        result.status = LoadResult::Status::Unreadable;
        result.error = readFailed(result.path, odd);
        return result;
    }

    if (!info.exists()) {
        const OlderProgramFile old = findOlderProgramFile(m_olderProgramFiles);
        if (old.state == OlderProgramFile::State::Unreadable) {
            m_saveRefused = old.wouldBeLost();
            result.status = LoadResult::Status::Unreadable;
            result.lines = decodeLines(old.bytes);
            result.error = old.unreadableMessage();
            return result;
        }
        const bool importing = old.state == OlderProgramFile::State::Found;
        const QByteArray first = importing ? old.bytes : placeholderFile();
        QString reason;
        if (makeDirectory(m_directory, reason) && createNew(result.path, first, reason)) {
            m_saveRefused.clear();
            result.status = importing ? LoadResult::Status::Imported : LoadResult::Status::Created;
            result.lines = decodeLines(first);
            return result;
        }
        if (!QFileInfo::exists(result.path)) {
            // Nothing stored there that a save could lose, unless the older program's names
            // were to be copied: a save now would start the list without them.
            m_saveRefused = importing ? old.wouldBeLost() : QString();
            result.status = LoadResult::Status::CreateFailed;
            result.lines = decodeLines(first);
            result.error = createFailed(result.path, reason);
            return result;
        }
        // Another copy of the program created the file in the meantime: read that one.
    }

    QByteArray bytes;
    QString reason;
    const bool complete = readWhole(result.path, bytes, reason);
    m_saveRefused = complete ? QString() : kUnreadAtLoad;
    result.lines = decodeLines(bytes);
    if (complete) {
        result.status = LoadResult::Status::Read;
    } else {
        result.status = LoadResult::Status::Unreadable;
        result.error = readFailed(result.path, reason);
    }
    return result;
}

SaveResult WinnersFile::addWinner(const QString &name)
{
    SaveResult result;
    result.path = path();
    if (!m_saveRefused.isEmpty()) {
        result.error = saveFailed(result.path, m_saveRefused);
        return result;
    }
    if (!isStorableName(name)) {
        result.error = saveFailed(result.path,
                                  QStringLiteral("«%1» tiene caracteres que el archivo no puede guardar")
                                      .arg(name));
        return result;
    }
    QString reason;
    if (!makeDirectory(m_directory, reason)) {
        result.error = saveFailed(result.path, reason);
        return result;
    }

    // Without the lock the save still goes ahead: a stuck copy must not cost this player
    // the win, and the check before the rename still keeps everything the file holds.
    QLockFile lock(lockPath(m_directory));
    lock.setStaleLockTime(kStaleLockMs);
    if (roomForTheLock(m_directory) && takeLock(lock))
        removeLeftoverTemporaries(m_directory);

    // The file is read, the winner added and the result put in its place only if the path
    // still holds the file that was read.  Under the lock no other copy changes it, but a
    // copy that waited for the lock in vain goes ahead without it, and a copy stalled
    // while holding the lock resumes later: either may have replaced the file in the
    // meantime, and then this save starts again from what is there now.
    for (int round = 0; round < kSaveRounds; ++round) {
        if (const QString odd = notARegularFile(QFileInfo(result.path)); !odd.isEmpty()) {
            // Something put there since the board opened: reading a folder fails vaguely
            // and reading a named pipe would block the save, and the game, for ever.
            result.error = saveFailed(result.path, odd);
            return result;
        }
        QByteArray current;
        FileStamp read = stampOfPath(result.path);
        if (read.state == FileStamp::State::Missing) {
            // Deleted since the load: it stands for what a load would create now.
            const OlderProgramFile old = findOlderProgramFile(m_olderProgramFiles);
            if (old.state == OlderProgramFile::State::Unreadable) {
                result.error = saveFailed(result.path, old.wouldBeLost());
                return result;
            }
            current = old.state == OlderProgramFile::State::Found ? old.bytes : placeholderFile();
        } else if (!readWhole(result.path, current, reason, &read)) {
            result.error = saveFailed(result.path,
                                      QStringLiteral("no se pudo leer (%1) y se perderían los "
                                                     "nombres que guarda").arg(reason));
            return result;
        }

        switch (replaceIfUnchanged(result.path, withWinner(current, name), read, reason)) {
        case Replaced::Done:
            result.ok = true;
            return result;
        case Replaced::Failed:
            result.error = saveFailed(result.path, reason);
            return result;
        case Replaced::ChangedMeanwhile:
            break;
        }
    }
    result.error = saveFailed(result.path,
                              QStringLiteral("otro programa lo cambiaba una y otra vez mientras se "
                                             "guardaba; no se ha tocado"));
    return result;
}

} // namespace pindel::winners
