#pragma once
#include <string>

// Where the options file and the log live: beside the program when that directory is writable,
// otherwise $XDG_CONFIG_HOME/sonavarium/ (default ~/.config/sonavarium/), created on demand.
// Installed programs sit in read-only directories, hence the fallback. XDG_CONFIG_HOME counts
// only when it is an absolute path and not a file; with neither it nor HOME usable, the
// private per-user folder below is taken. A reason a setting was passed over goes to *note.
std::string UserFileDir(const std::string& programDir, std::string* note = nullptr);

// A folder under parent that only this user can reach ("/tmp/sonavarium-UID/", mode 0700, owned
// by us, not a link). When that name is taken by someone else, a fresh private folder is made
// for the life of the process. Ends in "/".
std::string PrivateUserDir(const std::string& parent = "/tmp");

// Whether path is a directory of ours that nobody else may enter or write (links refused).
bool IsPrivateDir(const std::string& path);
