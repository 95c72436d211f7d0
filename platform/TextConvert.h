#pragma once
// Text from outside the program (file names, paths, tags: UTF-8 on Linux) turned into the
// single-byte Windows-1251 text the menu font draws.
#include <iconv.h>
#include <locale.h>

#include <cstddef>
#include <string>
#include <string_view>

inline constexpr size_t AllCharacters = static_cast<size_t>(-1);

// Keeps its converter open between calls; one object per thread.
class TFontTextConverter {
 public:
  TFontTextConverter();
  ~TFontTextConverter();
  TFontTextConverter(const TFontTextConverter&) = delete;
  TFontTextConverter& operator=(const TFontTextConverter&) = delete;

  // Cyrillic and every other character of the code page exactly; others transliterated where a
  // close form exists (é -> e, ß -> ss), else one "?" each. Every invalid or cut UTF-8 sequence
  // and every control character is one "?" too. At most maxCharacters characters of the result
  // are kept (one byte each, so a character is never cut in half).
  std::string Convert(std::string_view utf8, size_t maxCharacters = AllCharacters);

 private:
  iconv_t Converter;
  // Transliteration follows the calling thread's locale; the C library's own "C" locale knows
  // no close forms, its UTF-8 twin does.
  locale_t TransliterationLocale;
};

// One conversion with a converter of its own (for occasional texts).
std::string FontTextFromUtf8(std::string_view utf8, size_t maxCharacters = AllCharacters);
