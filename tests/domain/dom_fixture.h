// A fixture for the domain text and station tests: no resources,
// default message level and flags, and "file_path" pointing at a temporary
// directory of the test's own where region and station files are written.
#ifndef KVZ_TESTS_DOMAIN_DOM_FIXTURE_H
#define KVZ_TESTS_DOMAIN_DOM_FIXTURE_H

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "../test_support.h"
#include "config/config.h"
#include "domain/domain.h"

class DomTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RES_reset();
    MESS_reset();
    FLAG_reset(-9999);
    RES_put("file_path", dir.path().c_str());
  }
  void TearDown() override { MESS_reset(); }

  // DOM_decode into d with the output captured.
  int decode(const std::string &text) {
    int result = 0;
    capture([&] { result = DOM_decode(text.c_str(), d); });
    return result;
  }

  std::string write(const std::string &name, const std::string &text) { return dir.write(name, text); }

  // Runs the call with standard output and error captured.
  template <class F> void capture(F call) {
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    call();
    fflush(stdout);
    out = testing::internal::GetCapturedStdout();
    err = testing::internal::GetCapturedStderr();
  }

  kvztest::TempDir dir;
  Domain d{};
  std::string out, err;
};

#endif
