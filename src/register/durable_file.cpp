#include "durable_file.h"

#include "file_system.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>

#include <system_error>
#include <utility>

namespace pindel::winners {

namespace {

constexpr qint64 kReadChunk = 64 * 1024;

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

// Opens `file` for reading, trying again for a moment while it is there but refused.
bool openForReading(QFile &file, QString &reason)
{
    bool opened = false;
    keepTrying(inUseWaitMs(), [&] {
        opened = file.open(QIODevice::ReadOnly);
        return !opened && QFileInfo::exists(file.fileName());
    });
    if (!opened)
        reason = file.errorString();
    return opened;
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

// A temporary file written without Qt's buffer, so that a short write (a full disk) shows at
// once and is retried for the system's reason, which the player is owed.
class UnbufferedTemporary : public QTemporaryFile {
public:
    using QTemporaryFile::QTemporaryFile;
    bool openUnbuffered() { return open(QIODevice::ReadWrite | QIODevice::Unbuffered); }
};

enum class Attempt { Done, Failed, RenameRefused, ChangedMeanwhile };

// One try of replaceIfUnchanged.  Unbuffered, so that a short write shows at once and is
// retried for its reason.
//
// The stamp is checked after the temporary is written and synced to the disk, the slow
// part, so that only commit() itself (a sync with nothing left to write, a link, the
// rename: a fraction of a millisecond) lies between the check and the replace.  A copy
// stopped inside that gap still puts back what it read.  Nothing closes it: a rename
// replaces whatever the name holds, and the system offers no rename that happens only if
// the target is still a given file.
Attempt replaceOnce(const QString &path, const QByteArray &bytes, const FileStamp &read, QString &reason)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        reason = file.errorString();
        return Attempt::Failed;
    }
    if (!writeAll(file, bytes, reason)) {
        file.cancelWriting();
        return Attempt::Failed;
    }
    // commit() syncs too; done here, its own sync finds nothing left to write.
    syncToDisk(file);
#ifdef PINDEL_REGISTER_TEST_HOOKS
    if (beforeReplaceHook())
        beforeReplaceHook()();
#endif
    if (stampOfPath(path) != read) {
        file.cancelWriting();
        return Attempt::ChangedMeanwhile;
    }
    if (!file.commit()) {
        reason = file.errorString();
        return Attempt::RenameRefused;
    }
    return Attempt::Done;
}

} // namespace

bool makeDirectory(const QString &directory, QString &reason)
{
    // QDir::mkpath gives no reason when it fails; the standard library does, and the player
    // is owed one.
    if (directory.isEmpty() || QFileInfo(directory).isDir())
        return true;
    std::error_code error;
    std::filesystem::create_directories(nativePath(directory), error);
    if (!error)
        return true;
    reason = QStringLiteral("no se pudo crear la carpeta %1 (%2)")
                 .arg(directory, QString::fromLocal8Bit(error.message()));
    return false;
}

QString notARegularFile(const QFileInfo &info)
{
    if (info.isDir())
        return QStringLiteral("en su lugar hay una carpeta");
    if (info.exists() && !info.isFile())
        return QStringLiteral("no es un archivo normal");
    return {};
}

bool readWhole(const QString &path, QByteArray &bytes, QString &reason, FileStamp *stamp)
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

bool createNew(const QString &path, const QByteArray &bytes, QString &reason)
{
    // Written beside the file under a name of the form the saves sweep away, then renamed
    // into place by a rename that never replaces: a copy killed part-way leaves no cut file
    // to be read as the list, and a file another copy created meanwhile stays as it is.
    UnbufferedTemporary file(path + QStringLiteral(".XXXXXX"));
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
    if (!file.rename(path)) {
        reason = file.errorString();
        file.remove();
        return false;
    }
    return true;
}

Replaced replaceIfUnchanged(const QString &path, const QByteArray &bytes, const FileStamp &read,
                            QString &reason)
{
    // Tried again for a moment while the rename is refused (the file open elsewhere), each
    // time from the check that the file is still the one read.
    Attempt attempt = Attempt::Failed;
    keepTrying(inUseWaitMs(), [&] {
        attempt = replaceOnce(path, bytes, read, reason);
        return attempt == Attempt::RenameRefused;
    });
    switch (attempt) {
    case Attempt::Done: return Replaced::Done;
    case Attempt::ChangedMeanwhile: return Replaced::ChangedMeanwhile;
    case Attempt::Failed:
    case Attempt::RenameRefused: break;
    }
    return Replaced::Failed;
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
