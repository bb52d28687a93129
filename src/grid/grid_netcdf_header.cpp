// A look at the header of a netCDF file before the library opens it.  The
// library trusts the counts a classic header declares and, for a damaged one,
// allocates and copies gigabytes before it fails.  Here every count, length
// and type of the header (dimensions, attributes, variables, in the classic,
// 64-bit offset and 64-bit data layouts) is checked against the bytes the file
// holds, so that only a header that can be what it says reaches the library.
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "files/files.h"
#include "grid/grid_netcdf.h"

namespace {

constexpr size_t kMostHeader = size_t{16} << 20;  // a longer header is not a grid file's
constexpr uint32_t kDimTag = 0x0A, kVarTag = 0x0B, kAttTag = 0x0C;

class HeaderScan {
 public:
  HeaderScan(const std::vector<unsigned char> &bytes, int version) : b_(bytes), version_(version) {}

  bool header() {
    at_ = 4;
    uint64_t records = 0;
    if (!count(&records)) return false;
    uint64_t ndims = 0;
    if (!list(kDimTag, 8, &ndims)) return false;
    for (uint64_t d = 0; d < ndims; ++d) {
      uint64_t len = 0;
      if (!name() || !count(&len)) return false;
    }
    if (!attributes()) return false;
    uint64_t nvars = 0;
    if (!list(kVarTag, 24, &nvars)) return false;
    for (uint64_t v = 0; v < nvars; ++v)
      if (!variable(ndims)) return false;
    return true;
  }

 private:
  size_t left() const { return b_.size() - at_; }

  bool word(uint64_t *out, size_t size) {
    if (left() < size) return false;
    uint64_t v = 0;
    for (size_t i = 0; i < size; ++i) v = v << 8 | b_[at_ + i];
    at_ += size;
    *out = v;
    return true;
  }
  bool count(uint64_t *out) { return word(out, version_ == 5 ? 8 : 4); }
  bool skip(uint64_t bytes) {
    if (bytes > left()) return false;
    at_ += static_cast<size_t>(bytes);
    return true;
  }
  static uint64_t pad4(uint64_t n) { return (n + 3) / 4 * 4; }

  // A list tag and its element count; each element takes at least `least` bytes.
  bool list(uint32_t tag, uint64_t least, uint64_t *n) {
    uint64_t t = 0;
    if (!word(&t, 4) || !count(n)) return false;
    if (t == 0) return *n == 0;
    return t == tag && *n <= left() / least;
  }
  bool name() {
    uint64_t len = 0;
    return count(&len) && len > 0 && len <= NC_MAX_NAME && skip(pad4(len));
  }
  bool type(uint64_t *size) {
    uint64_t t = 0;
    if (!word(&t, 4) || t < NC_BYTE || t > (version_ == 5 ? NC_UINT64 : NC_DOUBLE)) return false;
    *size = grid_nc_type_size(static_cast<nc_type>(t));
    return true;
  }
  bool attributes() {
    uint64_t n = 0;
    if (!list(kAttTag, 12, &n)) return false;
    for (uint64_t a = 0; a < n; ++a) {
      uint64_t size = 0, len = 0;
      if (!name() || !type(&size) || !count(&len) || len > left() / size || !skip(pad4(len * size))) return false;
    }
    return true;
  }
  bool variable(uint64_t ndims) {
    uint64_t rank = 0, size = 0, vsize = 0, begin = 0;
    if (!name() || !count(&rank) || rank > left() / 4) return false;
    for (uint64_t d = 0; d < rank; ++d) {
      uint64_t id = 0;
      if (!count(&id) || id >= ndims) return false;
    }
    return attributes() && type(&size) && count(&vsize) && word(&begin, version_ == 1 ? 4 : 8);
  }

  const std::vector<unsigned char> &b_;
  int version_;
  size_t at_ = 0;
};

}  // namespace

bool grid_nc_header_sane(const char *path) {
  struct stat st;
  if (stat(path, &st) != 0 || !S_ISREG(st.st_mode)) return false;
  FILE *fp = FILE_open(path, "r");
  if (!fp) return false;
  const size_t want = std::min(static_cast<size_t>(st.st_size), kMostHeader);
  std::vector<unsigned char> bytes(want);
  const size_t got = fread(bytes.data(), 1, want, fp);
  FILE_close(fp);
  bytes.resize(got);
  if (got < 8 || memcmp(bytes.data(), "CDF", 3) != 0) return false;
  const int version = bytes[3];
  if (version != 1 && version != 2 && version != 5) return false;
  return HeaderScan(bytes, version).header();
}
