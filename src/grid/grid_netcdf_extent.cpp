// Whether a netCDF file holds all the data its header declares.  The library
// opens a file cut short and reads the missing values as zeros; the readers
// refuse such a file instead.  The size a complete file has at least is the
// header (as the classic and 64-bit offset formats lay it out) plus every
// fixed variable and every record, each padded to four bytes as the format
// stores them; the library extends every file it closes to that size.
#include <algorithm>
#include <cstring>

#include "grid/grid_netcdf.h"

namespace {

constexpr int64_t kHuge = int64_t{1} << 62;

int64_t times(int64_t a, int64_t b) { return a != 0 && b > kHuge / a ? kHuge : a * b; }
int64_t plus(int64_t a, int64_t b) { return std::min(kHuge, a + b); }
int64_t pad4(int64_t n) { return n >= kHuge ? kHuge : (n + 3) / 4 * 4; }
int64_t name_bytes(const char *name) { return 4 + pad4(static_cast<int64_t>(strlen(name))); }

struct Counter {
  int ncid;
  const char *who;
  bool ok = true;
  bool check(int status, const char *what) {
    ok = ok && grid_nc_ok(ncid, who, what, status);
    return ok;
  }
};

// An attribute list: its tag and count, then name, type, count and values of each.
int64_t att_list_bytes(Counter &c, int varid, int natts) {
  int64_t n = 8;
  for (int a = 0; a < natts && c.ok; ++a) {
    char name[NC_MAX_NAME + 1] = "";
    nc_type type = NC_NAT;
    size_t len = 0;
    if (!c.check(nc_inq_attname(c.ncid, varid, a, name), "reading an attribute name") ||
        !c.check(nc_inq_att(c.ncid, varid, name, &type, &len), "reading an attribute"))
      return 0;
    const int64_t values = times(static_cast<int64_t>(std::min<size_t>(len, kHuge)),
                                 static_cast<int64_t>(grid_nc_type_size(type)));
    n = plus(n, plus(name_bytes(name) + 8, pad4(values)));
  }
  return n;
}

// The header of the classic and 64-bit offset formats; 0 (a bound that always
// holds) for the other formats.
int64_t header_bytes(Counter &c, int nvars) {
  int format = 0, ndims = 0, natts = 0;
  if (!c.check(nc_inq_format(c.ncid, &format), "reading the format")) return 0;
  if (format != NC_FORMAT_CLASSIC && format != NC_FORMAT_64BIT_OFFSET) return 0;
  const int64_t begin = format == NC_FORMAT_CLASSIC ? 4 : 8;
  if (!c.check(nc_inq_ndims(c.ncid, &ndims), "counting the dimensions") ||
      !c.check(nc_inq_natts(c.ncid, &natts), "counting the attributes"))
    return 0;
  int64_t n = 8 + 8;  // magic and record count, dimension list tag and count
  for (int d = 0; d < ndims; ++d) {
    char name[NC_MAX_NAME + 1] = "";
    if (!c.check(nc_inq_dimname(c.ncid, d, name), "reading a dimension name")) return 0;
    n = plus(n, name_bytes(name) + 4);
  }
  n = plus(n, att_list_bytes(c, NC_GLOBAL, natts) + 8);
  for (int v = 0; v < nvars && c.ok; ++v) {
    char name[NC_MAX_NAME + 1] = "";
    int vdims = 0, vatts = 0;
    if (!c.check(nc_inq_var(c.ncid, v, name, nullptr, &vdims, nullptr, &vatts), "reading a variable")) return 0;
    n = plus(n, plus(name_bytes(name) + 4 + 4 * int64_t{vdims}, att_list_bytes(c, v, vatts) + 8 + begin));
  }
  return n;
}

// Bytes of one variable's values (per record for record variables), unpadded.
int64_t value_bytes(const NcVarShape &shape, int record_dim) {
  int64_t n = static_cast<int64_t>(grid_nc_type_size(shape.type));
  for (size_t i = 0; i < shape.dims.size(); ++i)
    if (shape.dims[i] != record_dim) n = times(n, static_cast<int64_t>(std::min<size_t>(shape.lengths[i], kHuge)));
  return n;
}

}  // namespace

bool grid_nc_complete(int ncid, const char *who) {
  Counter c{ncid, who};
  int nvars = 0, record_dim = -1;
  if (!c.check(nc_inq_nvars(ncid, &nvars), "counting the variables") ||
      !c.check(nc_inq_unlimdim(ncid, &record_dim), "finding the record dimension"))
    return false;
  size_t records = 0;
  if (record_dim >= 0 && !c.check(nc_inq_dimlen(ncid, record_dim, &records), "counting the records")) return false;
  int64_t fixed = 0, per_record = 0, record_vars = 0, last_record_var = 0;
  for (int v = 0; v < nvars; ++v) {
    NcVarShape shape;
    if (!grid_nc_shape(ncid, v, who, &shape)) return false;
    const int64_t bytes = value_bytes(shape, record_dim);
    if (!shape.dims.empty() && shape.dims[0] == record_dim) {
      per_record = plus(per_record, pad4(bytes));
      last_record_var = bytes;
      ++record_vars;
    } else {
      fixed = plus(fixed, pad4(bytes));
    }
  }
  if (record_vars == 1) per_record = last_record_var;  // a lone record variable is not padded
  const int64_t header = header_bytes(c, nvars);
  if (!c.ok) return false;
  const int64_t needed = plus(plus(header, fixed), times(per_record, static_cast<int64_t>(std::min<size_t>(records, kHuge))));
  const int64_t have = grid_nc_room(ncid, NC_BYTE);
  if (needed <= have) return true;
  grid_nc_warn(ncid, who, "the file holds %lld bytes, its header declares %lld: it is truncated",
               static_cast<long long>(have), static_cast<long long>(needed));
  return false;
}
