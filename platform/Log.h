#pragma once
#include <string>

// Appends text + CR LF to "Debug.txt" in the user-file directory of the program, but only when
// that file already exists: logging is switched on by creating an empty "Debug.txt".
void LogLine(const std::string& text);
// The same for an explicit directory (with trailing "/").
void LogLineIn(const std::string& directory, const std::string& text);
