#pragma once
// Remembers which entries failed to play, so that each is logged once and a playlist in which
// nothing plays is given up after one pass instead of being retried for ever.
#include <cstdint>
#include <string>
#include <unordered_set>

class TUnplayableTracks {
 public:
  // Counts a failure in a row; true the first time this path fails (time to log it).
  bool NoteFailure(const std::string& path) {
    ++FailuresInARow_;
    return Logged_.insert(path).second;
  }
  void NoteSuccess() { FailuresInARow_ = 0; }
  // As many failures in a row as the list has entries: none of them plays.
  bool WholePassFailed(int32_t entries) const { return FailuresInARow_ >= entries; }
  void StartOver() { FailuresInARow_ = 0; }

 private:
  std::unordered_set<std::string> Logged_;
  int32_t FailuresInARow_ = 0;
};
