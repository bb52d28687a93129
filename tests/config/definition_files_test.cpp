// Definition files: entry patterns, conditional blocks, quoting, and the
// environment names of resources.
#include "config_fixture.h"

namespace {

struct Entry {
  std::string name, value;
};

std::vector<Entry> read_all(const std::string &path) {
  std::vector<Entry> out;
  if (DEF_open(path.c_str()) != 0) return out;
  char name[50], value[200];
  while (DEF_get(name, value) == 1) out.push_back({name, value});
  DEF_close();
  return out;
}

TEST_F(ConfigTest, EntryPatternsAgainstQualifiedKeys) {
  char *argv[] = {const_cast<char *>("/bin/rudevodu"), nullptr};
  RES_setCL(1, argv);
  DEF_prog();
  const struct { const char *entry; int match; } cases[] = {
      {"*grid_path", 1}, {"rudevodu.grid_path", 1}, {"*rudevodu.grid_path", 1}, {"*.grid_path", 1},
      {"grid_path", 0},  {"other.grid_path", 0},    {"rudevodu.*", 0},        {"*path", 1},
      {"", 0},           {"*", 0},                  {"rude*grid_path", 1},    {"*grid", 0},
  };
  for (const auto &c : cases) EXPECT_EQ(DEF_cmp("grid_path", c.entry), c.match) << c.entry;
  EXPECT_EQ(DEF_valid("*grid_path"), 1);
  EXPECT_EQ(DEF_valid("grid_path"), 0);
  EXPECT_EQ(DEF_valid("other.grid_path"), 0);
  char bare[50];
  DEF_parse_name("a.b*c.last", bare);
  EXPECT_STREQ(bare, "last");

  DEF_name("+test");
  EXPECT_EQ(DEF_cmp("grid_path", "rudevodu.test.grid_path"), 1);
  EXPECT_EQ(DEF_cmp("grid_path", "*grid_path"), 1);
  EXPECT_EQ(DEF_cmp("grid_path", "rudevodu.grid_path"), 0);
  DEF_name("other");
  EXPECT_EQ(DEF_cmp("grid_path", "other.grid_path"), 1);
  EXPECT_EQ(DEF_cmp("grid_path", "rudevodu.grid_path"), 0);
}

TEST_F(ConfigTest, ConditionalBlocksAndTags) {
  const std::string f = dir.write("blocks",
                                  "# comment line\n"
                                  "IF eta\n*a first\nELIF ngm\n*a second\nELSE\n*a third\nEND\n"
                                  "IF ngm\n*b no\nELIF ETA\n*b yes\n  IF ruc\n*c no\n  END\nEND\n"
                                  "DEF ruc\nIF ruc\n*d defined\nEND\nUNDEF ruc\nUNDEF nothing\n"
                                  "IF ruc\n*e no\nELSE\n*e else\nEND\n"
                                  "IF\n*f taken\n");
  DEF_tag("eta");
  const auto entries = read_all(f);
  std::string seen;
  for (const auto &e : entries) seen += e.name + "=" + e.value + ";";
  EXPECT_EQ(seen, "*a=first;*b=yes;def=ruc;*d=defined;undef=ruc;undef=nothing;*e=else;*f=taken;");
}

TEST_F(ConfigTest, UnbalancedConditionsWarn) {
  const std::string f = dir.write("bad", "ELSE\nELIF x\nEND\n*a 1\n");
  testing::internal::CaptureStderr();
  const auto entries = read_all(f);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "DEF_get: else without an if\nDEF_get: elif without an if\nDEF_get: end without an if\n");
  ASSERT_EQ(entries.size(), 1u);
}

TEST_F(ConfigTest, DeeplyNestedBlocksStayClosed) {
  std::string text;
  DEF_tag("t");
  for (int i = 0; i < 25; ++i) text += "IF t\n";
  text += "*deep 1\n";
  for (int i = 0; i < 25; ++i) text += "END\n";
  text += "*after 2\n";
  const auto entries = read_all(dir.write("deep", text));
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].name, "*after");
}

TEST_F(ConfigTest, EntryLinesQuotingCaseAndBounds) {
  const std::string longvalue(400, 'v');
  const auto entries = read_all(dir.write("lines", "*Grid_Path: /data\n*name \"/data/my grids\" rest\n"
                                                   "single\n\n*long " + longvalue + "\n"));
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].name, "*grid_path");
  EXPECT_EQ(entries[0].value, "/data");
  EXPECT_EQ(entries[1].value, "/data/my grids");
  EXPECT_EQ(entries[2].value.size(), 199u);  // values are cut at their bound
}

TEST_F(ConfigTest, DirectoryAndMissingFiles) {
  dir.write("Kvz.res", "*x 1\n");
  dir.write(".kvzdef", "*x 2\n");
  auto entries = read_all(dir.path());
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].value, "2");  // .kvzdef comes before Kvz.res
  EXPECT_EQ(DEF_open(dir.file("missing").c_str()), -1);
  char n[50], v[200];
  EXPECT_EQ(DEF_get(n, v), -1);
}

TEST_F(ConfigTest, EnvironmentNames) {
  char *argv[] = {const_cast<char *>("rudevodu"), nullptr};
  RES_setCL(1, argv);
  DEF_prog();
  char value[100];
  EXPECT_EQ(DEF_env("grid_path", "kvzgrid", value, sizeof value), 0);
  setenv("kvzgrid_path", "plain", 1);
  ASSERT_EQ(DEF_env("grid_path", "kvzgrid", value, sizeof value), 1);
  EXPECT_STREQ(value, "plain");
  setenv("kvzgrid", "own", 1);
  DEF_env("grid_path", "kvzgrid", value, sizeof value);
  EXPECT_STREQ(value, "own");
  setenv("kvzrudevodu.grid_path", "qualified", 1);
  DEF_env("grid_path", "kvzgrid", value, sizeof value);
  EXPECT_STREQ(value, "qualified");
}

}  // namespace
