// Reading the package's text grid files: a date line, a description line, for
// newer versions a key line, a projection line, then the values as text, as
// big-endian binary words, or in another file.
#include <cstdio>
#include <cstdarg>
#include <cstring>
#include <sys/stat.h>
#include <sys/types.h>

#include "config/config.h"
#include "domain/domain.h"
#include "files/files.h"
#include "grid/grid_state.h"

namespace {

bool is_stdin(const GridFile *f) { return f->fp == stdin; }

int64_t tell(FILE *fp) { return static_cast<int64_t>(ftello(fp)); }

// Bytes left in the file after the current position; -1 when unknown (pipes).
int64_t bytes_left(FILE *fp) {
  struct stat st;
  if (fstat(fileno(fp), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
  return static_cast<int64_t>(st.st_size) - tell(fp);
}

// Consumes blanks up to and including the end of the current line, and no more:
// binary values may start with bytes that look like white space.
void end_of_line(FILE *fp) {
  int c;
  while ((c = getc(fp)) == ' ' || c == '\t' || c == '\r') {
  }
  if (c != '\n' && c != EOF) ungetc(c, fp);
}

void skip_white(FILE *fp) {
  if (fscanf(fp, " ") == EOF) clearerr(fp);
}

// The date line; a magic line in front of it is passed over.
bool read_date_line(FILE *fp, GridRecord *g) {
  char line[161];
  if (fgetline(fp, line) < 0) return false;
  if (strncmp(line, "KVZGRID", 7) == 0 && fgetline(fp, line) < 0) return false;
  copy_text(g->datim, line);
  return true;
}

bool read_description(FILE *fp, GridRecord *g, int *version) {
  char line[161];
  if (fgetline(fp, line) < 0) return false;
  char info[161];
  if (sscanf(line, "%d-%160[^\n]", version, info) == 2) {
    copy_text(g->info, info);
  } else {
    *version = 0;
    copy_text(g->info, line);
  }
  return true;
}

void reset_keys(GridRecord *g, int version) {
  g->source = 1;
  g->version = version;
  g->model = 1;
  g->type = g->ltype = g->level = g->time = g->var = 0;
  g->values.clear();
  DOM_init(g->domain);
}

void read_key_line(FILE *fp, GridRecord *g) {
  char line[161];
  if (fgetline(fp, line) < 0) return;
  char units[161] = "";
  int version = g->version;
  if (sscanf(line, "%d %d %d %d %d %d %d %d:%160s", &g->source, &version, &g->model, &g->type, &g->ltype,
             &g->level, &g->time, &g->var, units) >= 2)
    g->version = version;
  if (units[0]) copy_text(g->units, units);
}

// The six numbers after a projection token: centre, spacing and size.
void read_extent(FILE *fp, Domain &d) {
  if (fscanf(fp, "%f %f %f %f %d %d", &d.clat, &d.clon, &d.dx, &d.dy, &d.nx, &d.ny) == EOF) clearerr(fp);
  end_of_line(fp);
}

void read_projection(FILE *fp, GridRecord *g, bool domain_text) {
  char token[161] = "";
  if (fscanf(fp, "%160s", token) != 1) return;
  Domain &d = g->domain;
  if (domain_text) {
    fgetc(fp);  // the separator after the domain text
    DOM_decode(token, d);
    return;
  }
  if (token[0] == ':') {
    copy_text(g->units, token + 1);
    if (fscanf(fp, "%160s", token) != 1) return;
  }
  const char *colon = strchr(token, ':');
  if (strncmp(token, "LL", 2) == 0 || strncmp(token, "PS", 2) == 0) {
    d.proj = token[0] == 'L' ? DOM_PROJ_LATLON : DOM_PROJ_PSTEREO;
    if (colon) sscanf(colon, ":%f", &d.plon);
    read_extent(fp, d);
    if (d.plon == -9999.0f) d.plon = d.clon;
  } else if (strncmp(token, "LC", 2) == 0) {
    d.proj = DOM_PROJ_LAMB;
    if (colon && sscanf(colon, ":%f:%f:%f:%f:%f", &d.plat, &d.plon, &d.param1, &d.param2, &d.param3) == 1) {
      d.plon = d.plat;
      d.plat = -9999.0f;
    }
    read_extent(fp, d);
  } else if (strncmp(token, "ME", 2) == 0) {
    d.proj = DOM_PROJ_MERC;
    read_extent(fp, d);
  } else {
    d.proj = DOM_PROJ_PSTEREO;
    sscanf(token, "%f", &d.clat);
    if (fscanf(fp, "%f %f %d %d", &d.clon, &d.dx, &d.nx, &d.ny) == EOF) clearerr(fp);
    end_of_line(fp);
    d.dy = d.dx;
  }
}

// Number of values of the grid, or -1 when the size cannot be right for the
// bytes the file still holds (bytes_per_value is the least a value can take;
// 0 when the values are kept in another file, whose size bounds them instead).
int64_t value_count(FILE *fp, const Domain &d, int bytes_per_value) {
  constexpr int64_t kMostValues = int64_t{1} << 28;
  if (d.nx <= 0 || d.ny <= 0) return -1;
  const int64_t n = static_cast<int64_t>(d.nx) * d.ny;
  if (bytes_per_value == 0) return n <= kMostValues ? n : -1;
  const int64_t left = bytes_left(fp);
  if (left >= 0 && n > left / bytes_per_value + 1) return -1;
  return n;
}

// The layout of the values follows the format version of the description
// line, not the grid's own version that the key line gives (a GRIB edition for
// converted grids).
void pass_values(FILE *fp, int format, int64_t n) {
  if (format == 3) {
    if (fseeko(fp, static_cast<off_t>(n * 4), SEEK_CUR) != 0) {
      for (int64_t i = 0; i < n * 4 && getc(fp) != EOF; ++i) {
      }
    }
    skip_white(fp);
  } else if (format == 4) {
    char line[161];
    fgetline(fp, line);  // the reference to the file that holds the values
    end_of_line(fp);
  } else {
    for (int64_t i = 0; i < n; ++i)
      if (fscanf(fp, "%*f") == EOF) break;
    skip_white(fp);
  }
}

// Values kept in another file, as text or as raw floats, rows in either order.
int read_value_file(FILE *fp, GridRecord *g, int64_t n) {
  char kind[161], name[161];
  long long offset = 0;
  int xdir = 1, ydir = 1;
  if (fscanf(fp, "%160s %160s %lld %d %d", kind, name, &offset, &xdir, &ydir) != 5) return -1;
  end_of_line(fp);
  FILE *vf = FILE_open(name, "r");
  if (!vf) {
    MESS_print(0xC0, "GRD_read: Unable to open grid file: %s\n", name);
    return -1;
  }
  fseeko(vf, static_cast<off_t>(offset), SEEK_SET);
  // The values must fit in what the file holds after the offset.
  const int64_t left = bytes_left(vf);
  if (offset < 0 || (left >= 0 && n > left / (kind[0] == 'A' ? 1 : 4) + 1)) {
    MESS_print(0xC0, "GRD_read: Grid file too short for its values: %s\n", name);
    FILE_close(vf);
    return -1;
  }
  g->values.resize(static_cast<size_t>(n));
  const int nx = g->domain.nx, ny = g->domain.ny;
  for (int r = 0; r < ny; ++r) {
    float *row = g->values.data() + static_cast<int64_t>(ydir == 1 ? r : ny - 1 - r) * nx;
    for (int c = 0; c < nx; ++c) {
      float v = -9999.0f;
      if (kind[0] == 'A' ? fscanf(vf, "%f", &v) != 1 : fread(&v, 4, 1, vf) != 1) v = -9999.0f;
      row[xdir == 1 ? c : nx - 1 - c] = v;
    }
  }
  FILE_close(vf);
  return 0;
}

// Damage to a grid of a text grid file, named by file and grid number.
__attribute__((format(printf, 2, 3))) void report(const GridFile *f, const char *format, ...) {
  char what[200];
  va_list args;
  va_start(args, format);
  vsnprintf(what, sizeof what, format, args);
  va_end(args);
  MESS_print(0xC0, "%s: grid %d: Damaged grid file: %s\n", f->path.c_str(), static_cast<int>(f->cur_grid), what);
}

// The values of the grid; those the file does not hold are missing.
int read_values(const GridFile *f, GridRecord *g, int format, int64_t n) {
  FILE *fp = f->fp;
  if (format == 4) return read_value_file(fp, g, n);
  g->values.assign(static_cast<size_t>(n), -9999.0f);
  int64_t got = 0;
  if (format == 3) {
    swap_setup(1);
    unsigned char word[4];
    for (; got < n && fread_long_swap(word, fp) == 1; ++got) memcpy(&g->values[got], word, 4);
  } else {
    while (got < n && fscanf(fp, "%f", &g->values[got]) == 1) ++got;
    if (got < n) g->values[got] = -9999.0f;  // a failed conversion may have stored a part
  }
  if (got < n)
    report(f, "the values end after %lld of %lld; the rest are missing", static_cast<long long>(got),
           static_cast<long long>(n));
  skip_white(fp);
  return 0;
}

// Reads the grid at the current position; the header only in modes 1 and 2.
int read_grid_here(GridFile *f, GridRecord *g, int mode, bool first_of_stdin) {
  FILE *fp = f->fp;
  if (first_of_stdin) copy_text(g->datim, f->first_line);
  else if (!read_date_line(fp, g)) return -1;
  int version = 0;
  if (!read_description(fp, g, &version)) {
    report(f, "the file ends after the date line");
    return -1;
  }
  if (f->type == GRD_KVZGRID4) version = f->subtype;
  reset_keys(g, version);
  if (version >= 2 && version <= 4) read_key_line(fp, g);
  read_projection(fp, g, f->type == GRD_KVZGRID4);
  if (version == 1) g->domain.clon = -g->domain.clon;
  const int64_t n = value_count(fp, g->domain, version == 4 ? 0 : version == 3 ? 4 : 1);
  if (n < 0) {
    if (g->domain.nx <= 0 || g->domain.ny <= 0) report(f, "no grid size can be read from its projection line");
    else report(f, "%d x %d values do not fit in the rest of the file", g->domain.nx, g->domain.ny);
    return -1;
  }
  if (mode != 0) {
    pass_values(fp, version, n);
    return 0;
  }
  return read_values(f, g, version, n);
}

}  // namespace

int grid_info_text(int handle, GridFileInfo *info) {
  GridFile *f = grid_file(handle);
  FILE *fp = f->fp;
  char line[161] = "";
  if (f->type == GRD_KVZGRID || f->type == GRD_KVZGRID_BIN) {
    fgetline(fp, line);
  } else if (f->type == GRD_KVZGRID4) {
    fgetline(fp, line);
    if (line[8] == 'B') f->subtype = 3;
  }
  if (fgetline(fp, line) < 0) line[0] = '\0';
  copy_text(info->label, line);
  copy_text(f->first_line, line);
  DATE_decode_label(line, &info->date);
  f->base_date = info->date;
  GridState &s = grid_state();
  s.cur_pos = 0;
  s.new_pos = -1;
  return 0;
}

int grid_read_text(int handle, GridRecord *grid, int mode, int *grid_number) {
  GridFile *f = grid_file(handle);
  GridState &s = grid_state();
  const int n = *grid_number;
  const bool piped = is_stdin(f);
  if (!piped) {
    if (n < f->cur_grid) {
      GRD_rewind(handle);
      s.new_pos = -1;
    } else if (n == f->cur_grid) {
      fseeko(f->fp, static_cast<off_t>(s.cur_pos), SEEK_SET);
    } else if (s.new_pos > 0) {
      fseeko(f->fp, static_cast<off_t>(s.new_pos), SEEK_SET);
      ++f->cur_grid;
    } else {
      fseeko(f->fp, static_cast<off_t>(s.cur_pos), SEEK_SET);
    }
    // Grids further ahead are reached by passing over the ones in between.
    GridRecord scratch{};
    while (f->cur_grid < n) {
      if (read_grid_here(f, &scratch, 1, false) != 0) return -1;
      ++f->cur_grid;
    }
    s.cur_pos = tell(f->fp);
  }
  const int rc = read_grid_here(f, grid, mode, piped && n == 0);
  if (rc != 0) return rc;
  if (piped) f->cur_grid = n;  // a pipe is read in order, one grid after the other
  if (!piped) s.new_pos = tell(f->fp);
  if (mode == 0) *grid_number = f->cur_grid;
  return 0;
}
