#pragma once
// Opening files named by the user or by a stored list without ever blocking: a named pipe or a
// device opened for reading can wait forever or never end, so only regular files are taken.
#include <cstdint>
#include <string>

// Whether the path (links followed) names a regular file.
bool IsRegularFile(const std::string& path);

// A read-only descriptor of the regular file at path, or -1 with errno set (EINVAL when it is
// something else). The open itself does not wait on a pipe.
int OpenRegularFile(const std::string& path);

// The whole text of a regular file of at most maxBytes. On failure, error holds the errno (EINVAL
// for a file that is not regular, EFBIG for one that is too large).
bool ReadRegularFile(const std::string& path, int64_t maxBytes, std::string& text, int& error);
