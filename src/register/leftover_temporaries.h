#pragma once
// The temporaries a save leaves behind when it is killed between writing the new content
// beside the winners file and its rename.  The atomic replace names them after the file:
// "001MpTa.cms." followed by six letters A-Z or a-z.  Nothing else ever removes them.

#include <QString>

namespace pindel::winners {

// Whether `fileName` (a name, not a path) has exactly the form of a temporary of the
// winners file.
bool isTemporaryName(const QString &fileName);

// Removes from `directory` the temporaries of the winners file that were last modified
// at least `minimumAgeSeconds` ago: only regular files (never a symbolic link, a folder
// or a pipe, whatever its name) whose name has exactly that form.  A save in progress
// keeps its temporary young, so only one killed long ago goes.  Returns how many were
// removed.  Meant to run under the lock.
int removeLeftoverTemporaries(const QString &directory, int minimumAgeSeconds = 60);

} // namespace pindel::winners
