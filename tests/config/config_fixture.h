// A fixture that gives each configuration test a clean start: no resources,
// default message level, no kvz environment, and definition files read only
// from a temporary directory of the test's own.
#ifndef KVZ_TESTS_CONFIG_FIXTURE_H
#define KVZ_TESTS_CONFIG_FIXTURE_H

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "../test_support.h"
#include "config/config.h"
#include "date/date.h"


class ConfigTest : public ::testing::Test {
 protected:
  void SetUp() override {
    kvztest::clear_kvz_environment();
    setenv("kvzdefault", dir.path().c_str(), 1);
    RES_reset();
    MESS_reset();
    FLAG_reset(-9999);
    FLAG_resetplot(1);
    DEF_name("");
    DEF_clr_tag();
  }
  void TearDown() override { MESS_reset(); }

  // Writes the definition file that the default search finds in the test directory.
  void definitions(const std::string &text) { dir.write("kvz.cfg", text); }

  kvztest::TempDir dir;
};

#endif
