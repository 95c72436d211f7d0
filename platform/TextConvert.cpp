#include "platform/TextConvert.h"

#include <cerrno>
#include <stdexcept>

namespace {

constexpr char Placeholder = '?';
constexpr unsigned char SoftHyphen = 0xAD;  // a code-page byte the font has no picture for

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// How many bytes an invalid or cut sequence starting at text takes: its lead byte and the
// continuation bytes that the lead byte announced, so that it shows as one placeholder.
size_t BrokenSequenceLength(const char* text, size_t left) {
  const auto lead = static_cast<unsigned char>(text[0]);
  const size_t announced = lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 && lead <= 0xEF ? 3 : lead >= 0xC2 && lead <= 0xDF ? 2 : 1;
  size_t length = 1;
  while (length < announced && length < left && IsContinuation(static_cast<unsigned char>(text[length]))) ++length;
  return length;
}

// Enough UTF-8 for maxCharacters characters, ending on a character boundary.
std::string_view Enough(std::string_view utf8, size_t maxCharacters) {
  if (maxCharacters == AllCharacters || utf8.size() / 4 <= maxCharacters) return utf8;
  size_t end = maxCharacters * 4;
  while (end > 0 && IsContinuation(static_cast<unsigned char>(utf8[end]))) --end;
  return utf8.substr(0, end);
}

// Restores the thread's own locale when the conversion is done.
class TLocaleScope {
 public:
  explicit TLocaleScope(locale_t locale) : Previous(locale ? uselocale(locale) : nullptr) {}
  ~TLocaleScope() {
    if (Previous) uselocale(Previous);
  }
  TLocaleScope(const TLocaleScope&) = delete;
  TLocaleScope& operator=(const TLocaleScope&) = delete;

 private:
  locale_t Previous;
};

}  // namespace

TFontTextConverter::TFontTextConverter()
    : Converter(iconv_open("CP1251//TRANSLIT", "UTF-8")),
      TransliterationLocale(newlocale(LC_CTYPE_MASK, "C.UTF-8", nullptr)) {
  if (Converter == reinterpret_cast<iconv_t>(-1)) {
    if (TransliterationLocale) freelocale(TransliterationLocale);
    throw std::runtime_error("No converter from UTF-8 to CP1251");
  }
}

TFontTextConverter::~TFontTextConverter() {
  iconv_close(Converter);
  if (TransliterationLocale) freelocale(TransliterationLocale);
}

std::string TFontTextConverter::Convert(std::string_view utf8, size_t maxCharacters) {
  const std::string_view input = Enough(utf8, maxCharacters);
  std::string out;
  out.reserve(input.size());
  const TLocaleScope scope(TransliterationLocale);
  iconv(Converter, nullptr, nullptr, nullptr, nullptr);
  char* in = const_cast<char*>(input.data());
  size_t inLeft = input.size();
  char buffer[512];
  while (inLeft > 0 && out.size() < maxCharacters) {
    char* dst = buffer;
    size_t dstLeft = sizeof buffer;
    const size_t done = iconv(Converter, &in, &inLeft, &dst, &dstLeft);
    const int error = errno;
    out.append(buffer, static_cast<size_t>(dst - buffer));
    if (done != static_cast<size_t>(-1) || error == E2BIG) continue;
    // EILSEQ or EINVAL: bytes that are not UTF-8, or a sequence cut short.
    out += Placeholder;
    const size_t skip = BrokenSequenceLength(in, inLeft);
    in += skip;
    inLeft -= skip;
    iconv(Converter, nullptr, nullptr, nullptr, nullptr);
  }
  if (out.size() > maxCharacters) out.resize(maxCharacters);
  for (char& c : out) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) c = Placeholder;
    else if (byte == SoftHyphen) c = '-';
  }
  return out;
}

std::string FontTextFromUtf8(std::string_view utf8, size_t maxCharacters) {
  TFontTextConverter converter;
  return converter.Convert(utf8, maxCharacters);
}
