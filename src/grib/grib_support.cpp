// Helpers shared by the GRIB decoder files: stream lookup, octet groups, the
// room left in the current product, damage reports and once-per-file notes.
#include <sys/types.h>

#include <limits>

#include "config/config.h"
#include "grib/decoder_state.h"
#include "grib/grib_internal.h"
#include "grid/grid.h"

FILE *grib_stream(int handle) {
  const GridFile *f = GRD_get_gfile(handle);
  return f ? f->fp : nullptr;
}

uint64_t grib_uint(const unsigned char *p, int n) {
  uint64_t v = 0;
  for (int i = 0; i < n; ++i) v = (v << 8) | p[i];
  return v;
}

int32_t grib_sm(const unsigned char *p, int n) {
  const uint32_t raw = static_cast<uint32_t>(grib_uint(p, n));
  const uint32_t sign = 1u << (8 * n - 1);
  const int32_t magnitude = static_cast<int32_t>(raw & (sign - 1));
  return (raw & sign) ? -magnitude : magnitude;
}

int64_t grib_room(FILE *fp) {
  const GribDecoder &d = grib_decoder();
  if (d.prod_end < 0) return std::numeric_limits<int64_t>::max() / 4;
  const int64_t here = ftello(fp);
  if (here < 0) return std::numeric_limits<int64_t>::max() / 4;
  return d.prod_end > here ? d.prod_end - here : 0;
}

void grib_damaged(const char *reason) {
  GribDecoder &d = grib_decoder();
  d.damaged = true;
  if (d.damaged_at == d.tag_pos) return;
  d.damaged_at = d.tag_pos;
  if (d.where_file != nullptr)
    MESS_print(kGribWarn, "%s: grid %d: ", d.where_file, static_cast<int>(d.where_grid));
  MESS_print(kGribWarn, "Damaged GRIB product at offset %lld: %s\n", static_cast<long long>(d.tag_pos), reason);
}

bool grib_note_once(FILE *fp, unsigned note) {
  GribDecoder &d = grib_decoder();
  if (d.noted_fp != fp) {
    d.noted_fp = fp;
    d.noted = 0;
  }
  if (d.noted & note) return false;
  d.noted |= note;
  return true;
}

void grib_notes_reset(FILE *fp) {
  GribDecoder &d = grib_decoder();
  d.noted_fp = fp;
  d.noted = 0;
}

void grib_dump_octets(const unsigned char *octets, int count) {
  for (int i = 0; i < count; ++i) {
    MESS_print(kGribDump, "[%2.2X]", octets[i]);
    if (i % 8 == 7) MESS_print(kGribDump, "\n");
  }
}

int grib_full_year(int y, int century) {
  if (century >= 1 && century <= 99 && y >= 1 && y <= 100) return (century - 1) * 100 + y;
  if (y <= 49) y += 2000;
  if (y <= 199) y += 1900;
  return y;
}
