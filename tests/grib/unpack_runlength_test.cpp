// GRIB edition 2 run-length packing with level values: level numbers and the
// run-length digits that follow them, the last run written at the end of the
// data, level 0 and levels without a value as missing points, runs cut at
// the grid's end, and the scanning direction.
#include <gtest/gtest.h>

#include <vector>

#include "unpack_fixture.h"

namespace {

using namespace unpacktest;

// Section 5: bits per number, highest level V, the level values (scaled by 10^scale).
Bytes runlength_drs(int64_t points, int nbits, int v, const std::vector<int> &levels, int scale) {
  Bytes rest;
  put_uint(rest, static_cast<uint64_t>(nbits), 1);
  put_uint(rest, static_cast<uint64_t>(v), 2);
  put_uint(rest, levels.size(), 2);
  put_uint(rest, static_cast<uint64_t>(scale), 1);
  for (const int l : levels) put_uint(rest, static_cast<uint64_t>(l), 2);
  return drs(points, 200, rest);
}

Bytes field(int64_t points, const std::vector<uint32_t> &numbers, const Bytes &bitmap_section = bitmap_indicator(255)) {
  return message({runlength_drs(points, 4, 3, {15, 25, 35}, 1), bitmap_section,
                  data_section(gribtest::pack_bits(numbers, 4))});
}

Grid grid(int nx, int ny, int ydir = -1) {
  Grid g;
  g.nx = nx;
  g.ny = ny;
  g.ydir = ydir;
  return g;
}

TEST(GribUnpackRunLength, RunsOfLevelsWithTheLastRunWrittenAtTheEnd) {
  // V 3 with 4 bits leaves radix 12: number 5 makes the run of level 1 two long.
  Decoded out = decode(field(4, {1, 5, 2}), grid(4, 1));
  ASSERT_EQ(out.fields.size(), 1u);
  EXPECT_EQ(out.fields[0], (std::vector<float>{1.5f, 1.5f, 2.5f, kMiss}));
  EXPECT_TRUE(out.all_sections_read);
  // Digits weigh 1, 12, 144...: 13 and 5 add 9 and 12 to a run of level 3.
  // Level 0 is missing.
  out = decode(field(30, {0, 3, 13, 5, 2, 0}), grid(6, 5));
  ASSERT_EQ(out.fields.size(), 1u);
  std::vector<float> want(30, 3.5f);
  want[0] = kMiss;
  want[23] = 2.5f;
  want[24] = kMiss;
  for (size_t i = 25; i < 30; ++i) want[i] = kMiss;
  EXPECT_EQ(out.fields[0], want);
}

TEST(GribUnpackRunLength, LevelsWithoutAValueAreMissing) {
  // V 3 but only two level values: level 3 has none.
  const Bytes m = message({runlength_drs(3, 4, 3, {15, 25}, 1), bitmap_indicator(255),
                           data_section(gribtest::pack_bits({2, 3, 1}, 4))});
  const Decoded out = decode(m, grid(3, 1));
  ASSERT_EQ(out.fields.size(), 1u);
  EXPECT_EQ(out.fields[0], (std::vector<float>{2.5f, kMiss, 1.5f}));
}

TEST(GribUnpackRunLength, RunsStopAtTheEndOfTheGrid) {
  // A run of 1 + 14 * 12 * 12 * ... points on a grid of four.
  const Decoded out = decode(field(4, {2, 15, 15, 15, 15, 15, 15, 15, 15, 1}), grid(2, 2));
  ASSERT_EQ(out.fields.size(), 1u);
  EXPECT_EQ(out.fields[0], (std::vector<float>{2.5f, 2.5f, 2.5f, 2.5f}));
}

TEST(GribUnpackRunLength, ValuesFollowScanningDirectionAndBitMap) {
  Decoded out = decode(field(4, {1, 5, 2, 5}), grid(2, 2, 1));
  ASSERT_EQ(out.fields.size(), 1u);
  EXPECT_EQ(out.fields[0], (std::vector<float>{2.5f, 2.5f, 1.5f, 1.5f}));
  out = decode(field(3, {1, 2, 3}, bitmap({1, 0, 1, 1})), grid(2, 2));
  ASSERT_EQ(out.fields.size(), 1u);
  EXPECT_EQ(out.fields[0], (std::vector<float>{1.5f, kMiss, 2.5f, 3.5f}));
}

TEST(GribUnpackRunLength, AnyDamagedOctetGivesAWholeGridOrNone) {
  mutate_each_octet({runlength_drs(12, 4, 3, {15, 25, 35}, 1), bitmap_indicator(255),
                     data_section(gribtest::pack_bits({1, 5, 2, 13, 0, 3, 6, 1}, 4))},
                    grid(4, 3));
}

}  // namespace
