// Every field of the real and generated GRIB files, read through the grid
// layer, against what ecCodes reads from the same files (the references are
// written by tests/oracle/make_samples.py when the test data is made).
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

#include "../test_support.h"
#include "config/config.h"
#include "grib/grib.h"
#include "grid/grid.h"

namespace {

struct Reference {
  int index, edition, centre, process;
  std::string grid;
  int nx, ny, missing, quasi;
  int param, ltype, level;  // edition 1 keys; -1 for edition 2
  long long date;           // YYYYMMDDHH
  int hour;                 // forecast hour of a plain forecast, else -1
};

std::string generated_dir() { return std::string(KVZ_TESTDATA) + "/generated"; }

std::vector<std::string> reference_files() {
  std::ifstream in(generated_dir() + "/files.txt");
  std::vector<std::string> files;
  for (std::string line; std::getline(in, line);)
    if (!line.empty()) files.push_back(line);
  return files;
}

std::vector<Reference> references(const std::string &file) {
  std::ifstream in(generated_dir() + "/" + file.substr(file.rfind('/') + 1) + ".ref");
  std::vector<Reference> refs;
  Reference r;
  while (in >> r.index >> r.edition >> r.centre >> r.process >> r.grid >> r.nx >> r.ny >> r.missing >> r.quasi >>
         r.param >> r.ltype >> r.level >> r.date >> r.hour)
    refs.push_back(r);
  return refs;
}

std::vector<float> reference_values(const std::string &file, int index) {
  std::ifstream in(generated_dir() + "/" + file.substr(file.rfind('/') + 1) + "." + std::to_string(index) + ".f32",
                   std::ios::binary);
  std::vector<float> v;
  float f;
  while (in.read(reinterpret_cast<char *>(&f), 4)) v.push_back(f);
  return v;
}

// Compares one field; quasi-regular references hold the two end points of each row.
void compare_values(const std::string &what, const GridRecord &g, const std::vector<float> &ref, bool quasi) {
  const int nx = g.domain.nx, ny = g.domain.ny;
  std::vector<float> got;
  if (quasi) {
    for (int r = 0; r < ny; ++r) {
      got.push_back(g.values[static_cast<size_t>(r) * nx]);
      got.push_back(g.values[static_cast<size_t>(r) * nx + nx - 1]);
    }
  } else {
    got = g.values;
  }
  ASSERT_EQ(got.size(), ref.size()) << what;
  float scale = 0;
  for (float v : ref)
    if (v != -9999.0f) scale = std::max(scale, std::fabs(v));
  int bad = 0;
  for (size_t i = 0; i < ref.size() && bad < 5; ++i) {
    const bool ref_missing = ref[i] == -9999.0f;
    const bool got_missing = got[i] == -9999.0f;
    if (ref_missing != got_missing || (!ref_missing && std::fabs(got[i] - ref[i]) > 4e-6f * scale + 1e-30f)) {
      ADD_FAILURE() << what << " point " << i << ": " << got[i] << " != " << ref[i];
      ++bad;
    }
  }
}

// Level types whose value is one number of two octets.
bool single_level(int ltype) {
  for (int t : {5, 100, 103, 105, 107, 111, 113, 117, 119})
    if (t == ltype) return true;
  return false;
}

void check_keys(const std::string &what, const GridRecord &g, const Reference &r) {
  const long long date = ((g.base_date.year * 100LL + g.base_date.month) * 100 + g.base_date.day) * 100 +
                         g.base_date.hour;
  EXPECT_EQ(date, r.date) << what;
  EXPECT_STRNE(g.datim, "") << what;
  EXPECT_STRNE(g.info, "") << what;
  if (r.hour >= 0) {
    EXPECT_EQ(g.time, r.hour) << what;
  }
  if (r.edition != 1) return;
  if (r.centre == 98) return;  // the ECMWF table maps its own numbers and some levels
  EXPECT_EQ(g.ltype, r.ltype) << what;
  if (single_level(r.ltype)) {
    EXPECT_EQ(g.level, r.level) << what;
  }
  EXPECT_EQ(g.var, r.param) << what;
}

// Reads every field of the reference files of one edition and compares it.
void check_files_of_edition(int edition, int least_fields) {
  RES_put("file_path", KVZ_SOURCE_DIR "/etc/");
  const auto files = reference_files();
  if (files.empty()) GTEST_SKIP() << "generated test data not present";
  int fields = 0;
  for (const std::string &file : files) {
    const auto refs = references(file);
    if (refs.empty() || (refs[0].edition == 2) != (edition == 2)) continue;
    int type = GRD_GRIB;  // one sample keeps an index in front of its products
    const int h = GRD_open(file.c_str(), 0, &type);
    ASSERT_GE(h, 0) << file;
    GridFileInfo info{};
    ASSERT_EQ(GRD_getinfo(h, &info), 0) << file;
    GridRecord g{};
    GRD_init(&g);
    size_t read = 0;
    for (int n = 0;; ++n) {
      int number = n;
      if (GRD_read(h, &g, 1, &number) != 0) break;
      ASSERT_LT(read, refs.size()) << file << ": more grids than ecCodes sees";
      const Reference &r = refs[read++];
      const std::string what = file + " #" + std::to_string(n);
      EXPECT_EQ(g.source, r.centre) << what;
      EXPECT_EQ(g.model, r.process) << what;
      check_keys(what, g, r);
      if (r.grid == "-") continue;  // a grid the decoder does not place on a map
      ASSERT_EQ(GRD_read(h, &g, 0, &number), 0) << what;
      EXPECT_EQ(g.domain.nx, r.nx) << what;
      EXPECT_EQ(g.domain.ny, r.ny) << what;
      const auto values = reference_values(file, r.index);
      if (!values.empty()) compare_values(what, g, values, r.quasi);
      ++fields;
    }
    EXPECT_EQ(read, refs.size()) << file << ": grids missed";
    GRD_close(h);
  }
  EXPECT_GT(fields, least_fields);
}

TEST(GribConformance, Edition1FieldsAgreeWithEcCodes) { check_files_of_edition(1, 100); }

TEST(GribConformance, Edition2FieldsAgreeWithEcCodes) { check_files_of_edition(2, 500); }

}  // namespace
