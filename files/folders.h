// Folders this program writes into: the ones it makes are private, the ones it finds are
// left as they are, and a name in a folder other users can write is not trusted.
#pragma once

#include <string>

#include "base/outcome.h"

namespace files {

// Makes `dir` and every missing folder above it, each 0700 whatever the umask. A folder that
// already exists keeps its mode and owner (a shared folder is never closed to its users).
// A failure names the folder and gives the system's reason and kind.
base::Outcome<> MakePrivateFolders(const std::string& dir);

// Whether this user may create files in the folder `dir` (false when there is none). On
// Windows, where the folder's access list decides and no mode bits tell, a file is created
// there and removed.
bool MayCreateIn(const std::string& dir);

// A file that others may read or write (as an older installation left the password file) is
// made the owner's alone: its group and other permissions are cleared. Nothing when `path` is
// no regular file or a symbolic link, and nothing on Windows, where a file has the access list
// of its folder.
void CloseToOthers(const std::string& path);

// Refused (kPlantedLink) when the symbolic link at `path` must not be followed; a success
// when `path` is no link or may be followed.
// A link is refused in a folder other users can write (group or world writable, or another
// user's) when it sits in a sticky world-writable folder such as /tmp, or belongs to another
// user; there it may have been planted to make this program replace the file it names.
// The user's own link in a folder only they (or root) can write is followed.
base::Outcome<> LinkRefusal(const std::string& path);

// The reason given for such a link.
inline constexpr const char* kPlantedLink =
    "the name is a symbolic link in a folder other users can write, which may have been planted there; "
    "it was not followed (remove the link or choose another name)";

// Removes from `dir` the temporary files of WriteAtomically (".NAME.tmpPID-N-XXXXXXXXXXXXXXXX")
// that this user left behind and that are older than this program: their writer was killed
// before it could rename or remove them, and is no longer running. Returns how many it removed.
int RemoveStaleTemporaries(const std::string& dir);

}  // namespace files
