#include "platform/audio/AvProbe.h"

#include <cinttypes>

std::unique_ptr<TAvProbe> TAvProbe::Open(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "a");
  if (!file) return nullptr;
  return std::unique_ptr<TAvProbe>(new TAvProbe(file));
}

void TAvProbe::Append(int64_t nowNs, int64_t windowFirst, int64_t heard, int64_t latencyUs) {
  std::fprintf(FFile.get(), "%" PRId64 " %" PRId64 " %" PRId64 " %" PRId64 "\n", nowNs, windowFirst, heard,
               latencyUs);
  std::fflush(FFile.get());  // readers follow the file while the player runs
}
