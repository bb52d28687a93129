// Writing the package's text grid files: the magic line once, then for each
// grid a date line, a description line, a key line, a projection line and the
// values, as text lines (type 2) or as big-endian IEEE single-precision words
// (type 3).  What is written here reads back through the text grid reader.
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>

#include "config/config.h"
#include "files/files.h"
#include "grid/grid_state.h"
#include "grid/grid_write_internal.h"

namespace {

constexpr const char *kDefaultFormat = "%14.8e";

struct TextWriteState {
  bool told_projection = false;  // grids without a projection token were reported
  bool told_format = false;      // an unusable value format was reported
};

TextWriteState &text_state() {
  static TextWriteState s;
  return s;
}

bool has_value(float v) { return v != -9999.0f; }

// A value format prints one number and nothing else, so that the reader can
// scan it back: '%', flags, at most two digits of width and of precision, an
// optional 'l', and one of the floating-point conversions.
bool usable_format(const char *f) {
  if (*f++ != '%') return false;
  f += strspn(f, "-+ #0");
  const size_t width = strspn(f, "0123456789");
  if (width > 2) return false;
  f += width;
  if (*f == '.') {
    ++f;
    const size_t precision = strspn(f, "0123456789");
    if (precision > 2) return false;
    f += precision;
  }
  if (*f == 'l') ++f;
  return *f != '\0' && strchr("eEfFgGaA", *f) != nullptr && f[1] == '\0';
}

const char *value_format() {
  const char *format = grid_state().format;
  if (format[0] == '\0') return kDefaultFormat;
  if (usable_format(format)) return format;
  if (!text_state().told_format)
    MESS_print(0xC0, "GRD_write: Unusable value format %s, values written with %s\n", format, kDefaultFormat);
  text_state().told_format = true;
  return kDefaultFormat;
}

// The projection token, ending with a blank; false when the projection has none.
bool projection_token(const Domain &d, char *token, size_t size) {
  switch (d.proj) {
    case DOM_PROJ_PSTEREO:
      if (!has_value(d.plon) || d.plon == d.clon) format_text(token, size, "PS ");
      else format_text(token, size, "PS:%f ", d.plon);
      return true;
    case DOM_PROJ_LATLON:
      format_text(token, size, "LL ");
      return true;
    case DOM_PROJ_MERC:
      format_text(token, size, "ME ");
      return true;
    case DOM_PROJ_LAMB:
      if (has_value(d.param1))
        format_text(token, size, "LC:%f:%f:%f:%f:%f ", d.plat, d.plon, d.param1, d.param2, d.param3);
      else if (has_value(d.plon)) format_text(token, size, "LC:%f ", d.plon);
      else format_text(token, size, "LC ");
      return true;
    default:
      return false;
  }
}

bool is_blank(const char *text) {
  while (*text && isspace(static_cast<unsigned char>(*text))) ++text;
  return *text == '\0';
}

// Labels are caches that a values read empties: make them, so that every grid
// has its date and description lines (an empty line would shift the block).
void fill_labels(GridRecord *g) {
  if (is_blank(g->info)) GRD_make_datatype(g);
  if (is_blank(g->datim)) DATE_make_label_for_time(g->time, GRD_model_key(g), &g->base_date, g->datim);
}

// A label as one line of the file: line breaks would split the grid's block,
// and a line that is all blanks would be passed over by the reader.
void one_line(const char *label, char *line, size_t size) {
  copy_text(line, size, label);
  for (char *c = line; *c; ++c)
    if (*c == '\n' || *c == '\r') *c = ' ';
  if (is_blank(line)) copy_text(line, size, "-");
}

// The units text is one field of the key line: white space inside it becomes '_'.
void join_units(char *units) {
  for (char *c = units; *c; ++c)
    if (isspace(static_cast<unsigned char>(*c))) *c = '_';
}

bool put(FILE *fp, int written) { return written >= 0 && !ferror(fp); }

bool write_header(FILE *fp, int type, const GridRecord *g, const char *token) {
  char datim[sizeof g->datim], info[sizeof g->info];
  one_line(g->datim, datim, sizeof datim);
  one_line(g->info, info, sizeof info);
  const Domain &d = g->domain;
  return put(fp, fprintf(fp, "%s\n%d-%s\n", datim, type, info)) &&
         put(fp, fprintf(fp, "%d %d %d %d %d %d %d %d", g->source, g->version, g->model, g->type, g->ltype,
                         g->level, g->time, g->var)) &&
         put(fp, g->units[0] ? fprintf(fp, ":%s\n", g->units) : fputs("\n", fp)) &&
         put(fp, fprintf(fp, "%s%f %f %f %f %d %d\n", token, d.clat, d.clon, d.dx, d.dy, d.nx, d.ny));
}

bool write_text_values(FILE *fp, const std::vector<float> &values) {
  char line_format[24];
  format_text(line_format, sizeof line_format, "%s\n", value_format());
  for (const float v : values)
    if (fprintf(fp, line_format, static_cast<double>(v)) < 0) return false;
  return !ferror(fp);
}

// The bit pattern of each value, most significant byte first.
// The IEEE bits of n floats, most significant byte first, whatever the host's order.
void big_endian_words(const float *values, size_t n, uint32_t *words) {
  for (size_t i = 0; i < n; ++i) {
    uint32_t bits;
    memcpy(&bits, &values[i], 4);
    if constexpr (__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__) bits = __builtin_bswap32(bits);
    words[i] = bits;
  }
}

bool write_binary_values(FILE *fp, const std::vector<float> &values) {
  constexpr size_t kChunk = 16384;
  uint32_t words[kChunk];
  for (size_t start = 0; start < values.size(); start += kChunk) {
    const size_t n = std::min(kChunk, values.size() - start);
    big_endian_words(values.data() + start, n, words);
    if (fwrite(words, 4, n, fp) != n) return false;
  }
  return put(fp, fputs("\n", fp));
}

// A record that can be written: values for every point of its grid.
bool complete(const GridRecord *g) {
  const Domain &d = g->domain;
  if (d.nx <= 0 || d.ny <= 0 || g->values.empty()) return false;
  return static_cast<int64_t>(d.nx) * d.ny == static_cast<int64_t>(g->values.size());
}

}  // namespace

GridWriteResult grid_putinfo_text(FILE *fp) {
  if (!fp) return GRID_REFUSED;
  return fputs("KVZGRID\n", fp) < 0 ? GRID_FAILED : grid_flush(fp);
}

GridWriteResult grid_write_text(FILE *fp, int type, GridRecord *grid) {
  if (!fp || !complete(grid)) return GRID_REFUSED;
  char token[320];
  if (!projection_token(grid->domain, token, sizeof token)) {
    if (!text_state().told_projection)
      MESS_print(0xC0, "GRD_write: Grids of projection %d cannot be written to a text grid file; skipped\n",
                 grid->domain.proj);
    text_state().told_projection = true;
    return GRID_SKIPPED;
  }
  fill_labels(grid);
  join_units(grid->units);
  const bool binary = type == GRD_KVZGRID_BIN;
  if (!write_header(fp, binary ? 3 : 2, grid, token)) return GRID_FAILED;
  const bool ok = binary ? write_binary_values(fp, grid->values) : write_text_values(fp, grid->values);
  return ok ? grid_flush(fp) : GRID_FAILED;
}
