// A fixture for the naming tests: a clean resource database, message level and
// naming state, and lookup tables written into a directory of the test's own
// that the "file_path" resource points at (or the tables shipped in etc/).
#ifndef KVZ_TESTS_NAMING_NAMING_FIXTURE_H
#define KVZ_TESTS_NAMING_NAMING_FIXTURE_H

#include <gtest/gtest.h>

#include <string>

#include "../test_support.h"
#include "config/config.h"
#include "naming/naming.h"

class NamingTest : public testing::Test {
 protected:
  void SetUp() override {
    RES_reset();
    MESS_reset();
    VAR_reset();
    RES_put("file_path", dir.path().c_str());
  }
  void TearDown() override {
    MESS_reset();
    VAR_reset();
  }

  // Writes a lookup table where the naming functions look for it; the tables
  // read so far are forgotten.
  void table(const std::string &name, const std::string &text) {
    dir.write(name, text);
    VAR_reset();
  }
  static void use_shipped_tables() {
    RES_put("file_path", KVZ_SOURCE_DIR "/etc/");
    VAR_reset();
  }

  kvztest::TempDir dir;
};

#endif
