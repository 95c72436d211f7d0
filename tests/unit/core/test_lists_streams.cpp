#include <gtest/gtest.h>

#include <vector>

#include "engine/core/zrnClasses.h"
#include "engine/core/zrnStreams.h"

TEST(VertexList, GrowsByTheCountBasedRule) {
  TZRNVertexList list;
  std::vector<int32_t> capacities;
  for (int i = 0; i < 120; ++i) {
    const int32_t before = list.Capacity;
    EXPECT_EQ(list.Alloc(1), i);
    if (list.Capacity != before) capacities.push_back(list.Capacity);
  }
  const std::vector<int32_t> expected{5, 10, 27, 44, 61, 78, 98, 123};
  EXPECT_EQ(capacities, expected);
}

TEST(VertexList, LargeAllocAndClearKeepsMemory) {
  TZRNVertexList list;
  EXPECT_EQ(list.Alloc(100), 0);
  EXPECT_EQ(list.Count, 100);
  EXPECT_EQ(list.Capacity, 104);
  TVertex* memory = list.List;
  list.Clear();
  EXPECT_EQ(list.Count, 0);
  EXPECT_EQ(list.Capacity, 104);
  EXPECT_EQ(list.List, memory);
  list.SetCapacity(0);
  EXPECT_EQ(list.List, nullptr);
}

TEST(Strings, RoundTripAndEmptyEncoding) {
  TZRNMemoryStream s;
  WriteString(s, "");
  WriteString(s, "Zarnith");
  ASSERT_EQ(s.Bytes.size(), 2u + 2u + 7u);
  EXPECT_EQ(s.Bytes[0], 0);
  EXPECT_EQ(s.Bytes[1], 0);
  EXPECT_EQ(s.Bytes[2], 7);
  s.Seek(0, soBeginning);
  EXPECT_EQ(ReadString(s), "");
  EXPECT_EQ(ReadString(s), "Zarnith");
}

TEST(Strings, OverlongStringIsCutConsistentlyWithItsLength) {
  TZRNMemoryStream s;
  WriteString(s, std::string(65536 + 3, 'x'));
  EXPECT_EQ(s.Bytes.size(), 2u + 3u);
  s.Seek(0, soBeginning);
  EXPECT_EQ(ReadString(s), "xxx");
}

TEST(Strings, TruncatedStreamRaisesAndHasConsumedTheLength) {
  const uint8_t bytes[] = {5, 0, 'a', 'b', 'c'};
  TZRNMemoryStream s(bytes, sizeof(bytes));
  try {
    ReadString(s);
    FAIL() << "expected a stream error";
  } catch (const EZRNStreamError& e) {
    EXPECT_STREQ(e.what(), "Stream read errror: String length larger then stream length");
  }
  EXPECT_EQ(s.Position(), 2);
}

TEST(Streams, ShortScalarReadKeepsThePreviousValue) {
  const uint8_t bytes[] = {1, 2};
  TZRNMemoryStream s(bytes, sizeof(bytes));
  int32_t value = 77;
  EXPECT_FALSE(s.ReadValue(value));
  EXPECT_EQ(value, 77);
  uint8_t buffer[4];
  s.Seek(0, soBeginning);
  EXPECT_THROW(s.ReadBuffer(buffer, 4), EZRNStreamError);
}

TEST(Streams, FileStreamWritesReadsAndReportsMissingFiles) {
  const std::string path = ::testing::TempDir() + "/zrn_stream_test.bin";
  {
    TZRNFileStream out(path, TZRNFileMode::Create);
    out.WriteValue<int32_t>(0x01020304);
    WriteString(out, "abc");
  }
  TZRNFileStream in(path, TZRNFileMode::Read);
  EXPECT_EQ(in.Size(), 9);
  int32_t v = 0;
  EXPECT_TRUE(in.ReadValue(v));
  EXPECT_EQ(v, 0x01020304);
  EXPECT_EQ(ReadString(in), "abc");
  EXPECT_THROW(TZRNFileStream("/nonexistent/dir/file", TZRNFileMode::Read), EZRNStreamError);
}

TEST(Assertions, MessageNamesUnitAndLine) {
  try {
    ZRN_ASSERT(false, "Width must be larger then 0", "zrnDevice");
    FAIL();
  } catch (const EZRNAssertion& e) {
    EXPECT_TRUE(std::string(e.what()).starts_with("Width must be larger then 0 (zrnDevice, line "));
  }
}
