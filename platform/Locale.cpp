#include "platform/Locale.h"

#include <iconv.h>

#include <cstdlib>
#include <cstring>

#include "platform/PlatformError.h"

bool SystemLanguageIsRussian() {
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(name);
    if (value && *value) return std::strncmp(value, "ru", 2) == 0;
  }
  return false;
}

std::string Cp1251ToUtf8(const std::string& text) {
  iconv_t cd = iconv_open("UTF-8", "CP1251");
  if (cd == reinterpret_cast<iconv_t>(-1)) throw EPlatformError("No converter from CP1251 to UTF-8");
  std::string out(text.size() * 3 + 4, '\0');
  char* in = const_cast<char*>(text.data());
  size_t inLeft = text.size();
  char* dst = out.data();
  size_t outLeft = out.size();
  const size_t rc = iconv(cd, &in, &inLeft, &dst, &outLeft);
  iconv_close(cd);
  // The one undefined byte of the code page (0x98) comes out as a replacement character.
  if (rc == static_cast<size_t>(-1) && inLeft > 0) {
    std::string rest = std::string(out.data(), dst) + "\xEF\xBF\xBD";
    return rest + Cp1251ToUtf8(std::string(in + 1, inLeft - 1));
  }
  out.resize(out.size() - outLeft);
  return out;
}
