// GRIB edition 2 JPEG 2000 packing: code streams made in the test with
// OpenJPEG's encoder, for images of several rows (which fill the grid), one
// row with and without a bit map, an origin inside the grid, images that do
// not fit the grid, and code streams that cannot be decoded.
#include <gtest/gtest.h>
#include <openjpeg.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "unpack_fixture.h"

namespace {

using namespace unpacktest;

// ---- a code stream written into memory ---------------------------------------------------
struct Sink {
  Bytes out;
  size_t pos = 0;
};

OPJ_SIZE_T sink_write(void *buf, OPJ_SIZE_T n, void *user) {
  Sink *s = static_cast<Sink *>(user);
  if (s->out.size() < s->pos + n) s->out.resize(s->pos + n);
  std::memcpy(s->out.data() + s->pos, buf, n);
  s->pos += n;
  return n;
}
OPJ_OFF_T sink_skip(OPJ_OFF_T n, void *user) {
  Sink *s = static_cast<Sink *>(user);
  s->pos += static_cast<size_t>(n);
  if (s->out.size() < s->pos) s->out.resize(s->pos);
  return n;
}
OPJ_BOOL sink_seek(OPJ_OFF_T to, void *user) {
  static_cast<Sink *>(user)->pos = static_cast<size_t>(to);
  return OPJ_TRUE;
}

// A lossless single-component code stream of w x h samples with its origin at (x0, y0).
Bytes j2k(int w, int h, int x0, int y0, const std::vector<int32_t> &samples, int prec = 12) {
  opj_image_cmptparm_t c{};
  c.dx = c.dy = 1;
  c.w = static_cast<OPJ_UINT32>(w);
  c.h = static_cast<OPJ_UINT32>(h);
  c.x0 = static_cast<OPJ_UINT32>(x0);
  c.y0 = static_cast<OPJ_UINT32>(y0);
  c.prec = static_cast<OPJ_UINT32>(prec);
  std::unique_ptr<opj_image_t, void (*)(opj_image_t *)> img(opj_image_create(1, &c, OPJ_CLRSPC_GRAY),
                                                            opj_image_destroy);
  img->x0 = static_cast<OPJ_UINT32>(x0);
  img->y0 = static_cast<OPJ_UINT32>(y0);
  img->x1 = static_cast<OPJ_UINT32>(x0 + w);
  img->y1 = static_cast<OPJ_UINT32>(y0 + h);
  std::memcpy(img->comps[0].data, samples.data(), samples.size() * sizeof(int32_t));
  opj_cparameters_t p;
  opj_set_default_encoder_parameters(&p);
  p.tcp_numlayers = 1;
  p.tcp_rates[0] = 0;
  p.cp_disto_alloc = 1;
  p.numresolution = 1;
  p.image_offset_x0 = x0;
  p.image_offset_y0 = y0;
  std::unique_ptr<opj_codec_t, void (*)(opj_codec_t *)> codec(opj_create_compress(OPJ_CODEC_J2K), opj_destroy_codec);
  Sink sink;
  std::unique_ptr<opj_stream_t, void (*)(opj_stream_t *)> stream(opj_stream_create(1 << 16, OPJ_FALSE),
                                                                 opj_stream_destroy);
  opj_stream_set_user_data(stream.get(), &sink, nullptr);
  opj_stream_set_write_function(stream.get(), sink_write);
  opj_stream_set_skip_function(stream.get(), sink_skip);
  opj_stream_set_seek_function(stream.get(), sink_seek);
  const bool ok = opj_setup_encoder(codec.get(), &p, img.get()) &&
                  opj_start_compress(codec.get(), img.get(), stream.get()) && opj_encode(codec.get(), stream.get()) &&
                  opj_end_compress(codec.get(), stream.get());
  EXPECT_TRUE(ok);
  return sink.out;
}

Bytes jpeg_drs(int64_t points, int nbits, float ref = 0.0f, int e = 0, int d = 0) {
  Bytes rest = scaling(ref, e, d);
  put_uint(rest, static_cast<uint64_t>(nbits), 1);
  put_uint(rest, 0, 1);  // floating point
  put_uint(rest, 0, 1);  // lossless
  put_uint(rest, 255, 1);
  return drs(points, 40, rest);
}

std::vector<int32_t> ramp(int n) {
  std::vector<int32_t> v(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) v[static_cast<size_t>(i)] = i * 10;
  return v;
}

Grid grid(int nx, int ny, int ydir = -1, int xalt = 0) {
  Grid g;
  g.nx = nx;
  g.ny = ny;
  g.ydir = ydir;
  g.xalt = xalt;
  return g;
}

TEST(GribUnpackJpeg2000, ImageOfSeveralRowsFillsTheGrid) {
  const Bytes stream = j2k(3, 2, 0, 0, ramp(6));
  // R 1, E 1, D 1: (1 + X * 2) / 10.
  const Bytes field = message({jpeg_drs(6, 12, 1.0f, 1, 1), bitmap_indicator(255), data_section(stream)});
  const std::vector<float> s = {0.1f, 2.1f, 4.1f, 6.1f, 8.1f, 10.1f};
  struct Case {
    Grid g;
    std::vector<float> want;
  } cases[] = {
      {grid(3, 2), {s[0], s[1], s[2], s[3], s[4], s[5]}},
      {grid(3, 2, 1), {s[3], s[4], s[5], s[0], s[1], s[2]}},
      {grid(3, 2, -1, 1), {s[0], s[1], s[2], s[5], s[4], s[3]}},
  };
  for (const Case &c : cases) {
    const Decoded out = decode(field, c.g);
    ASSERT_EQ(out.fields.size(), 1u);
    ASSERT_EQ(out.fields[0].size(), 6u);
    for (size_t i = 0; i < 6; ++i) EXPECT_FLOAT_EQ(out.fields[0][i], c.want[i]) << i;
    EXPECT_EQ(out.results[0], 1);
    EXPECT_TRUE(out.all_sections_read);
  }
}

TEST(GribUnpackJpeg2000, SingleRowImageFollowsTheBitMap) {
  const Bytes stream = j2k(4, 1, 0, 0, {5, 6, 7, 8});
  Decoded out = decode(message({jpeg_drs(4, 12), bitmap({0, 1, 1, 0, 1, 1}), data_section(stream)}), grid(3, 2, 1));
  ASSERT_EQ(out.fields.size(), 1u);
  EXPECT_EQ(out.fields[0], (std::vector<float>{kMiss, 7, 8, kMiss, 5, 6}));
  // Without a bit map the row's values take the points in scanning order.
  out = decode(message({jpeg_drs(4, 12), bitmap_indicator(255), data_section(stream)}), grid(2, 2));
  ASSERT_EQ(out.fields.size(), 1u);
  EXPECT_EQ(out.fields[0], (std::vector<float>{5, 6, 7, 8}));
}

TEST(GribUnpackJpeg2000, ImageWithAnOriginCoversItsPartOfTheGrid) {
  const Bytes stream = j2k(2, 2, 1, 1, {1, 2, 3, 4});
  const Decoded out = decode(message({jpeg_drs(4, 12), bitmap_indicator(255), data_section(stream)}), grid(3, 3));
  ASSERT_EQ(out.fields.size(), 1u);
  EXPECT_EQ(out.fields[0], (std::vector<float>{kMiss, kMiss, kMiss, kMiss, 1, 2, kMiss, 3, 4}));
}

TEST(GribUnpackJpeg2000, ConstantFieldNeedsNoCodeStream) {
  const Decoded out =
      decode(message({jpeg_drs(3, 0, 4.0f), bitmap({1, 0, 1, 1}), data_section({})}), grid(2, 2));
  ASSERT_EQ(out.fields.size(), 1u);
  EXPECT_EQ(out.fields[0], (std::vector<float>{4, kMiss, 4, 4}));
}

TEST(GribUnpackJpeg2000, ImagesThatDoNotFitTheGridGiveNoValues) {
  struct Case {
    const char *name;
    Bytes stream;
    const char *message;
  } cases[] = {
      {"wider than the grid", j2k(4, 2, 0, 0, ramp(8)), "larger than the grid"},
      {"taller than the grid", j2k(3, 3, 0, 0, ramp(9)), "larger than the grid"},
      {"origin pushes it off the grid", j2k(3, 2, 1, 0, ramp(6)), "larger than the grid"},
      {"origin outside the grid", j2k(1, 1, 3, 0, {1}), "origin lies outside the grid"},
      {"row longer than the grid", j2k(7, 1, 0, 0, ramp(7)), "larger than the grid"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    const Decoded out =
        decode(message({jpeg_drs(6, 12), bitmap_indicator(255), data_section(c.stream)}), grid(3, 2));
    ASSERT_EQ(out.fields.size(), 1u);
    EXPECT_TRUE(out.fields[0].empty());
    EXPECT_TRUE(out.all_sections_read);
    EXPECT_NE(out.err.find(c.message), std::string::npos) << out.err;
  }
}

TEST(GribUnpackJpeg2000, UndecodableCodeStreamsAreReported) {
  const Bytes good = j2k(3, 2, 0, 0, ramp(6));
  Bytes cut(good.begin(), good.begin() + static_cast<long>(good.size() / 2));
  Bytes flipped = good;
  for (size_t i = 20; i < flipped.size(); i += 3) flipped[i] ^= 0x5A;
  const Bytes garbage = {0xFF, 0x4F, 0xFF, 0x51, 0x00, 0x02, 0x01};
  for (const Bytes &stream : {cut, garbage, Bytes{}}) {
    const Decoded out = decode(message({jpeg_drs(6, 12), bitmap_indicator(255), data_section(stream)}), grid(3, 2));
    ASSERT_EQ(out.fields.size(), 1u);
    EXPECT_EQ(out.results[0], 0);
    EXPECT_TRUE(out.fields[0].empty());
    EXPECT_NE(out.err.find("jpc_decode error"), std::string::npos) << out.err;
    EXPECT_TRUE(out.all_sections_read);
  }
  // A damaged stream may still decode to something; it must not crash or overrun.
  const Decoded out = decode(message({jpeg_drs(6, 12), bitmap_indicator(255), data_section(flipped)}), grid(3, 2));
  ASSERT_EQ(out.fields.size(), 1u);
  EXPECT_TRUE(out.fields[0].empty() || out.fields[0].size() == 6u);
  EXPECT_TRUE(out.all_sections_read);
}

TEST(GribUnpackJpeg2000, AnyDamagedOctetGivesAWholeGridOrNone) {
  mutate_each_octet({jpeg_drs(12, 12), bitmap_indicator(255), data_section(j2k(4, 3, 0, 0, ramp(12)))}, grid(4, 3));
}

}  // namespace
