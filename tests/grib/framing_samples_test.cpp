// Framing of real GRIB files of both editions: stepping from product to
// product with the header search and the product end finds exactly the
// messages ecCodes counts, each at the offset ecCodes reports (ecCodes lists
// a message once per field; a message is one product here).
#include <gtest/gtest.h>

#include <sys/types.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "grib/decoder_state.h"
#include "grib/grib.h"
#include "../test_support.h"
#include "grib_test_file.h"

namespace {

std::vector<long long> eccodes_offsets(const std::string &path) {
  std::vector<long long> offsets;
  FILE *p = popen(("grib_get -p offset:i '" + path + "' 2>/dev/null").c_str(), "r");
  if (!p) return offsets;
  long long v;
  while (fscanf(p, "%lld", &v) == 1) {
    if (offsets.empty() || offsets.back() != v) offsets.push_back(v);
  }
  pclose(p);
  return offsets;
}

class GribFramingSamples : public ::testing::TestWithParam<const char *> {};

TEST_P(GribFramingSamples, ProductsAreFoundWhereEcCodesFindsThem) {
  const std::string path = kvztest::sample_file(GetParam());
  if (path.empty()) GTEST_SKIP() << "sample not installed";
  const std::vector<long long> want = eccodes_offsets(path);
  if (want.empty()) GTEST_SKIP() << "ecCodes tools not installed";
  gribtest::GribFile f(path.c_str());
  ASSERT_GE(f.handle(), 0);
  std::vector<long long> got;
  while (GRIB_header(f.handle()) == 1) {
    got.push_back(grib_decoder().tag_pos);
    ASSERT_GT(GRIB_next(f.handle(), 1), got.back());
  }
  EXPECT_EQ(got, want);
}

INSTANTIATE_TEST_SUITE_P(Samples, GribFramingSamples,
                         ::testing::Values("regular_latlon_surface.grib1", "cl00010000_ecoclimap_rot.grib1",
                                           "gfs.grb", "eta.grb", "ecmwf_tigge.grb",
                                           "gfs.t12z.pgrbf120.2p5deg.grib2", "rap.wrfnat.grib2"));

}  // namespace
