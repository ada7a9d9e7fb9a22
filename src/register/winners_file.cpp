#include "winners_file.h"

#include "cp1252.h"
#include "file_stamp.h"
#include "leftover_temporaries.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QDir>
#include <QLockFile>
#include <QSaveFile>
#include <QTemporaryFile>
#include <QThread>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <system_error>
#include <utility>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif
#ifdef Q_OS_WIN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <io.h>
#include <windows.h>
#endif

namespace pindel::winners {

namespace {

constexpr qint64 kReadChunk = 64 * 1024;

// How long a save waits for another copy's lock before it goes ahead without it.  A save
// holds the lock for milliseconds; a copy that keeps it longer is stuck, and the player
// must not wait for it.
constexpr int kLockWaitMs = 2000;

// A lock file whose holder cannot be checked (killed after creating it, before writing its
// process id into it) counts as abandoned once it is this old.  QLockFile removes a stale
// lock only when its holder no longer keeps the file locked with flock, so a live copy,
// however slow, never loses its lock this way.
constexpr int kStaleLockMs = 1000;

// How long a read or a replace refused because another program has the file open is tried
// again.  Windows refuses to replace a file that any program has open (another copy reading
// it, a virus scanner) and to open a file that a save is just putting in place (Qt's replace
// holds the new file, shared with no one, until its rename is done): both last a moment.
// Elsewhere an open file can be opened and replaced, and a refusal is final at once.
#ifdef Q_OS_WIN
constexpr int kInUseWaitMs = 1000;
#else
constexpr int kInUseWaitMs = 0;
#endif

// How many times a save starts again from a fresh read when the file changed under it
// before it could replace it.  Each round is one read and one write of a small file; a file
// that keeps changing that often is being rewritten by something else in a loop, and the
// save gives up, with the reason, rather than spin.
constexpr int kSaveRounds = 5;

// Why a save is refused after a load that could not read the file whole.
const QString kUnreadAtLoad = QStringLiteral("no se pudo leer entero al abrir el tablero y se "
                                             "perderían los nombres que guarda");

#ifdef PINDEL_REGISTER_TEST_HOOKS
std::function<void()> &beforeReplaceHook()
{
    static std::function<void()> hook;
    return hook;
}

std::function<void()> &beforeCreateHook()
{
    static std::function<void()> hook;
    return hook;
}
#endif

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

QString oldFileUnreadable(const QString &path, const QString &reason)
{
    return QStringLiteral("No se pudo leer el archivo de ganadores anterior %1: %2\n"
                          "No se ha creado el archivo nuevo, para no perder los nombres que "
                          "guarda; se intentará otra vez al abrir el tablero.").arg(path, reason);
}

// Creates `directory` and its missing parents.  QDir::mkpath gives no reason when it
// fails; the standard library does, and the player is owed one.
bool makeDirectory(const QString &directory, QString &reason)
{
    if (directory.isEmpty() || QFileInfo(directory).isDir())
        return true;
#ifdef Q_OS_WIN
    const std::filesystem::path native(directory.toStdWString());
#else
    const std::filesystem::path native(QFile::encodeName(directory).toStdString());
#endif
    std::error_code error;
    std::filesystem::create_directories(native, error);
    if (!error)
        return true;
    reason = QStringLiteral("no se pudo crear la carpeta %1 (%2)")
                 .arg(directory, QString::fromLocal8Bit(error.message()));
    return false;
}

// The reason to give when the path holds something other than a regular file; empty
// when it is a regular file (or nothing at all).
QString notARegularFile(const QFileInfo &info)
{
    if (info.isDir())
        return QStringLiteral("en su lugar hay una carpeta");
    if (info.exists() && !info.isFile())
        return QStringLiteral("no es un archivo normal");
    return {};
}

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

// Opens `file` for reading, trying again for kInUseWaitMs while it is there but refused.
bool openForReading(QFile &file, QString &reason)
{
    bool opened = false;
    keepTrying(kInUseWaitMs, [&] {
        opened = file.open(QIODevice::ReadOnly);
        return !opened && QFileInfo::exists(file.fileName());
    });
    if (!opened)
        reason = file.errorString();
    return opened;
}

// Reads the whole file; false, with the system's reason, when it cannot be opened or a read
// fails part-way (`bytes` then holds what was read).  `stamp`, when given, receives the
// stamp of the file the bytes come from, taken before the first byte is read.
bool readAll(const QString &path, QByteArray &bytes, QString &reason, FileStamp *stamp = nullptr)
{
    QFile file(path);
    if (!openForReading(file, reason))
        return false;
    if (stamp)
        *stamp = stampOfOpenFile(file);
    char chunk[kReadChunk];
    for (;;) {
        const qint64 n = file.read(chunk, kReadChunk);
        if (n < 0) {
            reason = file.errorString();
            return false;
        }
        if (n == 0)
            return true;
        bytes.append(chunk, n);
    }
}

// Pushes what `file` holds to the disk, so that a rename after it can never put in place a
// file whose bytes a power cut would lose.
void syncToDisk(QFileDevice &file)
{
#ifdef Q_OS_UNIX
    (void)::fsync(file.handle());
#elif defined(Q_OS_WIN)
    (void)::_commit(file.handle());
#else
    Q_UNUSED(file);
#endif
}

// A full disk or a file size limit first shows as a short write with no error set; only
// the next write fails and gives the system's reason, which the player is owed.
bool writeAll(QFileDevice &file, const QByteArray &bytes, QString &reason)
{
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 n = file.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0) {
            reason = file.error() == QFileDevice::NoError ? QStringLiteral("no se pudo escribir")
                                                          : file.errorString();
            return false;
        }
        done += n;
    }
    return true;
}

enum class Replaced { Done, Failed, RenameRefused, ChangedMeanwhile };

// Replaces the file at `path` with `bytes` in one rename, provided the path still holds the
// file stamped `read`: the new content goes to a temporary file beside the old one first,
// so a crash or a full disk leaves the old file whole.  Unbuffered, so that a short write
// shows at once and is retried for its reason.
//
// The stamp is checked after the temporary is written and synced to the disk, the slow
// part, so that only commit() itself (a sync with nothing left to write, a link, the
// rename: a fraction of a millisecond) lies between the check and the replace.  A copy
// stopped inside that gap still puts back what it read.  Nothing closes it: a rename
// replaces whatever the name holds, and the system offers no rename that happens only if
// the target is still a given file.
Replaced replaceFile(const QString &path, const QByteArray &bytes, const FileStamp &read, QString &reason)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        reason = file.errorString();
        return Replaced::Failed;
    }
    if (!writeAll(file, bytes, reason)) {
        file.cancelWriting();
        return Replaced::Failed;
    }
    // commit() syncs too; done here, its own sync finds nothing left to write.
    syncToDisk(file);
#ifdef PINDEL_REGISTER_TEST_HOOKS
    if (beforeReplaceHook())
        beforeReplaceHook()();
#endif
    if (stampOfPath(path) != read) {
        file.cancelWriting();
        return Replaced::ChangedMeanwhile;
    }
    if (!file.commit()) {
        reason = file.errorString();
        return Replaced::RenameRefused;
    }
    return Replaced::Done;
}

// replaceFile, tried again for kInUseWaitMs while the rename is refused, each time from the
// check that the file is still the one read.
Replaced replaceWhenFree(const QString &path, const QByteArray &bytes, const FileStamp &read, QString &reason)
{
    Replaced replaced = Replaced::Failed;
    keepTrying(kInUseWaitMs, [&] {
        replaced = replaceFile(path, bytes, read, reason);
        return replaced == Replaced::RenameRefused;
    });
    return replaced;
}

// Whether `bytes` is already in the form a save writes: every CR followed by LF, and a CR LF
// at the end unless there are no bytes.  Such a file reads as lines and writes back as
// itself, so a winner can be added to its bytes without taking it apart into lines.
bool endsEveryLineWithCrLf(const QByteArray &bytes)
{
    if (!bytes.isEmpty() && !bytes.endsWith("\r\n"))
        return false;
    for (qsizetype i = bytes.indexOf('\r'); i >= 0; i = bytes.indexOf('\r', i + 2)) {
        if (i + 1 == bytes.size() || bytes.at(i + 1) != '\n')
            return false;
    }
    return true;
}

// The file a first load creates, and what a file that has gone missing stands for: the
// placeholder alone.
QByteArray placeholderFile()
{
    return QByteArray(kPlaceholder) + "\r\n";
}

// The file `bytes` with the winner `name` added by the game's rule: a first line that is
// exactly the placeholder is replaced by the name, otherwise the name becomes the last
// line.  Line ends become CR LF, as every save writes them.
QByteArray withWinner(QByteArray bytes, const QString &name)
{
    if (!endsEveryLineWithCrLf(bytes))
        bytes = encodeLines(decodeLines(bytes));
    const QByteArray line = cp1252::encode(name) + "\r\n";
    const QByteArray placeholderLine = placeholderFile();
    if (bytes.startsWith(placeholderLine))
        return bytes.replace(0, placeholderLine.size(), line);
    return bytes.append(line);
}

// A temporary file written without Qt's buffer, so that a short write (a full disk) shows at
// once and is retried for the system's reason, which the player is owed.
class UnbufferedTemporary : public QTemporaryFile {
public:
    using QTemporaryFile::QTemporaryFile;
    bool openUnbuffered() { return open(QIODevice::ReadWrite | QIODevice::Unbuffered); }
};

// The older program's winners file: the first of the places it may be where anything is
// there, read whole.
struct OldFile {
    enum class State {
        None,         // in none of the places
        Found,        // `bytes` holds all of it
        Unreadable,   // it is there but could not be read: `reason` says why, `bytes` holds
                      // what was read
    };
    State state = State::None;
    QString path;
    QByteArray bytes;
    QString reason;
};

OldFile findOldFile(const QStringList &places)
{
    OldFile old;
    for (const QString &place : places) {
        const QFileInfo info(place);
        if (!info.exists())
            continue;
        old.path = place;
        if (const QString odd = notARegularFile(info); !odd.isEmpty()) {
            old.state = OldFile::State::Unreadable;
            old.reason = odd;
        } else {
            old.state = readAll(place, old.bytes, old.reason) ? OldFile::State::Found
                                                               : OldFile::State::Unreadable;
        }
        return old;
    }
    return old;
}

// Why a save may not start the list afresh while the older program's file is unreadable:
// the names it holds would never reach the new file.
QString oldFileWouldBeLost(const OldFile &old)
{
    return QStringLiteral("no se pudo leer el archivo de ganadores anterior %1 y se perderían los "
                          "nombres que guarda").arg(old.path);
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

// Whether the lock file's few bytes fit on the disk.  On Windows QLockFile keeps a lock file
// it could create but not write (a full disk) open until the program ends: the file stays
// behind, and no later save of this run can take the lock.  With no room for it, a save goes
// ahead without the lock, as when the lock cannot be created at all.
bool roomForTheLock(const QString &directory)
{
#ifdef Q_OS_WIN
    ULARGE_INTEGER available {};
    return !::GetDiskFreeSpaceExW(reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(directory).utf16()),
                                  &available, nullptr, nullptr)
        || available.QuadPart > 0;
#else
    Q_UNUSED(directory);
    return true;   // elsewhere QLockFile removes a lock file it could not write
#endif
}

} // namespace

QString cleanDirectory(const QString &reported, bool fileSystemIgnoresCase)
{
    QString directory = fileSystemIgnoresCase ? reported.toLower() : reported;
    qsizetype end = directory.size();
    while (end > 0 && directory.at(end - 1) == QLatin1Char(' '))
        --end;
    directory.truncate(end);
    return directory;
}

QString filePath(const QString &directory)
{
    if (directory.endsWith(QLatin1Char('/')))
        return directory + QLatin1String(kFileName);
    return directory + QLatin1Char('/') + QLatin1String(kFileName);
}

QString lockPath(const QString &directory)
{
    return filePath(directory) + QLatin1String(".lock");
}

QStringList decodeLines(const QByteArray &bytes)
{
    const QString text = cp1252::decode(bytes);
    QStringList lines;
    lines.reserve(bytes.count('\r') + 1);
    const qsizetype size = text.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < size; ++i) {
        if (text.at(i) != QLatin1Char('\r'))
            continue;
        lines.append(text.mid(start, i - start));
        if (i + 1 < size && text.at(i + 1) == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < size)
        lines.append(text.mid(start));
    return lines;
}

// The entries joined, CR LF after each, in one pass through the converter (one converter
// per entry would cost more than the whole write for a long list).
QByteArray encodeLines(const QStringList &entries)
{
    qsizetype total = 0;
    for (const QString &entry : entries)
        total += entry.size() + 2;
    QString text;
    text.reserve(total);
    for (const QString &entry : entries) {
        text.append(entry);
        text.append(QLatin1String("\r\n"));
    }
    return cp1252::encode(text);
}

bool isStorableName(const QString &name)
{
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        if (u < 0x20 || (u >= 0x7F && u <= 0x9F))
            return false;
    }
    return cp1252::canEncode(name);
}

WinnersFile::WinnersFile(QString directory, QStringList oldFiles)
    : m_directory(std::move(directory)), m_oldFiles(std::move(oldFiles))
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
        const OldFile old = findOldFile(m_oldFiles);
        if (old.state == OldFile::State::Unreadable) {
            m_saveRefused = oldFileWouldBeLost(old);
            result.status = LoadResult::Status::Unreadable;
            result.lines = decodeLines(old.bytes);
            result.error = oldFileUnreadable(old.path, old.reason);
            return result;
        }
        const bool importing = old.state == OldFile::State::Found;
        const QByteArray first = importing ? old.bytes : placeholderFile();
        QString reason;
        if (createWith(first, reason)) {
            m_saveRefused.clear();
            result.status = importing ? LoadResult::Status::Imported : LoadResult::Status::Created;
            result.lines = decodeLines(first);
            return result;
        }
        if (!QFileInfo::exists(result.path)) {
            // Nothing stored there that a save could lose, unless the older program's names
            // were to be copied: a save now would start the list without them.
            m_saveRefused = importing ? oldFileWouldBeLost(old) : QString();
            result.status = LoadResult::Status::CreateFailed;
            result.lines = decodeLines(first);
            result.error = createFailed(result.path, reason);
            return result;
        }
        // Another copy of the program created the file in the meantime: read that one.
    }

    QByteArray bytes;
    QString reason;
    const bool complete = readAll(result.path, bytes, reason);
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

bool WinnersFile::createWith(const QByteArray &bytes, QString &reason)
{
    if (!makeDirectory(m_directory, reason))
        return false;
    // Written beside the file under a name of the form the saves sweep away, then renamed
    // into place by a rename that never replaces: a copy killed part-way leaves no cut file
    // to be read as the list, and a file another copy created meanwhile stays as it is.
    UnbufferedTemporary file(path() + QStringLiteral(".XXXXXX"));
    if (!file.openUnbuffered()) {
        reason = file.errorString();
        return false;
    }
    if (!writeAll(file, bytes, reason))
        return false;
    syncToDisk(file);
#ifdef PINDEL_REGISTER_TEST_HOOKS
    if (beforeCreateHook())
        beforeCreateHook()();
#endif
    file.setAutoRemove(false);   // once renamed, it would remove the winners file
    if (!file.rename(path())) {
        reason = file.errorString();
        file.remove();
        return false;
    }
    return true;
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
            const OldFile old = findOldFile(m_oldFiles);
            if (old.state == OldFile::State::Unreadable) {
                result.error = saveFailed(result.path, oldFileWouldBeLost(old));
                return result;
            }
            current = old.state == OldFile::State::Found ? old.bytes : placeholderFile();
        } else if (!readAll(result.path, current, reason, &read)) {
            result.error = saveFailed(result.path,
                                      QStringLiteral("no se pudo leer (%1) y se perderían los "
                                                     "nombres que guarda").arg(reason));
            return result;
        }

        switch (replaceWhenFree(result.path, withWinner(current, name), read, reason)) {
        case Replaced::Done:
            result.ok = true;
            return result;
        case Replaced::Failed:
        case Replaced::RenameRefused:
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

#ifdef PINDEL_REGISTER_TEST_HOOKS
void testing::setBeforeReplace(std::function<void()> hook)
{
    beforeReplaceHook() = std::move(hook);
}

void testing::setBeforeCreate(std::function<void()> hook)
{
    beforeCreateHook() = std::move(hook);
}
#endif

} // namespace pindel::winners
