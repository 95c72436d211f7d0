#pragma once
#include <string>

// Where the options file and the log live: beside the program when that directory is writable,
// otherwise $XDG_CONFIG_HOME/sonavarium/ (default ~/.config/sonavarium/), created on demand.
// Installed programs sit in read-only directories, hence the fallback.
std::string UserFileDir(const std::string& programDir);
