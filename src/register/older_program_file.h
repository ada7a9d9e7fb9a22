#pragma once
// The older program's winners file.  Players of the older program kept their winners in the
// Windows system folder; while the player's own file does not exist yet, its first load
// copies the first one found, byte for byte (WinnersFile::load).  This file says where it
// may be, and reads it.  It is only ever read: never written, moved or deleted.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace pindel::winners {

// Where the older program's file may be, most likely first, given the folders it was kept in
// as the system names them (Module1::olderProgramFolders: the system folder, then the 32-bit
// programs' one): for each folder, its per-user VirtualStore copy, where Windows put the older
// program's writes when it had no right to the folder and which it then served the program in
// the folder's place, then the file in the folder itself.  The VirtualStore
// copy of "C:/Windows/System32" is "<local application data>/VirtualStore/Windows/System32"
// (Qt's generic data location is the local application data there).  Each place is cleaned by
// the location rule.  Empty for no folders.
QStringList olderProgramFiles(const QStringList &folders);

// The older program's file: the first of the places where anything is there, read whole.
struct OlderProgramFile {
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

    // What the player is told when it is there but unreadable, on opening the board.
    QString unreadableMessage() const;
    // Why a save may not start the list afresh meanwhile: the names it holds would never
    // reach the new file.
    QString wouldBeLost() const;
};

OlderProgramFile findOlderProgramFile(const QStringList &places);

} // namespace pindel::winners
