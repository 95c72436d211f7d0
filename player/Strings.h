#pragma once
// Every text the player shows: row 0 English, row 1 Russian (Windows-1251 bytes), indexed by
// Language, then by entry number.
inline constexpr int StringCount = 29;
extern const char* const Strings[2][StringCount];
