// Building netCDF datasets for the tests with the library's C API, every call
// checked, and reading grid files back through the grid layer.
#ifndef KVZ_TESTS_GRID_NETCDF_BUILDER_H
#define KVZ_TESTS_GRID_NETCDF_BUILDER_H

#include <gtest/gtest.h>
#include <netcdf.h>

#include <string>
#include <vector>

#include "grid/grid.h"

namespace kvztest {

class NcBuilder {
 public:
  explicit NcBuilder(const std::string &path) { EXPECT_EQ(nc_create(path.c_str(), NC_CLOBBER, &id_), NC_NOERR); }
  ~NcBuilder() {
    if (open_) close();
  }
  int dim(const char *name, size_t len) {
    int d = -1;
    EXPECT_EQ(nc_def_dim(id_, name, len, &d), NC_NOERR) << name;
    return d;
  }
  int var(const char *name, nc_type type, const std::vector<int> &dims, const char *units = nullptr) {
    int v = -1;
    EXPECT_EQ(nc_def_var(id_, name, type, static_cast<int>(dims.size()), dims.data(), &v), NC_NOERR) << name;
    if (units) text_att(v, "units", units);
    return v;
  }
  void text_att(int var, const char *name, const std::string &text) {
    EXPECT_EQ(nc_put_att_text(id_, var, name, text.size(), text.data()), NC_NOERR) << name;
  }
  void short_att(const char *name, short value) {
    EXPECT_EQ(nc_put_att_short(id_, NC_GLOBAL, name, NC_SHORT, 1, &value), NC_NOERR) << name;
  }
  void end() { EXPECT_EQ(nc_enddef(id_), NC_NOERR); }
  void put(int var, const std::vector<double> &values) {
    EXPECT_EQ(nc_put_var_double(id_, var, values.data()), NC_NOERR);
  }
  void put_text(int var, const std::vector<size_t> &start, const std::vector<size_t> &count, const std::string &t) {
    EXPECT_EQ(nc_put_vara_text(id_, var, start.data(), count.data(), t.data()), NC_NOERR);
  }
  void put_at(int var, const std::vector<size_t> &start, const std::vector<size_t> &count,
              const std::vector<double> &values) {
    EXPECT_EQ(nc_put_vara_double(id_, var, start.data(), count.data(), values.data()), NC_NOERR);
  }
  void close() {
    EXPECT_EQ(nc_close(id_), NC_NOERR);
    open_ = false;
  }
  int id() const { return id_; }

 private:
  int id_ = -1;
  bool open_ = true;
};

// A grid file read through the grid layer: the information, every grid with
// values (or headers only), and what was printed to standard error meanwhile.
struct ReadBack {
  int getinfo = -2;
  GridFileInfo info{};
  int subtype = 0;
  std::vector<GridRecord> grids;
  std::string err;
};

inline ReadBack read_grids(const std::string &path, int mode = 0, int most = 10000) {
  ReadBack r;
  testing::internal::CaptureStderr();
  int type = 0;
  const int h = GRD_open(path.c_str(), 0, &type);
  if (h >= 0) {
    r.getinfo = GRD_getinfo(h, &r.info);
    r.subtype = GRD_get_gfile(h)->subtype;
    for (int n = 0; n < most; ++n) {
      GridRecord g{};
      GRD_init(&g);
      int number = n;
      if (GRD_read(h, &g, mode, &number) != 0) break;
      r.grids.push_back(std::move(g));
    }
    GRD_close(h);
  }
  r.err = testing::internal::GetCapturedStderr();
  return r;
}

}  // namespace kvztest

#endif
