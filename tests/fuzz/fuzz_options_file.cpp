#include "FuzzSessionFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzOptionsFile(data, size);
  return 0;
}
