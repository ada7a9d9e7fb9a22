#pragma once
// The winners register's policy: how a load turns the file into the winners list (creating
// it, or taking over the older program's, when it is missing) and how a save adds one
// winner, and what the player is told when either cannot.  The parts it uses: the line
// format (winners_format.h), where the file lives (winners_location.h), the disk
// (durable_file.h) and the older program's file (older_program_file.h).
//
// This unit shows no dialog and reads no global: the directory and the older program's
// places come in as arguments and every failure goes back to the caller, with the system's
// reason, for the window to show.

#include "winners_format.h"
#include "winners_location.h"

#include <QString>
#include <QStringList>

namespace pindel::winners {

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
    // `olderProgramFiles`: where the older program's winners file may be, most likely first
    // (see olderProgramFiles(); empty where there was no older program).  Only ever read.
    explicit WinnersFile(QString directory = QString(), QStringList olderProgramFiles = {});

    const QString &directory() const { return m_directory; }
    QString path() const { return filePath(m_directory); }

    // Reads the file.  A missing file is created (the directory first when it is missing)
    // as a copy of the older program's file when there is one, or else holding the
    // placeholder line; never over a file another copy of the program created meanwhile,
    // which is read instead.  An older program's file that exists but cannot be read (refused,
    // a folder in its place)
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
    QString m_directory;
    QStringList m_olderProgramFiles;
    QString m_saveRefused;   // why the last load forbids a save; empty when it allows one
};

} // namespace pindel::winners
