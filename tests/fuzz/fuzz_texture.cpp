// libFuzzer target: see FuzzEntryPoints.h.
#include "FuzzEntryPoints.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzTextureBlock(data, size);
  return 0;
}
