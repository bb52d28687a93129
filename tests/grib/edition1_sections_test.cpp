// GRIB edition 1 sections on hand-made products: the PDS time, level, date,
// parameter and ensemble rules; GDS domains and scanning directions;
// predefined grids with pole rows; bit maps; the packing arithmetic; the
// quasi-regular rows; the bad-value check; and damaged or unsupported sections.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "config/config.h"
#include "grib/decoder_state.h"
#include "grib/grib.h"
#include "grid/grid.h"
#include "grib_builder.h"
#include "grib_test_file.h"

namespace {

using gribtest::Bytes;
using gribtest::GribFile;

constexpr float kMissing = -9999.0f;

struct Decoded {
  GridRecord rec;
  int pdb = 0, gdb = 0, bmb = 0, bdb = 0;
  std::string err;
};

// Runs the edition 1 sections of the product the stream stands in, in reading order.
void decode_sections(const GribFile &f, Decoded *out) {
  GRD_init(&out->rec);
  out->pdb = GRIB_PDB(f.handle(), &out->rec);
  out->gdb = out->pdb > 0 ? GRIB_GDB(f.handle(), &out->rec) : 0;
  if (out->gdb > 0) {
    out->bmb = GRIB_BMB(f.handle(), &out->rec);
    out->bdb = GRIB_BDB(f.handle(), &out->rec);
  }
}

// Finds the file's next product and decodes it, collecting what goes to standard error.
void decode(const GribFile &f, Decoded *out) {
  GRD_init(&out->rec);
  testing::internal::CaptureStderr();
  if (GRIB_header(f.handle()) == 1) decode_sections(f, out);
  out->err = testing::internal::GetCapturedStderr();
}

// A latitude/longitude grid of nx × ny points from 10N 0E, one degree apart.
gribtest::Gds1 latlon(int nx, int ny, int scan) {
  gribtest::Gds1 g;
  g.nx = nx;
  g.ny = ny;
  g.scan = scan;
  const bool north_first = !(scan & 0x40);
  g.la1 = north_first ? 10000 + (ny - 1) * 1000 : 10000;
  g.la2 = north_first ? 10000 : 10000 + (ny - 1) * 1000;
  g.lo1 = 0;
  g.lo2 = (nx - 1) * 1000;
  g.di = 1000;
  g.dj = 1000;
  return g;
}

Bytes product(const gribtest::Pds1 &p, const Bytes &gds, const Bytes &bms, const gribtest::Bds1 &d) {
  return gribtest::grib1(gribtest::pds1(p), gds, bms, gribtest::bds1(d));
}

std::vector<uint32_t> counting(int n, uint32_t from = 0) {
  std::vector<uint32_t> v;
  for (int i = 0; i < n; ++i) v.push_back(from + static_cast<uint32_t>(i));
  return v;
}

// A fresh edition 1 record.
GridRecord edition1_record() {
  GridRecord rec;
  GRD_init(&rec);
  rec.version = 1;
  return rec;
}

// pds[k] = octet k of the built PDS.
std::vector<unsigned char> pds_octets(const gribtest::Pds1 &p) {
  const Bytes b = gribtest::pds1(p);
  std::vector<unsigned char> pds(b.size() + 80, 0);
  std::copy(b.begin(), b.end(), pds.begin() + 1);
  return pds;
}

TEST(GribEdition1Pds, TimeCodes) {
  struct Case {
    int unit, p1, p2, range, n;
    int time;
  };
  const Case cases[] = {
      {1, 12, 0, 0, 0, 12},                    // forecast hour
      {1, 12, 0, 1, 0, 0},                     // initialised analysis
      {1, 0, 6, 3, 0, 3000006},                // average 0 to 6 h
      {1, 6, 12, 4, 0, 4006012},               // accumulation
      {2, 1, 2, 2, 0, 2801802},                // days
      {3, 1, 2, 5, 0, 5901902},                // months
      {12, 1, 2, 3, 0, 3012024},               // 12-hour units
      {1, 1, 8, 10, 0, 264},                   // P1 and P2 as one number
      {1, 6, 12, 113, 4, 13006048},
      {2, 1, 1, 118, 3, 18801803},             // days add 800
      {1, 0, 6, 123, 4, 23000024},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.range * 100 + c.unit);
    gribtest::Pds1 p;
    p.unit = c.unit;
    p.p1 = c.p1;
    p.p2 = c.p2;
    p.range = c.range;
    p.n_avg = c.n;
    GridRecord rec = edition1_record();
    GRIB_decode_PDB(pds_octets(p).data(), &rec);
    EXPECT_EQ(rec.time, c.time);
  }
  gribtest::Pds1 other;
  other.range = 51;  // not a known range: the time stays
  GridRecord rec = edition1_record();
  rec.time = 777;
  GRIB_decode_PDB(pds_octets(other).data(), &rec);
  EXPECT_EQ(rec.time, 777);
}

TEST(GribEdition1Pds, LevelsDatesAndParameters) {
  struct Case {
    int ltype, a, b;
    int level;
  };
  const Case levels[] = {{1, 3, 4, 0},       {102, 3, 4, 0},      {100, 1, 244, 500},
                         {105, 0, 2, 2},     {101, 50, 10, 50010}, {112, 0, 10, 10},
                         {8, 3, 4, 4242}};  // unknown type: level stays
  for (const Case &c : levels) {
    SCOPED_TRACE(c.ltype);
    gribtest::Pds1 p;
    p.ltype = c.ltype;
    p.level_a = c.a;
    p.level_b = c.b;
    GridRecord rec = edition1_record();
    rec.level = 4242;
    GRIB_decode_PDB(pds_octets(p).data(), &rec);
    EXPECT_EQ(rec.ltype, c.ltype);
    EXPECT_EQ(rec.level, c.level);
  }
  // Year of century and century octet; without a century the year is guessed.
  const int years[][3] = {{10, 21, 2010}, {49, 21, 2049}, {50, 21, 2050}, {99, 20, 1999}, {100, 20, 2000},
                          {1, 20, 1901},  {50, 0, 1950},  {99, 0, 1999},  {112, 0, 2012}, {10, 0, 2010}};
  for (const auto &y : years) {
    gribtest::Pds1 p;
    p.year = y[0];
    p.century = y[1];
    GridRecord rec = edition1_record();
    GRIB_decode_PDB(pds_octets(p).data(), &rec);
    EXPECT_EQ(rec.base_date.year, y[2]) << y[0] << " " << y[1];
  }
  struct Param {
    int table, param, ltype, model, var;
  };
  const Param params[] = {{2, 11, 100, 96, 11}, {2, 177, 100, 96, 571}, {129, 212, 100, 96, 491},
                          {2, 7, 1, 44, 161}};
  for (const Param &c : params) {
    gribtest::Pds1 p;
    p.table = c.table;
    p.param = c.param;
    p.ltype = c.ltype;
    p.model = c.model;
    GridRecord rec = edition1_record();
    GRIB_decode_PDB(pds_octets(p).data(), &rec);
    EXPECT_EQ(rec.var, c.var) << c.param;
  }
}

TEST(GribEdition1Pds, NcepEnsembleExtension) {
  gribtest::Pds1 p;
  p.centre = 7;
  p.subcentre = 2;
  p.param = 191;
  Bytes extra(30, 0);  // octets 29 to 58
  extra[42 - 29] = 3;  // ens_type
  extra[43 - 29] = 5;  // ens_id
  extra[44 - 29] = 1;  // ens_prod
  extra[45 - 29] = 2;  // ens_smooth
  extra[46 - 29] = 61; // probability of precipitation
  extra[47 - 29] = 2;
  const Bytes low = gribtest::ibm_float(0.254), up = gribtest::ibm_float(2.54);
  std::copy(low.begin(), low.end(), extra.begin() + (48 - 29));
  std::copy(up.begin(), up.end(), extra.begin() + (52 - 29));
  p.extra = extra;
  GridRecord rec = edition1_record();
  GRIB_decode_PDB(pds_octets(p).data(), &rec);
  const GribDecoder &d = grib_decoder();
  EXPECT_EQ(d.ens, 1);
  EXPECT_EQ(d.ens_type, 3);
  EXPECT_EQ(d.ens_id, 5);
  EXPECT_EQ(d.ens_prod, 1);
  EXPECT_EQ(d.ens_smooth, 2);
  EXPECT_EQ(d.ens_prob_var, 61);
  EXPECT_EQ(d.ens_prob_type, 2);
  EXPECT_NEAR(d.ens_prob_low, 0.254f, 1e-6);
  EXPECT_NEAR(d.ens_prob_up, 2.54f, 1e-6);
  EXPECT_EQ(rec.var, 191);

  gribtest::Pds1 plain;
  plain.subcentre = 0;
  GRIB_decode_PDB(pds_octets(plain).data(), &rec);
  EXPECT_EQ(grib_decoder().ens, 0);
}

TEST(GribEdition1Data, ScanningDirectionsGiveTheSameArray) {
  // Values as they stand on the map, northern row first.
  const std::vector<uint32_t> north_first = {1, 2, 3, 4, 5, 6};
  const std::vector<uint32_t> south_first = {4, 5, 6, 1, 2, 3};
  for (const int scan : {0x00, 0x40}) {
    SCOPED_TRACE(scan);
    gribtest::Bds1 d;
    d.packed = scan ? south_first : north_first;
    GribFile f(product({}, gribtest::gds1(latlon(3, 2, scan)), {}, d));
    Decoded out;
    decode(f, &out);
    ASSERT_EQ(out.bdb, 1) << out.err;
    EXPECT_EQ(out.rec.values, (std::vector<float>{1, 2, 3, 4, 5, 6}));
    const Domain &dom = out.rec.domain;
    EXPECT_EQ(dom.proj, DOM_PROJ_LATLON);
    EXPECT_EQ(dom.nx, 3);
    EXPECT_EQ(dom.ny, 2);
    EXPECT_FLOAT_EQ(dom.dx, 1.0f);
    EXPECT_FLOAT_EQ(dom.dy, 1.0f);
    EXPECT_FLOAT_EQ(dom.clat, 10.5f);
    EXPECT_FLOAT_EQ(dom.clon, 1.0f);
  }
}

TEST(GribEdition1Data, ScalingByDecimalAndBinaryFactors) {
  gribtest::Pds1 p;
  p.dscale = -2;
  gribtest::Bds1 d;
  d.e = 3;
  d.ref = 1.5;
  d.packed = {0, 1, 2, 3, 4, 5};
  GribFile f(product(p, gribtest::gds1(latlon(3, 2, 0)), {}, d));
  Decoded out;
  decode(f, &out);
  ASSERT_EQ(out.bdb, 1);
  // (R + X × 2^E) × 10^-D
  EXPECT_EQ(out.rec.values, (std::vector<float>{150, 950, 1750, 2550, 3350, 4150}));
}

TEST(GribEdition1Data, PackingWidthsUpTo32Bits) {
  for (const int bits : {1, 7, 12, 13, 24, 31, 32}) {
    SCOPED_TRACE(bits);
    const uint32_t top = bits == 32 ? 0xFFFFFFFFu : (1u << bits) - 1u;
    std::vector<uint32_t> packed;
    for (uint32_t i = 0; i < 60; ++i) packed.push_back((i * 2654435761u) & top);
    packed[0] = top;
    gribtest::Bds1 d;
    d.bits = bits;
    d.packed = packed;
    GribFile f(product({}, gribtest::gds1(latlon(6, 10, 0)), {}, d));
    Decoded out;
    decode(f, &out);
    ASSERT_EQ(out.bdb, 1) << out.err;
    ASSERT_EQ(out.rec.values.size(), packed.size());
    for (size_t i = 0; i < packed.size(); ++i) EXPECT_EQ(out.rec.values[i], static_cast<float>(packed[i])) << i;
  }
}

TEST(GribEdition1Data, PredefinedGrid211WithoutGds) {
  gribtest::Pds1 p;
  p.grid = 211;
  p.flags = 0;
  gribtest::Bds1 d;
  d.bits = 16;
  d.packed = counting(93 * 65);
  GribFile f(product(p, {}, {}, d));
  Decoded out;
  decode(f, &out);
  ASSERT_EQ(out.gdb, 1);
  const Domain &dom = out.rec.domain;
  EXPECT_EQ(dom.proj, DOM_PROJ_LAMB);
  EXPECT_EQ(dom.nx, 93);
  EXPECT_EQ(dom.ny, 65);
  ASSERT_EQ(out.bdb, 1);
  ASSERT_EQ(out.rec.values.size(), 93u * 65u);
  // Rows run south to north: the first data row is the last memory row.
  EXPECT_EQ(out.rec.values[64 * 93], 0.0f);
  EXPECT_EQ(out.rec.values[0], 64.0f * 93.0f);
}

TEST(GribEdition1Data, Grid21PoleRowIsOneValue) {
  gribtest::Pds1 p;
  p.grid = 21;
  p.flags = 0;
  gribtest::Bds1 d;
  d.bits = 12;
  d.packed = counting(36 * 37);
  d.packed.push_back(4000);  // the pole
  GribFile f(product(p, {}, {}, d));
  Decoded out;
  decode(f, &out);
  ASSERT_EQ(out.bdb, 1);
  ASSERT_EQ(out.rec.values.size(), 37u * 37u);
  for (int x = 0; x < 37; ++x) EXPECT_EQ(out.rec.values[x], 4000.0f) << x;
  EXPECT_EQ(out.rec.values[36 * 37], 0.0f) << "equator row at the bottom";
  EXPECT_EQ(out.rec.values[1 * 37], 35.0f * 37.0f) << "last full row just below the pole";
}

TEST(GribEdition1Data, Grid50RowsLoseTheirEnds) {
  gribtest::Pds1 p;
  p.grid = 50;
  p.flags = 0;
  int sent = 0;
  for (int r = 32; r >= 0; --r) sent += 36 - 2 * (r > 0 ? (r - 1) / 4 : 0);
  gribtest::Bds1 d;
  d.bits = 12;
  d.packed = counting(sent, 1);
  GribFile f(product(p, {}, {}, d));
  Decoded out;
  decode(f, &out);
  ASSERT_EQ(out.bdb, 1);
  const std::vector<float> &v = out.rec.values;
  ASSERT_EQ(v.size(), 36u * 33u);
  // Row 32 comes first and lacks 7 points at each end.
  EXPECT_EQ(v[32 * 36 + 6], kMissing);
  EXPECT_EQ(v[32 * 36 + 7], 1.0f);
  EXPECT_EQ(v[32 * 36 + 28], 22.0f);
  EXPECT_EQ(v[32 * 36 + 29], kMissing);
  EXPECT_EQ(v[0], static_cast<float>(sent - 35));
  EXPECT_EQ(v[35], static_cast<float>(sent));
}

TEST(GribEdition1Data, BitMapPlacesValuesAndAllZeroMapReadsNothing) {
  gribtest::Pds1 p;
  p.flags = 0xC0;
  gribtest::Bds1 d;
  d.packed = {7, 8};
  GribFile f(product(p, gribtest::gds1(latlon(3, 2, 0)), gribtest::bms1({0, 1, 0, 0, 0, 1}), d));
  Decoded out;
  decode(f, &out);
  ASSERT_EQ(out.bdb, 1);
  EXPECT_EQ(out.rec.values, (std::vector<float>{kMissing, 7, kMissing, kMissing, kMissing, 8}));

  gribtest::Bds1 none;
  GribFile g(product(p, gribtest::gds1(latlon(3, 2, 0)), gribtest::bms1({0, 0, 0, 0, 0, 0}), none));
  Decoded empty;
  decode(g, &empty);
  ASSERT_EQ(empty.bdb, 1);
  EXPECT_EQ(empty.rec.values, std::vector<float>(6, kMissing));
  EXPECT_EQ(grib_decoder().data_bytes, 0) << "no packed value was read";
}

TEST(GribEdition1Data, QuasiRegularRowIsSpreadLinearly) {
  gribtest::Gds1 g = latlon(5, 2, 0);
  g.rows = {5, 2};
  gribtest::Bds1 d;
  d.packed = {1, 2, 3, 4, 5, 10, 20};
  GribFile f(product({}, gribtest::gds1(g), {}, d));
  Decoded out;
  decode(f, &out);
  ASSERT_EQ(out.gdb, 1);
  EXPECT_EQ(out.rec.domain.nx, 5);
  ASSERT_EQ(out.bdb, 1);
  EXPECT_EQ(out.rec.values, (std::vector<float>{1, 2, 3, 4, 5, 10, 12.5f, 15, 17.5f, 20}));
}

TEST(GribEdition1Data, VerticalCoordinatesDoNotMakeTheGridQuasiRegular) {
  gribtest::Gds1 g = latlon(3, 2, 0);
  g.nv = 4;
  gribtest::Bds1 d;
  d.packed = {1, 2, 3, 4, 5, 6};
  GribFile f(product({}, gribtest::gds1(g), {}, d));
  Decoded out;
  decode(f, &out);
  ASSERT_EQ(out.bdb, 1) << out.err;
  EXPECT_EQ(out.rec.values, (std::vector<float>{1, 2, 3, 4, 5, 6}));
}

TEST(GribEdition1Data, LongPdsIsPassedOver) {
  gribtest::Pds1 p;
  p.extra = Bytes(600, 0xEE);
  gribtest::Bds1 d;
  d.packed = {1, 2, 3, 4, 5, 6};
  GribFile f(product(p, gribtest::gds1(latlon(3, 2, 0)), {}, d));
  Decoded out;
  decode(f, &out);
  ASSERT_EQ(out.bdb, 1) << out.err;
  EXPECT_EQ(out.rec.domain.nx, 3);
  EXPECT_EQ(out.rec.values, (std::vector<float>{1, 2, 3, 4, 5, 6}));
}

// Alternating 0 and the largest packed number: every step is a jump.
Bytes jumpy_product() {
  gribtest::Pds1 p;
  p.ltype = 1;
  gribtest::Bds1 d;
  d.bits = 8;
  for (int i = 0; i < 40; ++i) d.packed.push_back(i % 2 ? 255 : 0);
  return product(p, gribtest::gds1(latlon(20, 2, 0)), {}, d);
}

TEST(GribEdition1Data, BadValueCheckBlanksFromTheSixthJump) {
  MESS_set(1, 0x80000000);
  GRIB_reset();
  GribFile f(jumpy_product());
  GRIB_set_max_bad(5);
  Decoded out;
  testing::internal::CaptureStdout();
  decode(f, &out);
  const std::string trace = testing::internal::GetCapturedStdout();
  MESS_reset();
  ASSERT_EQ(out.bdb, 1);
  const std::vector<float> &v = out.rec.values;
  for (int i = 0; i < 6; ++i) EXPECT_EQ(v[i], i % 2 ? 255.0f : 0.0f) << i;
  for (size_t i = 6; i < v.size(); ++i) EXPECT_EQ(v[i], kMissing) << i;
  EXPECT_NE(trace.find("BAD:    128    255      0  6  1\n"), std::string::npos) << trace;

  GribFile g(jumpy_product());  // the check off: decoded unchanged
  Decoded plain;
  decode(g, &plain);
  for (size_t i = 0; i < plain.rec.values.size(); ++i) EXPECT_EQ(plain.rec.values[i], i % 2 ? 255.0f : 0.0f);
}

TEST(GribEdition1Data, DomainsOfProjectedGrids) {
  gribtest::Gds1 lambert;
  lambert.type = 3;
  lambert.nx = 93;
  lambert.ny = 65;
  lambert.la1 = 12190;
  lambert.lo1 = -133459;
  lambert.lov = -95000;
  lambert.dx_m = 81271;
  lambert.dy_m = 81271;
  lambert.latin1 = 25000;
  lambert.latin2 = 25000;
  lambert.scan = 0x40;
  gribtest::Gds1 polar;
  polar.type = 5;
  polar.nx = 53;
  polar.ny = 45;
  polar.la1 = 1000;
  polar.lo1 = -145500;
  polar.lov = -105000;
  polar.dx_m = 190500;
  polar.dy_m = 190500;
  polar.scan = 0x40;
  gribtest::Gds1 mercator;
  mercator.type = 1;
  mercator.nx = 11;
  mercator.ny = 11;
  mercator.la1 = 20000;  // sent north to south
  mercator.lo1 = -100000;
  mercator.la2 = 0;
  mercator.lo2 = -80000;
  mercator.scan = 0;
  struct Case {
    const char *name;
    gribtest::Gds1 gds;
    int proj;
    float plat, plon, param1, clat, clon;
  };
  const Case cases[] = {
      // NCEP grid 211: its centre lies near 40.6N 100.6W.
      {"lambert", lambert, DOM_PROJ_LAMB, 90, -95, 25, 40.6f, -100.55f},
      // NCEP grid 104-like polar grid.
      {"polar", polar, DOM_PROJ_PSTEREO, 90, -105, 60, 0, 0},
      // The centre is the middle of the map, not of the latitudes.
      {"mercator", mercator, DOM_PROJ_MERC, 0, -90, kMissing, 10.16f, -90},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    gribtest::Bds1 d;
    d.bits = 0;
    GribFile f(product({}, gribtest::gds1(c.gds), {}, d));
    Decoded out;
    decode(f, &out);
    ASSERT_EQ(out.gdb, 1) << out.err;
    const Domain &dom = out.rec.domain;
    EXPECT_EQ(dom.proj, c.proj);
    EXPECT_FLOAT_EQ(dom.plat, c.plat);
    EXPECT_FLOAT_EQ(dom.plon, c.plon);
    EXPECT_FLOAT_EQ(dom.param1, c.param1);
    EXPECT_GT(dom.dx, 0.0f);
    EXPECT_GT(dom.dy, 0.0f);
    if (c.proj != DOM_PROJ_PSTEREO) {
      EXPECT_NEAR(dom.clat, c.clat, 0.05);
      EXPECT_NEAR(dom.clon, c.clon, 0.05);
    }
    if (c.proj != DOM_PROJ_MERC) {
      EXPECT_NEAR(dom.dx, c.gds.dx_m / 100000.0, 1e-6);
    }
  }
}

// Sections that claim more than the product holds, or impossible counts: the
// grid is given up with a message and nothing is read past the product.
TEST(GribEdition1Damage, SectionsThatDoNotFitGiveUpTheGrid) {
  struct Case {
    const char *name;
    Bytes product;
    bool gds_fails;
  };
  gribtest::Bds1 six;
  six.packed = {1, 2, 3, 4, 5, 6};
  gribtest::Gds1 g = latlon(3, 2, 0);
  g.length = 400;
  gribtest::Pds1 with_map;
  with_map.flags = 0xC0;
  Bytes long_map = gribtest::bms1({1, 1, 1, 1, 1, 1});
  gribtest::set_uint(long_map, 0, 500, 3);
  gribtest::Bds1 long_data = six;
  long_data.length = 900;
  gribtest::Bds1 wide = six;
  wide.bits = 8;
  Bytes too_wide = product({}, gribtest::gds1(latlon(3, 2, 0)), {}, wide);
  too_wide[too_wide.size() - 4 - 6 - 1 - 0] = 40;  // bits per value octet
  gribtest::Gds1 rows = latlon(5, 2, 0);
  rows.rows = {5, 2};
  gribtest::Gds1 huge = latlon(3, 2, 0);
  huge.ny = 40000;
  gribtest::Pds1 long_pds;
  long_pds.length = 5000;
  const Case cases[] = {
      {"gds", product({}, gribtest::gds1(g), {}, six), true},
      {"bit map", product(with_map, gribtest::gds1(latlon(3, 2, 0)), long_map, six), false},
      {"short bit map", product(with_map, gribtest::gds1(latlon(3, 4, 0)), gribtest::bms1({1, 1, 1}), six), false},
      {"data", product({}, gribtest::gds1(latlon(3, 2, 0)), {}, long_data), false},
      {"bits per value", too_wide, false},
      {"rows", product({}, gribtest::gds1(huge), {}, six), true},
      {"pds", product(long_pds, gribtest::gds1(latlon(3, 2, 0)), {}, six), true},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    GribFile f(c.product);
    Decoded out;
    decode(f, &out);
    if (c.gds_fails) {
      EXPECT_LE(std::min(out.pdb, out.gdb), 0);
    } else {
      EXPECT_EQ(out.gdb, 1);
      EXPECT_EQ(out.bdb, 0);
    }
    EXPECT_TRUE(out.rec.values.empty());
    if (std::string(c.name) != "rows") {
      EXPECT_NE(out.err.find("Damaged GRIB product at offset 0:"), std::string::npos) << out.err;
    }
  }
}

TEST(GribEdition1Damage, TruncatedDataSectionLeavesTheRestMissing) {
  gribtest::Bds1 d;
  d.packed = {1, 2, 3, 4, 5, 6};
  const Bytes whole = product({}, gribtest::gds1(latlon(3, 2, 0)), {}, d);
  GribFile f(Bytes(whole.begin(), whole.end() - 4 - 2));  // last two values and "7777" lost
  Decoded out;
  decode(f, &out);
  ASSERT_EQ(out.bdb, 1);
  EXPECT_EQ(out.rec.values, (std::vector<float>{1, 2, 3, 4, kMissing, kMissing}));
  EXPECT_NE(out.err.find("fewer values"), std::string::npos) << out.err;
}

// Every cut and every single-byte change of a product with a bit map and
// quasi-regular rows is decoded without reading out of bounds or looping.
TEST(GribEdition1Damage, CutOrAlteredProductsAreHandledSafely) {
  gribtest::Pds1 p;
  p.flags = 0xC0;
  gribtest::Gds1 g = latlon(5, 3, 0x40);
  g.rows = {5, 2, 3};
  gribtest::Bds1 d;
  d.bits = 11;
  d.packed = {1, 2, 3, 4, 5, 6, 7, 8, 9};
  const Bytes whole = gribtest::ldm_wrap(
      product(p, gribtest::gds1(g), gribtest::bms1({1, 1, 1, 1, 1, 0, 1, 1, 1, 1}), d), 1, "HTQA50 KWBC 241200");
  std::vector<Bytes> variants;
  for (size_t cut = 0; cut < whole.size(); ++cut) variants.emplace_back(whole.begin(), whole.begin() + cut);
  for (size_t at = 0; at < whole.size(); ++at) {
    for (const unsigned char v : {0x00, 0x01, 0x7F, 0xFF}) {
      Bytes changed = whole;
      changed[at] = v;
      variants.push_back(changed);
    }
  }
  testing::internal::CaptureStderr();
  for (const Bytes &b : variants) {
    GribFile f(b);
    for (int n = 0; n < 4 && GRIB_header(f.handle()) == 1; ++n) {  // the file holds one product
      const int64_t end = GRIB_next(f.handle(), 0);
      Decoded out;
      decode_sections(f, &out);
      const size_t cells = static_cast<size_t>(std::max(0, out.rec.domain.nx)) * std::max(0, out.rec.domain.ny);
      if (!out.rec.values.empty()) {
        EXPECT_EQ(out.rec.values.size(), cells);
      }
      if (end < 0) break;
      fseeko(f.fp(), end, SEEK_SET);
    }
  }
  testing::internal::GetCapturedStderr();
}

TEST(GribEdition1Unsupported, PredefinedBitMapAndSpectralDataAreNotedOncePerFile) {
  gribtest::Pds1 p;
  p.flags = 0xC0;
  gribtest::Bds1 d;
  d.packed = {1, 2, 3, 4, 5, 6};
  const Bytes predefined = product(p, gribtest::gds1(latlon(3, 2, 0)), gribtest::bms1({}, 5), d);
  gribtest::Bds1 spectral = d;
  spectral.flag = 0x80;
  const Bytes harmonic = product({}, gribtest::gds1(latlon(3, 2, 0)), {}, spectral);
  gribtest::Bds1 second = d;
  second.flag = 0x40;
  const Bytes second_order = product({}, gribtest::gds1(latlon(3, 2, 0)), {}, second);
  struct Case {
    const char *name;
    Bytes product;
    const char *note;
  };
  const Case cases[] = {{"predefined", predefined, "predefined bit map"},
                        {"spectral", harmonic, "spherical harmonic"},
                        {"second order", second_order, "second-order"}};
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    Bytes two = c.product;
    two.insert(two.end(), c.product.begin(), c.product.end());
    GribFile f(two);
    std::string err;
    for (int i = 0; i < 2; ++i) {
      Decoded out;
      decode(f, &out);
      err += out.err;
      EXPECT_EQ(out.bdb, 0);
      EXPECT_TRUE(out.rec.values.empty());
      GRIB_next(f.handle(), 1);
      fseeko(f.fp(), static_cast<off_t>(c.product.size() * (i + 1)), SEEK_SET);
    }
    const size_t first = err.find(c.note);
    ASSERT_NE(first, std::string::npos) << err;
    EXPECT_EQ(err.find(c.note, first + 1), std::string::npos) << err;
  }
}

TEST(GribNumbers, IbmRealsAndScaleFactors) {
  const struct {
    unsigned char b[4];
    float v;
  } reals[] = {{{0, 0, 0, 0}, 0.0f},
               {{0x41, 0x10, 0, 0}, 1.0f},
               {{0xC2, 0x76, 0xA0, 0}, -118.625f},
               {{0x40, 0x80, 0, 0}, 0.5f},
               {{0x00, 0x80, 0, 0}, 0.0f}};
  for (const auto &r : reals) EXPECT_FLOAT_EQ(GRIB_flt_conv(r.b), r.v);
  const struct {
    unsigned char b[2];
    float v;
  } scales[] = {{{0, 0}, 1.0f}, {{0, 3}, 8.0f}, {{0x80, 2}, 0.25f}, {{0x80, 0}, 1.0f}};
  for (const auto &s : scales) EXPECT_FLOAT_EQ(GRIB_scl_conv(s.b), s.v);
}

}  // namespace
