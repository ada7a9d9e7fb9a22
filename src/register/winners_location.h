#pragma once
// Where the winners file lives: "001MpTa.cms" in the folder "pindel" of the player's data
// folder, cleaned by the location rule; the lock beside it.  The older program's places are
// older_program_file.h's.

#include <QString>

namespace pindel::winners {

inline constexpr char kFileName[] = "001MpTa.cms";

// The folder that stands in for the system directory: "pindel" in the per-user data folder
// ($XDG_DATA_HOME/pindel, by default ~/.local/share/pindel, on Linux; %LOCALAPPDATA%\pindel
// on Windows), whatever the application's name is.  Not created here.
QString dataFolder();

// The location rule applied to a directory the platform reports: trailing spaces removed;
// lower-cased only where the file system ignores case (on a case-sensitive file system
// lower-casing would name a directory that does not exist).
QString cleanDirectory(const QString &reported, bool fileSystemIgnoresCase);

// The player's winners directory: dataFolder() under the location rule of this file system.
QString winnersDirectory();

// The file's path inside `directory` (joined with '/').
QString filePath(const QString &directory);

// The lock file beside the winners file ("001MpTa.cms.lock"): every running copy of the
// program holds it while it adds a winner, so that no copy writes over another's addition.
// It exists only during a save.
QString lockPath(const QString &directory);

} // namespace pindel::winners
