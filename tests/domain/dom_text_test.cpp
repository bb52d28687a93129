// Tests of domain texts: the forms DOM_decode accepts and how it completes
// them, projection keywords, printing and reading back, predefined regions,
// region files and the region menu, and the station priority.
#include <sys/stat.h>

#include <cstring>
#include <fstream>

#include "dom_fixture.h"
#include "files/files.h"

namespace {

constexpr float M = -9999.0f;

struct Expect {
  const char *text;
  int result;
  int proj;
  float plat, plon, clat, clon;
  int nx, ny;
  float dx, dy;
};

void expect_domain(const Domain &d, const Expect &e) {
  EXPECT_EQ(e.proj, d.proj) << e.text;
  EXPECT_FLOAT_EQ(e.plat, d.plat) << e.text;
  EXPECT_FLOAT_EQ(e.plon, d.plon) << e.text;
  EXPECT_FLOAT_EQ(e.clat, d.clat) << e.text;
  EXPECT_FLOAT_EQ(e.clon, d.clon) << e.text;
  EXPECT_EQ(e.nx, d.nx) << e.text;
  EXPECT_EQ(e.ny, d.ny) << e.text;
  EXPECT_FLOAT_EQ(e.dx, d.dx) << e.text;
  EXPECT_FLOAT_EQ(e.dy, d.dy) << e.text;
}

TEST_F(DomTest, DecodeFormsAndTheirCompletion) {
  const Expect cases[] = {
      {"size,640,480", 1, 51, M, M, M, M, 640, 480, M, M},
      {"ps:60:-105,40,-100,25,17,1.2,1.2", 1, 1, 60, -105, 40, -100, 25, 17, 1.2f, 1.2f},
      {"lc,-95,38,-95,33,21,0.8,0.9", 1, 4, M, -95, 38, -95, 33, 21, 0.8f, 0.9f},
      {"ps,-105,40,-100,1.5,1.4", 1, 1, M, -105, 40, -100, 25, 17, 1.5f, 1.4f},
      // six items after a keyword are always proj,plon,clat,clon,dx,dy
      {"ps,40,-100,25,17,1.2", 1, 1, M, 40, -100, 25, 25, 17, 17, 1.2f},
      {"40,-100,30,20,1.5,1.4", 1, 1, M, M, 40, -100, 30, 20, 1.5f, 1.4f},
      {"me,10,20,1.5,1.4", 1, 3, M, M, 10, 20, 25, 17, 1.5f, 1.4f},
      {"40,-100,30,20,1.5", 1, 1, M, M, 40, -100, 30, 20, 1.5f, 1.5f},
      {"ll,10,20,0.5", 1, 2, M, M, 10, 20, 25, 17, 0.5f, 0.5f},
      {"40,-100,30,20", 1, 1, M, M, 40, -100, 30, 20, 1.2f, 1.2f},
      {"40,-100,0.7", 1, 1, M, M, 40, -100, 25, 17, 0.7f, 0.7f},
      {"ps,40abc,-100", 1, 1, M, M, 40, -100, 25, 17, 1.2f, 1.2f},
      {"zoom,40,-100", 1, 50, M, M, 40, -100, 25, 17, 1.0f, 1.0f},
      {"size:x,640.9,480.2", 1, 51, M, 0, M, M, 640, 480, M, M},  // "x" reads as plon 0
      {"40,-100", 1, 1, M, M, 40, -100, 25, 17, 1.2f, 1.2f},
      {"40,-100,,,", 1, 1, M, M, 40, -100, 25, 17, 1.2f, 1.2f},
      {"none", 1, 1, M, M, M, M, 25, 17, 1.2f, 1.2f},
      {"miss", -9999, -9999, M, M, M, M, -9999, -9999, M, M},
      {"MISS", -9999, -9999, M, M, M, M, -9999, -9999, M, M},
      {"", -9999, -9999, M, M, M, M, -9999, -9999, M, M},
      {"size,640", -1, -9999, M, M, M, M, -9999, -9999, M, M},
  };
  for (const Expect &e : cases) {
    std::memset(&d, 0x5a, sizeof d);
    EXPECT_EQ(e.result, decode(e.text)) << e.text;
    expect_domain(d, e);
    EXPECT_EQ(e.result == -1 ? "DOM_decode: Invalid plot domain\n" : "", err) << e.text;
  }
  EXPECT_EQ(-9999, DOM_decode(nullptr, d));
}

TEST_F(DomTest, DecodeKeepsResultInFlagFiveAndTracesTheForm) {
  MESS_set_str("+debugc");
  capture([&] { EXPECT_EQ(1, DOM_decode("40,-100", d)); });
  EXPECT_EQ(1, FLAG_get(5));
  EXPECT_NE(std::string::npos, out.find("******** PARSING DOMAIN: 2 40,-100\n 0 clat,clon\n")) << out;
  capture([&] { EXPECT_EQ(-1, DOM_decode("xz,40,-100", d)); });
  EXPECT_EQ(-1, FLAG_get(5));
  EXPECT_EQ("DOM_decode: Invalid plot domain\n", err);
}

TEST_F(DomTest, ProjectionItemParameters) {
  ASSERT_EQ(1, DOM_decode("lc:e:25,38,-95", d));
  EXPECT_EQ(1, d.ellipsoid);
  EXPECT_FLOAT_EQ(25, d.plat);
  EXPECT_FLOAT_EQ(M, d.plon);

  ASSERT_EQ(1, DOM_decode("lc:e,38,-95", d));  // two parts: the second is plon
  EXPECT_EQ(0, d.ellipsoid);
  EXPECT_FLOAT_EQ(0, d.plon);

  ASSERT_EQ(1, DOM_decode("sat:e:1:-75:420:1:7:8:9:10,0,-75", d));
  EXPECT_EQ(9, d.proj);
  const float got[] = {d.plat, d.plon, d.param1, d.param2, d.param3, d.param4, d.param5};
  const float want[] = {1, -75, 420, 1, 7, 8, M};  // at most four parameters
  for (int i = 0; i < 7; ++i) EXPECT_FLOAT_EQ(want[i], got[i]) << i;

  ASSERT_EQ(1, DOM_decode("lamb::-95:::2,38,-95", d));  // empty parts stay missing
  EXPECT_FLOAT_EQ(M, d.plat);
  EXPECT_FLOAT_EQ(-95, d.plon);
  EXPECT_FLOAT_EQ(M, d.param1);
  EXPECT_FLOAT_EQ(2, d.param3);
}

TEST_F(DomTest, ProjectionKeywords) {
  const struct { const char *keyword; int code; } cases[] = {
      {"Latlon", 2}, {"ll", 2},     {"lat", 2},     {"lambert", 4}, {"lambaz", 4}, {"LC", 4},
      {"la", 8},     {"orthographic", 5}, {"gnom", 6}, {"moll", 7},  {"merc", 3},   {"polar", 1},
      {"ps", 1},     {"sat", 9},    {"pixel", 99},  {"xy", 20},     {"xlogy", 22}, {"vert", 22},
      {"cat", 24},   {"skewt", 40}, {"therm", 40},  {"ema", 42},    {"teph", 43},  {"rteph", 44},
      {"stuve", 41}, {"hodo", 23},  {"XP", 25},     {"xpx", -1},    {"zoom", 50},  {"size", 51},
      {"miss", -9999}, {"missing", -1}, {"xz", -1},  {"", -1},
  };
  for (const auto &c : cases) EXPECT_EQ(c.code, DOM_proj_str(c.keyword)) << c.keyword;
  EXPECT_EQ(-1, DOM_proj_str(nullptr));
}

TEST_F(DomTest, SetParamsReportsTheFailingField) {
  std::vector<std::string> items = {"ps", "abc", "-100"};
  EXPECT_EQ(DOM_FIELD_CLAT, DOM_set_params(3, items, d, {DOM_FIELD_PROJ, DOM_FIELD_CLAT, DOM_FIELD_CLON, 0}));
  EXPECT_EQ(-1, DOM_set_params(3, items, d, {DOM_FIELD_CLAT, DOM_FIELD_CLON}));
  items = {"bogus", "40", "-100"};
  EXPECT_EQ(DOM_FIELD_PROJ, DOM_set_params(3, items, d, {DOM_FIELD_PROJ, DOM_FIELD_CLAT, DOM_FIELD_CLON}));
  EXPECT_EQ(1, d.proj);  // an unknown keyword leaves the default projection
  items = {"40", "-100", "x25", "17"};
  EXPECT_EQ(DOM_FIELD_NX, DOM_set_params(4, items, d, {DOM_FIELD_CLAT, DOM_FIELD_CLON, DOM_FIELD_NX, DOM_FIELD_NY}));
  items = {"40", "-100", "99999999999", "-99999999999"};  // cut to int's range
  EXPECT_EQ(0, DOM_set_params(4, items, d, {DOM_FIELD_CLAT, DOM_FIELD_CLON, DOM_FIELD_NX, DOM_FIELD_NY}));
  EXPECT_EQ(2147483647, d.nx);
  EXPECT_EQ(-2147483647 - 1, d.ny);
}

TEST_F(DomTest, PrintsTheTextFormThatDecodesBack) {
  ASSERT_EQ(1, DOM_decode("40,-100", d));
  capture([&] { DOM_print(0x2000000, d); });
  EXPECT_EQ("", out);  // level not shown
  MESS_set_str("out4");
  capture([&] { DOM_print(0x2000000, d); });
  EXPECT_EQ(0, DOM_print(0, d));
  EXPECT_EQ("pstereo:::::,40.000,-100.000,25,17,1.2000,1.2000\n", out);

  const std::string lamb = "lamb:25.000:-95.000:25.000:25.000:,38.000,-95.000,93,65,0.8128,0.8128";
  ASSERT_EQ(1, DOM_decode(lamb.c_str(), d));
  const Domain first = d;
  capture([&] { DOM_print(0x2000000, d); });
  EXPECT_EQ(lamb + "\n", out);
  Domain again{};
  ASSERT_EQ(1, DOM_decode(lamb.c_str(), again));
  EXPECT_EQ(0, std::memcmp(&first, &again, sizeof first));

  DOM_init(d);
  d.proj = DOM_PROJ_SAT;
  d.ellipsoid = 1;
  d.plon = -75;
  d.param1 = 421.61f;
  d.nx = d.ny = 10;
  capture([&] { DOM_print(0x2000000, d); });
  EXPECT_EQ("sat:e::-75.000:421.610::,-9999.000,-9999.000,10,10,-9999.0000,-9999.0000\n", out);

  d.proj = DOM_PROJ_TEPHI;  // no name
  d.ellipsoid = 0;
  d.clat = 3e38f;           // huge values are printed whole
  capture([&] { DOM_print(0x2000000, d); });
  EXPECT_EQ(0u, out.find("::-75.000:421.610::,3000000"));
  EXPECT_EQ('\n', out.back());
}

TEST_F(DomTest, PredefinedRegionsWithoutRegionFile) {
  MESS_set_str("+debugd");
  EXPECT_EQ(2, decode("us"));
  expect_domain(d, {"us", 2, 1, M, -97, 39, -97, 25, 17, 2.3f, 2.3f});
  EXPECT_EQ("Unable to open region file: " + dir.file("kvz.reg") + "\n", out);
  EXPECT_EQ(2, FLAG_get(5));  // the outer result, after the region's own 1

  EXPECT_EQ(2, DOM_decode("XX", d));
  expect_domain(d, {"xx", 2, -1, M, M, M, M, 25, 17, 1.2f, 1.2f});

  const Expect regions[] = {
      {"ne", 1, 1, M, -76, 42, -76, 25, 17, 0.9f, 0.9f},  {"AT", 1, 1, M, -82, 37, -82, 25, 17, 0.9f, 0.9f},
      {"se", 1, 1, M, -88, 31, -88, 25, 17, 1.1f, 1.1f},  {"mw", 1, 1, M, -93, 43, -93, 25, 17, 1.1f, 1.1f},
      {"sp", 1, 1, M, -100, 32.5f, -100, 25, 17, 1.2f, 1.2f}, {"nw", 1, 1, M, -112, 44, -112, 25, 17, 1, 1},
      {"sw", 1, 1, M, -112, 37, -112, 25, 17, 1, 1},
  };
  for (const Expect &e : regions) {
    FLAG_set(5, 0);
    EXPECT_EQ(1, DOM_get_def_region(e.text, d));
    EXPECT_EQ(1, FLAG_get(5));
    expect_domain(d, e);
  }
  EXPECT_EQ(0, DOM_get_def_region("zz", d));
  expect_domain(d, {"zz", 0, 1, M, M, M, M, 25, 17, 1.2f, 1.2f});

  FLAG_set(19, 1);  // batch mode: "var" asks nothing
  EXPECT_EQ(1, DOM_get_def_region("var", d));
  expect_domain(d, {"var", 1, 1, M, 0, 0, 0, 25, 17, 1.2f, 1.2f});
}

TEST_F(DomTest, RegionFilesAndFileReferences) {
  write("kvz.reg",
        "# regions\n"
        "mw   My_Midwest  5  ll,45,-90,20,10,0.5,0.5\n"
        "two  Second      2  40,-100\n");
  write("other.reg", "# comment\nfirst x 1 me,10,20,1.5,1.4\nsecond x 2 lc:25:-95,38,-95\n\nlate x 3 40,-80\n");
  write("one.reg", "ps,30,-90\n");

  EXPECT_EQ(2, DOM_decode("MW", d));  // the file's region wins over the predefined one
  expect_domain(d, {"mw", 2, 2, M, M, 45, -90, 20, 10, 0.5f, 0.5f});
  EXPECT_EQ(2, DOM_decode("other.reg:SECOND", d));
  EXPECT_EQ(4, d.proj);
  EXPECT_FLOAT_EQ(-95, d.plon);
  EXPECT_EQ(2, DOM_decode("fi:other.reg", d));  // the first region line
  expect_domain(d, {"fi", 2, 3, M, M, 10, 20, 25, 17, 1.5f, 1.4f});
  EXPECT_EQ(2, DOM_decode("fi:one.reg", d));  // a line of one word is the domain text
  expect_domain(d, {"one", 2, 1, M, M, 30, -90, 25, 17, 1.2f, 1.2f});

  // An empty line ends the search; a missing region leaves the record initialised.
  EXPECT_EQ(2, DOM_decode("other.reg:late", d));
  EXPECT_EQ(-9999, d.proj);
  std::string text;
  EXPECT_EQ(0, DOM_search_file("other.reg", "late", text));
  EXPECT_EQ(1, DOM_search_file("kvz.reg", "two", text));
  EXPECT_EQ("40,-100", text);

  EXPECT_EQ(2, DOM_decode("lc:e", d));  // a file "lc", region "e": none
  EXPECT_EQ(-9999, d.proj);
  EXPECT_EQ(2, DOM_decode("FI:one.reg", d));  // only "fi:" names a file: this is file "FI"
  EXPECT_EQ(-9999, d.proj);
}

TEST_F(DomTest, RegionReferencesThatLoopEndCleanly) {
  write("kvz.reg", "loop a 1 other\nother b 2 loop\n");
  EXPECT_EQ(-1, decode("loop"));
  EXPECT_EQ(0u, err.find("DOM_decode: Region references nest too deeply: "));
  EXPECT_EQ(err.find('\n') + 1, err.find("DOM_decode: Invalid plot domain\n"));  // said once
  EXPECT_EQ(err.size(), err.find("domain\n") + 7);
  EXPECT_EQ(-1, FLAG_get(5));
  // A one-word line is the domain text of every region asked for: here, itself.
  write("bad.reg", "bad.reg:y\n");
  EXPECT_EQ(-1, decode("bad.reg:x"));
  capture([&] { EXPECT_EQ(1, DOM_decode("40,-100", d)); });  // nothing is left over
  EXPECT_EQ("", err);
}

TEST_F(DomTest, RegionFileNamesNeverRunCommands) {
  const std::string marker = dir.file("ran");
  capture([&] { DOM_decode(("|touch " + marker + ":x").c_str(), d); });
  capture([&] { DOM_decode(("fi:|touch " + marker).c_str(), d); });
  capture([&] { DOM_decode(("id:|touch " + marker + ":DEN").c_str(), d); });
  struct stat st;
  EXPECT_NE(0, stat(marker.c_str(), &st));
}

TEST_F(DomTest, RegionMenu) {
  std::string lines = "# menu\nab Alpha_Region 1 40,-100\nskip x 0 40,-100\nlongname Beta 2 40,-100\nshort\n";
  for (int i = 0; i < 25; ++i) lines += "r" + std::to_string(i) + " R 9 40,-100\n";
  write("menu.reg", lines);
  EXPECT_EQ(2, DOM_decode("menu.reg:", d));
  EXPECT_EQ(-9999, d.proj);
  int count = 0;
  const DomRegionEntry *menu = DOM_region_menu(&count);
  EXPECT_EQ(DOM_MENU_SLOTS, count);
  EXPECT_STREQ("ab", menu[1].abbr);
  EXPECT_STREQ("Alpha Region", menu[1].desc);
  EXPECT_EQ(1, menu[1].number);
  EXPECT_STREQ("longn", menu[2].abbr);
  EXPECT_EQ(2, menu[2].index);
  EXPECT_STREQ("r16", menu[19].abbr);
}

TEST_F(DomTest, StationPriorityFromHeight) {
  const struct { float height; const char *setting; int priority; } cases[] = {
      {60, nullptr, 1}, {50, nullptr, 2}, {30, nullptr, 2}, {13, nullptr, 3}, {7, nullptr, 4},
      {4, nullptr, 5},  {2, nullptr, 6},  {30, "+2", 4},    {30, "-1", 1},    {30, "5x", 5},
      {30, "x", 2},     {30, "+x", 2},
  };
  for (const auto &c : cases) {
    if (c.setting) RES_put("stat_prior", c.setting);
    EXPECT_EQ(0, DOM_set_base_prior(c.height));
    EXPECT_EQ(c.priority, DOM_get_base_prior()) << c.height << " " << (c.setting ? c.setting : "");
  }
  RES_put("stat_prior", "");
  DOM_decode("40,-100,25,17,2.3", d);  // height 16 x 2.3
  EXPECT_EQ(2, DOM_get_base_prior());
}

TEST_F(DomTest, ShippedRegionsDecode) {
  RES_put("file_path", KVZ_SOURCE_DIR "/etc");
  std::ifstream in(KVZ_SOURCE_DIR "/etc/kvz.reg");
  std::string line;
  int regions = 0;
  for (bool blank_seen = false; std::getline(in, line);) {
    if (line.empty()) blank_seen = true;
    if (line.empty() || line[0] == '#') continue;
    EXPECT_FALSE(blank_seen) << "a blank line would hide " << line;
    const std::string name = line.substr(0, line.find(' '));
    EXPECT_EQ(2, decode(name.c_str())) << name;
    EXPECT_EQ("", err) << name;
    EXPECT_GT(d.proj, 0) << name;
    EXPECT_GT(d.nx, 1) << name;
    EXPECT_GT(d.dx, 0) << name;
    EXPECT_GE(d.clat, -90) << name;
    EXPECT_LE(d.clat, 90) << name;
    ++regions;
  }
  EXPECT_GE(regions, 8);
}

}  // namespace
