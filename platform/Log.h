#pragma once
#include <string>

// Appends text + CR LF to "Debug.txt" in the user-file directory of the program, but only when
// that file already exists: logging is switched on by creating an empty "Debug.txt".
// Returns whether the line was written.
bool LogLine(const std::string& text);
// The same for an explicit directory (with trailing "/").
bool LogLineIn(const std::string& directory, const std::string& text);
// A fault the user must hear of: logged, and on standard error when the log did not take it.
void ReportFault(const std::string& text);
