// GRIB edition 2 simple packing and the placing of unpacked values on the
// grid: row order for both scanning directions, alternate rows, bit maps
// (also reused by a later field), quasi-regular rows, scaling, and the
// fields that get no values (with the section walk left intact after them).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "unpack_fixture.h"

namespace {

using namespace unpacktest;

// Sections 5 and 7 of a simple-packed field of the given packed numbers.
std::vector<Bytes> simple_field(const std::vector<uint32_t> &x, int nbits, float ref = 0.0f, int e = 0, int d = 0,
                                int64_t points = -1) {
  return {simple_drs(points >= 0 ? points : static_cast<int64_t>(x.size()), ref, e, d, nbits),
          bitmap_indicator(255), data_section(gribtest::pack_bits(x, nbits))};
}

struct LayoutCase {
  const char *name;
  int ydir, xalt;
  std::vector<float> want;
};

TEST(GribUnpackLayout, RowsAreStoredNorthFirstInEveryScanningMode) {
  const std::vector<LayoutCase> cases = {
      {"north to south", -1, 0, {0, 1, 2, 3, 4, 5}},
      {"south to north", 1, 0, {3, 4, 5, 0, 1, 2}},
      {"alternate rows", -1, 1, {0, 1, 2, 5, 4, 3}},
      {"alternate rows south to north", 1, 1, {5, 4, 3, 0, 1, 2}},
  };
  for (const LayoutCase &c : cases) {
    SCOPED_TRACE(c.name);
    Grid g;
    g.nx = 3;
    g.ny = 2;
    g.ydir = c.ydir;
    g.xalt = c.xalt;
    const Decoded out = decode(message(simple_field({0, 1, 2, 3, 4, 5}, 8)), g);
    ASSERT_EQ(out.fields.size(), 1u);
    EXPECT_EQ(out.fields[0], c.want);
    EXPECT_TRUE(out.all_sections_read);
    EXPECT_EQ(out.err, "");
  }
}

TEST(GribUnpackLayout, BitMapPlacesValuesAndIsReusedByTheNextField) {
  // Field 1 with its own bit map, field 2 (indicator 254) reuses it, field 3 has none.
  std::vector<Bytes> s = {simple_drs(4, 0, 0, 0, 8), bitmap({1, 0, 1, 1, 0, 1}),
                          data_section(gribtest::pack_bits({10, 11, 12, 13}, 8))};
  const std::vector<Bytes> second = {simple_drs(4, 0, 0, 0, 8), bitmap_indicator(254),
                                     data_section(gribtest::pack_bits({20, 21, 22, 23}, 8))};
  const std::vector<Bytes> third = simple_field({1, 2, 3, 4, 5, 6}, 4);
  s.insert(s.end(), second.begin(), second.end());
  s.insert(s.end(), third.begin(), third.end());
  Grid g;
  g.nx = 3;
  g.ny = 2;
  g.ydir = 1;  // the first data row is the southern one
  const Decoded out = decode(message(s), g);
  ASSERT_EQ(out.fields.size(), 3u);
  EXPECT_EQ(out.fields[0], (std::vector<float>{12, kMiss, 13, 10, kMiss, 11}));
  EXPECT_EQ(out.fields[1], (std::vector<float>{22, kMiss, 23, 20, kMiss, 21}));
  EXPECT_EQ(out.fields[2], (std::vector<float>{4, 5, 6, 1, 2, 3}));
  EXPECT_TRUE(out.all_sections_read);
}

TEST(GribUnpackSimple, ScalingAndZeroBitsPerValue) {
  Grid g;
  g.nx = 2;
  g.ny = 2;
  // (R + X * 2^E) * 10^-D with R 100, E 1, D 1.
  Decoded out = decode(message(simple_field({0, 1, 3, 7}, 3, 100.0f, 1, 1)), g);
  ASSERT_EQ(out.fields.size(), 1u);
  const std::vector<float> want = {10.0f, 10.2f, 10.6f, 11.4f};
  for (size_t i = 0; i < want.size(); ++i) EXPECT_FLOAT_EQ(out.fields[0][i], want[i]);
  // No bits per value: every present point is R * 10^-D, with no data octets at all.
  out = decode(message({simple_drs(3, 2.5f, 0, 1, 0), bitmap({1, 1, 0, 1}), data_section({})}), g);
  ASSERT_EQ(out.fields.size(), 1u);
  EXPECT_EQ(out.fields[0], (std::vector<float>{0.25f, 0.25f, kMiss, 0.25f}));
  EXPECT_TRUE(out.all_sections_read);
}

TEST(GribUnpackSimple, EveryWidthGivesBackItsNumbers) {
  // Whole-octet widths are read octet by octet, the others bit by bit; the
  // largest number of each width shows that no bit is lost.
  Grid g;
  g.nx = 3;
  g.ny = 2;
  for (const int nbits : {1, 7, 8, 9, 12, 15, 16, 17, 23, 24, 25, 31, 32}) {
    const uint32_t top = nbits == 32 ? 0xFFFFFFFFu : (1u << nbits) - 1;
    const std::vector<uint32_t> x = {0, 1, top, top / 2, top / 3, top - 1};
    const Decoded out = decode(message(simple_field(x, nbits)), g);
    ASSERT_EQ(out.fields.size(), 1u) << nbits;
    for (size_t i = 0; i < x.size(); ++i) EXPECT_EQ(out.fields[0][i], static_cast<float>(x[i])) << nbits << " " << i;
  }
}

TEST(GribUnpackSimple, FewerValuesThanPointsLeaveTheRestMissing) {
  Grid g;
  g.nx = 3;
  g.ny = 2;
  const Decoded out = decode(message(simple_field({1, 2, 3, 4}, 8)), g);
  ASSERT_EQ(out.fields.size(), 1u);
  EXPECT_EQ(out.fields[0], (std::vector<float>{1, 2, 3, 4, kMiss, kMiss}));
}

TEST(GribUnpackLayout, QuasiRegularRowsAreSpreadOverTheWidestRow) {
  Grid g;
  g.nx = 5;
  g.ny = 4;
  g.thin = {5, 3, 1, 3};
  g.ydir = -1;
  // Row 4 has a missing middle point: its ends keep their own values.
  const std::vector<Bytes> s = {simple_drs(11, 0, 0, 0, 8), bitmap({1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 1}),
                                data_section(gribtest::pack_bits({0, 1, 2, 3, 4, 10, 20, 30, 7, 40, 60}, 8))};
  const Decoded out = decode(message(s), g);
  ASSERT_EQ(out.fields.size(), 1u);
  EXPECT_EQ(out.fields[0], (std::vector<float>{0, 1, 2, 3, 4,                      //
                                               10, 15, 20, 25, 30,                 //
                                               7, 7, 7, 7, 7,                      //
                                               40, kMiss, kMiss, kMiss, 60}));
}

TEST(GribUnpackLayout, QuasiRegularRowsFollowScanningDirection) {
  Grid g;
  g.nx = 3;
  g.ny = 2;
  g.thin = {2, 3};
  g.ydir = 1;
  g.xalt = 1;
  const Decoded out = decode(message(simple_field({0, 2, 5, 6, 7}, 8)), g);
  ASSERT_EQ(out.fields.size(), 1u);
  // Data row 1 (northern, right to left) holds 5 6 7; data row 0 spreads 0..2.
  EXPECT_EQ(out.fields[0], (std::vector<float>{7, 6, 5, 0, 1, 2}));
}

struct FaultCase {
  const char *name;
  std::vector<Bytes> sections;
  Grid grid;
  const char *message;  // expected on standard error; "" for none
};

Grid grid3x2() {
  Grid g;
  g.nx = 3;
  g.ny = 2;
  return g;
}

Grid grid4x3() {
  Grid g;
  g.nx = 4;
  g.ny = 3;
  return g;
}

Grid unplaceable() {
  Grid g = grid3x2();
  g.unplaceable = true;
  return g;
}

Grid thin_mismatch() {
  Grid g = grid3x2();
  g.thin = {3};
  return g;
}

TEST(GribUnpackFaults, FieldsThatCannotBeUnpackedGetNoValues) {
  Bytes short_drs = simple_drs(6, 0, 0, 0, 8);
  short_drs.resize(short_drs.size() - 2);
  gribtest::set_uint(short_drs, 0, short_drs.size(), 4);
  const std::vector<FaultCase> cases = {
      {"data shorter than declared", simple_field({1, 2, 3, 4, 5}, 8, 0, 0, 0, 6), grid3x2(), "fewer values"},
      {"more values than points", simple_field({1, 2, 3, 4, 5, 6, 7}, 8), grid3x2(), "more packed values"},
      {"more than 32 bits", {simple_drs(1, 0, 0, 0, 33), bitmap_indicator(255), data_section(Bytes(8, 0))}, grid3x2(),
       "more than 32 bits"},
      {"section 5 too short", {short_drs, bitmap_indicator(255), data_section(Bytes(6, 0))}, grid3x2(), "too short"},
      {"bit map shorter than grid", {simple_drs(1, 0, 0, 0, 8), bitmap({1, 0, 0, 0, 0, 0, 0, 0}), data_section({5})},
       grid4x3(), "bit map is shorter"},
      {"row lengths do not match the grid", simple_field({1, 2, 3}, 8), thin_mismatch(), "row lengths"},
      {"grid that cannot be placed", simple_field({1, 2, 3, 4, 5, 6}, 8), unplaceable(), ""},
  };
  for (const FaultCase &c : cases) {
    SCOPED_TRACE(c.name);
    // A good field first: the failing field must not keep its values.
    std::vector<Bytes> s = simple_field({1, 2, 3, 4, 5, 6}, 8);
    s.insert(s.end(), c.sections.begin(), c.sections.end());
    gribtest::GribFile f(message(s));
    const Decoded out = decode_file(f, {grid3x2(), c.grid});
    ASSERT_EQ(out.fields.size(), 2u);
    EXPECT_EQ(out.fields[0].size(), 6u);
    EXPECT_TRUE(out.fields[1].empty());
    EXPECT_TRUE(out.all_sections_read);
    if (*c.message) {
      EXPECT_NE(out.err.find(c.message), std::string::npos) << out.err;
      EXPECT_NE(out.err.find("no values"), std::string::npos) << out.err;
    } else {
      EXPECT_EQ(out.err, "");
    }
  }
}

TEST(GribUnpackFaults, UnsupportedTemplateIsReportedOncePerTemplateAndFile) {
  const Bytes ieee = drs(6, 4, Bytes{1});  // 5.4, IEEE floating point
  const Bytes png = drs(6, 41, scaling(0, 0, 0));
  const std::vector<Bytes> s = {ieee, bitmap_indicator(255), data_section(Bytes(24, 0)), png, bitmap_indicator(255),
                                data_section(Bytes(24, 0)), ieee, bitmap_indicator(255), data_section(Bytes(24, 0))};
  const Bytes product = message(s);
  Bytes twice = product;
  gribtest::append(twice, product);
  const Decoded out = decode(twice, grid3x2());
  ASSERT_EQ(out.fields.size(), 6u);
  for (const std::vector<float> &f : out.fields) EXPECT_TRUE(f.empty());
  EXPECT_TRUE(out.all_sections_read);
  const std::string a = "template 5.4 is not supported", b = "template 5.41 is not supported";
  EXPECT_EQ(out.err.find(a), out.err.rfind(a)) << out.err;
  EXPECT_EQ(out.err.find(b), out.err.rfind(b)) << out.err;
  EXPECT_NE(out.err.find(a), std::string::npos) << out.err;
  EXPECT_NE(out.err.find(b), std::string::npos) << out.err;
}

TEST(GribUnpackFaults, DataSectionRunningPastTheProductEndsTheMessage) {
  std::vector<Bytes> s = simple_field({1, 2, 3, 4, 5, 6}, 8);
  gribtest::set_uint(s[2], 0, 5000, 4);  // the data section claims 5000 octets
  const Decoded out = decode(message(s), grid3x2());
  ASSERT_EQ(out.fields.size(), 1u);
  EXPECT_TRUE(out.fields[0].empty());
  EXPECT_TRUE(out.all_sections_read);
  EXPECT_NE(out.err.find("data section runs past"), std::string::npos) << out.err;
}

}  // namespace
