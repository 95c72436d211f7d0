// libFuzzer target: see SoundFileFuzzEntry.h.
#include "SoundFileFuzzEntry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzSoundFile(data, size);
  return 0;
}
