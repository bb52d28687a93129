// Header (index) file lines of GRIB files.  A line holds the offset from which
// its grid's product is searched for; for a later field of an edition 2
// message it is the offset of the field's repeated sections instead.  Such a
// field is read by finding the line of the message's first field and decoding
// the message from there: the sections its fields share come before it.
#include <cstdio>
#include <vector>

#include "files/files.h"
#include "grib/grib.h"
#include "grid/grid_state.h"

namespace {

// Lines looked back at for the first field of a message: the fields of one
// message are on consecutive lines, and feeds put a few dozen in one at most.
constexpr int kMostFieldsBack = 256;

// Fields passed in one message while looking for a field.
constexpr int kMostFields = 100000;

bool seek(FILE *fp, int64_t at) { return at >= 0 && FILE_seek(fp, at) == 0; }

}  // namespace

bool grid_hdr_line(GridFile *f, GridState &s, int grid) {
  long long off = 0;
  s.hdr_text[0] = '\0';
  if (fscanf(f->hdr_fp, "%lld %128[^\n]\n", &off, s.hdr_text) < 1) return false;
  s.cur_pos = off;
  if (grid < 0) return true;
  std::vector<int64_t> &seen = f->hdr_offsets;
  if (static_cast<size_t>(grid) >= seen.size()) seen.resize(static_cast<size_t>(grid) + 1, -1);
  seen[static_cast<size_t>(grid)] = off;
  return true;
}

int64_t grid_hdr_msg_pos(int handle, GridFile *f, const std::vector<int64_t> &seen, int n) {
  GridState &s = grid_state();
  if (n < 0 || static_cast<size_t>(n) >= seen.size()) return s.cur_pos;
  const int64_t at = seen[static_cast<size_t>(n)];
  s.field_after = -1;  // the searches below leave the decoder on other products
  for (int k = n - 1; k >= 0 && k >= n - kMostFieldsBack; --k) {
    const int64_t from = seen[static_cast<size_t>(k)];
    if (from < 0 || from >= at || !seek(f->fp, from) || grid_next_grib_product(handle, f) < 0) break;
    const int64_t start = GRIB_product_start(), end = GRIB_product_end();
    if (start >= at) continue;  // line k is itself a later field of the message holding `at`
    if (GRIB_get_version() == 2 && end > at) return from;
    break;  // the product found from line k ends before `at`: `at` starts a product
  }
  return at;
}

bool grid_reach_field(int handle, GridFile *f, GridState &s, int64_t msg, int64_t at) {
  s.cont = 0;
  if (!seek(f->fp, msg) || grid_next_grib_product(handle, f) < 0 || GRIB_get_version() != 2 ||
      !GRIB_product_complete(handle))
    return false;
  GridRecord scratch{};
  int64_t field = msg;
  for (int fields = 0; fields < kMostFields; ++fields) {
    if (grid_pass_field_sections(handle, &scratch) <= 0) break;
    grid_continuation(f->fp, s);
    if (s.cont != 1 || s.new_pos <= field || s.new_pos > at || !seek(f->fp, s.new_pos)) break;
    if (s.new_pos == at) return true;
    field = s.new_pos;
  }
  s.cont = 0;
  return false;
}
