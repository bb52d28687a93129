// Tests of path joining, standard stream names, '~' expansion, the existence,
// directory and size tests, and directory creation.
#include "files/files.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace {

std::string current_home() {
  const passwd *entry = getpwuid(getuid());
  return (entry != nullptr && entry->pw_dir != nullptr) ? entry->pw_dir : "";
}

bool is_directory(const std::string &path) {
  struct stat status;
  return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool exists(const std::string &path) {
  struct stat status;
  return stat(path.c_str(), &status) == 0;
}

}  // namespace

TEST(FilePaths, NameClasses) {
  const struct {
    const char *name;
    int stdio;
    int full;
  } cases[] = {
      {"", 1, 0},         {"-", 1, 0},          {"std", 1, 0},      {"STD", 1, 0},  {"Stdn", 1, 0},
      {"--", 0, 0},       {"stdout", 0, 0},     {"std/x", 0, 0},    {"/tmp/a", 0, 1}, {"./a", 0, 1},
      {"../a", 0, 1},     {"~/a", 0, 1},        {"~bob", 0, 1},     {"eta.grb", 0, 0}, {"|gzip -dc", 0, 0},
  };
  for (const auto &c : cases) {
    EXPECT_EQ(c.stdio, FILE_is_stdio(c.name)) << c.name;
    EXPECT_EQ(c.full, FILE_fullpath(c.name)) << c.name;
  }
  EXPECT_EQ(0, FILE_is_stdio(nullptr));
  EXPECT_EQ(0, FILE_fullpath(nullptr));
}

TEST(FilePaths, AddPathJoinsDirectoryAndName) {
  const struct {
    const char *dir;
    const char *name;
    const char *result;
  } cases[] = {
      {"/data", "eta.grb", "/data/eta.grb"},
      {"/data/", "eta.grb", "/data/eta.grb"},
      {"/data", "./eta.grb", "./eta.grb"},
      {"/data", "/tmp/eta.grb", "/tmp/eta.grb"},
      {"/data", "~/eta.grb", "~/eta.grb"},
      {nullptr, "eta.grb", "eta.grb"},
      {"", "eta.grb", "eta.grb"},
      {"/data", "-", "-"},
      {"/data", "", ""},
      {"/data", "STDN", "STDN"},
      {"grids", "sub/eta.grb", "grids/sub/eta.grb"},
  };
  for (const auto &c : cases) {
    std::string result = "stale";
    EXPECT_STREQ(c.result, FILE_add_path(c.dir, c.name, result)) << c.name;
    EXPECT_EQ(c.result, result);
  }

  std::string result = "/data";
  EXPECT_STREQ("/data/eta.grb", FILE_add_path(result.c_str(), "eta.grb", result));  // result as directory

  const struct {
    const char *path;
    const char *result;
  } delims[] = {{"", ""}, {"a", "a/"}, {"a/", "a/"}, {"/", "/"}};
  for (const auto &d : delims) {
    std::string path = d.path;
    EXPECT_EQ(0, FILE_add_path_delim(path));
    EXPECT_EQ(d.result, path);
  }
}

TEST(FilePaths, UserPathExpandsHomeFromTheUserDatabase) {
  const std::string home = current_home();
  ASSERT_FALSE(home.empty());
  setenv("HOME", "/nonexistent-home-for-test", 1);  // the user database decides, not HOME

  const passwd *root = getpwnam("root");
  const std::string root_home = (root != nullptr) ? root->pw_dir : "";
  const std::string long_user = "~" + std::string(64, 'u') + "/x";

  const struct {
    std::string path;
    std::string result;
  } cases[] = {
      {"~", home},
      {"~/", home + "/"},
      {"~/grids/new/x.grd", home + "/grids/new/x.grd"},
      {"~nosuchuser4711/x.grd", "~nosuchuser4711/x.grd"},
      {long_user, long_user},
      {"/data/~/x", "/data/~/x"},
      {"eta.grb", "eta.grb"},
      {"", ""},
  };
  for (const auto &c : cases) {
    std::string result = "stale";
    EXPECT_EQ(0, FILE_add_user_path(c.path.c_str(), result)) << c.path;
    EXPECT_EQ(c.result, result) << c.path;
  }
  if (!root_home.empty()) {
    std::string result;
    FILE_add_user_path("~root/etc/x", result);
    EXPECT_EQ(root_home + "/etc/x", result);
    FILE_add_user_path("~root", result);
    EXPECT_EQ(root_home, result);
  }
  std::string result = "stale";
  EXPECT_EQ(0, FILE_add_user_path(nullptr, result));
  EXPECT_EQ("", result);
}

TEST(FilePaths, ExistenceDirectoryAndSize) {
  TempDir temp;
  ASSERT_FALSE(temp.path().empty());
  const std::string file = temp.path() + "/five.txt";
  FILE *fp = std::fopen(file.c_str(), "w");
  ASSERT_NE(nullptr, fp);
  std::fputs("12345", fp);
  std::fclose(fp);

  // A sparse file beyond 4 GiB: sizes are 64-bit.
  const std::string big = temp.path() + "/big.grb";
  fp = std::fopen(big.c_str(), "w");
  ASSERT_NE(nullptr, fp);
  const long long big_size = 5LL * 1024 * 1024 * 1024 + 3;
  const bool sparse_ok = ftruncate(fileno(fp), static_cast<off_t>(big_size)) == 0;
  std::fclose(fp);

  const std::string missing = temp.path() + "/missing";
  const struct {
    std::string path;
    int exist;
    int dir;
    long long size;
  } cases[] = {
      {file, 1, 0, 5},
      {temp.path(), 1, 1, -2},  // a directory's size depends on the file system
      {missing, 0, 0, -1},
      {"-", 1, 0, -1},
      {"", 1, 0, -1},
  };
  for (const auto &c : cases) {
    EXPECT_EQ(c.exist, FILE_exist(c.path.c_str())) << c.path;
    EXPECT_EQ(c.dir, FILE_is_dir(c.path.c_str())) << c.path;
    if (c.size != -2) {
      EXPECT_EQ(c.size, FILE_size(c.path.c_str())) << c.path;
    }
  }
  if (sparse_ok) {
    EXPECT_EQ(big_size, FILE_size(big.c_str()));
  }

  EXPECT_EQ(0, FILE_exist(nullptr));
  EXPECT_EQ(0, FILE_is_dir(nullptr));
  EXPECT_EQ(-1, FILE_size(nullptr));
  EXPECT_EQ(is_directory(current_home()) ? 1 : 0, FILE_is_dir("~"));
}

TEST(FilePaths, MakeDirCreatesMissingParents) {
  TempDir temp;
  ASSERT_FALSE(temp.path().empty());
  const std::string &t = temp.path();

  std::string path = t + "/grids/new/x.grd";
  EXPECT_EQ(0, FILE_make_dir(path, 1));
  EXPECT_TRUE(is_directory(t + "/grids"));
  EXPECT_TRUE(is_directory(t + "/grids/new"));
  EXPECT_FALSE(exists(t + "/grids/new/x.grd"));
  const mode_t mask = umask(0);
  umask(mask);
  struct stat status;
  ASSERT_EQ(0, stat((t + "/grids").c_str(), &status));
  EXPECT_EQ(0755u & ~mask, status.st_mode & 0777u);
  EXPECT_EQ(1, FILE_make_dir(path, 1));  // the parent exists now

  path = t + "\\win\\dir\\y.grd";
  EXPECT_EQ(0, FILE_make_dir(path, 1));
  EXPECT_EQ(t + "/win/dir/y.grd", path);  // changed in place
  EXPECT_TRUE(is_directory(t + "/win/dir"));
  EXPECT_FALSE(exists(t + "/win/dir/y.grd"));

  path = t + "//doubled//slashes/z.grd";
  EXPECT_EQ(0, FILE_make_dir(path, 1));
  EXPECT_TRUE(is_directory(t + "/doubled/slashes"));

  path = t + "/all/of/it/";  // trailing '/' dropped, nothing skipped: every component made
  EXPECT_EQ(0, FILE_make_dir(path, 0));
  EXPECT_TRUE(is_directory(t + "/all/of/it"));

  path = t + "/skip/two/a/b";
  EXPECT_EQ(0, FILE_make_dir(path, 2));
  EXPECT_TRUE(is_directory(t + "/skip/two"));
  EXPECT_FALSE(exists(t + "/skip/two/a"));

  path = "";
  EXPECT_EQ(0, FILE_make_dir(path, 1));
  path = t + "/p/q";
  EXPECT_EQ(0, FILE_make_dir(path, 99));  // more to skip than there are components
  EXPECT_FALSE(exists(t + "/p"));
}
