// Tests of the date-based file name templates: expanding a template for a
// date (steps, fixed hours, missing fields, directories and braces), matching
// typed names against it (completion, dates read back, names passed through,
// names of existing files kept), and the header file names.
#include "names_fixture.h"

namespace {

using Templates = NamesTest;

TEST_F(Templates, ExpandsItemsForADate) {
  RES_put("grid_path", "/data");
  RES_put("site", "fsl");
  const struct {
    const char *tmpl;
    DateRec when;
    const char *name;
  } cases[] = {
      {"@%G/eta_%y%m%d%h.grb", date(2024, 1, 5, 13), "/data/eta_24010513.grb"},
      {"@%G/eta_%y%m%d%6h.grb", date(2024, 1, 5, 13), "/data/eta_24010512.grb"},
      {"@%Y%m%d_%h%15n", date(2024, 1, 5, 9, 44), "20240105_0930"},
      {"@%b%d %Y.grb", date(2024, 3, 1, 0), "mar01_2024.grb"},
      {"@day%j_%Y", date(2024, 3, 1, 0), "day061_2024"},
      {"@%{site}/{raw}_%%%y%{none}", date(2024, 3, 1, 0), "fsl/raw_%24"},
      {"@%Y%m%d%h_%b", date(-9999, -9999, -9999, -9999), "0000000000_xxx"},
      {"@%y%b", date(2024, 13, 1, 0), "24xxx"},
      {"@%I/x", date(2024, 1, 1, 0), "./x"},  // a path that is not set
  };
  for (const auto &c : cases) {
    FILE_set_name(c.tmpl);
    EXPECT_EQ(expand(c.when), c.name) << c.tmpl;
  }
}

TEST_F(Templates, FixedTimeFields) {
  FILE_set_name("@%y%m%d%h");
  const struct {
    DateRec fixed;
    int hour;
    const char *name;
  } cases[] = {
      {fixed(-9999, -9999, -9999, 12, -9999), 5, "24010512"},
      {fixed(2023, 7, -9999, -9999, -9999), 5, "23070505"},
      // Every 6 hours.
      {fixed(-9999, -9999, -9999, -6, -9999), 5, "24010500"},
      {fixed(-9999, -9999, -9999, -6, -9999), 13, "24010512"},
      {fixed(-9999, -9999, -9999, -6, -9999), 23, "24010518"},
      // Every 6 hours from 03.
      {fixed(-9999, -9999, -9999, -306, -9999), 4, "24010503"},
      {fixed(-9999, -9999, -9999, -306, -9999), 13, "24010515"},
      {fixed(-9999, -9999, -9999, -306, -9999), 23, "24010521"},
      // A step of 0 counts as 1 rather than dividing by zero.
      {fixed(-9999, -9999, -9999, -300, -9999), 13, "24010516"},
  };
  for (const auto &c : cases) {
    FILE_set_time(c.fixed);
    EXPECT_EQ(expand(date(2024, 1, 5, c.hour)), c.name) << c.fixed.hour << " " << c.hour;
  }
}

TEST_F(Templates, HugeStepsStayBounded) {
  FILE_set_name("@%99999999999d_%99999999999h_%99999999999v");
  FILE_set_time(fixed(-9999, -9999, -2147483647, -2147483647, -2147483647));
  EXPECT_EQ(expand(date(2024, 1, 5, 13)), "00_213_0");
  EXPECT_EQ(typed("05_13_x"), "05_13_x");
  std::string name;
  FILE_set_current("la#3", &name);
  EXPECT_FALSE(name.empty());
}

TEST_F(Templates, NamesThatAreNotMadeFromTheTemplate) {
  std::string name;
  EXPECT_EQ(FILE_set_date(nullptr, &name), 1);  // no convention and no file yet
  EXPECT_EQ(name, "filename");
  typed("x.grb");
  EXPECT_EQ(FILE_set_date(nullptr, &name), 1);
  EXPECT_EQ(name, "x.grb");

  FILE_set_name("@-");
  EXPECT_EQ(FILE_set_date(nullptr, &name), 1);
  EXPECT_EQ(name, "-");

  // A date that is not known names the current file.
  FILE_set_name("@%y%m%d%h.grb");
  typed("eta.grb");
  const DateRec unknown = date(-9999, -9999, -9999, -9999);
  EXPECT_EQ(FILE_set_date(&unknown, &name), 1);
  EXPECT_EQ(name, "eta.grb");
  const DateRec known = date(2024, 1, 5, 13);
  EXPECT_EQ(FILE_set_date(&known, &name), 0);
  EXPECT_EQ(name, "24010513.grb");
}

TEST_F(Templates, CompletesTypedNamesAndReadsTheirDates) {
  RES_put("grid_path", "/data");
  FILE_set_key('v', "temp");
  const struct {
    const char *tmpl;
    const char *typed;
    const char *name;
    int year, month, day, hour;
  } cases[] = {
      {"@%G/eta_%y%m%d%h.grb", "eta_24010512.grb", "/data/eta_24010512.grb", 2024, 1, 5, 12},
      {"@%G/eta_%y%m%d%h.grb", "/other/eta_24010512.grb", "/other/eta_24010512.grb", 2024, 1, 5, 12},
      {"@%G/eta_%y%m%d%h.grb", "eta_49010512", "/data/eta_49010512.grb", 2049, 1, 5, 12},
      {"@%G/eta_%y%m%d%h.grb", "eta_50010512", "/data/eta_50010512.grb", 1950, 1, 5, 12},
      // The template's literal text stands for what was typed in its place.
      {"@%G/eta_%y%m%d%h.grb", "ngm_24010512.grb", "/data/eta_24010512.grb", 2024, 1, 5, 12},
      {"@%G/x_%Y%j.grb", "x_2024061.grb", "/data/x_2024061.grb", 2024, 3, 1, -9999},
      {"@%G/%b%d.grb", "feb05.grb", "/data/feb05.grb", -9999, 2, 5, -9999},
      {"@%G/%v_%y%m%d%h.grb", "abcd_24010512.grb", "/data/temp_24010512.grb", 2024, 1, 5, 12},
      {"@{/fixed/}eta_%h.grb", "eta_12.grb", "/fixed/eta_12.grb", -9999, -9999, -9999, 12},
      {"@%G/eta_%y*", "eta_24whatever", "/data/eta_24whatever", 2024, -9999, -9999, -9999},
      {"@eta/%y%m%d%h.grb", "eta/24010512.grb", "eta/24010512.grb", 2024, 1, 5, 12},
      // Names that do not fit are used as typed, date unknown.
      {"@%G/eta_%y%m%d%h.grb", "eta_2401xx12.grb", "eta_2401xx12.grb", -9999, -9999, -9999, -9999},
      {"@%G/eta_%y%m%d%h.grb", "data/gfs.grb", "data/gfs.grb", -9999, -9999, -9999, -9999},
      {"@%G/%q_%y.grb", "x_24.grb", "x_24.grb", -9999, -9999, -9999, -9999},  // key q is empty
      {"@/data/eta_%y.grb", "/x/y.grb", "/x/y.grb", -9999, -9999, -9999, -9999},
      {"@grib_ngm", "grib_ngm.grb", "grib_ngm.grb", -9999, -9999, -9999, -9999},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(std::string(c.tmpl) + " " + c.typed);
    FILE_set_name(c.tmpl);
    EXPECT_EQ(typed(c.typed), c.name);
    const DateRec d = file_date();
    EXPECT_EQ(d.year, c.year);
    EXPECT_EQ(d.month, c.month);
    EXPECT_EQ(d.day, c.day);
    EXPECT_EQ(d.hour, c.hour);
  }
}

TEST_F(Templates, ExtensionReadFromTheName) {
  FILE_set_name("@%G/m%e_%y.grb");
  EXPECT_EQ(typed("meta_24.grb"), "./meta_24.grb");
  EXPECT_EQ(expand(date(2030, 1, 1, 0)), "./meta_30.grb");  // the extension read is kept
}

TEST_F(Templates, SpecialNames) {
  FILE_set_name("@%G/eta_%y%m%d%h.grb");
  EXPECT_EQ(typed("-"), "-");
  EXPECT_EQ(typed(""), "-");
  EXPECT_EQ(typed("@given.grb"), "given.grb");
  EXPECT_EQ(typed("NONE"), "NONE");
  EXPECT_EXIT(typed("Exit"), testing::ExitedWithCode(0), "");
  FILE_set_name("@-");
  EXPECT_EQ(typed("eta.grb"), "-");
}

TEST_F(Templates, HashSuffixFixesTheTime) {
  FILE_set_name("@%G/eta_%y%m%d%h.grb");
  EXPECT_EQ(typed("eta.grb#2024010512"), "eta.grb");
  const DateRec d = file_date();
  EXPECT_EQ(d.year, 2024);
  EXPECT_EQ(d.month, 1);
  EXPECT_EQ(d.day, 5);
  EXPECT_EQ(d.hour, 12);
  EXPECT_EQ(FILE_get_set_time().minute, -9999);
  // The fixed fields now hold for names made from the template.
  EXPECT_EQ(expand(date(2025, 6, 7, 8)), "./eta_24010512.grb");
}

TEST_F(Templates, ExistingFilesAreOpenedAsTyped) {
  RES_put("grid_path", "/data");
  dir.write("name_conv", "grib_eta %G/eta_%y%m%d%6h.grb %G/eta_%y%m%d%h.hdr\n");
  FILE_set_name("grib_eta");
  data_file("eta_24010513.grb");
  data_file("ngm_24010512.grb");
  data_file("la.grb");
  const kvztest::WorkingDirectory here(dir.path());

  // A dated name that fits: opened as typed, its date read, its index beside it.
  EXPECT_EQ(typed("eta_24010513.grb"), "eta_24010513.grb");
  EXPECT_EQ(file_date().hour, 13);
  std::string header;
  EXPECT_EQ(FILE_hdr_set_date(nullptr, &header), 1);
  EXPECT_EQ(header, "./eta_24010513.hdr");

  // A name the template would rewrite: opened as typed, date unknown.
  EXPECT_EQ(typed("ngm_24010512.grb"), "ngm_24010512.grb");
  EXPECT_EQ(file_date().year, -9999);
  EXPECT_EQ(FILE_hdr_set_date(nullptr, &header), 1);
  EXPECT_EQ(header, "ngm_24010512.grb.hdr");

  // A name that starts like a selection.
  EXPECT_EQ(typed("la.grb"), "la.grb");
}

TEST_F(Templates, HeaderFileNames) {
  std::string header = "untouched";
  // No file at all: no header name.
  EXPECT_EQ(FILE_hdr_set_date(nullptr, &header), 0);
  EXPECT_EQ(header, "untouched");

  // No convention: beside the grid file, never the grid file itself.
  typed("grid.grb");
  EXPECT_EQ(FILE_hdr_set_date(nullptr, &header), 1);
  EXPECT_EQ(header, "grid.grb.hdr");

  dir.write("name_conv",
            "grib_eta %G/eta_%y%m%d%6h.grb %G/eta_%y%m%d%h.hdr\n"
            "grib_same %G/s_%y.grb %G/s_%y.grb\n"
            "grib_none %G/n_%y.grb -\n");
  RES_put("grid_path", "/data");
  FILE_set_name("grib_eta");
  const std::string made = typed("eta_24010512.grb");
  EXPECT_EQ(made, "/data/eta_24010512.grb");
  const DateRec when = date(2024, 1, 5, 12);
  EXPECT_EQ(FILE_hdr_set_date(&when, &header), 1);
  EXPECT_EQ(header, "/data/eta_24010512.hdr");
  // The grid file's name is still the current name.
  const DateRec unknown = date(-9999, -9999, -9999, -9999);
  EXPECT_EQ(FILE_hdr_set_date(&unknown, &header), 1);
  EXPECT_EQ(header, "/data/eta_24010512.grb.hdr");

  FILE_set_name("grib_same");
  typed("s_24.grb");
  EXPECT_EQ(FILE_hdr_set_date(&when, &header), 1);
  EXPECT_EQ(header, "/data/s_24.grb.hdr");

  FILE_set_name("grib_none");
  typed("n_24.grb");
  EXPECT_EQ(FILE_hdr_set_date(&when, &header), 1);
  EXPECT_EQ(header, "/data/n_24.grb.hdr");

  typed("-");
  EXPECT_EQ(FILE_hdr_set_date(&unknown, &header), 0);
}

}  // namespace
