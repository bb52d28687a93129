// Edition 1 decoding of real products checked against ecCodes: the key
// numbers, the grid size, every value (rows ordered north first) and the
// domain centre, with ecCodes' grib_get and grib_get_data run during the test.
// Skipped when the sample files or the tools are not installed.
#include <gtest/gtest.h>

#include <sys/types.h>

#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "grib/decoder_state.h"
#include "grib/grib.h"
#include "grid/grid.h"
#include "../test_support.h"
#include "grib_test_file.h"

namespace {

using gribtest::GribFile;

std::string run(const std::string &command) {
  std::string out;
  FILE *p = popen(command.c_str(), "r");
  if (!p) return out;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  pclose(p);
  return out;
}

struct EccField {
  std::vector<double> lat, lon, value;  // in the file's scanning order
};

std::vector<EccField> eccodes_values(const std::string &path) {
  std::vector<EccField> fields;
  std::istringstream in(run("grib_get_data -m -9999 -F %.9g '" + path + "' 2>/dev/null"));
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("Latitude", 0) == 0) {
      fields.emplace_back();
      continue;
    }
    double la, lo, v;
    if (fields.empty() || sscanf(line.c_str(), "%lf %lf %lf", &la, &lo, &v) != 3) continue;
    fields.back().lat.push_back(la);
    fields.back().lon.push_back(lo);
    fields.back().value.push_back(v);
  }
  return fields;
}

struct EccKeys {
  long date, time, ltype, level, param, ni, nj, centre;
};

std::vector<EccKeys> eccodes_keys(const std::string &path) {
  std::vector<EccKeys> keys;
  std::istringstream in(run("grib_get -p dataDate,dataTime,indicatorOfTypeOfLevel:l,level,"
                            "indicatorOfParameter,Ni,Nj,centre:l '" + path + "' 2>/dev/null"));
  std::string line;
  while (std::getline(in, line)) {
    EccKeys k{};
    if (sscanf(line.c_str(), "%ld %ld %ld %ld %ld %ld %ld %ld", &k.date, &k.time, &k.ltype, &k.level, &k.param,
               &k.ni, &k.nj, &k.centre) == 8)
      keys.push_back(k);
  }
  return keys;
}

struct Ours {
  GridRecord rec;
  int ydir = 0;
};

// Decodes every product of the file in reading order.
std::vector<Ours> decode_all(const std::string &path) {
  std::vector<Ours> out;
  GribFile f(path.c_str());
  if (f.handle() < 0) return out;
  while (GRIB_header(f.handle()) == 1) {
    const int64_t end = GRIB_next(f.handle(), 0);
    out.emplace_back();
    Ours &o = out.back();
    GRD_init(&o.rec);
    if (GRIB_PDB(f.handle(), &o.rec) > 0 && GRIB_GDB(f.handle(), &o.rec) > 0) {
      o.ydir = grib_decoder().ydir;
      GRIB_BMB(f.handle(), &o.rec);
      GRIB_BDB(f.handle(), &o.rec);
    }
    if (end <= 0) break;
    fseeko(f.fp(), end, SEEK_SET);
  }
  return out;
}

bool tools_present() { return run("command -v grib_get_data").find("grib_get_data") != std::string::npos; }

class GribEdition1EcCodes : public ::testing::TestWithParam<const char *> {};

TEST_P(GribEdition1EcCodes, ValuesAndKeysAgree) {
  const std::string path = kvztest::sample_file(GetParam());
  if (path.empty() || !tools_present()) GTEST_SKIP() << "sample or ecCodes tools not installed";
  testing::internal::CaptureStderr();
  const std::vector<Ours> ours = decode_all(path);
  testing::internal::GetCapturedStderr();
  const std::vector<EccField> ecc = eccodes_values(path);
  const std::vector<EccKeys> keys = eccodes_keys(path);
  ASSERT_EQ(ours.size(), keys.size());
  ASSERT_EQ(ours.size(), ecc.size());
  for (size_t m = 0; m < ours.size(); ++m) {
    SCOPED_TRACE("product " + std::to_string(m));
    const GridRecord &rec = ours[m].rec;
    const EccKeys &k = keys[m];
    // The year comes from the year of century alone (1950 to 2049), so the
    // climatology sample dated 1901 reads as 2001: compare yymmdd.
    EXPECT_EQ((rec.base_date.year % 100) * 10000 + rec.base_date.month * 100 + rec.base_date.day, k.date % 1000000);
    EXPECT_EQ(rec.base_date.hour * 100 + rec.base_date.minute, k.time);
    EXPECT_EQ(rec.source, k.centre);
    if (k.centre != 98) {  // ECMWF parameters are mapped onto other codes, levels with them
      EXPECT_EQ(rec.ltype, k.ltype);
      EXPECT_EQ(rec.level, k.level);
      EXPECT_EQ(rec.var, k.param);
    }
    const int nx = rec.domain.nx, ny = rec.domain.ny;
    EXPECT_EQ(nx, k.ni);
    EXPECT_EQ(ny, k.nj);
    const EccField &e = ecc[m];
    ASSERT_EQ(rec.values.size(), e.value.size());
    int bad = 0;
    for (int j = 0; j < ny && bad < 5; ++j) {
      const int row = ours[m].ydir > 0 ? ny - 1 - j : j;
      for (int i = 0; i < nx && bad < 5; ++i) {
        const double want = e.value[static_cast<size_t>(j) * nx + i];
        const double got = rec.values[static_cast<size_t>(row) * nx + i];
        if (std::fabs(got - want) > 1e-5 * std::max(1.0, std::fabs(want))) {
          ADD_FAILURE() << "point " << i << "," << j << ": " << got << " vs " << want;
          ++bad;
        }
      }
    }
    // An odd-sized grid has a point at its centre.  The projections use a
    // 6371.22 km earth, ecCodes 6367.47 km for these products: a few km apart.
    if ((rec.domain.proj == 1 || rec.domain.proj == 2) && nx % 2 == 1 && ny % 2 == 1) {
      const size_t mid = static_cast<size_t>(ny / 2) * nx + nx / 2;
      EXPECT_NEAR(rec.domain.clat, e.lat[mid], 0.05);
      EXPECT_NEAR(rec.domain.clon, e.lon[mid] > 180 ? e.lon[mid] - 360 : e.lon[mid], 0.05);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Samples, GribEdition1EcCodes,
                         ::testing::Values("regular_latlon_surface.grib1", "rotated_ll.grib1",
                                           "CMC_reg_WIND_ISBL_300_ps60km_2010052400_P012.grib",
                                           "cl00010000_ecoclimap_rot.grib1"));

TEST(GribEdition1EcCodesExtra, LatLonDomainMatchesTheCorners) {
  const std::string path = kvztest::sample_file("regular_latlon_surface.grib1");
  if (path.empty()) GTEST_SKIP();
  const std::vector<Ours> ours = decode_all(path);
  ASSERT_EQ(ours.size(), 1u);
  const Domain &d = ours[0].rec.domain;
  // 60N..0N by 2 degrees, 0E..30E by 2 degrees, rows north first.
  EXPECT_EQ(d.proj, DOM_PROJ_LATLON);
  EXPECT_FLOAT_EQ(d.dx, 2.0f);
  EXPECT_FLOAT_EQ(d.dy, 2.0f);
  EXPECT_FLOAT_EQ(d.clat, 30.0f);
  EXPECT_FLOAT_EQ(d.clon, 15.0f);
  EXPECT_EQ(ours[0].ydir, -1);
}

TEST(GribEdition1EcCodesExtra, SpectralProductGivesNoValuesAndSaysSo) {
  const std::string path = kvztest::sample_file("spherical_pressure_level.grib1");
  if (path.empty()) GTEST_SKIP();
  testing::internal::CaptureStderr();
  const std::vector<Ours> ours = decode_all(path);
  const std::string err = testing::internal::GetCapturedStderr();
  ASSERT_EQ(ours.size(), 1u);
  EXPECT_TRUE(ours[0].rec.values.empty());
  EXPECT_NE(err.find("spherical harmonic"), std::string::npos) << err;
  EXPECT_EQ(ours[0].rec.level, 1000);
}

}  // namespace
