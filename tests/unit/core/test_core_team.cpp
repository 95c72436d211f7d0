// Work shared with helper threads that wait between calls.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <barrier>
#include <vector>

#include "engine/core/zrnCoreTeam.h"

TEST(CoreTeam, RunsEveryPartOnceAndAtTheSameTime) {
  TZRNCoreTeam team(3);
  ASSERT_EQ(team.Size(), 4);
  for (int32_t parts : {1, 2, 4, 9, 4}) {
    const int32_t expected = std::min(parts, team.Size());
    std::vector<std::atomic<int>> calls(static_cast<size_t>(team.Size()));
    // Every part waits for the others: this only returns if they all run at once.
    std::barrier meet(expected);
    team.Run(parts, [&](int32_t part) {
      ++calls[static_cast<size_t>(part)];
      meet.arrive_and_wait();
    });
    for (int32_t part = 0; part < team.Size(); ++part)
      EXPECT_EQ(calls[static_cast<size_t>(part)].load(), part < expected ? 1 : 0) << parts << " parts, part " << part;
  }
}

TEST(CoreTeam, WithoutHelpersTheCallerDoesTheWork) {
  TZRNCoreTeam team(0);
  int calls = 0;
  team.Run(4, [&](int32_t part) { calls += part + 1; });
  EXPECT_EQ(calls, 1);
}
