#pragma once
// Every sound file below a folder, as a music collection is laid out on disk.
#include <string>
#include <vector>

// The sound files below `folder` (an absolute path), in natural order of their paths: each
// folder's files and subfolders sorted together by name, subfolders walked where they sort.
// Hidden entries (names starting with ".") are skipped; symbolic links are followed, but no
// folder is walked twice, so link loops end. Playlists are left out (their tracks would come
// twice); other files count when their extension names a sound type or, failing that, their
// content is one. Unreadable folders are skipped.
std::vector<std::string> SoundFilesBelow(const std::string& folder);
