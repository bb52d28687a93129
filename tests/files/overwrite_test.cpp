// Tests of the overwrite question: missing files, the file policy, batch mode
// and the answers to both prompt types.
#include "files/files.h"
#include "temp_dir.h"

#include "config/config.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr int kPolicyFlag = 15;
constexpr int kBatchFlag = 19;

class FileOverwrite : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(temp_.path().empty());
    existing_ = temp_.path() + "/eta.grb";
    FILE *fp = std::fopen(existing_.c_str(), "w");
    ASSERT_NE(nullptr, fp);
    std::fclose(fp);
    FLAG_set(kPolicyFlag, -9999);
    FLAG_set(kBatchFlag, 0);
    MESS_set(1, 0xF);  // show the prompt so its text can be checked
  }

  // Standard input holds reply; returns what is left of it after the call.
  std::string with_reply(const std::string &reply, int type, int &decision, std::string &shown) {
    const std::string input = temp_.path() + "/stdin.txt";
    FILE *fp = std::fopen(input.c_str(), "w");
    if (fp == nullptr) return "?";
    std::fputs(reply.c_str(), fp);
    std::fclose(fp);
    if (std::freopen(input.c_str(), "r", stdin) == nullptr) return "?";
    testing::internal::CaptureStdout();
    decision = FILE_overwrite(existing_.c_str(), type);
    std::fflush(stdout);
    shown = testing::internal::GetCapturedStdout();
    std::string rest;
    for (int c = std::getchar(); c != EOF; c = std::getchar()) rest += static_cast<char>(c);
    return rest;
  }

  TempDir temp_;
  std::string existing_;
};

}  // namespace

TEST_F(FileOverwrite, DecidesWithoutAskingWhenItCan) {
  int decision = -1;
  std::string shown;

  // A missing file or a standard stream is written from the start.
  EXPECT_EQ(1, FILE_overwrite((temp_.path() + "/new.grb").c_str(), 2));
  EXPECT_EQ(1, FILE_overwrite("-", 2));
  EXPECT_EQ(1, FILE_overwrite("", 1));
  EXPECT_EQ(1, FILE_overwrite(nullptr, 1));

  for (const int policy : {1, 2, 3}) {
    FLAG_set(kPolicyFlag, policy);
    EXPECT_EQ("y\n", with_reply("y\n", 2, decision, shown));
    EXPECT_EQ(policy, decision);
    EXPECT_EQ("", shown);
  }

  FLAG_set(kPolicyFlag, -9999);
  FLAG_set(kBatchFlag, 1);
  EXPECT_EQ("y\n", with_reply("y\n", 2, decision, shown));
  EXPECT_EQ(3, decision);
  EXPECT_EQ("", shown);

  FLAG_set(kBatchFlag, 0);
  EXPECT_EQ("y\n", with_reply("y\n", 5, decision, shown));  // no question of that type
  EXPECT_EQ(0, decision);
  EXPECT_EQ("", shown);
}

TEST_F(FileOverwrite, AnswersToTheQuestion) {
  const struct {
    int type;
    const char *reply;
    int decision;
  } cases[] = {
      {2, "Y\n", 1},    {2, "over\n", 1}, {2, "o\n", 1},  {2, "App\n", 2}, {2, "a\n", 2},
      {2, "N\n", 3},    {2, "use\n", 3},  {2, "x\n", 3},  {2, "\n", 3},    {2, "", 3},
      {2, "  yes\n", 1}, {1, "y\n", 1},   {1, "Over\n", 1}, {1, "App\n", 3}, {1, "n\n", 3},
      {1, "", 3},
  };
  for (const auto &c : cases) {
    int decision = -1;
    std::string shown;
    with_reply(c.reply, c.type, decision, shown);
    EXPECT_EQ(c.decision, decision) << c.type << " " << c.reply;
    const std::string question = (c.type == 2) ? ": exists overwrite (Y,N,Use,Over,App): "
                                               : ": exists overwrite (Y,N,Use,Over): ";
    EXPECT_EQ(existing_ + question, shown);
  }
}

TEST_F(FileOverwrite, LongPathsKeepTheWholeQuestion) {
  const std::string deep = temp_.path() + "/" + std::string(120, 'd') + "/eta.grb";
  FILE *fp = FILE_open(deep.c_str(), "w");
  ASSERT_NE(nullptr, fp);
  FILE_close(fp);
  existing_ = deep;
  int decision = -1;
  std::string shown;
  with_reply("a\n", 2, decision, shown);
  EXPECT_EQ(2, decision);
  EXPECT_EQ(deep + ": exists overwrite (Y,N,Use,Over,App): ", shown);
}
