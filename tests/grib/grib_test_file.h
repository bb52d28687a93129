// Test helper for the GRIB decoder suites: a byte array written to a
// temporary file and opened as a GRIB grid file, closed and the decoder state
// reset when it goes.
#ifndef KVZ_TESTS_GRIB_GRIB_TEST_FILE_H
#define KVZ_TESTS_GRIB_GRIB_TEST_FILE_H

#include <cstdio>
#include <string>

#include "grib/grib.h"
#include "grid/grid.h"
#include "../test_support.h"
#include "grib_builder.h"

namespace gribtest {

class GribFile {
 public:
  explicit GribFile(const Bytes &bytes) : GribFile(std::string(bytes.begin(), bytes.end())) {}
  explicit GribFile(const std::string &bytes) {
    GRIB_reset();
    static int count = 0;
    path_ = dir().write("test" + std::to_string(++count) + ".grib", bytes);
    owned_ = true;
    open(path_);
  }
  // Opens an existing file (a real sample).
  explicit GribFile(const char *path) {
    GRIB_reset();
    path_ = path;
    open(path_);
  }
  ~GribFile() {
    if (handle_ >= 0) GRD_close(handle_);
    if (owned_) std::remove(path_.c_str());
    GRIB_reset();
  }
  GribFile(const GribFile &) = delete;
  GribFile &operator=(const GribFile &) = delete;

  int handle() const { return handle_; }
  FILE *fp() const { return GRD_get_gfile(handle_)->fp; }
  GridFile *gfile() const { return GRD_get_gfile(handle_); }
  long long tell() const { return static_cast<long long>(ftello(fp())); }
  const std::string &path() const { return path_; }

 private:
  // One directory for the whole test process: removing a directory per file is slow.
  static const kvztest::TempDir &dir() {
    static const kvztest::TempDir shared;
    return shared;
  }
  void open(const std::string &path) {
    int type = GRD_GRIB;
    handle_ = GRD_open(path.c_str(), 0, &type);
  }
  std::string path_;
  bool owned_ = false;
  int handle_ = -1;
};

}  // namespace gribtest

#endif
