// The raw copy of a GRIB grid: the bytes from the grid's position to the end
// of its product (header and trailer included), handed out unchanged so that
// they can be written to another file.  The fields of an edition 2 message
// share one product.
#include <sys/types.h>

#include "grib/decoder_state.h"
#include "grib/grib.h"
#include "grib/grib_internal.h"
#include "grid/grid.h"

namespace {

// Puts the stream back where the copy found it: the grid reader goes on from
// there, and a moved stream would make it pass over the next product.
struct PositionKeeper {
  FILE *fp;
  int64_t at;
  ~PositionKeeper() {
    if (at >= 0) fseeko(fp, at, SEEK_SET);
  }
};

int64_t file_size(FILE *fp) {
  const int64_t here = ftello(fp);
  if (here < 0 || fseeko(fp, 0, SEEK_END) != 0) return -1;
  const int64_t size = ftello(fp);
  fseeko(fp, here, SEEK_SET);
  return size;
}

}  // namespace

int64_t GRIB_get_raw(int handle, std::vector<unsigned char> *buf, int64_t *len) {
  FILE *fp = grib_stream(handle);
  if (!fp || !buf || !len) return -1;
  GribDecoder &d = grib_decoder();
  const PositionKeeper keep{fp, ftello(fp)};
  // The whole product: for a later field of an edition 2 message, the message.
  const int64_t position = GRD_get_msg_pos(handle);
  d.cur_pos = position;
  if (fseeko(fp, position, SEEK_SET) != 0) return -1;
  if (GRIB_header(handle) <= 0) return -1;
  const int64_t end = GRIB_next(handle, 1);
  if (end < 0 || d.damaged) return -1;
  fseeko(fp, position, SEEK_SET);
  *len = end - position;
  const int64_t size = file_size(fp);
  if (*len <= 0 || size < 0 || *len > size - position) {
    // A product running past the end of the file is copied as far as it goes.
    if (size >= 0 && *len > size - position) *len = size - position;
    if (*len <= 0) return -1;
  }
  buf->resize(static_cast<size_t>(*len));
  const size_t got = fread(buf->data(), 1, buf->size(), fp);
  if (got == 0) return -1;
  buf->resize(got);
  return static_cast<int64_t>(got);
}
