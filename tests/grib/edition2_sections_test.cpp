// GRIB edition 2 identification, grid definition, product definition and
// bit-map sections on hand-made messages: domains, scanning directions and
// quasi-regular rows of each grid template, the grid code, level, time,
// ensemble and probability rules, bit-map reuse, the state that later fields
// of a message inherit, and damaged or unsupported sections.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "config/config.h"
#include "domain/domain.h"
#include "grib/decoder_state.h"
#include "grib/grib.h"
#include "grid/grid.h"
#include "grid/grid_state.h"
#include "grib_builder.h"
#include "grib_test_file.h"

namespace {

using gribtest::Bytes;
using gribtest::GribFile;
using gribtest::put_sm;
using gribtest::put_uint;
using gribtest::section2;

constexpr uint32_t kAllOnes = 0xFFFFFFFFu;

Bytes operator+(Bytes a, const Bytes &b) {
  gribtest::append(a, b);
  return a;
}

// ---- section builders (bodies start at octet 6) --------------------------------

Bytes ids() { return section2(1, gribtest::ids2_body(7, 2012, 1, 10, 12, 30)); }

// Octets 6 to 30 of a grid definition: source, point count, list description,
// template number and a spherical earth.
Bytes grid_head(int tmpl, int list_octets = 0) {
  Bytes b;
  put_uint(b, 0, 1);
  put_uint(b, 0, 4);
  put_uint(b, list_octets, 1);
  put_uint(b, list_octets ? 1 : 0, 1);
  put_uint(b, tmpl, 2);
  put_uint(b, 6, 1);
  b.resize(b.size() + 15, 0);  // earth radius and axes
  return b;
}

// Angles in millionths of a degree.
struct LatLon {
  int64_t ni = 3, nj = 2;
  int64_t la1 = 0, lo1 = 0, la2 = 0, lo2 = 0;
  int scan = 0;
  std::vector<int> rows;  // quasi-regular row lengths (Ni is then all ones)
  int row_octets = 1;
};

Bytes latlon_gds(const LatLon &g) {
  Bytes b = grid_head(0, g.rows.empty() ? 0 : g.row_octets);
  put_uint(b, g.rows.empty() ? static_cast<uint64_t>(g.ni) : kAllOnes, 4);
  put_uint(b, static_cast<uint64_t>(g.nj), 4);
  put_uint(b, 0, 4);         // basic angle
  put_uint(b, kAllOnes, 4);  // subdivisions
  put_sm(b, g.la1, 4);
  put_sm(b, g.lo1, 4);
  put_uint(b, 0x30, 1);
  put_sm(b, g.la2, 4);
  put_sm(b, g.lo2, 4);
  put_uint(b, kAllOnes, 4);
  put_uint(b, kAllOnes, 4);
  put_uint(b, g.scan, 1);
  for (const int n : g.rows) put_uint(b, static_cast<uint64_t>(n), g.row_octets);
  return section2(3, b);
}

// Polar stereographic (20) and Lambert conformal (30); Dx, Dy in millimetres.
struct Projected {
  int tmpl = 20;
  int64_t nx = 3, ny = 3;
  int64_t la1 = 0, lo1 = 0, lad = 60000000, lov = 0;
  int64_t dx = 100000000, dy = 100000000;
  int centre_flag = 0;
  int scan = 0x40;
  int64_t latin1 = 25000000, latin2 = 25000000;
};

Bytes projected_gds(const Projected &g) {
  Bytes b = grid_head(g.tmpl);
  put_uint(b, static_cast<uint64_t>(g.nx), 4);
  put_uint(b, static_cast<uint64_t>(g.ny), 4);
  put_sm(b, g.la1, 4);
  put_sm(b, g.lo1, 4);
  put_uint(b, 0x08, 1);
  put_sm(b, g.lad, 4);
  put_sm(b, g.lov, 4);
  put_uint(b, static_cast<uint64_t>(g.dx), 4);
  put_uint(b, static_cast<uint64_t>(g.dy), 4);
  put_uint(b, g.centre_flag, 1);
  put_uint(b, g.scan, 1);
  if (g.tmpl == 30) {
    put_sm(b, g.latin1, 4);
    put_sm(b, g.latin2, 4);
    put_sm(b, -90000000, 4);
    put_uint(b, 0, 4);
  }
  return section2(3, b);
}

Bytes mercator_gds(int64_t nx, int64_t ny, int64_t la1, int64_t lo1, int64_t la2, int64_t lo2) {
  Bytes b = grid_head(10);
  put_uint(b, static_cast<uint64_t>(nx), 4);
  put_uint(b, static_cast<uint64_t>(ny), 4);
  put_sm(b, la1, 4);
  put_sm(b, lo1, 4);
  put_uint(b, 0x30, 1);
  put_sm(b, 20000000, 4);  // LaD
  put_sm(b, la2, 4);
  put_sm(b, lo2, 4);
  put_uint(b, 0x40, 1);
  put_uint(b, 0, 4);
  put_uint(b, 10000000, 4);
  put_uint(b, 10000000, 4);
  return section2(3, b);
}

// A grid template the decoder does not place: the octets of a 3.0 body.
Bytes other_gds(int tmpl) {
  Bytes b = latlon_gds(LatLon{});
  gribtest::set_uint(b, 12, static_cast<uint64_t>(tmpl), 2);
  return b;
}

struct Pds {
  int tmpl = 0;
  int category = 3, number = 5;  // geopotential height
  int process = 2;               // type of generating process
  int model = 96;
  int unit = 1;
  int64_t ftime = 0;
  int type1 = 100, scale1 = 0;
  uint32_t value1 = 50000;
  int type2 = 255, scale2 = 0;
  uint32_t value2 = 0;
  Bytes rest;  // octets 35 on
};

Bytes pds(const Pds &p) {
  Bytes b;
  put_uint(b, 0, 2);
  put_uint(b, p.tmpl, 2);
  put_uint(b, p.category, 1);
  put_uint(b, p.number, 1);
  put_uint(b, p.process, 1);
  put_uint(b, 0, 1);
  put_uint(b, p.model, 1);
  put_uint(b, 0, 3);
  put_uint(b, p.unit, 1);
  put_sm(b, p.ftime, 4);
  put_uint(b, p.type1, 1);
  put_uint(b, p.scale1, 1);
  put_uint(b, p.value1, 4);
  put_uint(b, p.type2, 1);
  put_uint(b, p.scale2, 1);
  put_uint(b, p.value2, 4);
  gribtest::append(b, p.rest);
  return section2(4, b);
}

// Octets 35 on of a statistical template: the end of the overall interval,
// one time range with its process and length.
Bytes time_range(int year, int month, int day, int hour, int process, int unit, uint32_t length) {
  Bytes b;
  put_uint(b, year, 2);
  put_uint(b, month, 1);
  put_uint(b, day, 1);
  put_uint(b, hour, 1);
  put_uint(b, 0, 2);
  put_uint(b, 1, 1);
  put_uint(b, 0, 4);
  put_uint(b, process, 1);
  put_uint(b, 2, 1);
  put_uint(b, unit, 1);
  put_uint(b, length, 4);
  put_uint(b, 255, 1);
  put_uint(b, 0, 4);
  return b;
}

// Octets 35 to 47 of the probability templates.
Bytes probability(int type, int low_scale, int64_t low, int up_scale, int64_t up) {
  Bytes b;
  put_uint(b, 0, 1);
  put_uint(b, 1, 1);
  put_uint(b, type, 1);
  put_uint(b, low_scale, 1);
  put_sm(b, low, 4);
  put_uint(b, up_scale, 1);
  put_sm(b, up, 4);
  return b;
}

Bytes bms(int indicator, const Bytes &map = {}) {
  Bytes b;
  put_uint(b, indicator, 1);
  gribtest::append(b, map);
  return section2(6, b);
}

// Simple packing of n values of 8 bits (reference 0, no scaling) and its data.
Bytes drs(int n) {
  Bytes b;
  put_uint(b, n, 4);
  put_uint(b, 0, 2);
  put_uint(b, 0, 4);
  put_uint(b, 0, 2);
  put_uint(b, 0, 2);
  put_uint(b, 8, 1);
  put_uint(b, 0, 1);
  return section2(5, b);
}

Bytes ds(int n) { return section2(7, Bytes(static_cast<size_t>(n), 7)); }

// ---- walking a message -----------------------------------------------------------

// What the decoder holds when a field's data section is reached.
struct Field {
  GridRecord rec;
  int gds = -9, pds = -9, bms = -9;  // section results; -9 when the field has no such section
  int ydir = 0, xalt = 0, thin = 0;
  std::vector<int32_t> rows;
  std::vector<unsigned char> bitmap;
  bool unplaceable = false;
  int prob_var = 0, prob_type = 0;
  float prob_low = 0.0f, prob_up = 0.0f;
};

struct Walk {
  std::vector<Field> fields;
  std::string err;
  long long stop = 0;  // stream position when the walker stopped
  long long size = 0;  // file size
};

void snapshot(const GridRecord &rec, Field &f) {
  const GribDecoder &d = grib_decoder();
  f.rec = rec;
  f.ydir = d.ydir;
  f.xalt = d.xalt;
  f.thin = d.thin;
  f.rows = d.thin_ptr;
  f.bitmap = d.bmb;
  f.unplaceable = d.ed2.values_unplaceable();
  f.prob_var = d.ens_prob_var;
  f.prob_type = d.ens_prob_type;
  f.prob_low = d.ens_prob_low;
  f.prob_up = d.ens_prob_up;
}

// Decodes sections 1, 3, 4 and 6 of every message in the bytes; a field ends
// at its data section (or at the end of its message).
Walk walk(const Bytes &bytes) {
  Walk w;
  GribFile file(bytes);
  const int h = file.handle();
  w.size = static_cast<long long>(bytes.size());
  GridRecord rec;
  GRD_init(&rec);
  testing::internal::CaptureStderr();
  while (GRIB_header(h) == 1) {
    Field cur;
    bool open = false;
    bool stepped = true;  // a section that cannot be stepped over ends the message
    while (stepped && GRIB_read_section(h) == 1) {
      open = true;
      switch (GRIB_get_sect()) {
        case 1: GRIB_IDS(h, &rec); break;
        case 3: cur.gds = GRIB_GDS(h, &rec); break;
        case 4: cur.pds = GRIB_PDS(h, &rec); break;
        case 6: cur.bms = GRIB_BMS(h); break;
        case 7:
          stepped = GRIB_skip_section(h) == 1;
          snapshot(rec, cur);
          w.fields.push_back(cur);
          cur = Field{};
          open = false;
          break;
        default: stepped = GRIB_skip_section(h) == 1; break;
      }
    }
    if (open) {
      snapshot(rec, cur);
      w.fields.push_back(cur);
    }
    w.stop = file.tell();
    if (GRIB_get_sect() != -1) break;
  }
  w.err = testing::internal::GetCapturedStderr();
  return w;
}

// One field: identification, the grid, the product, no bit map.
Bytes message(const Bytes &gds, const Bytes &product, const Bytes &bitmap = bms(255)) {
  return gribtest::grib2({ids(), gds, product, drs(6), bitmap, ds(6)});
}

Bytes small_latlon() {
  LatLon g;
  g.la1 = 10000000;
  g.la2 = 9000000;
  g.lo2 = 2000000;
  return latlon_gds(g);
}

int count(const std::string &text, const std::string &what) {
  int n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

class Edition2Sections : public ::testing::Test {
 protected:
  void SetUp() override {
    RES_reset();
    MESS_reset();
    RES_put("file_path", KVZ_SOURCE_DIR "/etc/");
  }
  void TearDown() override { MESS_reset(); }
};

// ---- identification ------------------------------------------------------------------

TEST_F(Edition2Sections, IdentificationGivesCentreAndReferenceTime) {
  const Walk w = walk(message(small_latlon(), pds(Pds{})));
  ASSERT_EQ(w.fields.size(), 1u);
  const GridRecord &r = w.fields[0].rec;
  EXPECT_EQ(r.version, 2);
  EXPECT_EQ(r.source, 7);
  EXPECT_EQ(r.base_date.year, 2012);
  EXPECT_EQ(r.base_date.month, 1);
  EXPECT_EQ(r.base_date.day, 10);
  EXPECT_EQ(r.base_date.hour, 12);
  EXPECT_EQ(r.base_date.minute, 30);
  EXPECT_STRNE(r.datim, "");
  EXPECT_STRNE(r.info, "");
}

// ---- grid definition -------------------------------------------------------------------

TEST_F(Edition2Sections, GlobalHalfDegreeGrid) {
  LatLon g;
  g.ni = 720;
  g.nj = 361;
  g.la1 = 90000000;
  g.la2 = -90000000;
  g.lo2 = 359500000;
  const Walk w = walk(message(latlon_gds(g), pds(Pds{})));
  ASSERT_EQ(w.fields.size(), 1u);
  const Field &f = w.fields[0];
  EXPECT_EQ(f.gds, 1);
  const Domain &d = f.rec.domain;
  EXPECT_EQ(d.proj, DOM_PROJ_LATLON);
  EXPECT_EQ(d.nx, 720);
  EXPECT_EQ(d.ny, 361);
  EXPECT_FLOAT_EQ(d.clat, 0.0f);
  EXPECT_FLOAT_EQ(d.clon, 179.75f);
  EXPECT_FLOAT_EQ(d.dx, 0.5f);
  EXPECT_FLOAT_EQ(d.dy, 0.5f);
  EXPECT_EQ(f.rec.type, 9007205);
  EXPECT_EQ(f.ydir, -1);
  EXPECT_FALSE(f.unplaceable);
}

TEST_F(Edition2Sections, ScanningModeGivesRowOrderAndAlternation) {
  struct Case {
    int scan, ydir, xalt;
  };
  // 0x02 offsets odd rows in edition 2; it says nothing about the row order.
  const Case cases[] = {{0x00, -1, 0}, {0x40, 1, 0}, {0x50, 1, 1}, {0x10, -1, 1}, {0x02, -1, 0}, {0x80, -1, 0}};
  for (const Case &c : cases) {
    SCOPED_TRACE(c.scan);
    LatLon g;
    g.scan = c.scan;
    const Walk w = walk(message(latlon_gds(g), pds(Pds{})));
    ASSERT_EQ(w.fields.size(), 1u);
    EXPECT_EQ(w.fields[0].ydir, c.ydir);
    EXPECT_EQ(w.fields[0].xalt, c.xalt);
  }
}

TEST_F(Edition2Sections, QuasiRegularRowsUseTheDeclaredOctetCount) {
  for (const int octets : {1, 2, 4}) {
    SCOPED_TRACE(octets);
    LatLon g;
    g.nj = 4;
    g.la1 = 90000000;
    g.la2 = -90000000;
    g.lo2 = 359000000;
    g.rows = octets == 1 ? std::vector<int>{4, 200, 255, 4} : std::vector<int>{4, 361, 300, 4};
    g.row_octets = octets;
    const Walk w = walk(message(latlon_gds(g), pds(Pds{})));
    ASSERT_EQ(w.fields.size(), 1u);
    const Field &f = w.fields[0];
    EXPECT_EQ(f.gds, 1);
    EXPECT_EQ(f.thin, 1);
    EXPECT_EQ(f.rows, std::vector<int32_t>(g.rows.begin(), g.rows.end()));
    const int widest = octets == 1 ? 255 : 361;
    EXPECT_EQ(f.rec.domain.nx, widest);
    EXPECT_EQ(f.rec.domain.ny, 4);
    EXPECT_FLOAT_EQ(f.rec.domain.dx, 359.0f / (widest - 1));
  }
}

TEST_F(Edition2Sections, QuasiRegularRowListMustFitTheSection) {
  LatLon g;
  g.nj = 4;
  g.rows = {4, 8, 8};  // one row length short
  g.row_octets = 2;
  const Walk w = walk(message(latlon_gds(g), pds(Pds{})));
  ASSERT_FALSE(w.fields.empty());
  EXPECT_EQ(w.fields[0].gds, 0);
  EXPECT_TRUE(w.fields[0].unplaceable);
  EXPECT_NE(w.err.find("row lengths run past"), std::string::npos) << w.err;
}

TEST_F(Edition2Sections, SouthernPolarStereographicGridCentredOnThePole) {
  // The first point of a 3 × 3 grid of 100 km around the south pole.
  Domain dom;
  DOM_init(dom);
  dom.proj = DOM_PROJ_PSTEREO;
  dom.plat = -90.0f;
  dom.plon = 0.0f;
  dom.param1 = -60.0f;
  MAP_domain(&dom);
  float first[2];
  MAP_tran_pe(-1.0f, -1.0f, first);
  Projected g;
  g.la1 = std::lround(first[0] * 1e6);
  g.lo1 = std::lround((first[1] < 0 ? first[1] + 360.0f : first[1]) * 1e6);
  g.lad = -60000000;
  g.centre_flag = 0x80;
  const Walk w = walk(message(projected_gds(g), pds(Pds{})));
  ASSERT_EQ(w.fields.size(), 1u);
  const Domain &d = w.fields[0].rec.domain;
  EXPECT_EQ(d.proj, DOM_PROJ_PSTEREO);
  EXPECT_FLOAT_EQ(d.plat, -90.0f);
  EXPECT_FLOAT_EQ(d.param1, -60.0f);
  EXPECT_FLOAT_EQ(d.dx, 1.0f);
  EXPECT_FLOAT_EQ(d.dy, 1.0f);
  EXPECT_NEAR(d.clat, -90.0f, 0.01);
}

TEST_F(Edition2Sections, LambertConformalGrid) {
  Projected g;
  g.tmpl = 30;
  g.nx = 93;
  g.ny = 65;
  g.la1 = 12190000;
  g.lo1 = 226541000;
  g.lov = 265000000;
  g.dx = g.dy = 81270500;
  const Walk w = walk(message(projected_gds(g), pds(Pds{})));
  ASSERT_EQ(w.fields.size(), 1u);
  const Domain &d = w.fields[0].rec.domain;
  EXPECT_EQ(d.proj, DOM_PROJ_LAMB);
  EXPECT_FLOAT_EQ(d.plon, -95.0f);
  EXPECT_FLOAT_EQ(d.plat, 90.0f);
  EXPECT_FLOAT_EQ(d.param1, 25.0f);
  EXPECT_FLOAT_EQ(d.param2, 25.0f);
  EXPECT_FLOAT_EQ(d.param3, 1.0f);
  EXPECT_FLOAT_EQ(d.dx, 0.812705f);
  // NCEP grid 211, the same grid in edition 1.
  EXPECT_NEAR(d.clat, 40.607, 0.01);
  EXPECT_NEAR(d.clon, -100.553, 0.01);
  EXPECT_EQ(w.fields[0].ydir, 1);
  // Template 30; 12.19 N; 133.46 W counted back from 36; 93 columns; Dx 81 km.
  EXPECT_EQ(w.fields[0].rec.type, 30 * 10000000 + 1 * 1000000 + (36 - 13) * 10000 + 9 * 100 + 81);
}

TEST_F(Edition2Sections, MercatorBandAcrossTheDateLine) {
  // 170 E eastwards to 170 W: the centre is on the date line, not at 0 E.
  const Walk w = walk(message(mercator_gds(21, 11, -10000000, 170000000, 10000000, 190000000), pds(Pds{})));
  ASSERT_EQ(w.fields.size(), 1u);
  const Domain &d = w.fields[0].rec.domain;
  EXPECT_EQ(d.proj, DOM_PROJ_MERC);
  EXPECT_NEAR(std::fabs(d.clon), 180.0, 1e-3);
  EXPECT_NEAR(d.clat, 0.0, 1e-3);
  EXPECT_NEAR(d.dx, 1.11199f, 1e-4) << "one degree of longitude in map units";
}

TEST_F(Edition2Sections, UnsupportedGridTemplateGivesNoGridAndWarnsOncePerTemplate) {
  const Bytes first = message(small_latlon(), pds(Pds{}));
  const Bytes gaussian = message(other_gds(40), pds(Pds{}));
  const Bytes rotated = message(other_gds(1), pds(Pds{}));
  const Walk w = walk(first + gaussian + gaussian + rotated);
  ASSERT_EQ(w.fields.size(), 4u);
  EXPECT_FALSE(w.fields[0].unplaceable);
  for (size_t i = 1; i < 4; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(w.fields[i].gds, 1);
    EXPECT_EQ(w.fields[i].rec.domain.proj, DOM_PROJ_NONE) << "the previous grid is not carried over";
    EXPECT_EQ(w.fields[i].rec.domain.nx, -9999);
    EXPECT_TRUE(w.fields[i].unplaceable);
  }
  EXPECT_EQ(count(w.err, "grid template 3.40 is not supported"), 1) << w.err;
  EXPECT_EQ(count(w.err, "grid template 3.1 is not supported"), 1) << w.err;
}

TEST_F(Edition2Sections, GridsBeyondTheRowOrPointLimitsAreGivenUp) {
  struct Case {
    Bytes gds;
    int result;
  };
  LatLon tall;
  tall.ni = 1;
  tall.nj = 10000;
  LatLon taller = tall;
  taller.nj = 10001;
  Projected ps;
  ps.ny = 2001;
  // Point counts whose product wraps around in 32 bits (to 0 and to a small count).
  LatLon wraps_to_zero;
  wraps_to_zero.ni = int64_t{1} << 31;
  wraps_to_zero.nj = 2;
  LatLon wraps_to_small = wraps_to_zero;
  wraps_to_small.ni = 0x55555556;  // times 3 is 2 in 32 bits
  wraps_to_small.nj = 3;
  const Case cases[] = {{latlon_gds(tall), 1},          {latlon_gds(taller), 0},        {projected_gds(ps), 0},
                        {latlon_gds(wraps_to_zero), 0}, {latlon_gds(wraps_to_small), 0}};
  for (const Case &c : cases) {
    const Walk w = walk(message(c.gds, pds(Pds{})));
    ASSERT_FALSE(w.fields.empty());
    EXPECT_EQ(w.fields[0].gds, c.result);
    EXPECT_EQ(w.fields[0].unplaceable, c.result == 0);
  }
}

TEST_F(Edition2Sections, DamagedGridSectionsAreGivenUpWithoutReadingPastTheProduct) {
  Bytes too_long = small_latlon();
  gribtest::set_uint(too_long, 0, 5000, 4);
  Bytes short_lambert = projected_gds(Projected{30});
  short_lambert.resize(70);
  gribtest::set_uint(short_lambert, 0, 70, 4);
  for (const Bytes &gds : {too_long, short_lambert}) {
    const Bytes msg = message(gds, pds(Pds{}));
    const Walk w = walk(msg + message(small_latlon(), pds(Pds{})));
    ASSERT_FALSE(w.fields.empty());
    EXPECT_EQ(w.fields[0].gds, 0);
    EXPECT_NE(w.err.find("Damaged GRIB product"), std::string::npos) << w.err;
  }
  // The section that runs past the product leaves the stream at the end marker.
  const Bytes msg = message(too_long, pds(Pds{}));
  const Walk w = walk(msg);
  EXPECT_EQ(w.stop, w.size) << "the walker ended the message at its end marker";
}

// Every octet of a message set to 0x00, 0x7F and 0xFF in turn: lengths, counts,
// templates and scales out of range are met without reading outside a section
// (the sanitizer build checks) and never make more fields than were sent.
TEST_F(Edition2Sections, DamagedOctetsAreMetSafely) {
  LatLon quasi;
  quasi.nj = 3;
  quasi.rows = {2, 3, 2};
  quasi.row_octets = 2;
  Pds prob;
  prob.tmpl = 9;
  prob.rest = probability(1, 2, 25, 2, 50) + time_range(2012, 1, 11, 12, 255, 1, kAllOnes);
  Pds interval;  // the length of its range comes from the end of the interval
  interval.tmpl = 8;
  interval.rest = time_range(2012, 1, 11, 12, 255, 1, kAllOnes);
  const Bytes sections[] = {latlon_gds(quasi), projected_gds(Projected{30}), mercator_gds(3, 2, 0, 0, 10, 10)};
  for (const Bytes &gds : sections) {
    const Bytes msg = gribtest::grib2({ids(), gds, pds(prob), drs(6), bms(0, {0xFF}), ds(6), pds(interval), drs(6),
                                       bms(254), ds(6)});
    for (size_t at = 16; at + 4 < msg.size(); ++at) {
      for (const unsigned char v : {0x00, 0x7F, 0xFF}) {
        Bytes bad = msg;
        bad[at] = v;
        const Walk w = walk(bad);
        ASSERT_LE(w.fields.size(), 2u) << at;
      }
    }
  }
}

// ---- product definition ------------------------------------------------------------------

struct Level {
  int type1, scale1;
  uint32_t value1;
  int type2, scale2;
  uint32_t value2;
  int ltype, level;
};

TEST_F(Edition2Sections, FixedSurfacesGiveThePackageLevels) {
  const uint32_t minus2000 = 0x80000000u | 2000u;  // sign and magnitude
  const Level cases[] = {
      {100, 0, 50000, 255, 0, 0, 100, 500},         // 500 hPa
      {100, 0, 85000, 100, 0, 50000, 101, 85050},   // 850-500 hPa
      {101, 0, 0, 255, 0, 0, 102, 0},               // mean sea level
      {102, 0, 3658, 255, 0, 0, 103, 3658},
      {103, 0, 2, 255, 0, 0, 105, 2},               // 2 m
      {103, 0xFF, 2, 255, 0xFF, 0, 105, 2},         // 2 m with its scale missing, read as ecCodes does
      {103, 0, 6000, 103, 0, 0, 106, 60000},        // 6000-0 m
      {104, 3, 995, 255, 0, 0, 107, 9950},          // sigma 0.995
      {104, 2, 44, 104, 2, 72, 108, 44072},
      {105, 0, 12, 255, 0, 0, 109, 12},
      {106, 0, 0, 106, 1, 1, 112, 10},              // 0-0.1 m: each surface has its own scale
      {106, 2, 10, 255, 0, 0, 111, 10},
      {107, 0, 320, 255, 0, 0, 113, 320},
      {108, 0, 9000, 108, 0, 6000, 116, 90060},
      {109, 9, 2000, 255, 0, 0, 117, 2},            // 2 PVU
      {109, 9, minus2000, 255, 0, 0, 117, -2},      // -2 PVU
      {111, 0, 5, 255, 0, 0, 119, 5},
      {1, 0xFF, kAllOnes, 255, 0xFF, kAllOnes, 1, -9999},  // surface, value missing
      {1, 0, 0, 255, 0, 0, 1, 0},
      {100, 0x81, 5000, 255, 0, 0, 100, 500},       // scale -1
  };
  for (const Level &c : cases) {
    SCOPED_TRACE(std::to_string(c.type1) + " " + std::to_string(c.value1));
    Pds p;
    p.type1 = c.type1;
    p.scale1 = c.scale1;
    p.value1 = c.value1;
    p.type2 = c.type2;
    p.scale2 = c.scale2;
    p.value2 = c.value2;
    const Walk w = walk(message(small_latlon(), pds(p)));
    ASSERT_EQ(w.fields.size(), 1u);
    EXPECT_EQ(w.fields[0].rec.ltype, c.ltype);
    EXPECT_EQ(w.fields[0].rec.level, c.level);
  }
}

TEST_F(Edition2Sections, TimeCodes) {
  struct Case {
    int tmpl, unit;
    int64_t ftime;
    Bytes rest;
    int time;
  };
  const Bytes ens_member = {1, 3, 20};
  const Case cases[] = {
      {0, 1, 12, {}, 12},
      {0, 0, 90, {}, 90},                                                    // minutes, as sent
      {8, 1, 0, time_range(2012, 1, 10, 18, 1, 1, 6), 4000006},              // 6-hour accumulation
      {8, 1, 66, time_range(2012, 1, 13, 18, 0, 1, 6), 3066072},             // average 66-72 h
      {8, 1, 12, time_range(2012, 1, 11, 12, 2, 1, 12), 6012024},            // maximum
      {8, 1, 12, time_range(2012, 1, 11, 12, 3, 1, 12), 7012024},            // minimum
      {8, 11, 1, time_range(2012, 1, 11, 0, 4, 11, 1), 5006012},             // 6-hour units
      {8, 1, 6, time_range(2012, 1, 11, 12, 255, 1, 6), 2006012},            // other process
      // A length sent as missing is the time to the end of the interval.
      // (From 10 Jan 12:30 to 11 Jan 12:00: 23 whole hours.)
      {8, 1, 6, time_range(2012, 1, 11, 12, 255, 1, kAllOnes), 2006023},
      {11, 1, 0, ens_member + time_range(2012, 1, 15, 12, 1, 1, 120), 4000120},
      {11, 1, 0, ens_member + time_range(2012, 1, 15, 12, 9, 1, 120), 2000120},  // any other process
      {12, 1, 24, Bytes{0, 20} + time_range(2012, 1, 12, 12, 0, 1, 24), 3024048},
      {9, 2, 3, probability(0, 0, 0, 0, 0) + time_range(2012, 1, 15, 12, 1, 2, 2), 4803805},  // days
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(std::to_string(c.tmpl) + ": " + std::to_string(c.time));
    Pds p;
    p.tmpl = c.tmpl;
    p.unit = c.unit;
    p.ftime = c.ftime;
    p.rest = c.rest;
    const Walk w = walk(message(small_latlon(), pds(p)));
    ASSERT_EQ(w.fields.size(), 1u);
    EXPECT_EQ(w.fields[0].pds, 1);
    EXPECT_EQ(w.fields[0].rec.time, c.time);
  }
}

TEST_F(Edition2Sections, EnsembleMembersAndDerivedForecasts) {
  struct Case {
    int tmpl;
    Bytes rest;
    int var;
    const char *tag;
  };
  const Bytes range = time_range(2012, 1, 11, 12, 1, 1, 24);
  const Case cases[] = {
      {1, {3, 2, 20}, 19342007, "Ens[+2]"},          // positive perturbation 2
      {1, {0, 0, 20}, 19300007, "Ens[0]"},           // control
      {11, Bytes{2, 4, 20} + range, 19324007, "Ens[-4]"},
      {2, {0, 20}, 19000007, "Ens mean"},            // unweighted mean
      {2, {1, 20}, 19000007, "Ens mean"},            // weighted mean
      {12, Bytes{2, 20} + range, 19001007, "Ens std dev"},
      {2, {5, 20}, 7, nullptr},                      // a derived forecast without a package code
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.var);
    Pds p;
    p.tmpl = c.tmpl;
    p.rest = c.rest;
    const Walk w = walk(message(small_latlon(), pds(p)));
    ASSERT_EQ(w.fields.size(), 1u);
    EXPECT_EQ(w.fields[0].rec.var, c.var);
    if (c.tag) {
      EXPECT_NE(std::string(w.fields[0].rec.info).find(c.tag), std::string::npos) << w.fields[0].rec.info;
    }
  }
}

TEST_F(Edition2Sections, PlainFieldAfterAnEnsembleMemberIsNoMember) {
  Pds member;
  member.tmpl = 1;
  member.rest = {3, 2, 20};
  const Bytes msg = gribtest::grib2({ids(), small_latlon(), pds(member), drs(6), bms(255), ds(6), pds(Pds{}),
                                     drs(6), bms(255), ds(6)});
  const Walk w = walk(msg);
  ASSERT_EQ(w.fields.size(), 2u);
  EXPECT_EQ(w.fields[0].rec.var, 19342007);
  EXPECT_EQ(w.fields[1].rec.var, 7);
  EXPECT_EQ(std::string(w.fields[1].rec.info).find("Ens"), std::string::npos) << w.fields[1].rec.info;
}

TEST_F(Edition2Sections, ProbabilityForecasts) {
  struct Case {
    int tmpl, process;
    Bytes rest;
    int prob_type;
    float low, up;
    const char *clause;
  };
  const Bytes range = time_range(2012, 1, 11, 12, 1, 1, 24);
  const Case cases[] = {
      {5, 4, probability(1, 0, 0, 2, 25), 2, 0.0f, 0.25f, "above 0.25"},
      {5, 2, probability(0, 1, -50, 0, 0), 1, -5.0f, 0.0f, "below -5.00"},  // negative limits
      {9, 5, probability(2, 0, 1, 0, 3) + range, 6, 1.0f, 3.0f, "in 1.00-3.00"},
      {9, 2, probability(3, 0, 10, 0, 0) + range, 7, 10.0f, 0.0f, "above 10.00"},
      {9, 2, probability(4, 0, 0, 0, 20) + range, 8, 0.0f, 20.0f, "below 20.00"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.clause);
    Pds p;
    p.tmpl = c.tmpl;
    p.process = c.process;
    p.category = 1;
    p.number = 8;  // total precipitation
    p.type1 = 1;
    p.value1 = 0;
    p.rest = c.rest;
    const Walk w = walk(message(small_latlon(), pds(p)));
    ASSERT_EQ(w.fields.size(), 1u);
    const Field &f = w.fields[0];
    EXPECT_EQ(f.prob_var, 61);
    EXPECT_EQ(f.prob_type, c.prob_type);
    EXPECT_FLOAT_EQ(f.prob_low, c.low);
    EXPECT_FLOAT_EQ(f.prob_up, c.up);
    EXPECT_STREQ(w.fields[0].rec.units, "%");
    EXPECT_EQ(w.fields[0].rec.var / 10000000, 191);
    EXPECT_NE(std::string(w.fields[0].rec.info).find(c.clause), std::string::npos) << w.fields[0].rec.info;
  }
}

TEST_F(Edition2Sections, UnknownProductTemplatesKeepNothingOfTheFieldBefore) {
  Pds known;
  Pds percentile;
  percentile.tmpl = 6;
  percentile.category = 0;
  percentile.number = 0;  // temperature
  percentile.rest = {50};
  Pds jma;
  jma.tmpl = 50008;
  const Bytes msg = gribtest::grib2({ids(), small_latlon(), pds(known), drs(6), bms(255), ds(6), pds(percentile),
                                     drs(6), bms(255), ds(6), pds(percentile), drs(6), bms(255), ds(6), pds(jma),
                                     drs(6), bms(255), ds(6)});
  const Walk w = walk(msg);
  ASSERT_EQ(w.fields.size(), 4u);
  for (size_t i : {1u, 2u}) {
    const GridRecord &r = w.fields[i].rec;
    EXPECT_EQ(w.fields[i].pds, 1);
    EXPECT_EQ(r.var, 11);
    EXPECT_EQ(r.time, -9999);
    EXPECT_EQ(r.ltype, -9999);
    EXPECT_EQ(r.level, -9999);
  }
  EXPECT_EQ(count(w.err, "product template 4.6 is not supported"), 1) << w.err;
  const GridRecord &j = w.fields[3].rec;
  EXPECT_EQ(j.ltype, 1);
  EXPECT_EQ(j.level, 0);
  EXPECT_EQ(j.time, 0);
  EXPECT_EQ(j.var, 7);
}

TEST_F(Edition2Sections, ProductSectionShorterThanItsTemplate) {
  Pds p;
  p.tmpl = 8;
  p.rest = {0, 0, 0};  // the time range is missing
  const Walk w = walk(message(small_latlon(), pds(p)));
  ASSERT_EQ(w.fields.size(), 1u);
  EXPECT_EQ(w.fields[0].pds, 0);
  EXPECT_EQ(w.fields[0].rec.time, -9999);
  EXPECT_NE(w.err.find("too short for its template"), std::string::npos) << w.err;
}

// ---- bit maps ------------------------------------------------------------------------------

TEST_F(Edition2Sections, BitMapsAreReadReusedAndReleased) {
  const Bytes head = ids() + small_latlon();
  const Bytes field = pds(Pds{}) + drs(4);
  const Bytes msg = gribtest::grib2({head, field, bms(0, {0xB4}), ds(4),  // 10110100
                                     field, bms(254), ds(4),                 // the same map again
                                     field, bms(255), ds(6),                 // none
                                     field, bms(254), ds(6)});               // nothing left to reuse
  const Walk w = walk(msg);
  ASSERT_EQ(w.fields.size(), 4u);
  EXPECT_EQ(w.fields[0].bms, 1);
  EXPECT_EQ(w.fields[0].bitmap, (std::vector<unsigned char>{0xB4}));
  EXPECT_EQ(w.fields[1].bms, 1);
  EXPECT_EQ(w.fields[1].bitmap, (std::vector<unsigned char>{0xB4}));
  EXPECT_FALSE(w.fields[1].unplaceable);
  EXPECT_EQ(w.fields[2].bms, 0);
  EXPECT_TRUE(w.fields[2].bitmap.empty());
  EXPECT_FALSE(w.fields[2].unplaceable);
  EXPECT_EQ(w.fields[3].bms, 0);
  EXPECT_TRUE(w.fields[3].unplaceable) << "values are not placed without the map they need";
}

TEST_F(Edition2Sections, BitMapsThatCannotBeHadGiveNoValues) {
  const Walk predefined = walk(message(small_latlon(), pds(Pds{}), bms(3)) +
                               message(small_latlon(), pds(Pds{}), bms(3)));
  ASSERT_EQ(predefined.fields.size(), 2u);
  EXPECT_EQ(predefined.fields[0].bms, 0);
  EXPECT_TRUE(predefined.fields[0].unplaceable);
  EXPECT_EQ(count(predefined.err, "predefined bit map"), 1) << predefined.err;
  // Nine points need two octets of bits.
  LatLon nine;
  nine.nj = 3;
  const Walk short_map = walk(message(latlon_gds(nine), pds(Pds{}), bms(0, {0xFF})));
  ASSERT_EQ(short_map.fields.size(), 1u);
  EXPECT_TRUE(short_map.fields[0].unplaceable);
  EXPECT_NE(short_map.err.find("shorter than the grid"), std::string::npos) << short_map.err;
  const Walk fits = walk(message(latlon_gds(nine), pds(Pds{}), bms(0, {0xFF, 0x80})));
  ASSERT_EQ(fits.fields.size(), 1u);
  EXPECT_FALSE(fits.fields[0].unplaceable);
}

// ---- several fields in one message, through the grid reader -------------------------------------

class Edition2Reading : public Edition2Sections {
 protected:
  void SetUp() override {
    Edition2Sections::SetUp();
    // The multi-field reading state is kept per process, not per file.
    grid_state().cont = grid_state().pcont = 0;
  }
  // Reads every grid of the file in header-only mode (1) or with values (0).
  std::vector<GridRecord> read_all(const Bytes &bytes, int mode) {
    GribFile f(bytes);
    std::vector<GridRecord> out;
    testing::internal::CaptureStderr();
    GridFileInfo info{};
    GRD_getinfo(f.handle(), &info);
    for (int n = 0; n < 10; ++n) {
      GridRecord g;
      GRD_init(&g);
      if (!out.empty()) g = out.back();  // the one record the driver reuses
      int number = n;
      if (GRD_read(f.handle(), &g, mode, &number) != 0) break;
      out.push_back(g);
    }
    err = testing::internal::GetCapturedStderr();
    return out;
  }
  std::string err;
};

TEST_F(Edition2Reading, LaterFieldsInheritTheSectionsNotRepeated) {
  LatLon g2;
  g2.ni = 4;
  g2.nj = 3;
  g2.la1 = -10000000;
  g2.la2 = -8000000;
  g2.lo2 = 3000000;
  g2.scan = 0x40;
  Pds p2;
  p2.value1 = 85000;
  Pds p3;
  p3.type1 = 103;
  p3.value1 = 2;
  const Bytes msg = gribtest::grib2({ids(), small_latlon(), pds(Pds{}), drs(6), bms(255), ds(6), pds(p2), drs(6),
                                     bms(255), ds(6), latlon_gds(g2), pds(p3), drs(12), bms(255), ds(12)});
  const auto grids = read_all(msg + msg, 1);
  ASSERT_EQ(grids.size(), 6u) << err;
  const int levels[] = {500, 850, 2};
  for (size_t i = 0; i < grids.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(grids[i].source, 7);
    EXPECT_EQ(grids[i].base_date.year, 2012);
    EXPECT_EQ(grids[i].level, levels[i % 3]);
    EXPECT_EQ(grids[i].domain.nx, i % 3 == 2 ? 4 : 3);
    EXPECT_EQ(grids[i].domain.ny, i % 3 == 2 ? 3 : 2);
  }
  EXPECT_FLOAT_EQ(grids[1].domain.clat, 9.5f);
  EXPECT_FLOAT_EQ(grids[2].domain.clat, -9.0f);
}

TEST_F(Edition2Reading, FieldOnAnUnsupportedGridCarriesNothingOfTheFieldBefore) {
  const Bytes placed = message(small_latlon(), pds(Pds{}));
  const Bytes unplaced = message(other_gds(40), pds(Pds{}));
  const auto grids = read_all(placed + unplaced, 0);
  ASSERT_EQ(grids.size(), 2u) << err;
  EXPECT_EQ(grids[0].domain.nx, 3);
  EXPECT_EQ(grids[0].values.size(), 6u) << err;
  EXPECT_EQ(grids[1].domain.proj, DOM_PROJ_NONE);
  EXPECT_TRUE(grids[1].values.empty());
  EXPECT_EQ(count(err, "grid template 3.40"), 1) << err;
}

}  // namespace
