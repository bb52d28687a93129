// A fixture for the file name tests: a clean start of the resources, messages,
// flags and file name state, a temporary directory holding the name-convention
// file and the data files, and helpers to make dates and files.
#ifndef KVZ_TESTS_FILES_NAMES_FIXTURE_H
#define KVZ_TESTS_FILES_NAMES_FIXTURE_H

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "../test_support.h"
#include "config/config.h"
#include "date/date.h"
#include "files/files.h"

#include <unistd.h>


namespace kvztest {

// Works in another directory while the object lives.
class WorkingDirectory {
 public:
  explicit WorkingDirectory(const std::string &path) {
    char buffer[4096];
    if (getcwd(buffer, sizeof buffer) != nullptr) previous_ = buffer;
    EXPECT_EQ(chdir(path.c_str()), 0) << path;
  }
  ~WorkingDirectory() {
    if (!previous_.empty() && chdir(previous_.c_str()) != 0) ADD_FAILURE() << previous_;
  }
  WorkingDirectory(const WorkingDirectory &) = delete;
  WorkingDirectory &operator=(const WorkingDirectory &) = delete;

 private:
  std::string previous_;
};

}  // namespace kvztest

class NamesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    kvztest::clear_kvz_environment();
    setenv("kvzdefault", dir.path().c_str(), 1);
    RES_reset();
    MESS_reset();
    FLAG_reset(-9999);
    FILE_names_reset();
    RES_put("file_path", dir.path().c_str());
  }
  void TearDown() override {
    MESS_reset();
    unsetenv("kvzcurtime");
  }

  // Installs a name-convention file and selects the data set.
  int convention(const std::string &entries, const char *data_set) {
    dir.write("name_conv", entries);
    return FILE_set_name(data_set);
  }

  std::string data_file(const std::string &name, size_t size = 10) const {
    return dir.write(name, std::string(size, 'x'));
  }

  static DateRec date(int year, int month, int day, int hour, int minute = 0) {
    return DateRec{year, month, day, -9999, -9999, hour, minute, 0};
  }

  static DateRec fixed(int year, int month, int day, int hour, int minute) {
    return DateRec{year, month, day, -9999, -9999, hour, minute, 0};
  }

  static std::string expand(const DateRec &d) {
    std::string name;
    FILE_set_date(&d, &name);
    return name;
  }

  static std::string typed(const char *name) {
    std::string result;
    FILE_set_file(name, &result);
    return result;
  }

  static DateRec file_date() {
    DateRec d{};
    FILE_get_date(&d);
    return d;
  }

  kvztest::TempDir dir;
};

#endif
