#pragma once
// The winners file: where it lives, how its bytes become the winners list and back.
//
// The file is "001MpTa.cms" in the winners directory, plain Windows-1252 text, one entry per
// line, CR LF after every line.  A line ends at CR or at CR LF; a LF alone stays part of the
// entry; the last line needs no line end; a final line end adds no empty entry; zero bytes
// are no lines.
//
// This unit shows no dialog and reads no global: the directory comes in as an argument and
// every failure goes back to the caller, with the system's reason, for the window to show.
//
// Players of the older program kept the file in the Windows system folder.  The places it
// may be are given to the register too (see WinnersFile), and a first load copies it.

#include <QByteArray>
#include <QString>
#include <QStringList>

#ifdef PINDEL_REGISTER_TEST_HOOKS
#include <functional>
#endif

namespace pindel::winners {

inline constexpr char kFileName[] = "001MpTa.cms";
inline constexpr char kPlaceholder[] = "Aun no lo ha logrado nadie";

// The location rule applied to the directory the platform reports: trailing spaces
// removed; lower-cased only where the file system ignores case (on a case-sensitive file
// system lower-casing would name a directory that does not exist).
QString cleanDirectory(const QString &reported, bool fileSystemIgnoresCase);

// The file's path inside `directory` (joined with '/').
QString filePath(const QString &directory);

// The lock file beside the winners file ("001MpTa.cms.lock"): every running copy of the
// program holds it while it adds a winner, so that no copy writes over another's addition.
// It exists only during a save.
QString lockPath(const QString &directory);

// The byte format, both ways.  decodeLines/encodeLines are exact inverses for every list
// whose entries hold no CR; every byte value 0x00..0xFF survives a round trip.
QStringList decodeLines(const QByteArray &bytes);
QByteArray encodeLines(const QStringList &entries);

// Whether a winner's name can be stored so that it reads back as the same one entry:
// every character is in the 8-bit code page and none is a control character.
bool isStorableName(const QString &name);

struct LoadResult {
    enum class Status {
        Read,          // the file existed and was read to its end
        Created,       // the file was missing and has been created with the placeholder
        Unreadable,    // the file exists but could not be read completely; `lines` holds
                       // what was read, the file is left untouched.  Also: the file was
                       // missing and the older program's file could not be read; nothing
                       // has been created
        CreateFailed,  // the file was missing and could not be created; `lines` holds the
                       // placeholder (or the older program's lines) so the board shows them
        Imported,      // the file was missing and has been created as a copy of the older
                       // program's file, byte for byte; `lines` holds its lines
    };
    Status status = Status::Read;
    QStringList lines;
    QString path;
    QString error;     // the system's reason, for the player; empty on success

    bool ok() const { return status == Status::Read || status == Status::Created || status == Status::Imported; }
};

struct SaveResult {
    bool ok = false;
    QString path;
    QString error;     // the system's reason, for the player; empty on success
};

// One winners file in one directory, possibly shared with other running copies of the
// program.  Keeps whether the last load read the file completely: a save never replaces a
// file that could not be read, since that would lose the winners it holds.
class WinnersFile {
public:
    // `oldFiles`: where the older program's winners file may be, most likely first (empty
    // where there was no older program).  Only ever read, never written, moved or deleted.
    explicit WinnersFile(QString directory = QString(), QStringList oldFiles = {});

    const QString &directory() const { return m_directory; }
    QString path() const { return filePath(m_directory); }

    // Reads the file.  A missing file is created (the directory first when it is missing)
    // as a copy of the first of the old files that exists, or else holding the placeholder
    // line; never over a file another copy of the program created meanwhile, which is read
    // instead.  An old file that exists but cannot be read (refused, a folder in its place)
    // stops the load with the reason: nothing is created, so that the next load tries again,
    // and saves are refused until one does.  An existing file is never written by a load.
    LoadResult load();

    // Adds one winner to the file as it is now, which may hold winners that other copies of
    // the program added since this one loaded.  Under the lock, the file is read again, the
    // name replaces a first line that is exactly the placeholder or is appended after the
    // last line, and the file is replaced atomically: afterwards it is either the old one or
    // the new one, complete.  A missing file counts as the placeholder alone.
    //
    // The file is replaced only while it is still the one that was read (same device,
    // inode, size and modification time): when another copy replaced it in the meantime,
    // the save reads it again and adds the winner to that, a few times at most.  A file
    // deleted since the load counts as what a load would create now.
    //
    // Refused, with a reason and nothing changed, when the name cannot be stored (see
    // isStorableName), when the last load could not read the file, when the path holds
    // something other than a regular file (a folder, a named pipe), when the file cannot
    // be read now, or when it keeps changing under every try.  A lock left by a copy that
    // died is cleared.  A lock that stays taken for about 2 seconds (another copy stuck) or
    // that cannot be created at all does not stop the save: it goes ahead unlocked.  With
    // the lock, the save also removes the temporaries that saves killed long ago left
    // beside the file (see removeLeftoverTemporaries).
    SaveResult addWinner(const QString &name);

private:
    // Creates the directory when missing, then the file holding `bytes`, whole or not at all
    // and never over a file that is there.  False, with the system's reason, when either
    // cannot be created or the path was taken meanwhile.
    bool createWith(const QByteArray &bytes, QString &reason);

    QString m_directory;
    QStringList m_oldFiles;
    QString m_saveRefused;   // why the last load forbids a save; empty when it allows one
};

#ifdef PINDEL_REGISTER_TEST_HOOKS
// Only in the register built for the tests: `hook` runs in every round of every save of
// this process, after the new content is written beside the file and before the check
// that the file is still the one read, the moment a stalled copy would be stopped in.
// setBeforeCreate's hook runs in every load that creates the file, after its content is
// written beside it and before it is put in place.
namespace testing {
void setBeforeReplace(std::function<void()> hook);
void setBeforeCreate(std::function<void()> hook);
}
#endif

} // namespace pindel::winners
