// Product headers in front of GRIB products: the package's own one-line
// header, the LDM feed header, the old package header that states the
// product length, or none.  The header kind is a property of the file: found
// by the first detector that works, kept while it keeps working, and after a
// failure tried first again at the next product.
#include <sys/types.h>

#include <algorithm>
#include <cstring>

#include "config/config.h"
#include "files/files.h"
#include "grib/decoder_state.h"
#include "grib/grib.h"
#include "grib/grib_internal.h"
#include "grid/grid.h"

namespace {

constexpr char kBareHeading[] = "GRIB01 KXXX 010000";

// Runs the product search after a header: 1 when a product follows, -1 at the end of the data.
int search_after_header(int handle) { return GRIB_search(handle) > 0 ? 1 : -1; }

bool seekable(FILE *fp) { return ftello(fp) >= 0; }  // pipes have no position

int run_detector(int kind, int handle, int64_t start) {
  switch (kind) {
    case 1: return GRIB_header_kvz(handle);
    case 2: return GRIB_header_ldm(handle, start);
    case 3: return GRIB_header_old_kvz(handle);
    case 4: return GRIB_header_raw(handle, start);
    default: return 0;
  }
}

// The detection chain for a file whose header kind is not (or no longer)
// known.  The old package header is tried before the bare product on
// seekable streams: its detector puts back what it read when it fails, while
// the bare-product search would take its "GRIB: " line for a product tag.
int detect(int handle, int64_t start, FILE *fp) {
  const bool can_seek = seekable(fp);
  const int order_seek[] = {1, 2, 3, 4};
  const int order_pipe[] = {1, 2, 4, 3};
  for (const int kind : can_seek ? order_seek : order_pipe) {
    const int r = run_detector(kind, handle, start);
    if (r != 0) return r;
  }
  return -1;  // nothing recognised before the end of the data
}

}  // namespace

int GRIB_header(int handle) {
  GridFile *f = GRD_get_gfile(handle);
  if (!f || !f->fp) return -1;
  GribDecoder &d = grib_decoder();
  const int64_t start = ftello(f->fp);
  if (d.prev != 0) {
    f->subtype = d.prev;
    d.prev = 0;
  }
  if (f->subtype != 0) {
    const int kind = f->subtype;
    const int r = run_detector(kind, handle, start);
    if (kind == 3) MESS_print(0xF, "old KVZ: %d\n", r);
    if (r != 0) return r;
    f->subtype = 0;
    if (kind <= 3) d.prev = kind;
  }
  return detect(handle, start, f->fp);
}

int GRIB_header_kvz(int handle) {
  GridFile *f = GRD_get_gfile(handle);
  if (!f || !f->fp) return -1;
  char text[31] = "";
  int n = fscanf(f->fp, "%*[\r\n\003]** %30[^\n]\n", text);
  if (n == 0) n = fscanf(f->fp, "** %30[^\n]\n", text);
  if (n == EOF) return -1;
  if (n != 1) return 0;
  // The line ends with a blank and the closing marker "**".
  const size_t len = strlen(text);
  text[len >= 3 ? len - 3 : 0] = '\0';
  GribDecoder &d = grib_decoder();
  memset(d.wmo_header, 0, sizeof d.wmo_header);
  copy_text(d.wmo_header, text);
  f->subtype = 1;
  return search_after_header(handle);
}

int GRIB_header_ldm(int handle, int64_t start) {
  GridFile *f = GRD_get_gfile(handle);
  if (!f || !f->fp) return -1;
  if (ftello(f->fp) != start) return 0;
  char text[31] = "";
  int n = fscanf(f->fp, "\001\r\r\n%*d\r\r\n%30[^\r\n]\r\r\n", text);
  if (n != 1 && ftello(f->fp) == start)
    n = fscanf(f->fp, " \003\001\r\r\n%*d\r\r\n%30[^\r\n]\r\r\n", text);
  if (n != 1) return 0;
  GribDecoder &d = grib_decoder();
  memset(d.wmo_header, 0, sizeof d.wmo_header);
  copy_text(d.wmo_header, text);
  f->subtype = 2;
  return search_after_header(handle);
}

int GRIB_header_raw(int handle, int64_t /*start*/) {
  GridFile *f = GRD_get_gfile(handle);
  if (!f || !f->fp) return -1;
  GribDecoder &d = grib_decoder();
  memset(d.wmo_header, 0, sizeof d.wmo_header);
  copy_text(d.wmo_header, kBareHeading);
  f->subtype = 4;
  // The search always runs: no caller reads the tag before the detectors do.
  return GRIB_search(handle) > 0 ? 1 : 0;
}

int GRIB_header_old_kvz(int handle) {
  GridFile *f = GRD_get_gfile(handle);
  if (!f || !f->fp) return -1;
  const int64_t at = ftello(f->fp);
  long size = 0;
  const int n = fscanf(f->fp, "GRIB: %ld\n", &size);
  if (n == EOF) return -1;
  if (n != 1) {
    if (at >= 0) fseeko(f->fp, at, SEEK_SET);  // give back what the pattern read
    return 0;
  }
  GribDecoder &d = grib_decoder();
  // The stated count runs from the end of this line: the absolute end of the product.
  // A count beyond any product is kept beyond any product, without overflow.
  const int64_t count = size < 0 ? 0 : std::min<int64_t>(size, int64_t{1} << 40);
  const int64_t end = count + ftello(f->fp);
  char text[31] = "";
  if (fscanf(f->fp, "\001\r\r\n%*[^\n]\n%30[^\r\n]\r\r\n", text) != 1) text[0] = '\0';
  memset(d.wmo_header, 0, sizeof d.wmo_header);
  copy_text(d.wmo_header, text);
  f->subtype = 3;
  const int r = search_after_header(handle);
  d.grid_size = end;  // the search measured the product itself; the header's end counts here
  return r;
}

int GRIB_get_WMO_header(int /*handle*/, char *out) {
  if (out) memcpy(out, grib_decoder().wmo_header, 18);
  return 0;
}
