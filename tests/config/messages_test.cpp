// Message levels, destinations, log files and paging; program flags.
#include "config_fixture.h"

#include <unistd.h>

namespace {

TEST_F(ConfigTest, LevelSettings) {
  const struct { const char *setting; uint32_t level; } cases[] = {
      {"mess", 0x00000FFF},   {"out2", 0x000FFFFF},  {"out2a", 0x0001FFFF}, {"debug", 0xFFFFFFFF},
      {"warn", 0x000000FF},   {"messc", 0x000007FF}, {"none", 0},           {"bogus", 0},
      {"print", 0x0000000F},  {"+debugd", 0x800FFFFF}, {"out1,-print", 0x0000FFF0},
      {"mess,+debugd", 0x80000FFF}, {"OUT3", 0x00FFFFFF}, {"", 0},
  };
  for (const auto &c : cases) {
    MESS_reset();
    MESS_set_str(c.setting);
    EXPECT_EQ(MESS_get_level(), c.level) << c.setting;
  }
}

TEST_F(ConfigTest, SetCodesAndDefaults) {
  MESS_set(20, 0xF);  // a default applies while nothing was set explicitly
  EXPECT_EQ(MESS_get_level(), 0xFu);
  MESS_set(1, 0x100000);  // explicit: add
  EXPECT_EQ(MESS_get_level(), 0x10000Fu);
  MESS_set(20, 0xFFFF);  // ignored now
  EXPECT_EQ(MESS_get_level(), 0x10000Fu);
  MESS_set(9, 0xF);  // always applies, not counted
  EXPECT_EQ(MESS_get_level(), 0x100000u);
  EXPECT_EQ(MESS_check_set(), 1);
}

TEST_F(ConfigTest, DefaultLevelRoutesByClass) {
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  EXPECT_EQ(MESS_print(0x100000, "out3 %d\n", 3), 0);
  EXPECT_EQ(MESS_print(0x10000, "out2 %d\n", 2), 1);
  EXPECT_EQ(MESS_print(0xC0, "warn\n"), 1);
  EXPECT_EQ(MESS_print(0x10, "error\n"), 1);
  fflush(stdout);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "warn\nerror\n");
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "out2 2\n");
}

TEST_F(ConfigTest, LogFileOnly) {
  const std::string log = dir.file("run.log");
  MESS_set_str(("mess,fi:" + log).c_str());
  testing::internal::CaptureStdout();
  EXPECT_EQ(MESS_print(0xF00, "one %s\n", "x"), 0);
  EXPECT_EQ(MESS_print(0x1000, "hidden\n"), 0);
  fflush(stdout);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(kvztest::read_file(log), "one x\n");
}

TEST_F(ConfigTest, LogFileModes) {
  const std::string log = dir.write("run.log", "old\n");
  MESS_set_str(("+fi:" + log).c_str());
  testing::internal::CaptureStdout();
  MESS_print(0xF00, "appended\n");
  fflush(stdout);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "appended\n");
  EXPECT_EQ(kvztest::read_file(log), "old\nappended\n");

  MESS_set_str(("-fi:" + log).c_str());
  MESS_print(0xF00, "fresh\n");
  EXPECT_EQ(kvztest::read_file(log), "fresh\n");

  const std::string stamped = dir.file("stamped.log");
  MESS_set_str(("@fi:" + stamped).c_str());
  testing::internal::CaptureStdout();
  MESS_print(0xF00, "a");
  MESS_print(0xF00, "b\n");
  fflush(stdout);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "ab\n");
  const std::string text = kvztest::read_file(stamped);
  // Each call gets its own "<date>Z -- " prefix.
  ASSERT_EQ(text.size(), 2 * (20 + 4) + 3u) << text;
  EXPECT_EQ(text.substr(19, 5), "Z -- ");
  EXPECT_EQ(text.substr(24, 1), "a");
  EXPECT_EQ(text.substr(text.size() - 2), "b\n");

  const std::string reopened = dir.file("reopen.log");
  MESS_set_str(("mess,dfi:" + reopened).c_str());
  MESS_print(0xF00, "first\n");
  unlink(reopened.c_str());  // the file is reopened for every message
  MESS_print(0xF00, "second\n");
  EXPECT_EQ(kvztest::read_file(reopened), "second\n");
}

TEST_F(ConfigTest, PagingCountsFormatNewlines) {
  const std::string in = dir.write("keys", "\n\n\n");
  ASSERT_TRUE(freopen(in.c_str(), "r", stdin));
  MESS_set_str("mess,page,line:2");
  testing::internal::CaptureStdout();
  MESS_print(0xF00, "%s", "1\n2\n3\n4\n");  // newlines in arguments do not count
  MESS_print(0xF00, "a\nb\n");
  MESS_print(0xF00, "c\n");  // third line: hold
  fflush(stdout);
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(out, "1\n2\n3\n4\na\nb\nc\nPress return to continue\n");
  EXPECT_EQ(fgetc(stdin), '\n');  // exactly one key was taken
  MESS_set_str("mess,line:0");
  MESS_set_str("mess,line:-3");  // both give 22 lines; no hold below that
}

TEST_F(ConfigTest, HoldIsSkippedInBatchMode) {
  FLAG_set(19, 1);
  MESS_set_str("mess,page,line:1");
  testing::internal::CaptureStdout();
  MESS_print(0xF00, "a\nb\nc\n");
  fflush(stdout);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "a\nb\nc\n");
}

TEST_F(ConfigTest, Banner) {
  testing::internal::CaptureStdout();
  MESS_print_prog("GRID FILE PARSER");
  fflush(stdout);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            std::string("      GRID FILE PARSER (Ver ") + KVZ_version() + ")\n\n");
  // Release number of three parts, platform tag, display tag.
  EXPECT_TRUE(testing::internal::RE::FullMatch(KVZ_version(), "[0-9]+\\.[0-9]+\\.[0-9]+-[a-z0-9_]+-[a-z0-9_]+"));
}

TEST_F(ConfigTest, FlagSlots) {
  EXPECT_EQ(FLAG_set(30, 1), -1);
  EXPECT_EQ(FLAG_set(-1, 1), -1);
  EXPECT_EQ(FLAG_get(30), 0);
  EXPECT_EQ(FLAG_set(15, 2), 0);
  EXPECT_EQ(FLAG_get(15), 2);
  EXPECT_FALSE(FLAG_help());
  FLAG_set(20, 1);
  EXPECT_TRUE(FLAG_help());
}

TEST_F(ConfigTest, PlotSwitchesKeepTheirSums) {
  FLAG_setplot(0, 0);
  for (int i = 0; i <= 6; ++i) EXPECT_EQ(FLAG_getplot(i), 0) << i;
  EXPECT_EQ(FLAG_getplot(12), 5);  // slots 7 to 11 still on
  FLAG_setplot(3, 1);
  EXPECT_EQ(FLAG_getplot(0), 1);
  EXPECT_EQ(FLAG_getplot(12), 7);
  FLAG_setplot(12, 1);
  EXPECT_EQ(FLAG_getplot(0), 6);
  EXPECT_EQ(FLAG_getplot(12), 17);
}

}  // namespace
