// Tests of level selections: keywords, prefix forms, single values with
// units, layers with markers, and the defaults.
#include <string>

#include "naming_fixture.h"

namespace {

using SpecLevel = NamingTest;
constexpr int M = -9999;

struct LevelCase {
  const char *text;
  int ltype;
  int level;
};

void expect_levels(const LevelCase *begin, const LevelCase *end) {
  for (const LevelCase *c = begin; c != end; ++c) {
    int ltype = 55;
    int level = 66;
    EXPECT_EQ(VAR_dec_level(c->text, &ltype, &level), 2) << c->text;
    EXPECT_EQ(ltype, c->ltype) << c->text;
    EXPECT_EQ(level, c->level) << c->text;
  }
}

TEST_F(SpecLevel, KeywordsIgnoreCase) {
  const LevelCase cases[] = {
      {"sfc", 1, 0},         {"SEA", 1, 0},         {"se", 1, 0},         {"sl", 102, 0},
      {"none", 0, 0},        {"snd", 0, 0},         {"miss", M, M},       {"frz", 4, 0},
      {"lcl", 5, 0},         {"mwnd", 6, 0},        {"Trop", 7, 0},       {"whole", 200, 0},
      {"top_frz", 204, 0},   {"gcld_bot", 206, 0},  {"sconv_bot", 248, 0}, {"dconv_bot", 251, 0},
      {"cld_ceil", 215, 0},  {"hcld_lyr", 234, 0},  {"sclw_top", 254, 0},
  };
  expect_levels(std::begin(cases), std::end(cases));
}

TEST_F(SpecLevel, PrefixForms) {
  const LevelCase cases[] = {
      {"p500", 100, 500},        {"p1000-500", 101, 50100},   {"p500-1000", 101, 50100},
      {"pv", 100, M},            {"p", 100, M},               {"h10000", 103, 10000},
      {"h1000-3000", 104, 30010}, {"a2", 105, 2},             {"a0-3000", 106, 30000},
      {"k300", 113, 300},        {"k300-310", 114, 310300},   {"s0.5", 107, 5000},
      {"s0.29-0.5", 108, 50029}, {"-", 9, 0},
  };
  expect_levels(std::begin(cases), std::end(cases));
}

TEST_F(SpecLevel, SingleValuesWithUnits) {
  const LevelCase cases[] = {
      {"500mb", 100, 500},    {"500", 100, 500},       {"500 MB", 100, 500}, {"-5", 100, -5},
      {"2m", 103, 2},         {"2m_ag", 105, 2},       {"1000ft", 103, 304}, {"1000ft_ag", 105, 304},
      {"30mb_ag", 115, 30},   {"310k", 113, 310},      {"310K", 113, 310},   {"0.5sig", 107, 5000},
      {"0.29sig", 107, 2900}, {"0.995sig", 107, 9950}, {"5lev", 109, 5},     {"2pv", 117, 2},
      {"0.5eta", 119, 5000},  {"sfc[3]", 1, 3},        {"sfcx", 1, 0},       {"7xyz", 55, 7},
      {"xyz", 55, M},         {"1e40mb", 100, M},
  };
  expect_levels(std::begin(cases), std::end(cases));
}

TEST_F(SpecLevel, Layers) {
  const LevelCase cases[] = {
      {"1000-500mb", 101, 50100},   {"500-1000mb", 101, 50100},   {"1000-500", 101, 50100},
      {"sfc-500mb", 101, 50190},    {"sfc[2]-500mb", 101, 50200}, {"maxt-500mb", 101, 50191},
      {"trop-500mb", 101, 50195},   {"300-310k", 114, 310300},    {"0-3000m", 104, 30000},
      {"0-3000m_ag", 106, 30000},   {"trop+500m", 104, 5995},     {"trop-500m", 104, 5996},
      {"0.5-0.9sig", 108, 90050},   {"0.29-0.5sig", 108, 50029},  {"0.5-0.9eta", 120, 90050},
      {"30-0mb_ag", 116, 30},       {"-5-10k", 114, 9995},        {"1000+500", 101, 50100},
      {"0-10000ft", 104, 30000},    {"1000ft-3000m", 104, 30003}, {"foo-500", 55, 490001},
  };
  expect_levels(std::begin(cases), std::end(cases));
}

TEST_F(SpecLevel, DefaultsComeFromTheFlags) {
  int ltype = 55;
  int level = 66;
  EXPECT_EQ(VAR_dec_level("", &ltype, &level), 2);  // no default: untouched
  EXPECT_EQ(ltype, 55);
  EXPECT_EQ(level, 66);
  EXPECT_EQ(VAR_dec_level("level", &ltype, &level), 1);
  EXPECT_EQ(ltype, M);
  EXPECT_EQ(level, M);

  FLAG_set(7, 100);
  FLAG_set(8, 850);
  EXPECT_EQ(VAR_dec_level("", &ltype, &level), 1);
  EXPECT_EQ(ltype, 100);
  EXPECT_EQ(level, 850);
  ltype = level = 0;
  EXPECT_EQ(VAR_dec_level("LEVEL", &ltype, &level), 1);
  EXPECT_EQ(ltype, 100);
  EXPECT_EQ(level, 850);
}

TEST_F(SpecLevel, OutOfRangeNumbersBecomeMissing) {
  const LevelCase cases[] = {
      {"k2147483647-2147483647", 114, M}, {"p2147483647-2147483647", 101, M}, {"1e12sig", 107, M},
  };
  expect_levels(std::begin(cases), std::end(cases));
}

TEST_F(SpecLevel, TraceShowsTheDecodedLevel) {
  MESS_set(1, 0x40000000);
  int ltype = 0;
  int level = 0;
  testing::internal::CaptureStdout();
  VAR_dec_level("500mb", &ltype, &level);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Level: 500mb = 100 500\n");
}

}  // namespace
