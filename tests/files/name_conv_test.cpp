// Tests of the file name conventions: choosing an entry of the convention file
// (exact and partial matches, "none", '@' templates, a missing file), key
// settings, the extra selection text cut off typed names, and the convention
// file shipped in etc/.
#include <fstream>
#include <sstream>

#include "names_fixture.h"

namespace {

const char kEntries[] =
    "# data sets of the tests\n"
    "\n"
    "grib_ngm   %G/ngm_%y%m%d%12h.grb   %G/ngm_%y%m%d%h.hdr  0\n"
    "grib_ngme  %G/ngme_%y%m%d%12h.grb  -\n"
    "grib_eta   %G/eta%e_%y%m%d%6h.grb  %G/eta_%y%m%d%h.hdr  100\n"
    "grib_key   k_%v_%l_%3v_%q.grb      -\n";

using NameConv = NamesTest;

TEST_F(NameConv, ChoosesTheFirstEntryThatFits) {
  RES_put("grid_path", "/data");
  const DateRec when = date(2024, 1, 5, 13);
  const struct {
    const char *data_set;
    int found;
    const char *name;
  } cases[] = {
      {"grib_ngm", 1, "/data/ngm_24010512.grb"},
      {"GRIB_NGM", 1, "/data/ngm_24010512.grb"},
      {"grib_eta", 1, "/data/eta_24010512.grb"},
      // A partial match keeps the text after the last '_' as the extension.
      {"grib_eta_218", 1, "/data/eta218_24010512.grb"},
      // The shorter entry placed first shadows the longer one.
      {"grib_ngme", 1, "/data/ngm_24010512.grb"},
      // No entry: the name stands for itself.
      {"grib_lfm", 0, "grib_lfm"},
      // Lines without a name never match.
      {"", 0, "filename"},
  };
  for (const auto &c : cases) {
    EXPECT_EQ(convention(kEntries, c.data_set), c.found) << c.data_set;
    EXPECT_EQ(expand(when), c.name) << c.data_set;
  }
}

TEST_F(NameConv, NoneAndOwnTemplates) {
  EXPECT_EQ(FILE_set_name("None"), 0);
  EXPECT_EQ(expand(date(2024, 1, 5, 13)), "filename");  // no template: the current name, here none

  // '@' gives the template itself; no convention file is needed.
  testing::internal::CaptureStderr();
  EXPECT_EQ(FILE_set_name("@%G/eta_%y%m%d%h.grb"), 1);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(expand(date(2024, 1, 5, 13)), "./eta_24010513.grb");
}

TEST_F(NameConv, MissingConventionFileWarns) {
  testing::internal::CaptureStderr();
  EXPECT_EQ(FILE_set_name("grib_eta"), 0);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "FILE_set_name: No file name convention file: " + dir.path() + "/name_conv\n");
  EXPECT_EQ(expand(date(2024, 1, 5, 13)), "grib_eta");

  // "-nc" names the file, relative to file_path or as a full path.
  dir.write("site.nc", kEntries);
  RES_put("name_conv", "site.nc");
  EXPECT_EQ(FILE_set_name("grib_eta"), 1);
  RES_put("name_conv", dir.file("site.nc").c_str());
  EXPECT_EQ(FILE_set_name("grib_ngm"), 1);
}

TEST_F(NameConv, UnmatchedDataSetHasNoHeaderTemplate) {
  // The last line read must not lend its header template to a data set without entry.
  dir.write("name_conv", "grib_eta %G/eta_%y%m%d%h.grb %G/eta_%y%m%d%h.hdr\n");
  FILE_set_time(fixed(2024, 1, 5, 12, -9999));
  EXPECT_EQ(FILE_set_name("grib_sst"), 0);
  FILE_set_file("sst.grb", nullptr);
  std::string header;
  EXPECT_EQ(FILE_hdr_set_date(nullptr, &header), 1);
  EXPECT_EQ(header, "sst.grb.hdr");
}

TEST_F(NameConv, KeySettingsInTheDataSetName) {
  dir.write("name_conv", kEntries);
  std::string name = "grib_key:v=temp:l=500";
  EXPECT_EQ(FILE_set_name(name), 1);
  EXPECT_EQ(name, "grib_key");
  // Key q is empty: it writes "0".  %3v writes three characters of v.
  EXPECT_EQ(expand(date(2024, 1, 5, 13)), "k_temp_500_tem_0.grb");

  name = "grib_key:x";  // not a key setting: left in place
  FILE_set_name(name);
  EXPECT_EQ(name, "grib_key:x");

  FILE_set_key('v', "a long value with spaces, longer than allowed");
  FILE_set_name("grib_key");
  EXPECT_EQ(expand(date(2024, 1, 5, 13)), "k_a_long_value_with_spaces,_lon_500_a_l_0.grb");

  FILE_set_key('v', "");
  FILE_set_key('q', "x");
  EXPECT_EQ(expand(date(2024, 1, 5, 13)), "k_0_500_0_x.grb");
}

TEST_F(NameConv, KeysSetBeforeTheFirstConventionStay) {
  FILE_set_key('r', "us");  // as the domain option does while the options are read
  dir.write("name_conv", "grib_r %G/%r_%y.grb -\n");
  FILE_set_name("grib_r");
  EXPECT_EQ(expand(date(2024, 1, 5, 13)), "./us_24.grb");
}

TEST_F(NameConv, ExtraSelectionTextAfterTheFileName) {
  FILE_set_type(1);
  const struct {
    const char *typed;
    const char *name;
    const char *ext_info;
  } cases[] = {
      {"eta.grb#212", "eta.grb", "#212"},
      {"eta.grb+12:850:hh", "eta.grb", "+12:850:hh"},
      {"ab-x", "ab-x", ""},  // the first three characters never start the text
      {"abc:12", "abc", ":12"},
  };
  for (const auto &c : cases) {
    FILE_set_ext_info("");
    EXPECT_EQ(typed(c.typed), c.name) << c.typed;
    EXPECT_STREQ(FILE_get_ext_info(), c.ext_info) << c.typed;
  }

  // A name without a marker leaves the text as it was.
  FILE_set_ext_info("#3");
  typed("eta.grb");
  EXPECT_STREQ(FILE_get_ext_info(), "#3");
  FILE_set_ext_info("+0123456789012345678901234567890123456789");
  EXPECT_EQ(std::string(FILE_get_ext_info()).size(), 39u);

  std::string name = "eta.grb#5";
  FILE_extract_extra_info(name);
  EXPECT_EQ(name, "eta.grb");
  EXPECT_STREQ(FILE_get_ext_info(), "#5");
}

TEST_F(NameConv, MarkersInsideExistingNamesAreKept) {
  FILE_set_type(1);
  const std::string whole = data_file("gfs-0p25.grb");
  EXPECT_EQ(typed(whole.c_str()), whole);
  EXPECT_STREQ(FILE_get_ext_info(), "");

  ASSERT_EQ(system(("mkdir -p " + dir.file("run-1")).c_str()), 0);
  const std::string nested = data_file("run-1/eta.grb");
  EXPECT_EQ(typed((nested + "#3").c_str()), nested);
  EXPECT_STREQ(FILE_get_ext_info(), "#3");
}

// ---- the convention file shipped with the program ----------------------------

std::string shipped() {
  std::ifstream in(std::string(KVZ_SOURCE_DIR) + "/etc/name_conv");
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST_F(NameConv, ShippedEntriesReadAndNameDatedFiles) {
  const std::string entries = shipped();
  ASSERT_FALSE(entries.empty());
  std::istringstream lines(entries);
  for (std::string line; std::getline(lines, line);) {
    if (line.empty() || line[0] == '#') continue;
    char name[160], file[160], header[160];
    int size = -1;
    EXPECT_EQ(std::sscanf(line.c_str(), "%159s %159s %159s %d", name, file, header, &size), 4) << line;
    EXPECT_LE(std::string(file).size(), 159u) << line;
    EXPECT_NE(std::string(header), "-") << line;
  }

  RES_put("grid_path", "/data/grids/");
  const struct {
    const char *data_set;
    const char *now;        // a file made for 2024-01-05 13:40
    const char *typed;      // what a user types for a dated file
    const char *completed;  // the file it names
  } cases[] = {
      {"grib_ngm", "ngm_24010512.grb", "ngm_24010500.grb", "/data/grids/ngm_24010500.grb"},
      {"grib_ngme", "ngme_24010512.grb", "ngme_24010500.grb", "/data/grids/ngme_24010500.grb"},
      {"grib_eta", "eta_24010512.grb", "eta_24010506.grb", "/data/grids/eta_24010506.grb"},
      {"grib_eta_212", "eta_24010512.grb", "eta_24010506", "/data/grids/eta_24010506.grb"},
      {"grib_ruc", "ruc_24010513.grb", "ruc_24010511.grb", "/data/grids/ruc_24010511.grb"},
      {"grib_lfm", "lfm_24010512.grb", "lfm_24010512.grb", "/data/grids/lfm_24010512.grb"},
      {"grib_avn", "avn_24010512.grb", "avn_24010518.grb", "/data/grids/avn_24010518.grb"},
      {"grib_mrf", "mrf_24010512.grb", "mrf_24010500.grb", "/data/grids/mrf_24010500.grb"},
      {"grib_ecmwf", "ecmwf_24010512.grb", "ecmwf_24010412.grb", "/data/grids/ecmwf_24010412.grb"},
      {"grib_sww", "sww_24010512.grb", "sww_24010500.grb", "/data/grids/sww_24010500.grb"},
      {"grib_sst", "sst_240105.grb", "sst_240104.grb", "/data/grids/sst_240104.grb"},
      {"grib_sca", "sca_240105.grb", "sca_240104.grb", "/data/grids/sca_240104.grb"},
      {"grd_kvz", "kvz_24010513.grd", "kvz_24010513.grd", "/data/grids/kvz_24010513.grd"},
      {"grd_cdf", "cdf_24010513.nc", "cdf_24010513.nc", "/data/grids/cdf_24010513.nc"},
      {"grd_grib", "grib_24010513.grb", "grib_24010513.grb", "/data/grids/grib_24010513.grb"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.data_set);
    EXPECT_EQ(convention(entries, c.data_set), 1);
    EXPECT_EQ(expand(date(2024, 1, 5, 13, 40)), std::string("/data/grids/") + c.now);
    EXPECT_EQ(typed(c.typed), c.completed);
    const DateRec d = file_date();
    EXPECT_EQ(d.year, 2024);
    // The header file of the named file carries its own date.
    std::string header;
    EXPECT_EQ(FILE_hdr_set_date(&d, &header), 1);
    std::string expected = c.completed;
    expected.replace(expected.rfind('.'), std::string::npos, ".hdr");
    EXPECT_EQ(header, expected);
  }
}

TEST_F(NameConv, ShippedConventionsKeepExistingNames) {
  ASSERT_EQ(system(("mkdir -p " + dir.file("data")).c_str()), 0);
  data_file("data/gfs.grb");
  data_file("grib_ngm.grb");
  data_file("latest.grb");
  data_file("cu.grb");
  const kvztest::WorkingDirectory here(dir.path());
  RES_put("grid_path", "/data/grids");
  for (const char *set : {"grib_ngm", "grib_eta", "grib_sst", "grd_grib"}) {
    convention(shipped(), set);
    for (const char *name : {"data/gfs.grb", "grib_ngm.grb", "latest.grb", "cu.grb"}) {
      EXPECT_EQ(typed(name), name) << set;
      EXPECT_EQ(file_date().year, -9999) << set << " " << name;
      // Its index sits beside it.
      std::string header;
      EXPECT_EQ(FILE_hdr_set_date(nullptr, &header), 1);
      EXPECT_EQ(header, std::string(name) + ".hdr");
    }
  }
}

}  // namespace
