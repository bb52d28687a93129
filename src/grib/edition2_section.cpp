// Reading GRIB edition 2 sections into memory with their length checked
// against the product first, octet access that never leaves the section, and
// the once-per-file record of templates reported as not supported.
#include "grib/edition2_section.h"

#include <sys/types.h>

#include <algorithm>
#include <cstring>

#include "config/config.h"
#include "files/files.h"
#include "grib/decoder_state.h"
#include "grib/grib_internal.h"

namespace {

constexpr int kHeader = 5;  // section length (4 octets) and number, read by the walker
// Longest section read into memory.  Sections of a field are a few hundred
// octets; only a bit map grows with the grid (one bit a point), and this
// allows bit maps of two billion points.
constexpr int64_t kMaxSection = int64_t{1} << 28;
// The once-per-file note (grib_note_once) that tells a new file has begun,
// so the list of templates already reported is forgotten.
constexpr unsigned kNoteEdition2Templates = 1u << 31;

// Leaves the stream at the end marker of the current edition 2 product, as
// its indicator states it, so the section walker ends the message there.
void to_end_marker(FILE *fp) {
  const GribDecoder &d = grib_decoder();
  const int64_t here = ftello(fp);
  if (d.tag_pos < 0 || d.prod_len < 20 || here < 0) return;
  const int64_t marker = d.tag_pos + d.prod_len - 4;
  if (marker >= here) fseeko(fp, marker, SEEK_SET);
}

// Bytes left before the product's end marker; sections must end there.
int64_t room_before_marker(FILE *fp) {
  const GribDecoder &d = grib_decoder();
  const int64_t here = ftello(fp);
  if (d.tag_pos < 0 || d.prod_len < 0 || here < 0) return grib_room(fp);
  const int64_t marker = d.tag_pos + d.prod_len - 4;
  return marker > here ? marker - here : 0;
}

void damaged(FILE *fp, const char *name, const char *what) {
  char reason[120];
  format_text(reason, sizeof reason, "the %s section %s", name, what);
  grib_damaged(reason);
  to_end_marker(fp);
}

}  // namespace

uint64_t Ed2Section::u(int64_t k, int n) const {
  if (n < 1 || n > 8 || !has(k, n)) return 0;
  return grib_uint(&octets[static_cast<size_t>(k)], n);
}

int32_t Ed2Section::sm(int64_t k, int n) const {
  if (n < 1 || n > 4 || !has(k, n)) return 0;
  return grib_sm(&octets[static_cast<size_t>(k)], n);
}

bool Ed2Section::all_ones(int64_t k, int n) const {
  if (!has(k, n)) return false;
  for (int i = 0; i < n; ++i)
    if (octets[static_cast<size_t>(k + i)] != 0xFF) return false;
  return true;
}

bool ed2_read_section(FILE *fp, int64_t least, const char *name, Ed2Section &s) {
  const GribDecoder &d = grib_decoder();
  s.octets.clear();
  s.len = 0;
  if (d.slen < std::max<int64_t>(least, kHeader)) {
    damaged(fp, name, "is shorter than its contents");
    return false;
  }
  const int64_t body = d.slen - kHeader;
  if (d.slen > kMaxSection || body > room_before_marker(fp)) {
    damaged(fp, name, "runs past the end of the product");
    return false;
  }
  s.octets.assign(static_cast<size_t>(d.slen) + 1, 0);
  memcpy(&s.octets[1], d.data, kHeader);
  if (body > 0 && fread(&s.octets[kHeader + 1], 1, static_cast<size_t>(body), fp) < static_cast<size_t>(body)) {
    s.octets.clear();
    damaged(fp, name, "ends with the file");
    return false;
  }
  s.len = d.slen;
  return true;
}

void ed2_section_too_short(const char *name) {
  char reason[120];
  format_text(reason, sizeof reason, "the %s section is too short for its template", name);
  grib_damaged(reason);
}

bool ed2_first_unsupported(FILE *fp, int section, int number) {
  Edition2Sections &e = grib_decoder().ed2;
  if (grib_note_once(fp, kNoteEdition2Templates)) e.warned_templates.clear();
  const int32_t key = section * 100000 + number;
  if (std::find(e.warned_templates.begin(), e.warned_templates.end(), key) != e.warned_templates.end())
    return false;
  e.warned_templates.push_back(key);
  return true;
}
