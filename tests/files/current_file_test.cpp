// Tests of the current-file selection and the input file dialogue: "cu" and
// "la" selections with offsets and counts against a directory of dated files
// (the clock fixed by "kvzcurtime"), the order of the input file sources, the
// prompt and its answers, and the file listing.
#include <cstdio>

#include "names_fixture.h"

namespace {

class CurrentFile : public NamesTest {
 protected:
  void SetUp() override {
    NamesTest::SetUp();
    RES_put("grid_path", dir.path().c_str());
    FILE_set_name("@%G/eta_%y%m%d%3h.grb");
    setenv("kvzcurtime", "202401051420", 1);  // 14:20 UTC
  }

  std::string select(const char *text) {
    std::string name;
    FILE_set_current(text, &name);
    return name.substr(name.rfind('/') + 1);
  }

  static int32_t seconds(int year, int month, int day, int hour, int minute = 0) {
    DateRec d{year, month, day, -9999, -9999, hour, minute, 0};
    return DATE_num_sec(&d);
  }

  // Standard input reads the text given.
  void answers(const std::string &text) {
    const std::string path = dir.write("answers", text);
    ASSERT_NE(std::freopen(path.c_str(), "r", stdin), nullptr);
  }
};

TEST_F(CurrentFile, CurrentTimeAndOffsets) {
  const struct {
    const char *text;
    const char *name;
  } cases[] = {
      {"", "eta_24010512.grb"},        {"-6", "eta_24010506.grb"},   {"6", "eta_24010506.grb"},
      {"+3", "eta_24010515.grb"},      {"-1d", "eta_24010412.grb"},  {"1d2:30", "eta_24010409.grb"},
      {"-6+3", "eta_24010509.grb"},    {"#2024010500", "eta_24010500.grb"},
      {"#2024", "eta_24010100.grb"},   {"#20240105013", "eta_24010500.grb"},
      {"#x", "eta_24010512.grb"},
  };
  for (const auto &c : cases) EXPECT_EQ(select(c.text), c.name) << c.text;
  EXPECT_FALSE(select("99999999999999d99999999999:999999999999").empty());

  // The time returned is rounded down to the template's period.
  EXPECT_EQ(FILE_set_current("", nullptr), seconds(2024, 1, 5, 12));
  FILE_set_name("@%G/eta_%y%m%d.grb");
  EXPECT_EQ(FILE_set_current("", nullptr), seconds(2024, 1, 5, 0));
  FILE_set_name("@%G/eta_%y%m.grb");  // no period: the time itself
  EXPECT_EQ(FILE_set_current("", nullptr), seconds(2024, 1, 5, 14, 20));
}

TEST_F(CurrentFile, FixedHourPullsTheTimeBack) {
  setenv("kvzcurtime", "#202401050800", 1);
  FILE_set_time(fixed(-9999, -9999, -9999, 12, -9999));
  EXPECT_EQ(select(""), "eta_24010412.grb");
  FILE_set_time(fixed(-9999, -9999, 20, -9999, -9999));
  EXPECT_EQ(select(""), "eta_23122006.grb");
}

TEST_F(CurrentFile, LatestFileSearch) {
  data_file("eta_24010509.grb");
  data_file("eta_24010506.grb");
  data_file("eta_24010412.grb");
  data_file("eta_24010512.grb", 0);  // empty: does not count
  EXPECT_EQ(select("la"), "eta_24010509.grb");
  EXPECT_EQ(select(nullptr), "eta_24010509.grb");
  EXPECT_EQ(select("LA"), "eta_24010509.grb");
  EXPECT_EQ(select("la#1"), "eta_24010509.grb");   // one try, then one period on
  EXPECT_EQ(select("la#2"), "eta_24010509.grb");
  EXPECT_EQ(select("la#0"), "eta_24010512.grb");   // no search
  EXPECT_EQ(select("la-1d"), "eta_24010409.grb");
  EXPECT_EQ(select("-6la"), "eta_24010506.grb");
  EXPECT_EQ(select("+la"), "eta_24030800.grb");   // forwards: nothing later, so 500 periods on
  setenv("kvzcurtime", "202401041300", 1);
  EXPECT_EQ(select("la"), "eta_24010412.grb");
}

TEST_F(CurrentFile, LatestSearchWithMinimumSizeAndNoPeriod) {
  dir.write("name_conv",
            "grib_big %G/eta_%y%m%d%3h.grb - 100\n"
            "grib_month %G/m_%y%m.grb -\n");
  RES_put("file_path", dir.path().c_str());
  data_file("eta_24010509.grb", 50);
  data_file("eta_24010506.grb", 500);
  FILE_set_name("grib_big");
  EXPECT_EQ(select("la"), "eta_24010506.grb");
  // Without a period only the one name is tried.
  FILE_set_name("grib_month");
  EXPECT_EQ(select("la"), "m_2401.grb");
}

// ---- the input file sources --------------------------------------------------

TEST_F(CurrentFile, FirstFileNameWins) {
  const std::string file = data_file("given.grb");
  kvztest::start_program({"-cu", "-gp", dir.path(), file, "other.grb"});
  FILE_set_name("@%G/eta_%y%m%d%3h.grb");
  std::string name;
  EXPECT_EQ(FILE_get_file("Enter the grid filename: ", &name), 1);
  EXPECT_EQ(name, file);

  kvztest::start_program({"-gp", dir.path(), "eta_24010509.grb"});
  EXPECT_EQ(FILE_get_file("Enter the grid filename: ", &name), 0);
  EXPECT_EQ(name, dir.file("eta_24010509.grb"));
  DateRec d{};
  FILE_get_date(&d);
  EXPECT_EQ(d.hour, 9);
}

TEST_F(CurrentFile, CurrentOptionAndBatchMode) {
  data_file("eta_24010509.grb");
  kvztest::start_program({"-cu", "3", "-gp", dir.path()});
  std::string name;
  testing::internal::CaptureStdout();
  EXPECT_EQ(FILE_get_file("Enter the grid filename: ", &name), 1);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Current filename: " + name + "\n");
  EXPECT_EQ(name, dir.file("eta_24010509.grb"));

  kvztest::start_program({"-ba", "-gp", dir.path()});
  EXPECT_EQ(FILE_get_file("Enter the grid filename: ", &name), 1);
  EXPECT_EQ(name, dir.file("eta_24010509.grb"));

  kvztest::start_program({"-cu", "-gp", dir.path()});
  EXPECT_EXIT(FILE_get_file("Enter the grid filename: ", &name), testing::ExitedWithCode(10),
              "File not found: .*eta_24010512.grb\n");
  unsetenv("kvzcurtime");
  setenv("kvzcurtime", "202301010000", 1);
  kvztest::start_program({"-ba", "-gp", dir.path()});
  EXPECT_EXIT(FILE_get_file("Enter the grid filename: ", &name), testing::ExitedWithCode(10),
              "File not found: ");
  FILE_set_name("none");
  EXPECT_EXIT(FILE_get_file("Enter the grid filename: ", &name), testing::ExitedWithCode(10),
              "No file name given\n");
}

TEST_F(CurrentFile, PromptAnswers) {
  data_file("eta_24010509.grb");
  data_file("latest.grb");
  kvztest::start_program({"-gp", dir.path()});
  const kvztest::WorkingDirectory here(dir.path());
  const char *prompt = "Enter the grid filename: ";
  std::string name;

  answers("nofile\n\nla\n");
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  EXPECT_EQ(FILE_get_file(prompt, &name), 1);
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "File not found: nofile\nNo file name given\n");
  EXPECT_EQ(name, dir.file("eta_24010509.grb"));
  EXPECT_EQ(out, "List of available files:\n" + dir.path() + "/eta_24010509.grb\n\n" + prompt + prompt +
                     prompt + "Current filename: " + name + "\n");

  // A name that begins like a selection but names a file is that file.
  answers("latest.grb\n");
  EXPECT_EQ(FILE_get_file(prompt, &name), 1);
  EXPECT_EQ(name, "latest.grb");

  answers("cu-3\n");
  EXPECT_EQ(FILE_get_file(prompt, &name), 1);
  EXPECT_EQ(name, dir.file("eta_24010509.grb"));

  // "list" shows the files again without using up a try.
  answers("list\nlist\nx\nx\nx\neta_24010509.grb\n");
  testing::internal::CaptureStdout();
  EXPECT_EQ(FILE_get_file(prompt, &name), 1);
  const std::string listed = testing::internal::GetCapturedStdout();
  EXPECT_EQ(name, "eta_24010509.grb");
  size_t count = 0;
  for (size_t at = listed.find("/eta_"); at != std::string::npos; at = listed.find("/eta_", at + 1)) ++count;
  EXPECT_EQ(count, 3u);
}

TEST_F(CurrentFile, PromptGivesUp) {
  kvztest::start_program({"-gp", dir.path()});
  const char *prompt = "Enter the grid filename: ";
  std::string name;
  answers("a\nb\nc\nd\ne.grb\n");
  EXPECT_EXIT(FILE_get_file(prompt, &name), testing::ExitedWithCode(10), "File not found: d\n$");
  answers("exit\n");
  EXPECT_EXIT(FILE_get_file(prompt, &name), testing::ExitedWithCode(0), "");
  // The end of the input ends the dialogue.
  answers("a\n");
  EXPECT_EXIT(FILE_get_file(prompt, &name), testing::ExitedWithCode(10),
              "File not found: a\nNo file name given: end of input\n$");
  kvztest::start_program({"list"});
  EXPECT_EXIT(FILE_get_file(prompt, &name), testing::ExitedWithCode(0), "");
}

TEST_F(CurrentFile, ListingMatchesTheTemplateLiterally) {
  data_file("eta_24010509.grb");
  data_file("eta_24010512.grb");
  data_file("eta_2401051.grb");
  data_file("ngm_24010512.grb");
  FILE_set_key('v', "x*; touch injected");
  FILE_set_name("@%G/eta_%y%m%d%3h.grb");
  testing::internal::CaptureStdout();
  FILE_list_file();
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            dir.path() + "/eta_24010509.grb  " + dir.path() + "/eta_24010512.grb\n");

  // Key text is matched as it stands and never runs as a command.
  FILE_set_name("@%G/eta_%v");
  testing::internal::CaptureStdout();
  FILE_list_file();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_FALSE(FILE_exist("injected"));
}

}  // namespace

// The program itself never waits for an answer that cannot come.
TEST(CurrentFileProgram, NoInputEndsThePrompt) {
  kvztest::TempDir dir;
  const std::vector<std::string> env = {"kvzdefault=" + dir.path()};
  auto r = kvztest::run_program({}, env, dir.path(), "");
  EXPECT_EQ(r.status, 10);
  EXPECT_NE(r.err.find("No file name given: end of input\n"), std::string::npos) << r.err;
  r = kvztest::run_program({}, env, dir.path(), "one\ntwo");
  EXPECT_EQ(r.status, 10);
  EXPECT_NE(r.err.find("File not found: one\nFile not found: two\nNo file name given: end of input\n"),
            std::string::npos)
      << r.err;
  r = kvztest::run_program({"-ba"}, env, dir.path(), "");
  EXPECT_EQ(r.status, 10);
}
