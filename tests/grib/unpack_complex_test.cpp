// GRIB edition 2 complex packing, with and without spatial differencing and
// missing-value management, through a small encoder written for the test:
// round trips for every order and management type, the worked order-2
// example, and descriptors that contradict the grid or the section.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "unpack_fixture.h"

namespace {

using namespace unpacktest;

constexpr int64_t kPrimary = -1, kSecondary = -2;  // missing points in the encoder's input

struct Complex {
  int order = 0;  // 0 writes template 5.2
  int spat_bytes = 2;
  int miss_type = 0;
  size_t group_size = 4;
  float ref = 0.0f;
  int e = 0, d = 0;
};

int bits_for(uint64_t v) {
  int n = 0;
  while (v >> n) ++n;
  return n;
}

struct Group {
  uint32_t ref = 0;
  int width = 0;
  std::vector<int64_t> v;  // integers, or kPrimary / kSecondary
};

// Replaces the present integers by their spatial differences less the minimum.
void difference(std::vector<int64_t> &ints, int order, int64_t *h1, int64_t *h2, int64_t *m) {
  std::vector<int64_t *> present;
  for (int64_t &v : ints)
    if (v >= 0) present.push_back(&v);
  std::vector<int64_t> orig;
  for (const int64_t *p : present) orig.push_back(*p);
  *h1 = orig.size() > 0 ? orig[0] : 0;
  *h2 = orig.size() > 1 ? orig[1] : 0;
  std::vector<int64_t> diff(orig.size(), 0);
  *m = INT64_MAX;
  for (size_t i = static_cast<size_t>(order); i < orig.size(); ++i) {
    diff[i] = order == 1 ? orig[i] - orig[i - 1] : orig[i] - 2 * orig[i - 1] + orig[i - 2];
    *m = std::min(*m, diff[i]);
  }
  if (*m == INT64_MAX) *m = 0;
  for (size_t i = 0; i < present.size(); ++i) *present[i] = i < static_cast<size_t>(order) ? 0 : diff[i] - *m;
}

Group make_group(const std::vector<int64_t> &v, int miss_type) {
  Group g;
  g.v = v;
  int64_t lo = INT64_MAX, hi = -1;
  bool primary = false, secondary = false;
  for (const int64_t x : v) {
    if (x == kPrimary) primary = true;
    if (x == kSecondary) secondary = true;
    if (x >= 0) lo = std::min(lo, x), hi = std::max(hi, x);
  }
  if (hi < 0 && !(primary && secondary)) {
    g.ref = primary ? UINT32_MAX : UINT32_MAX - 1;  // trimmed to the reference width later
    return g;
  }
  g.ref = hi < 0 ? 0 : static_cast<uint32_t>(lo);
  const uint64_t range = hi < 0 ? 0 : static_cast<uint64_t>(hi - lo);
  const int reserve = miss_type == 0 ? 0 : (secondary || miss_type == 2) ? 2 : 1;
  g.width = bits_for(range + static_cast<uint64_t>(reserve));
  if (miss_type == 0 && range == 0) g.width = 0;
  return g;
}

// Sections 5 and 7 of the integers.
std::vector<Bytes> encode_complex(std::vector<int64_t> ints, const Complex &c) {
  int64_t h1 = 0, h2 = 0, m = 0;
  if (c.order > 0) difference(ints, c.order, &h1, &h2, &m);
  std::vector<Group> groups;
  for (size_t i = 0; i < ints.size(); i += c.group_size)
    groups.push_back(make_group(std::vector<int64_t>(ints.begin() + static_cast<long>(i),
                                                     ints.begin() + static_cast<long>(std::min(ints.size(), i + c.group_size))),
                                c.miss_type));
  uint64_t max_ref = 0;
  int min_w = 64, max_w = 0;
  for (const Group &g : groups) {
    if (g.ref < UINT32_MAX - 1) max_ref = std::max<uint64_t>(max_ref, g.ref);
    min_w = std::min(min_w, g.width);
    max_w = std::max(max_w, g.width);
  }
  const int ref_bits = bits_for(max_ref + (c.miss_type ? 2 : 0));
  const uint32_t ref_mask = static_cast<uint32_t>((uint64_t{1} << ref_bits) - 1);
  std::vector<uint32_t> refs, widths;
  Bytes values;
  std::vector<bool> bits;
  for (const Group &g : groups) {
    refs.push_back(g.ref >= UINT32_MAX - 1 ? ref_mask - (UINT32_MAX - g.ref) : g.ref);
    widths.push_back(static_cast<uint32_t>(g.width - min_w));
    const uint64_t all = (uint64_t{1} << g.width) - 1;
    for (const int64_t x : g.v) {
      if (g.width == 0) continue;
      const uint64_t code = x == kPrimary ? all : x == kSecondary ? all - 1 : static_cast<uint64_t>(x) - g.ref;
      for (int b = g.width - 1; b >= 0; --b) bits.push_back((code >> b) & 1);
    }
  }
  int64_t points = static_cast<int64_t>(ints.size());
  Bytes body;
  if (c.order > 0) {
    put_uint(body, static_cast<uint64_t>(h1), c.spat_bytes);
    if (c.order == 2) put_uint(body, static_cast<uint64_t>(h2), c.spat_bytes);
    put_sm(body, m, c.spat_bytes);
  }
  const int len_bits = 0;  // every group but the last has group_size points
  gribtest::append(body, gribtest::pack_bits(refs, std::max(ref_bits, 1)));
  gribtest::append(body, gribtest::pack_bits(widths, std::max(bits_for(static_cast<uint64_t>(max_w - min_w)), 1)));
  std::vector<uint32_t> v;
  for (const bool b : bits) v.push_back(b);
  gribtest::append(body, gribtest::pack_bits(v, 1));

  Bytes rest = scaling(c.ref, c.e, c.d);
  put_uint(rest, static_cast<uint64_t>(std::max(ref_bits, 1)), 1);
  put_uint(rest, 1, 1);  // integer original values
  put_uint(rest, 1, 1);  // general group splitting
  put_uint(rest, static_cast<uint64_t>(c.miss_type), 1);
  put_ieee(rest, 9999.0f);
  put_ieee(rest, 9998.0f);
  put_uint(rest, groups.size(), 4);
  put_uint(rest, static_cast<uint64_t>(min_w), 1);
  put_uint(rest, static_cast<uint64_t>(std::max(bits_for(static_cast<uint64_t>(max_w - min_w)), 1)), 1);
  put_uint(rest, c.group_size, 4);  // reference group length
  put_uint(rest, 1, 1);             // length increment
  put_uint(rest, groups.back().v.size(), 4);
  put_uint(rest, len_bits, 1);
  if (c.order > 0) {
    put_uint(rest, static_cast<uint64_t>(c.order), 1);
    put_uint(rest, static_cast<uint64_t>(c.spat_bytes), 1);
  }
  return {drs(points, c.order > 0 ? 3 : 2, rest), bitmap_indicator(255), data_section(body)};
}

Grid grid(int nx, int ny) {
  Grid g;
  g.nx = nx;
  g.ny = ny;
  return g;
}

TEST(GribUnpackComplex, SecondOrderDifferencesRestoreTheWorkedExample) {
  Complex c;
  c.order = 2;
  const Decoded out = decode(message(encode_complex({10, 12, 14, 17}, c)), grid(4, 1));
  ASSERT_EQ(out.fields.size(), 1u);
  EXPECT_EQ(out.fields[0], (std::vector<float>{10, 12, 14, 17}));
  EXPECT_TRUE(out.all_sections_read);
}

TEST(GribUnpackComplex, RoundTripsEveryOrderAndMissingValueManagement) {
  std::mt19937 rng(7);
  std::vector<int64_t> ints(7 * 5);
  for (size_t i = 0; i < ints.size(); ++i) ints[i] = 500 + static_cast<int64_t>(i * 3) + rng() % 40;
  for (int order = 0; order <= 2; ++order) {
    for (int miss = 0; miss <= 2; ++miss) {
      SCOPED_TRACE("order " + std::to_string(order) + " missing type " + std::to_string(miss));
      std::vector<int64_t> in = ints;
      if (miss > 0) {
        for (size_t i = 4; i < 8; ++i) in[i] = kPrimary;  // one whole group of width 0
        in[13] = kPrimary;
        if (miss == 2) in[21] = in[22] = kSecondary;
      }
      Complex c;
      c.order = order;
      c.miss_type = miss;
      c.ref = 1.5f;
      c.e = -1;
      c.d = 1;
      const Decoded out = decode(message(encode_complex(in, c)), grid(7, 5));
      ASSERT_EQ(out.fields.size(), 1u);
      ASSERT_EQ(out.fields[0].size(), in.size());
      for (size_t i = 0; i < in.size(); ++i) {
        const float want = in[i] < 0 ? kMiss : static_cast<float>((1.5 + in[i] * 0.5) * 0.1);
        EXPECT_FLOAT_EQ(out.fields[0][i], want) << "point " << i;
      }
      EXPECT_EQ(out.err, "");
    }
  }
}

// Octet k of a section is at index k - 1.
void patch(Bytes &section, int octet, uint64_t v, int n) { gribtest::set_uint(section, static_cast<size_t>(octet - 1), v, n); }

struct DescriptorCase {
  const char *name;
  int octet, n;
  uint64_t value;
  const char *message;
  int octet2 = 0;  // a second octet group to change, 0 for none
  uint64_t value2 = 0;
};

TEST(GribUnpackComplex, ContradictoryDescriptorsGiveUpTheField) {
  std::vector<int64_t> ints(24);
  for (size_t i = 0; i < ints.size(); ++i) ints[i] = static_cast<int64_t>(i * i % 37);
  const std::vector<DescriptorCase> cases = {
      {"groups longer than the values", 38, 4, 5, "add up to more than the packed values"},
      {"last group too long", 43, 4, 100, "longer than the packed values"},
      {"group wider than 32 bits", 36, 1, 40, "wider than 32 bits"},
      {"more groups than values", 32, 4, 25, "more groups than packed values"},
      {"references overrun the section", 32, 4, 24, "group references do not fit", 20, 32},
      {"order above 2", 48, 1, 3, "order above 2"},
      {"descriptors of no octets", 49, 1, 0, "descriptors of other than 1 to 4 octets"},
      {"unknown missing value management", 23, 1, 3, "unknown missing value management"},
      {"more values than grid points", 6, 4, 25, "more packed values than grid points"},
  };
  for (const DescriptorCase &c : cases) {
    SCOPED_TRACE(c.name);
    Complex k;
    k.order = 1;
    std::vector<Bytes> s = encode_complex(ints, k);
    patch(s[0], c.octet, c.value, c.n);
    if (c.octet2) patch(s[0], c.octet2, c.value2, 1);
    const Decoded out = decode(message(s), grid(6, 4));
    ASSERT_EQ(out.fields.size(), 1u);
    EXPECT_TRUE(out.fields[0].empty());
    EXPECT_TRUE(out.all_sections_read);
    EXPECT_NE(out.err.find(c.message), std::string::npos) << out.err;
  }
}

TEST(GribUnpackComplex, GroupsNeedingMoreBitsThanTheSectionGiveUpTheField) {
  std::vector<int64_t> ints(24);
  for (size_t i = 0; i < ints.size(); ++i) ints[i] = static_cast<int64_t>(i * i % 37);
  std::vector<Bytes> s = encode_complex(ints, Complex{});
  s[2].resize(s[2].size() - 3);
  gribtest::set_uint(s[2], 0, s[2].size(), 4);
  const Decoded out = decode(message(s), grid(6, 4));
  ASSERT_EQ(out.fields.size(), 1u);
  EXPECT_TRUE(out.fields[0].empty());
  EXPECT_NE(out.err.find("more bits than the data section holds"), std::string::npos) << out.err;
}

TEST(GribUnpackComplex, AnyDamagedOctetGivesAWholeGridOrNone) {
  std::vector<int64_t> ints(30);
  for (size_t i = 0; i < ints.size(); ++i) ints[i] = static_cast<int64_t>(100 + i * 5 + i % 3);
  ints[5] = ints[6] = kPrimary;
  ints[11] = kSecondary;
  Complex c;
  c.order = 2;
  c.miss_type = 2;
  mutate_each_octet(encode_complex(ints, c), grid(6, 5));
}

}  // namespace
