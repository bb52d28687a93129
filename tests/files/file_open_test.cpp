// Tests of FILE_open and FILE_close: standard streams, pipes, created parent
// directories, and closing each kind of stream the right way.
#include "files/files.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <string>

namespace {

std::string read_all(FILE *fp) {
  std::string text;
  char chunk[256];
  size_t n = 0;
  while ((n = std::fread(chunk, 1, sizeof chunk, fp)) > 0) text.append(chunk, n);
  return text;
}

bool is_directory(const std::string &path) {
  struct stat status;
  return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool is_regular(const std::string &path) {
  struct stat status;
  return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

}  // namespace

TEST(FileOpen, StandardStreamNames) {
  const char *names[] = {"", "-", "std", "STD", "stdn", "StdN"};
  for (const char *name : names) {
    EXPECT_EQ(stdin, FILE_open(name, "r")) << name;
    EXPECT_EQ(stdin, FILE_open(name, "rb")) << name;
    EXPECT_EQ(stdout, FILE_open(name, "w")) << name;
    EXPECT_EQ(stdout, FILE_open(name, "a")) << name;
  }
  // Closing a standard stream leaves it open.
  EXPECT_EQ(0, FILE_close(FILE_open("-", "w")));
  EXPECT_EQ(0, FILE_close(stderr));
  EXPECT_GE(std::fprintf(stdout, "%s", ""), 0);
  EXPECT_EQ(0, std::fflush(stdout));
  EXPECT_NE(-1, fileno(stdout));
}

TEST(FileOpen, WritesAndReadsThroughPipes) {
  TempDir temp;
  ASSERT_FALSE(temp.path().empty());
  const std::string gz = temp.path() + "/out.gz";
  const std::string text = "GRIB pipe test\nsecond line\n";

  FILE *out = FILE_open(("|gzip -c > " + gz).c_str(), "wb");  // binary letter accepted for pipes
  ASSERT_NE(nullptr, out);
  std::fputs(text.c_str(), out);
  EXPECT_EQ(0, FILE_close(out));
  EXPECT_TRUE(is_regular(gz));

  FILE *in = FILE_open(("|gzip -dc < " + gz).c_str(), "r");
  ASSERT_NE(nullptr, in);
  EXPECT_EQ(text, read_all(in));
  EXPECT_EQ(0, FILE_close(in));
}

TEST(FileOpen, PipeStatusComesBackFromClose) {
  FILE *fp = FILE_open("|exit 3", "r");
  ASSERT_NE(nullptr, fp);
  EXPECT_EQ("", read_all(fp));
  const int status = FILE_close(fp);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(3, WEXITSTATUS(status));

  EXPECT_EQ(nullptr, FILE_open("|", "r"));
  EXPECT_EQ(nullptr, FILE_open("|   ", "w"));
}

TEST(FileOpen, WritingCreatesMissingParentDirectories) {
  TempDir temp;
  ASSERT_FALSE(temp.path().empty());
  const std::string &t = temp.path();

  FILE *fp = FILE_open((t + "/grids/new/x.grd").c_str(), "w");
  ASSERT_NE(nullptr, fp);
  std::fputs("data", fp);
  EXPECT_EQ(0, FILE_close(fp));
  EXPECT_TRUE(is_directory(t + "/grids/new"));
  EXPECT_TRUE(is_regular(t + "/grids/new/x.grd"));

  fp = FILE_open((t + "/logs/run.log").c_str(), "a");
  ASSERT_NE(nullptr, fp);
  EXPECT_EQ(0, FILE_close(fp));
  EXPECT_TRUE(is_regular(t + "/logs/run.log"));

  fp = FILE_open((t + "/grids/new/x.grd").c_str(), "a+");
  ASSERT_NE(nullptr, fp);
  std::fputs("more", fp);
  std::rewind(fp);
  EXPECT_EQ("datamore", read_all(fp));
  EXPECT_EQ(0, FILE_close(fp));

  // Reading creates nothing and reports a missing file by its result alone.
  EXPECT_EQ(nullptr, FILE_open((t + "/none/x.grd").c_str(), "r"));
  EXPECT_FALSE(is_directory(t + "/none"));
  EXPECT_EQ(nullptr, FILE_open((t + "/x.grd/y").c_str(), "r"));
}

TEST(FileOpen, BadArgumentsGiveNoStream) {
  EXPECT_EQ(nullptr, FILE_open(nullptr, "r"));
  EXPECT_EQ(nullptr, FILE_open("x", nullptr));
  EXPECT_EQ(nullptr, FILE_open("x", ""));
  EXPECT_EQ(EOF, FILE_close(nullptr));
}
