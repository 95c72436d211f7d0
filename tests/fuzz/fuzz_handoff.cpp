// libFuzzer target: see FuzzHandOff.h.
#include "FuzzHandOff.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzHandOffInput(data, size);
  return 0;
}
