#pragma once
// The system's language and the single-byte text of the Russian row of the player's texts.
#include <string>

// True when the first of LC_ALL, LC_MESSAGES and LANG that is set to a non-empty value starts
// with "ru" (ru_RU.UTF-8, ru_UA, ru).
bool SystemLanguageIsRussian();

// Windows-1251 text to UTF-8, for programs that expect the desktop's encoding (the file chooser).
std::string Cp1251ToUtf8(const std::string& text);
