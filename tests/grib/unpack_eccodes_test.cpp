// GRIB edition 2 unpacking checked against ecCodes: files that ecCodes writes
// during the test with each packing (with and without bit maps, rows south
// to north and north to south, alternate rows) decode to the values it
// reads back, placed north first; and every field of the real sample files
// decodes to ecCodes' values in data order.  Skipped when ecCodes' Python
// module or the samples are not installed.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "../test_support.h"
#include "unpack_fixture.h"

namespace {

using namespace unpacktest;

// Writes the test files and ecCodes' reading of them.  For every field:
// a line "points Ni Nj scanningMode packingType" in NAME.ref, and its values
// in data order (-9999 where missing) as little-endian float32 in NAME.ref.f32.
const char *const kScript = R"PY(
import sys
import numpy as np
import eccodes as ec

MISSING = -9999.0

def field(ni, nj, seed, constant):
    if constant:
        return np.full(ni * nj, 273.5)
    rng = np.random.default_rng(seed)
    y, x = np.mgrid[0:nj, 0:ni]
    return (250.0 + 30.0 * np.sin(x / 5.0) * np.cos(y / 7.0) + rng.normal(0, 2.0, (nj, ni))).ravel()

def encode(out, packing, ni, nj, scan, bitmap, seed, constant=False):
    with open('/usr/share/eccodes/samples/regular_ll_sfc_grib2.tmpl', 'rb') as f:
        gid = ec.codes_grib_new_from_file(f)
    ec.codes_set(gid, 'Ni', ni)
    ec.codes_set(gid, 'Nj', nj)
    ec.codes_set(gid, 'scanningMode', scan)
    v = field(ni, nj, seed, constant)
    if bitmap:
        ec.codes_set(gid, 'bitmapPresent', 1)
        ec.codes_set(gid, 'missingValue', MISSING)
        i = np.arange(v.size)
        v[(i % 7 == 3) | (i < ni // 2)] = MISSING
    ec.codes_set(gid, 'bitsPerValue', 16)
    ec.codes_set_values(gid, v)
    ec.codes_set(gid, 'packingType', packing)
    ec.codes_set_values(gid, v)
    ec.codes_write(gid, out)
    ec.codes_release(gid)

def reference(path, limit):
    ec.codes_grib_multi_support_on()
    lines, vals, total = [], [], 0
    with open(path, 'rb') as f:
        while total < limit:
            gid = ec.codes_grib_new_from_file(f)
            if gid is None:
                break
            ec.codes_set(gid, 'missingValue', MISSING)
            v = ec.codes_get_values(gid).astype(np.float32)
            if ec.codes_get(gid, 'packingType').startswith('grid_complex') and \
                    ec.codes_get(gid, 'numberOfGroupsOfDataValues') == 0:
                # A complex-packed field without groups is constant; ecCodes reads
                # the differencing descriptors of such a field from beyond its data.
                ref = ec.codes_get(gid, 'referenceValue') * 10.0 ** -ec.codes_get(gid, 'decimalScaleFactor')
                v = np.where(v == MISSING, v, np.float32(ref)).astype(np.float32)
            ni = 0 if ec.codes_is_missing(gid, 'Ni') else ec.codes_get(gid, 'Ni')
            lines.append('%d %d %d %d %s' % (v.size, ni, ec.codes_get(gid, 'Nj'),
                                            ec.codes_get(gid, 'scanningMode'), ec.codes_get(gid, 'packingType')))
            vals.append(v)
            total += v.size
            ec.codes_release(gid)
    with open(path + '.ref', 'w') as r:
        r.write('\n'.join(lines) + '\n')
    np.concatenate(vals).astype('<f4').tofile(path + '.ref.f32')

if sys.argv[1] == 'encode':
    packing, path = sys.argv[2], sys.argv[3]
    with open(path, 'wb') as out:
        seed = 1
        for scan in (0x00, 0x40, 0x50):
            for bitmap in (False, True):
                encode(out, packing, 37, 23, scan, bitmap, seed)
                seed += 1
        if packing in ('grid_simple', 'grid_jpeg', 'grid_ccsds'):
            encode(out, packing, 9, 5, 0, False, seed, constant=True)
    reference(path, 1 << 40)
else:
    reference(sys.argv[2], int(sys.argv[3]))
)PY";

struct RefField {
  int64_t points = 0;
  int ni = 0, nj = 0, scan = 0;
  std::string packing;
  std::vector<float> values;  // data order
};

// Runs a shell command; its exit status, with its standard error kept in *err.
int run(const std::string &command, std::string *err = nullptr) {
  const std::string full = command + " 2>&1";
  FILE *p = popen(full.c_str(), "r");
  if (!p) return -1;
  std::string out;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  const int status = pclose(p);
  if (err) *err = out;
  return status;
}

bool python_ready() { return run("/usr/bin/python3 -c 'import eccodes, numpy'") == 0; }

// Runs the script with the arguments; false when it fails.
bool run_script(const kvztest::TempDir &dir, const std::vector<std::string> &args) {
  std::string cmd = "/usr/bin/python3 '" + dir.write("unpack_reference.py", kScript) + "'";
  for (const std::string &a : args) cmd += " '" + a + "'";
  std::string err;
  const int status = run(cmd, &err);
  EXPECT_EQ(status, 0) << err;
  return status == 0;
}

std::vector<RefField> read_reference(const std::string &path) {
  std::vector<RefField> fields;
  std::istringstream lines(kvztest::read_file(path + ".ref"));
  std::string line;
  while (std::getline(lines, line)) {
    RefField f;
    char packing[64] = "";
    long long points = 0;
    if (sscanf(line.c_str(), "%lld %d %d %d %63s", &points, &f.ni, &f.nj, &f.scan, packing) == 5) {
      f.points = points;
      f.packing = packing;
      fields.push_back(f);
    }
  }
  const std::string raw = kvztest::read_file(path + ".ref.f32");
  size_t at = 0;
  for (RefField &f : fields) {
    f.values.resize(static_cast<size_t>(f.points));
    if (at + f.values.size() * 4 > raw.size()) return {};
    std::memcpy(f.values.data(), raw.data() + at, f.values.size() * 4);  // little-endian machine
    at += f.values.size() * 4;
  }
  return fields;
}

bool close(float got, float want) { return std::fabs(got - want) <= 1e-6 * std::max(1.0f, std::fabs(want)); }

// ecCodes' data-order values laid out as the decoder stores them: north first,
// alternate rows turned round.
std::vector<float> north_first(const RefField &f) {
  std::vector<float> out(f.values.size());
  const bool south_first = f.scan & 0x40, alternate = f.scan & 0x10;
  for (int i = 0; i < f.nj; ++i) {
    const int row = south_first ? f.nj - 1 - i : i;
    for (int j = 0; j < f.ni; ++j) {
      const int col = alternate && (i & 1) ? f.ni - 1 - j : j;
      out[static_cast<size_t>(row) * f.ni + col] = f.values[static_cast<size_t>(i) * f.ni + j];
    }
  }
  return out;
}

int compare(const std::vector<float> &got, const std::vector<float> &want) {
  EXPECT_EQ(got.size(), want.size());
  int bad = 0;
  for (size_t i = 0; i < std::min(got.size(), want.size()) && bad < 5; ++i) {
    if (close(got[i], want[i])) continue;
    ADD_FAILURE() << "point " << i << ": " << got[i] << " vs " << want[i];
    ++bad;
  }
  return bad;
}

class GribUnpackEcCodesWritten : public ::testing::TestWithParam<const char *> {};

TEST_P(GribUnpackEcCodesWritten, ValuesAgreeNorthFirst) {
  if (!python_ready()) GTEST_SKIP() << "ecCodes' Python module is not installed";
  const kvztest::TempDir dir;
  const std::string path = dir.file(std::string(GetParam()) + ".grib2");
  ASSERT_TRUE(run_script(dir, {"encode", GetParam(), path}));
  const std::vector<RefField> ref = read_reference(path);
  ASSERT_GE(ref.size(), 6u);
  std::vector<Grid> grids;
  for (const RefField &f : ref) {
    EXPECT_EQ(f.packing, GetParam());
    Grid g;
    g.nx = f.ni;
    g.ny = f.nj;
    g.ydir = (f.scan & 0x40) ? 1 : -1;
    g.xalt = (f.scan & 0x10) ? 1 : 0;
    grids.push_back(g);
  }
  gribtest::GribFile file(path.c_str());
  const Decoded out = decode_file(file, grids);
  ASSERT_EQ(out.fields.size(), ref.size());
  for (size_t k = 0; k < ref.size(); ++k) {
    SCOPED_TRACE("field " + std::to_string(k));
    compare(out.fields[k], north_first(ref[k]));
  }
  EXPECT_EQ(out.err, "");
}

INSTANTIATE_TEST_SUITE_P(Packings, GribUnpackEcCodesWritten,
                         ::testing::Values("grid_simple", "grid_complex", "grid_complex_spatial_differencing",
                                           "grid_jpeg", "grid_ccsds"));

// Real files: each field on its grid when the grid is regular, else laid on
// one row of all its points (Gaussian and quasi-regular grids), so that every
// unpacker and bit map is checked whatever the grid.  Fields are compared up
// to about 12 million points.
class GribUnpackEcCodesSamples : public ::testing::TestWithParam<const char *> {};

TEST_P(GribUnpackEcCodesSamples, EveryFieldAgrees) {
  const std::string sample = kvztest::sample_file(GetParam());
  if (sample.empty() || !python_ready()) GTEST_SKIP() << "sample or ecCodes' Python module not installed";
  const kvztest::TempDir dir;
  const std::string path = dir.file("sample");
  ASSERT_EQ(run("cp '" + sample + "' '" + path + "'"), 0);
  ASSERT_TRUE(run_script(dir, {"reference", path, "12000000"}));
  const std::vector<RefField> ref = read_reference(path);
  ASSERT_FALSE(ref.empty());
  std::vector<Grid> grids;
  for (const RefField &f : ref) {
    Grid g;
    const bool regular = static_cast<int64_t>(f.ni) * f.nj == f.points;
    g.nx = regular ? f.ni : static_cast<int>(f.points);
    g.ny = regular ? f.nj : 1;
    g.ydir = regular && (f.scan & 0x40) ? 1 : -1;
    g.xalt = regular && (f.scan & 0x10) ? 1 : 0;
    grids.push_back(g);
  }
  gribtest::GribFile file(path.c_str());
  const Decoded out = decode_file(file, grids);
  ASSERT_GE(out.fields.size(), ref.size());
  int failed = 0;
  for (size_t k = 0; k < ref.size() && failed < 3; ++k) {
    SCOPED_TRACE("field " + std::to_string(k) + " " + ref[k].packing);
    const bool regular = grids[k].ny > 1;
    failed += compare(out.fields[k], regular ? north_first(ref[k]) : ref[k].values) > 0;
  }
  EXPECT_EQ(out.err, "");
}

INSTANTIATE_TEST_SUITE_P(Files, GribUnpackEcCodesSamples,
                         ::testing::Values("gfs.grb", "gfs.t12z.pgrbf120.2p5deg.grib2", "rap.wrfnat.grib2",
                                           "ecmwf_tigge.grb", "safrica.grib2", "reduced_latlon_surface.grib2",
                                           "regular_latlon_surface.grib2", "ds.maxt.bin", "ds.waveh.bin",
                                           "dspr.temp.bin", "eta.grb", "flux.grb", "ngm.grb",
                                           "no-radius-shapeOfEarth-7.grb2"));

}  // namespace
