// libFuzzer target: a sound file's bytes through the tag reader and on to the text a row shows.
#include <cstddef>
#include <cstdint>

#include "platform/TextConvert.h"
#include "platform/TrackTags.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static TFontTextConverter converter;
  const TTrackTags tags = ReadTrackTags(data, size);
  const std::string shown = converter.Convert(TagTitle(tags), 255);
  if (shown.size() > 255) __builtin_trap();
  return 0;
}
