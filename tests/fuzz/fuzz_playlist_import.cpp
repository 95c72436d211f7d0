#include "FuzzSessionFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzPlaylistImport(data, size);
  return 0;
}
