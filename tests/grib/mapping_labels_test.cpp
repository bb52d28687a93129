// Description labels of GRIB grids, with ensemble and probability products
// folded into the variable code.
#include <gtest/gtest.h>

#include <string>

#include "../test_support.h"
#include "config/config.h"
#include "files/files.h"
#include "grib/decoder_state.h"
#include "grib/grib.h"
#include "grid/grid.h"

namespace {

class MappingLabels : public ::testing::Test {
 protected:
  void SetUp() override {
    RES_reset();
    MESS_reset();
    GRIB_reset();
    // The same list as the edition 2 lookup tests: the variable list is
    // read once per process.
    dir.write("variable.lup",
              "7 hgt Geopotential height\n"
              "11 t Temperature\n"
              "52 rh Relative humidity\n"
              "61 apcp Total precipitation\n");
    RES_put("file_path", dir.path().c_str());
    rec = GridRecord{};
    rec.time = 24;
    rec.ltype = 100;
    rec.level = 500;
    rec.var = 7;
    copy_text(rec.units, "m");
  }
  void ensemble(int type, int id, int prod) {
    GribDecoder &d = grib_decoder();
    d.ens = 1;
    d.ens_type = type;
    d.ens_id = id;
    d.ens_prod = prod;
  }
  void probability(int var, int prob_var, int prob_type, float low, float up) {
    GribDecoder &d = grib_decoder();
    rec.var = var;
    d.ens_prob_var = prob_var;
    d.ens_prob_type = prob_type;
    d.ens_prob_low = low;
    d.ens_prob_up = up;
  }

  kvztest::TempDir dir;
  GridRecord rec{};
};

TEST_F(MappingLabels, PlainGridGetsFullLabel) {
  EXPECT_EQ(GRIB_set_var(&rec), 0);
  EXPECT_STREQ(rec.info, "500 mb Geopotential height (m)");
  EXPECT_EQ(rec.var, 7);
  EXPECT_STREQ(rec.units, "m");
}

TEST_F(MappingLabels, EnsembleMembers) {
  const struct {
    int type, id, var;
    const char *info;
  } cases[] = {
      {1, 0, 19300007, "500 mb Ens[0] Geopotential height (m)"},
      {2, 1, 19321007, "500 mb Ens[-1] Geopotential height (m)"},
      {3, 2, 19342007, "500 mb Ens[+2] Geopotential height (m)"},
      {4, 3, 19363007, "500 mb Ens[c3] Geopotential height (m)"},
      {5, 4, 19384007, "500 mb Ens[w4] Geopotential height (m)"},
  };
  for (const auto &c : cases) {
    SetUp();
    ensemble(c.type, c.id, 1);
    GRIB_set_var(&rec);
    EXPECT_EQ(rec.var, c.var) << c.type;
    EXPECT_STREQ(rec.info, c.info);
  }
}

TEST_F(MappingLabels, EnsembleMeanAndSpread) {
  const struct {
    int prod, var;
    const char *info;
  } cases[] = {
      {2, 19000007, "500 mb Ens mean Geopotential height (m)"},
      {11, 19001007, "500 mb Ens std dev Geopotential height (m)"},
      {12, 19001007, "500 mb Ens std dev Geopotential height (m)"},
  };
  for (const auto &c : cases) {
    SetUp();
    ensemble(1, 0, c.prod);
    GRIB_set_var(&rec);
    EXPECT_EQ(rec.var, c.var) << c.prod;
    EXPECT_STREQ(rec.info, c.info);
    EXPECT_STREQ(rec.units, "m");
  }
}

TEST_F(MappingLabels, OtherEnsembleProductIsAPlainGrid) {
  ensemble(1, 0, 3);
  GRIB_set_var(&rec);
  EXPECT_EQ(rec.var, 7);
  EXPECT_STREQ(rec.info, "500 mb Geopotential height (m)");
}

TEST_F(MappingLabels, ProbabilityProducts) {
  const int quarter = float2int(0.25f);
  const int one = float2int(1.0f);
  const struct {
    int var, prob_type;
    float low, up;
    int code;
    const char *info;
  } cases[] = {
      {191, 2, 0.0f, 0.25f, 1910612000 + quarter, "Ens prob (%) Total precipitation above 0.25 kg/m^2"},
      {192, 1, 1.0f, 0.0f, 1920611000 + one, "Ens norm prob (%) Total precipitation below 1.00 kg/m^2"},
      {191, 3, 1.0f, 0.25f, 1910613000 + one, "Ens prob (%) Total precipitation in 1.00-0.25 kg/m^2"},
      {191, 5, 0.0f, 0.25f, 1910615000 + quarter, "Prob (%) Total precipitation above 0.25 kg/m^2"},
      {191, 7, 1.0f, 0.25f, 1910617000 + one, "Prob (%) Total precipitation above 1.00 kg/m^2"},
      {191, 8, 1.0f, 0.25f, 1910618000 + quarter, "Prob (%) Total precipitation below 0.25 kg/m^2"},
      {191, 2, 0.0f, -1.0f, 1910612000 + 5000 + one, "Ens prob (%) Total precipitation above -1.00 kg/m^2"},
      {191, 9, 1.0f, 2.0f, 1910619000, "Prob (%) Total precipitation kg/m^2"},
  };
  for (const auto &c : cases) {
    SetUp();
    rec.ltype = 1;
    rec.level = 0;
    rec.time = 0;
    copy_text(rec.units, "kg/m^2");  // units of the underlying variable
    probability(c.var, 61, c.prob_type, c.low, c.up);
    GRIB_set_var(&rec);
    EXPECT_EQ(rec.var, c.code) << c.prob_type;
    EXPECT_EQ(std::string(rec.info), std::string("Surface ") + c.info);
    EXPECT_STREQ(rec.units, "%");
  }
}

TEST_F(MappingLabels, ProbabilityThresholdsStayDistinct) {
  probability(191, 61, 2, 0.0f, 0.25f);
  GRIB_set_var(&rec);
  const int quarter = rec.var;
  SetUp();
  probability(191, 61, 2, 0.0f, 2.5f);
  GRIB_set_var(&rec);
  EXPECT_NE(rec.var, quarter);
}

TEST_F(MappingLabels, ProbabilityWithoutUnitsAndLongLabelIsCut) {
  rec.units[0] = '\0';
  probability(191, 61, 2, 0.0f, 0.25f);
  GRIB_set_var(&rec);
  EXPECT_STREQ(rec.info, "500 mb Ens prob (%) Total precipitation above 0.25");

  SetUp();
  probability(191, 61, 3, -123456789.0f, 987654321.0f);
  copy_text(rec.units, "kg/m^2");
  GRIB_set_var(&rec);
  EXPECT_EQ(std::string(rec.info).size(), sizeof rec.info - 1);
}

}  // namespace
