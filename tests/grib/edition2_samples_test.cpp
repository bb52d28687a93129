// The description of every field of the real GRIB edition 2 samples, read
// through the grid layer in header-only mode, against what ecCodes' Python
// module reads from the same files during the test: reference time, centre,
// generating process, parameter, forecast time or time range, level, grid
// size and domain, ensemble members.  Skipped when the samples or the module
// are not installed.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "../test_support.h"
#include "config/config.h"
#include "domain/domain.h"
#include "grib/grib.h"
#include "grid/grid.h"

namespace {

// One line per field: the keys in the order of Keys below; "M" for missing.
constexpr const char *kOracle = R"PY(
import sys
import eccodes as ec
import numpy as np

ec.codes_grib_multi_support_on()
KEYS = ["centre", "generatingProcessIdentifier", "dataDate", "dataTime", "discipline", "parameterCategory",
        "parameterNumber", "productDefinitionTemplateNumber", "indicatorOfUnitOfTimeRange", "forecastTime",
        "typeOfStatisticalProcessing", "lengthOfTimeRange", "typeOfEnsembleForecast", "perturbationNumber",
        "typeOfFirstFixedSurface", "typeOfSecondFixedSurface", "scaledValueOfFirstFixedSurface",
        "gridDefinitionTemplateNumber", "Nj"]
centres = {}

def get(h, key, kind=int):
    try:
        if ec.codes_is_missing(h, key):
            return "M"
        return str(ec.codes_get(h, key, ktype=kind))
    except Exception:
        return "M"

def centre(h):
    key = ec.codes_get(h, "md5GridSection")
    if key not in centres:
        lats = ec.codes_get_array(h, "latitudes")
        lons = ec.codes_get_array(h, "longitudes")
        ni, nj = ec.codes_get(h, "Ni"), ec.codes_get(h, "Nj")
        lats, lons = lats.reshape(nj, ni), lons.reshape(nj, ni)
        rows = [nj // 2] if nj % 2 else [nj // 2 - 1, nj // 2]
        cols = [ni // 2] if ni % 2 else [ni // 2 - 1, ni // 2]
        la = np.mean([lats[r, c] for r in rows for c in cols])
        ref = lons[rows[0], cols[0]]
        lo = np.mean([ref + ((lons[r, c] - ref + 180) % 360 - 180) for r in rows for c in cols])
        centres[key] = "%.5f %.5f" % (la, (lo + 180) % 360 - 180)
    return centres[key]

with open(sys.argv[1], "rb") as f:
    while True:
        h = ec.codes_grib_new_from_file(f)
        if h is None:
            break
        gdt = ec.codes_get(h, "gridDefinitionTemplateNumber")
        quasi = ec.codes_is_defined(h, "pl") and ec.codes_get_size(h, "pl") > 0
        nx = max(ec.codes_get_array(h, "pl")) if quasi else (ec.codes_get(h, "Ni") if gdt in (0, 10, 20, 30) else 0)
        line = [get(h, k) for k in KEYS] + [str(nx), str(int(quasi))]
        line += [get(h, k, float) for k in ("level", "topLevel", "bottomLevel")]
        line.append(ec.codes_get(h, "typeOfLevel"))
        if gdt == 0 and not quasi:
            line += [get(h, k, float) for k in ("latitudeOfFirstGridPointInDegrees", "latitudeOfLastGridPointInDegrees",
                                                 "longitudeOfFirstGridPointInDegrees", "longitudeOfLastGridPointInDegrees",
                                                 "iDirectionIncrementInDegrees", "jDirectionIncrementInDegrees")]
        elif gdt in (10, 20, 30):
            line.append(centre(h))
        print(" ".join(line))
        ec.codes_release(h)
)PY";

constexpr long kM = -999999;  // a key ecCodes gives as missing

struct Keys {
  long centre, process, date, time, discipline, category, number, pdt, unit, ftime, stat, length, ens_type, pert,
      type1, type2, value1, gdt, ny, nx, quasi;
  double level, top, bottom;
  std::string level_name;
  std::vector<double> grid;  // lat/lon corners and increments, or the centre of a projected grid
};

long number_of(const std::string &item) { return item == "M" ? kM : std::stol(item); }

bool parse(const std::string &line, Keys &k) {
  std::istringstream in(line);
  std::vector<std::string> items;
  for (std::string item; in >> item;) items.push_back(item);
  if (items.size() < 25) return false;
  long *fields[] = {&k.centre, &k.process, &k.date, &k.time, &k.discipline, &k.category, &k.number,
                    &k.pdt, &k.unit, &k.ftime, &k.stat, &k.length, &k.ens_type, &k.pert, &k.type1,
                    &k.type2, &k.value1, &k.gdt, &k.ny, &k.nx, &k.quasi};
  size_t i = 0;
  for (long *f : fields) *f = number_of(items[i++]);
  k.level = items[i] == "M" ? kM : std::stod(items[i]);
  k.top = items[i + 1] == "M" ? kM : std::stod(items[i + 1]);
  k.bottom = items[i + 2] == "M" ? kM : std::stod(items[i + 2]);
  k.level_name = items[i + 3];
  for (i += 4; i < items.size(); ++i) k.grid.push_back(std::stod(items[i]));
  return true;
}

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

std::vector<Keys> oracle(const std::string &path) {
  static const kvztest::TempDir dir;
  const std::string script = dir.write("oracle.py", kOracle);
  std::istringstream in(run("/usr/bin/python3 '" + script + "' '" + path + "' 2>/dev/null"));
  std::vector<Keys> keys;
  for (std::string line; std::getline(in, line);) {
    Keys k;
    if (parse(line, k)) keys.push_back(k);
  }
  return keys;
}

bool oracle_present() { return run("/usr/bin/python3 -c 'import eccodes, numpy; print(1)' 2>/dev/null") == "1\n"; }

// ---- what the program should make of ecCodes' keys -------------------------------------

// The package variable: the parameter's code, as an ensemble member's code
// for the member templates.
long expected_var(const Keys &k) {
  const long base = GRIB_get_ver2_param(static_cast<int>(k.centre), static_cast<int>(k.discipline),
                                        static_cast<int>(k.category), static_cast<int>(k.number))
                        .var;
  if (k.pdt != 1 && k.pdt != 11) return base;
  const long type = k.ens_type <= 1 ? 1 : k.ens_type;
  return 19300000 + (type - 1) * 20000 + k.pert * 1000 + base;
}

long expected_time(const Keys &k) {
  if (k.pdt != 8 && k.pdt != 11 && k.pdt != 12) return k.ftime;
  static const std::map<long, long> base = {{0, 3000000}, {1, 4000000}, {2, 6000000}, {3, 7000000}, {4, 5000000}};
  const auto b = base.find(k.stat);
  return (b == base.end() ? 2000000 : b->second) + k.ftime * 1000 + k.ftime + k.length;
}

// Level type and value from ecCodes' level names and values in their own units.
void check_level(const Keys &k, const GridRecord &g) {
  const auto layer = [](double top, double bottom, double unit) {
    return static_cast<long>(top / unit) * 1000 + static_cast<long>(bottom / unit);
  };
  const std::string &n = k.level_name;
  if (n == "isobaricInhPa") {
    EXPECT_EQ(g.ltype, 100);
    EXPECT_EQ(g.level, static_cast<long>(k.level));
  } else if (n == "heightAboveGround" || n == "heightAboveSea") {
    EXPECT_EQ(g.ltype, n == "heightAboveSea" ? 103 : 105);
    EXPECT_EQ(g.level, static_cast<long>(k.level));
  } else if (n == "heightAboveGroundLayer") {
    EXPECT_EQ(g.ltype, 106);
    EXPECT_EQ(g.level, layer(k.top, k.bottom, 100.0));
  } else if (n == "pressureFromGroundLayer") {  // ecCodes gives Pa
    EXPECT_EQ(g.ltype, 116);
    EXPECT_EQ(g.level, layer(k.top, k.bottom, 100.0));
  } else if (n == "depthBelowLandLayer") {  // ecCodes gives metres; the level code centimetres
    EXPECT_EQ(g.ltype, 112);
    EXPECT_EQ(g.level, layer(k.top * 100.0 + 0.01, k.bottom * 100.0 + 0.01, 1.0));
  } else if (n == "sigma") {
    EXPECT_EQ(g.ltype, 107);
    EXPECT_EQ(g.level, std::lround(k.level * 10000.0));
  } else if (n == "meanSea") {
    EXPECT_EQ(g.ltype, 102);
    EXPECT_EQ(g.level, 0);
  } else if (n == "potentialVorticity") {
    // A negative value is sent with its sign bit, which ecCodes reads as magnitude.
    EXPECT_EQ(g.ltype, 117);
    EXPECT_EQ(std::labs(g.level), (k.value1 & 0x7FFFFFFF) / 1000) << "10^-9 units (scale 9) as 10^-6";
  } else if (n == "hybrid") {
    EXPECT_EQ(g.ltype, 109);
    EXPECT_EQ(g.level, static_cast<long>(k.level));
  } else if (k.type2 == 255 || k.type2 == kM) {  // surfaces the package keeps under their own number
    EXPECT_EQ(g.ltype, k.type1);
    EXPECT_EQ(g.level, k.value1 == kM ? -9999 : k.value1);
  }
}

void check_domain(const Keys &k, const GridRecord &g, double tolerance) {
  const Domain &d = g.domain;
  if (k.gdt != 0 && k.gdt != 10 && k.gdt != 20 && k.gdt != 30) {
    EXPECT_EQ(d.proj, DOM_PROJ_NONE);
    EXPECT_EQ(d.nx, -9999);
    return;
  }
  EXPECT_EQ(d.nx, k.nx);
  EXPECT_EQ(d.ny, k.ny);
  if (k.gdt == 0 && k.grid.size() == 6) {
    const double la1 = k.grid[0], la2 = k.grid[1], lo1 = k.grid[2];
    double lo2 = k.grid[3];
    if (lo2 < lo1) lo2 += 360.0;
    double clon = (lo1 + lo2) / 2.0;
    if (clon > 180.0) clon -= 360.0;
    EXPECT_NEAR(d.clat, (la1 + la2) / 2.0, 1e-4);
    EXPECT_NEAR(d.clon, clon, 1e-4);
    EXPECT_NEAR(d.dx, k.grid[4], 1e-4);
    EXPECT_NEAR(d.dy, k.grid[5], 1e-4);
  } else if (k.grid.size() == 2) {
    EXPECT_NEAR(d.clat, k.grid[0], tolerance);
    double dlon = std::fabs(d.clon - k.grid[1]);
    if (dlon > 180.0) dlon = 360.0 - dlon;
    EXPECT_LT(dlon, tolerance) << d.clon << " vs " << k.grid[1];
  }
}

struct Sample {
  const char *name;
  double tolerance;  // degrees between the centres of projected grids
};

class Edition2Samples : public ::testing::TestWithParam<Sample> {};

TEST_P(Edition2Samples, DescriptionAgreesWithEcCodes) {
  const std::string path = kvztest::sample_file(GetParam().name);
  if (path.empty() || !oracle_present()) GTEST_SKIP() << "sample or ecCodes' Python module not installed";
  RES_put("file_path", KVZ_SOURCE_DIR "/etc/");
  const std::vector<Keys> keys = oracle(path);
  ASSERT_FALSE(keys.empty());
  int type = GRD_GRIB;
  const int h = GRD_open(path.c_str(), 0, &type);
  ASSERT_GE(h, 0);
  GridFileInfo info{};
  ASSERT_EQ(GRD_getinfo(h, &info), 0);
  GridRecord g{};
  GRD_init(&g);
  testing::internal::CaptureStderr();
  size_t n = 0;
  for (;; ++n) {
    int number = static_cast<int>(n);
    if (GRD_read(h, &g, 1, &number) != 0) break;
    if (n >= keys.size()) break;
    SCOPED_TRACE("field " + std::to_string(n));
    const Keys &k = keys[n];
    EXPECT_EQ(number, static_cast<int>(n));
    EXPECT_EQ(g.version, 2);
    EXPECT_EQ(g.source, k.centre);
    EXPECT_EQ((g.base_date.year * 100L + g.base_date.month) * 100 + g.base_date.day, k.date);
    EXPECT_EQ(g.base_date.hour * 100L + g.base_date.minute, k.time);
    EXPECT_EQ(g.model, k.process);
    EXPECT_EQ(g.var, expected_var(k));
    EXPECT_EQ(g.time, expected_time(k));
    check_level(k, g);
    check_domain(k, g, GetParam().tolerance);
    EXPECT_STRNE(g.info, "");
    EXPECT_STRNE(g.datim, "");
  }
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(n, keys.size()) << "fields read; stderr: " << err.substr(0, 2000);
  GRD_close(h);
}

INSTANTIATE_TEST_SUITE_P(
    Samples, Edition2Samples,
    ::testing::Values(Sample{"gfs.grb", 0}, Sample{"eta.grb", 0.02}, Sample{"ngm.grb", 0.02}, Sample{"flux.grb", 0},
                      Sample{"ecmwf_tigge.grb", 0}, Sample{"gfs.t12z.pgrbf120.2p5deg.grib2", 0},
                      Sample{"rap.wrfnat.grib2", 0}, Sample{"regular_latlon_surface.grib2", 0},
                      Sample{"reduced_latlon_surface.grib2", 0}, Sample{"safrica.grib2", 0.02},
                      Sample{"no-radius-shapeOfEarth-7.grb2", 0.05}, Sample{"ds.maxt.bin", 0.02},
                      // Its last corner is 2 km off where the spacing puts the last point;
                      // the domain follows the corners, ecCodes the spacing.
                      Sample{"ds.waveh.bin", 0.05}, Sample{"dspr.temp.bin", 0.02}),
    [](const ::testing::TestParamInfo<Sample> &info) {
      std::string name = info.param.name;
      for (char &c : name)
        if (!isalnum(static_cast<unsigned char>(c))) c = '_';
      return name;
    });

}  // namespace
