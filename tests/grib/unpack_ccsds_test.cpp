// GRIB edition 2 CCSDS packing: streams made in the test with libaec's
// encoder at several sample sizes and coder options, a constant field, and
// streams or options the decoder refuses.
#include <gtest/gtest.h>
#include <libaec.h>

#include <string>
#include <vector>

#include "unpack_fixture.h"

namespace {

using namespace unpacktest;

struct Options {
  int nbits = 16;
  unsigned flags = AEC_DATA_PREPROCESS | AEC_DATA_MSB;
  int block = 32;
  int rsi = 128;
};

int sample_bytes(const Options &o) {
  if (o.nbits <= 8) return 1;
  if (o.nbits <= 16) return 2;
  return (o.nbits <= 24 && (o.flags & AEC_DATA_3BYTE)) ? 3 : 4;
}

Bytes aec_encode(const std::vector<uint32_t> &x, const Options &o) {
  const int nb = sample_bytes(o);
  Bytes in;
  for (const uint32_t v : x) put_uint(in, v, nb);  // big-endian samples (AEC_DATA_MSB)
  Bytes out(in.size() * 2 + 64);
  aec_stream s{};
  s.next_in = in.data();
  s.avail_in = in.size();
  s.next_out = out.data();
  s.avail_out = out.size();
  s.bits_per_sample = static_cast<unsigned>(o.nbits);
  s.block_size = static_cast<unsigned>(o.block);
  s.rsi = static_cast<unsigned>(o.rsi);
  s.flags = o.flags | AEC_DATA_MSB;
  EXPECT_EQ(aec_buffer_encode(&s), AEC_OK);
  out.resize(s.total_out);
  return out;
}

Bytes ccsds_drs(int64_t points, const Options &o, float ref = 0.0f, int e = 0, int d = 0) {
  Bytes rest = scaling(ref, e, d);
  put_uint(rest, static_cast<uint64_t>(o.nbits), 1);
  put_uint(rest, 0, 1);
  put_uint(rest, o.flags, 1);
  put_uint(rest, static_cast<uint64_t>(o.block), 1);
  put_uint(rest, static_cast<uint64_t>(o.rsi), 2);
  return drs(points, 42, rest);
}

Grid grid(int nx, int ny) {
  Grid g;
  g.nx = nx;
  g.ny = ny;
  return g;
}

TEST(GribUnpackCcsds, RoundTripsAtEverySampleSize) {
  const Options cases[] = {
      {5, AEC_DATA_PREPROCESS, 8, 4},
      {12, AEC_DATA_PREPROCESS | AEC_DATA_MSB, 16, 2},
      {20, AEC_DATA_PREPROCESS | AEC_DATA_3BYTE | AEC_DATA_MSB, 32, 128},
      {20, AEC_DATA_PREPROCESS | AEC_DATA_MSB, 32, 128},
      {31, 0, 64, 8},
  };
  for (const Options &o : cases) {
    SCOPED_TRACE("bits " + std::to_string(o.nbits) + " flags " + std::to_string(o.flags));
    std::vector<uint32_t> x(60);
    for (size_t i = 0; i < x.size(); ++i) x[i] = static_cast<uint32_t>((i * 7919u + i * i) % (1u << o.nbits));
    const Decoded out = decode(message({ccsds_drs(60, o, 2.0f, 0, 1), bitmap_indicator(255),
                                        data_section(aec_encode(x, o))}),
                               grid(10, 6));
    ASSERT_EQ(out.fields.size(), 1u);
    ASSERT_EQ(out.fields[0].size(), x.size());
    for (size_t i = 0; i < x.size(); ++i)
      EXPECT_FLOAT_EQ(out.fields[0][i], static_cast<float>((2.0 + x[i]) * 0.1)) << i;
    EXPECT_TRUE(out.all_sections_read);
  }
}

TEST(GribUnpackCcsds, ConstantFieldWithBitMap) {
  Options o;
  o.nbits = 0;
  const Decoded out = decode(message({ccsds_drs(2, o, 7.0f), bitmap({0, 1, 1, 0}), data_section({})}), grid(2, 2));
  ASSERT_EQ(out.fields.size(), 1u);
  EXPECT_EQ(out.fields[0], (std::vector<float>{kMiss, 7, 7, kMiss}));
}

TEST(GribUnpackCcsds, StreamsTheDecoderRefusesGiveNoValues) {
  std::vector<uint32_t> x(60, 3);
  const Options good;
  const Bytes stream = aec_encode(x, good);
  Options no_block = good;
  no_block.block = 0;
  Options no_interval = good;
  no_interval.rsi = 0;
  Bytes cut(stream.begin(), stream.begin() + 2);
  struct Case {
    const char *name;
    Bytes drs_section;
    Bytes stream;
  } cases[] = {
      {"block size 0", ccsds_drs(60, no_block), stream},
      {"reference sample interval 0", ccsds_drs(60, no_interval), stream},
      {"stream cut short", ccsds_drs(60, good), cut},
      {"more values than the stream holds", ccsds_drs(60, good), Bytes{}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    const Decoded out = decode(message({c.drs_section, bitmap_indicator(255), data_section(c.stream)}), grid(10, 6));
    ASSERT_EQ(out.fields.size(), 1u);
    EXPECT_TRUE(out.fields[0].empty());
    EXPECT_NE(out.err.find("CCSDS"), std::string::npos) << out.err;
    EXPECT_TRUE(out.all_sections_read);
  }
}

TEST(GribUnpackCcsds, AnyDamagedOctetGivesAWholeGridOrNone) {
  std::vector<uint32_t> x(40);
  for (size_t i = 0; i < x.size(); ++i) x[i] = static_cast<uint32_t>(i * 37 % 1000);
  const Options o;
  mutate_each_octet({ccsds_drs(40, o), bitmap_indicator(255), data_section(aec_encode(x, o))}, grid(8, 5));
}

}  // namespace
