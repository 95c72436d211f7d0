#pragma once
// The text of a playlist file as UTF-8 lines, whatever encoding its writer chose.
#include <cstdint>
#include <string>
#include <vector>

// Splits the bytes of a playlist into lines: a UTF-8 byte-order mark is dropped, UTF-16 with a
// byte-order mark is converted. False for what is not text (NUL or other control bytes, broken
// UTF-16), so that a binary file adds no junk entries.
bool PlaylistLines(const std::string& bytes, std::vector<std::string>& lines);

bool IsValidUtf8(const std::string& text);
// Each byte taken as a Latin-1 character.
std::string Latin1ToUtf8(const std::string& text);
// Appends the code point's UTF-8 bytes.
void AppendUtf8(std::string& out, uint32_t cp);
