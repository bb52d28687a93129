// The section walker of GRIB edition 2 messages: reads the 4-byte length and
// the number of the next section, recognises the end section "7777", and
// steps over a section body that is not decoded.
#include <sys/types.h>

#include <cstring>

#include "config/config.h"
#include "files/files.h"
#include "grib/decoder_state.h"
#include "grib/grib.h"
#include "grib/grib_internal.h"

int GRIB_read_section(int handle) {
  FILE *fp = grib_stream(handle);
  if (!fp) return 0;
  GribDecoder &d = grib_decoder();
  unsigned char head[5] = {};
  if (fread(head, 1, 4, fp) < 4) return 0;
  if (head[0] == '7' && head[1] == '7') {
    d.sect = -1;
    return 0;
  }
  if (fread(head + 4, 1, 1, fp) < 1) return 0;
  memcpy(d.data, head, 5);
  d.data_ptr = d.data;
  d.slen = static_cast<int64_t>(grib_uint(head, 4));
  d.sect = head[4];
  MESS_print(kGribDump, "section: %d %lld - %lld\n", d.sect, static_cast<long long>(d.slen),
             static_cast<long long>(ftello(fp)));
  return d.sect <= 8 ? 1 : 0;
}

int GRIB_get_sect() { return grib_decoder().sect; }

int GRIB_skip_section(int handle) {
  FILE *fp = grib_stream(handle);
  if (!fp) return 0;
  const GribDecoder &d = grib_decoder();
  // A length below the 5 octets already read would send the walker back
  // over the same header for ever.
  if (d.slen < 5) {
    grib_damaged("a section states a length shorter than its header");
    return 0;
  }
  // A section running past the end of its product is cut at the end marker,
  // so the products after a damaged one are still found.
  const int64_t here = ftello(fp);
  int64_t to = here + d.slen - 5;
  if (d.prod_end > 0 && to > d.prod_end - 4) {
    grib_damaged("a section runs past the end of its product");
    if (here >= d.prod_end - 4) return 0;  // the walk would go back over the same sections
    to = d.prod_end - 4;
  }
  FILE_seek(fp, to);
  MESS_print(kGribDump, "skip section: %lld - %lld\n", static_cast<long long>(d.slen),
             static_cast<long long>(ftello(fp)));
  return 1;
}
