// The resource database built from the command line, the environment and the
// definition files, in that order of strength.
#include "config_fixture.h"

using kvztest::start_program;

namespace {

std::string get(const char *name) {
  const char *v = RES_get(name);
  return v ? v : "<none>";
}

TEST_F(ConfigTest, KeyedOptionFormsAllSetTheSameResource) {
  const std::vector<std::vector<std::string>> forms = {
      {"-gp=/data/grids"}, {"-gp", "/data/grids"}, {"-grid_path", "/data/grids"},
      {"-grid", "/data/grids"}, {"--gp", "/data/grids"}, {"-GP", "/data/grids"}};
  for (const auto &args : forms) {
    RES_reset();
    start_program(args);
    EXPECT_EQ(get("grid_path"), "/data/grids") << args[0];
  }
}

TEST_F(ConfigTest, SwitchesGiveBackTheirNextArgument) {
  start_program({"-ba", "next.grb"});
  EXPECT_TRUE(FLAG_batch());
  EXPECT_EQ(get("filename"), "next.grb");
  EXPECT_EQ(get("batch"), "");
  RES_reset();
  start_program({"-ba=1", "x.grb"});
  EXPECT_EQ(get("batch"), "1");
  EXPECT_EQ(get("filename"), "x.grb");
}

TEST_F(ConfigTest, NegativeNumberIsAValueNotAnOption) {
  start_program({"-gt", "-5"});
  EXPECT_EQ(get("grid_type"), "-5");
  EXPECT_EQ(get("filename"), "<none>");
}

TEST_F(ConfigTest, UnknownOptionsBecomePlainResources) {
  start_program({"-xyz", "3", "-abc"});
  EXPECT_EQ(get("xyz"), "3");
  EXPECT_EQ(get("abc"), "");
  EXPECT_EQ(get("nothing"), "<none>");
}

TEST_F(ConfigTest, PositionalArgumentsAccumulate) {
  start_program({"a.grb", "-me", "mess", "b.grb"});
  EXPECT_EQ(get("filename"), "a.grb\nb.grb");
  int n = 0;
  std::vector<std::string> list;
  EXPECT_EQ(RES_getvals("filename", &n, &list), 2);
  ASSERT_EQ(n, 2);
  EXPECT_EQ(list[1], "b.grb");
}

TEST_F(ConfigTest, StrengthOfSources) {
  definitions("*grid_path /from/file\n*filename file.grb\n*file_path /fp/file\n*data_path /dp/file\n");
  setenv("kvzgrid_path", "/from/plain_env", 1);
  setenv("kvzfile", "/fp/own_env", 1);
  setenv("kvzrudevodu.data_path", "/dp/qualified", 1);
  setenv("kvzdata", "/dp/own", 1);
  start_program({"cmd.grb"});
  EXPECT_EQ(get("grid_path"), "/from/plain_env");
  EXPECT_EQ(get("file_path"), "/fp/own_env");
  EXPECT_EQ(get("data_path"), "/dp/qualified");
  EXPECT_EQ(get("filename"), "cmd.grb");  // a positional argument replaces the file's value
  RES_reset();
  start_program({"-gp", "/cmd"});
  EXPECT_EQ(get("grid_path"), "/cmd");
}

TEST_F(ConfigTest, DefinitionPathFromOptionAndStartupOptions) {
  kvztest::TempDir other;
  other.write("kvz.cfg", "*grid_path /other\nrudevodu.colour blue\n");
  definitions("*grid_path /default\n");
  start_program({"-df", other.path(), "-NA", "x", "y.grb"});
  EXPECT_EQ(get("grid_path"), "/other");
  EXPECT_EQ(get("default"), other.path());
  EXPECT_EQ(get("df"), "<none>");
  EXPECT_EQ(get("NA"), "<none>");
  EXPECT_EQ(get("colour"), "blue");  // a valid entry for no declared option keeps its bare name
  EXPECT_EQ(get("filename"), "y.grb");
}

TEST_F(ConfigTest, ProgramTitleChangesTheKeys) {
  definitions("rudevodu.test.grid_path /titled\nrudevodu.grid_path /plain\n");
  start_program({"-name", "+test"});
  EXPECT_EQ(get("grid_path"), "/titled");
  RES_reset();
  DEF_name("");
  start_program({});
  EXPECT_EQ(get("grid_path"), "/plain");
}

TEST_F(ConfigTest, MessageLevelPrecedence) {
  definitions("*message: print\nrudevodu.message warn\n");
  start_program({});
  EXPECT_EQ(MESS_get_level(), 0xFFu);  // the later entry of the file wins
  MESS_reset();
  RES_reset();
  setenv("kvzmess", "mess", 1);
  start_program({});
  EXPECT_EQ(MESS_get_level(), 0xFFFu);
  MESS_reset();
  RES_reset();
  start_program({"-me", "out3"});
  EXPECT_EQ(MESS_get_level(), 0x00FFFFFFu);
}

TEST_F(ConfigTest, BatchModeLowersOnlyTheDefaultLevel) {
  start_program({"-ba"});
  EXPECT_EQ(MESS_get_level(), 0xFFu);
  MESS_reset();
  RES_reset();
  start_program({"-ba", "-me", "out3"});
  EXPECT_EQ(MESS_get_level(), 0x00FFFFFFu);
  MESS_reset();
  RES_reset();
  start_program({"-me", "out3", "-ba"});
  EXPECT_EQ(MESS_get_level(), 0x00FFFFFFu);
}

TEST_F(ConfigTest, AppendAndListAndProgramName) {
  RES_new(RES_NONE, "x", nullptr, 6);
  RES_append(RES_NONE, "x", "one", 6);
  RES_append(RES_NONE, "x", "two", 6);
  RES_append(RES_NONE, "x", nullptr, 6);
  EXPECT_EQ(get("x"), "one\ntwo");
  RES_put("y", nullptr);
  testing::internal::CaptureStdout();
  MESS_set_str("print");
  RES_list();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "x: one\ntwo\ny:\n");
  char *argv[] = {const_cast<char *>("/usr/local/bin/rudevodu"), nullptr};
  RES_setCL(1, argv);
  char name[5];
  EXPECT_STREQ(RES_get_progname(name, sizeof name), "rude");  // cut to the buffer
  EXPECT_STREQ(RES_get_progname(nullptr, 0), "rudevodu");
}

TEST_F(ConfigTest, OverlongOptionNamesAreCut) {
  const std::string longname(300, 'q');
  start_program({"-" + longname + "=v"});
  EXPECT_EQ(get(longname.substr(0, 49).c_str()), "v");
}

TEST_F(ConfigTest, UnknownCatalogCodePrintsTheCode) {
  ResOption opt;
  testing::internal::CaptureStdout();
  RES_enter(&opt, 999);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "999\n");
  EXPECT_STREQ(opt.name, "");
}

TEST_F(ConfigTest, TimeZoneFromEnvironment) {
  setenv("kvztz", "+UTC:0", 1);
  start_program({});
  DateRec d;
  DATE_init(&d);
  d.year = 2012;
  d.month = 1;
  d.day = 10;
  d.hour = 13;
  char label[40];
  DATE_make_label(&d, label);
  EXPECT_STREQ(label, "1 PM UTC 10 JAN 12");
  DATE_reset();
}

}  // namespace
