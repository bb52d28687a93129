// GRIB product framing: finding the next product tag in a byte stream,
// reading its indicator section, telling its edition and measuring where the
// product (with its trailer) ends so that the reader can step over it.
#include <sys/stat.h>
#include <sys/types.h>

#include <cstring>
#include <limits>

#include "config/config.h"
#include "files/files.h"
#include "grib/decoder_state.h"
#include "grib/grib.h"
#include "grib/grib_internal.h"
#include "grid/grid.h"

namespace {

bool tag_is(const GribDecoder &d, const char *tag) { return memcmp(d.data, tag, 4) == 0; }

bool is_product_tag(const GribDecoder &d) {
  return tag_is(d, "GRIB") || tag_is(d, "GRID") || tag_is(d, "BUFR");
}

// Four bytes that are not a tag may hold the start of one ("xxGR" before
// "IB..."): the scan resumes at the first 'G' or 'B' among their last three.
// A pipe can take back one byte only; there a tag starting earlier is missed.
void resume_inside(FILE *fp, const char *four) {
  int j = 1;
  while (j < 4 && four[j] != 'G' && four[j] != 'B') ++j;
  if (j == 4) return;
  if (j == 3) {
    ungetc(four[3], fp);
    return;
  }
  const int64_t here = ftello(fp);
  if (here >= 4) fseeko(fp, here - (4 - j), SEEK_SET);
}

// Scans to the next "GRIB", "GRID" or "BUFR" four bytes; false at the end of the data.
bool find_tag(FILE *fp, GribDecoder &d) {
  char tag[4];
  for (;;) {
    // Fewer than four bytes left cannot hold a tag; reading them with "%4c"
    // would leave the rest of the tag undefined.
    if (fscanf(fp, "%*[^GB]") == EOF || fread(tag, 1, 4, fp) != 4) return false;
    memcpy(d.data, tag, 4);
    if (is_product_tag(d)) return true;
    resume_inside(fp, tag);
  }
}

// Edition 1 and edition 2 products state their length in the indicator.
void measure(GribDecoder &d) {
  d.prod_len = -1;
  d.prod_end = -1;
  if (tag_is(d, "GRIB") && d.data[7] == 2) {
    const uint64_t len = grib_uint(d.data + 8, 8);
    d.prod_len = len > static_cast<uint64_t>(std::numeric_limits<int64_t>::max() / 4)
                     ? std::numeric_limits<int64_t>::max() / 4
                     : static_cast<int64_t>(len);
  } else if ((tag_is(d, "GRIB") || tag_is(d, "BUFR")) && d.data[7] == 1) {
    d.prod_len = static_cast<int64_t>(grib_uint(d.data + 4, 3));
  }
  if (d.prod_len >= 0 && d.tag_pos >= 0) d.prod_end = d.tag_pos + d.prod_len;
  d.grid_size = d.prod_len;
}

// The end of a product without a stated length: the first run of at least
// three '7' and then the first '*', ETX, 'G' or 'B'.  -1 at the end of the data.
int64_t end_marker_scan(FILE *fp) {
  char sevens[8];
  for (;;) {
    int n = fscanf(fp, "%*[^7]%7[7]", sevens);
    if (n == 0) n = fscanf(fp, "%7[7]", sevens);
    if (n != 1) return -1;
    if (strlen(sevens) >= 3) break;
  }
  for (;;) {
    const int c = getc(fp);
    if (c == EOF) return -1;
    if (c == 'G' || c == 'B') return ftello(fp) - 1;
    if (c == '*' || c == 3) return ftello(fp);
  }
}

// Where a product that states its length ends, by header kind.
int64_t stated_end(const GribDecoder &d, int kind) {
  if (d.data[7] == 2) return d.tag_pos + d.prod_len + ((kind == 1 || kind == 2) ? 4 : 0);
  return d.tag_pos + d.prod_len + (kind == 1 ? 1 : kind == 2 ? 4 : 0);
}

// A product that would send the reader back to where it stood, or further
// back, is damaged: the search goes on right after its indicator.
int64_t past_damaged(int64_t pos, const char *reason) {
  grib_damaged(reason);
  return pos;
}

}  // namespace

int GRIB_search(int handle) {
  FILE *fp = grib_stream(handle);
  GribDecoder &d = grib_decoder();
  d.data_ptr = d.data;
  if (!fp || !find_tag(fp, d)) return 0;
  d.tag_pos = ftello(fp) - 4;
  d.damaged = false;
  d.version = 0;  // a tag followed by no edition 1 or 2 indicator: an edition 0 product
  memset(d.data + 4, 0, 12);
  int got = static_cast<int>(fread(d.data + 4, 1, 4, fp));
  if (got == 4 && tag_is(d, "GRIB") && d.data[7] == 2) {
    got = static_cast<int>(fread(d.data + 8, 1, 8, fp));
    d.discipline = d.data[6];
    d.version = 2;
    if (got < 8) grib_damaged("the file ends inside the indicator section");
  } else if (got == 4 && (tag_is(d, "GRIB") || tag_is(d, "BUFR")) && d.data[7] == 1) {
    d.version = 1;
  } else if (got < 4 && tag_is(d, "GRIB")) {
    grib_damaged("the file ends inside the indicator section");
  }
  measure(d);
  return got;
}

int64_t GRIB_next(int handle, int seek) {
  FILE *fp = grib_stream(handle);
  const GridFile *f = GRD_get_gfile(handle);
  if (!fp || !f) return -1;
  GribDecoder &d = grib_decoder();
  const int64_t pos = ftello(fp);
  const int kind = f->subtype;
  int64_t end = -1;
  if (kind == 3) {
    end = (d.grid_size < 0 || d.grid_size - pos > kGribMaxProduct) ? -1 : d.grid_size + 1;
    if (end >= 0 && end <= pos)
      end = past_damaged(pos, "the product header states a count that ends inside the product");
  } else if (d.prod_len >= 0 && d.data[7] == 1 && d.prod_len > kGribMaxProduct) {
    // Said once per product; the search goes on after the indicator rather
    // than back at the start of the file.
    if (d.damaged_at != d.tag_pos)
      MESS_print(kGribWarn, "Invalid product size: %lld\n", static_cast<long long>(d.prod_len));
    d.damaged = true;
    d.damaged_at = d.tag_pos;
    end = pos;
  } else if (d.prod_len >= 0) {
    end = stated_end(d, kind);
    if (end <= pos) end = past_damaged(pos, "the product states a length shorter than its indicator");
  } else {
    end = end_marker_scan(fp);
    d.version = 0;
    if (!seek || end < 0) fseeko(fp, pos, SEEK_SET);
  }
  if (seek && end >= 0) FILE_seek(fp, end);
  return end;
}

int GRIB_get_version() { return grib_decoder().version; }

void GRIB_set_context(const char *file, int grid) {
  GribDecoder &d = grib_decoder();
  d.where_file = file;
  d.where_grid = grid;
  if (file == nullptr) d.size_fp = nullptr;  // the file is closed: its size is no longer known
}

bool GRIB_damaged() { return grib_decoder().damaged; }

int64_t GRIB_product_start() { return grib_decoder().tag_pos; }

int64_t GRIB_product_end() { return grib_decoder().prod_end; }

bool GRIB_product_complete(int handle) {
  FILE *fp = grib_stream(handle);
  GribDecoder &d = grib_decoder();
  if (!fp || d.prod_end < 0) return true;
  // The size last seen is asked for again only when a product ends beyond
  // it: a file being written by a feed grows while it is read.
  if (d.size_fp != fp || d.prod_end > d.file_size) {
    struct stat st {};
    if (fstat(fileno(fp), &st) != 0 || !S_ISREG(st.st_mode)) return true;
    d.size_fp = fp;
    d.file_size = st.st_size;
  }
  if (d.prod_end <= d.file_size) return true;
  char reason[120];
  snprintf(reason, sizeof reason, "the file ends after %lld of its %lld bytes",
           static_cast<long long>(d.file_size - d.tag_pos), static_cast<long long>(d.prod_len));
  grib_damaged(reason);
  // A wrong length may be all that is damaged: the search goes on after the indicator.
  fseeko(fp, d.tag_pos + (d.version == 2 ? 16 : 8), SEEK_SET);
  return false;
}

bool GRIB_is_grib() {
  const GribDecoder &d = grib_decoder();
  return tag_is(d, "GRIB") && d.data[7] <= 2;
}
