// Resource value conversion, the help text, and the prompts with their
// "set" and "exit" commands.
#include "config_fixture.h"

#include "files/files.h"

namespace {

TEST_F(ConfigTest, IntegerAndTextConversions) {
  const struct { const char *text; int expect; } ints[] = {
      {"0x10", 16}, {"211", 211}, {"-7", -7}, {"+3", 3}, {"abc", 42}, {"", 42}};
  for (const auto &c : ints) {
    RES_put("grid_type", c.text);
    int v = 42;
    EXPECT_EQ(RES_getval("grid_type", &v, 2), 1) << c.text;
    EXPECT_EQ(v, c.expect) << c.text;
  }
  int v = 5;
  EXPECT_EQ(RES_getval("missing", &v, 2), 0);
  EXPECT_EQ(RES_getval("grid_type", nullptr, 2), 0);

  const struct { const char *text; const char *expect; } paths[] = {{"none", ""}, {"NONE", ""}, {"/data", "/data/"},
                                                                    {"/data/", "/data/"}};
  for (const auto &c : paths) {
    std::string p = "old";
    EXPECT_EQ(RES_conv_data(c.text, &p, 8), 1);
    EXPECT_EQ(p, c.expect);
  }
  int b = 7;
  RES_conv_data("Yes", &b, 1);
  EXPECT_EQ(b, 1);
  RES_conv_data("off", &b, 1);
  EXPECT_EQ(b, 0);
  RES_conv_data("maybe", &b, 1);
  EXPECT_EQ(b, 0);
  RES_conv_data(nullptr, &b, 1);
  EXPECT_EQ(b, 1);
  EXPECT_EQ(RES_conv_data(nullptr, &b, 2), 0);
  float f = 0;
  RES_conv_data("2.5", &f, 5);
  EXPECT_FLOAT_EQ(f, 2.5f);
}

TEST_F(ConfigTest, OverwritePolicyAndDevice) {
  const struct { const char *text; int flag; } cases[] = {
      {"App", 2}, {"use", 3}, {"REUSE", 3}, {"over", 1}, {"recalc", 1}, {"maybe", -9999}};
  for (const auto &c : cases) {
    FLAG_set(15, -9999);
    RES_conv_data(c.text, nullptr, 16);
    EXPECT_EQ(FLAG_get(15), c.flag) << c.text;
  }
  std::string rest;
  RES_conv_data("ps,out.ps", &rest, 17);
  EXPECT_EQ(FLAG_get(2), 4);
  EXPECT_EQ(rest, "out.ps");
  EXPECT_EQ(RES_set_device("quartz"), 5);
  EXPECT_EQ(RES_set_device("x"), 1);
}

TEST_F(ConfigTest, FixedFileTimeForms) {
  const struct { const char *text; int year, month, day, hour, minute; } cases[] = {
      {"12", -9999, -9999, -9999, 12, -9999},      {"0512", -9999, -9999, 5, 12, -9999},
      {"512", -9999, -9999, 5, 12, -9999},         {"010512", -9999, 1, 5, 12, -9999},
      {"#202401051230", 2024, 1, 5, 12, 30},       {"#2024010", 2024, 1, 0, -9999, -9999},
      {":30", -9999, -9999, -9999, -9999, 30},     {"-:15", -9999, -9999, -9999, -9999, -15},
      {"-0:30", -9999, -9999, -9999, -9999, -30},  {"-6", -9999, -9999, -9999, -6, -9999},
      {"-306", -9999, -9999, -9999, -306, -9999},  {"2d6:15", -9999, -9999, 2, 6, 15},
  };
  for (const auto &c : cases) {
    RES_conv_data(c.text, nullptr, 12);
    const DateRec &d = FILE_get_set_time();
    EXPECT_EQ(d.year, c.year) << c.text;
    EXPECT_EQ(d.month, c.month) << c.text;
    EXPECT_EQ(d.day, c.day) << c.text;
    EXPECT_EQ(d.hour, c.hour) << c.text;
    EXPECT_EQ(d.minute, c.minute) << c.text;
  }
}

TEST_F(ConfigTest, PlotTypeAndComponents) {
  RES_conv_data("Barb", nullptr, 18);
  EXPECT_EQ(FLAG_get(11), 22);
  RES_conv_data("unknown", nullptr, 18);
  EXPECT_EQ(FLAG_get(11), 22);
  RES_conv_data("-map", nullptr, 10);
  EXPECT_EQ(FLAG_getplot(8), 0);
  EXPECT_EQ(FLAG_getplot(7), 1);
  FLAG_resetplot(1);
  RES_conv_data("map", nullptr, 10);
  EXPECT_EQ(FLAG_getplot(8), 1);
  EXPECT_EQ(FLAG_getplot(7), 0);
  RES_conv_data("none,+text", nullptr, 10);
  EXPECT_EQ(FLAG_getplot(0), 6);
  EXPECT_EQ(FLAG_getplot(11), 1);
  EXPECT_EQ(FLAG_getplot(8), 0);
}

TEST_F(ConfigTest, HelpLines) {
  testing::internal::CaptureStdout();
  RES_help_item(73);
  RES_help_item(56);
  RES_help_item(12345);
  fflush(stdout);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            " -me level   Message level to be displayed:\n"
            "               none,print,error,warn,mess,out1,*out2,out3,out4,debug\n"
            " -gt number  Specific grid type (number) to use\n"
            "12345\n");
}

class PromptTest : public ConfigTest {
 protected:
  void answer(const std::string &text) { ASSERT_TRUE(freopen(dir.write("in", text).c_str(), "r", stdin)); }
};

TEST_F(PromptTest, SetCommandsThenAnswer) {
  answer("set grid_path /data/grids\nset data_path=/data\nset\nsettings.grb\n  file.grb  more\n");
  testing::internal::CaptureStdout();
  char buf[9];
  EXPECT_STREQ(KVZ_prompts("Q? ", buf, sizeof buf), "file.grb");
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_STREQ(RES_get("grid_path"), "/data/grids");
  EXPECT_STREQ(RES_get("data_path"), "/data");
  EXPECT_STREQ(RES_get("settings.grb"), nullptr);  // "settings.grb" was taken as "set" alone
  EXPECT_NE(out.find("Set resources\n"), std::string::npos);
  EXPECT_NE(out.find("grid_path: /data/grids\n"), std::string::npos);
}

TEST_F(PromptTest, AnswerWidthAndEmptyReplies) {
  answer("abcdefghijkl rest\n\n");
  char buf[9];
  testing::internal::CaptureStdout();
  EXPECT_STREQ(KVZ_prompts("Q? ", buf, sizeof buf), "abcdefgh");
  EXPECT_STREQ(KVZ_prompts("Q? ", buf, sizeof buf), "");
  EXPECT_STREQ(KVZ_prompts("Q? ", buf, sizeof buf), "");  // end of input
  EXPECT_STREQ(KVZ_prompts("Q? ", nullptr, 4), "");
  testing::internal::GetCapturedStdout();
}

TEST_F(PromptTest, NumberPrompt) {
  answer("abc\n12.5\n\n");
  testing::internal::CaptureStdout();
  EXPECT_FLOAT_EQ(KVZ_promptf("N? "), 12.5f);
  EXPECT_FLOAT_EQ(KVZ_promptf("N? "), 0.0f);
  EXPECT_FLOAT_EQ(KVZ_promptf("N? "), 0.0f);  // end of input
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(out, "N? N? N? N? ");
}

TEST_F(PromptTest, ExitEndsTheRun) {
  answer("EXIT\n");
  char buf[9];
  EXPECT_EXIT(KVZ_prompts("Q? ", buf, sizeof buf), testing::ExitedWithCode(0), "");
}

}  // namespace
