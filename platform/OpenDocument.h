#pragma once
// Hands a document to the desktop's default viewer.
#include <string>

// The README beside the program, or one directory above it (a build tree inside the source
// tree); empty when neither exists. programDir ends with "/" or is empty.
std::string FindReadme(const std::string& programDir);

// Starts `xdg-open path` without a shell and without waiting for it; the child is reaped in
// the background so it never lingers as a zombie. False when it could not be started.
bool OpenDocument(const std::string& path);
