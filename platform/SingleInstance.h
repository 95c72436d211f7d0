#pragma once
#include <string>

enum class TInstanceLock { Acquired, HeldByOther, Unavailable };

// Takes the per-user lock that marks a running player. The lock lives as long as the process
// (the descriptor stays open and is not inherited by spawned programs). Unavailable means the
// lock file could not be opened; the caller then runs as if alone.
TInstanceLock AcquireSingleInstance();
// Where the lock file lives: $XDG_RUNTIME_DIR when it is a private folder of ours, else the
// private per-user folder.
std::string SingleInstanceLockPath();
