// Reading files of GRID code bulletins.  Each bulletin runs from its "GRID"
// mark to the next mark (or the end of the file) and is one grid; whatever
// follows its rows (an end-of-message line, a heading) belongs to it and is
// passed over.  Grids further ahead are reached by passing over the bulletins
// in between, the same number re-reads the same bulletin, and a damaged
// bulletin is reported once and is not a grid: reading goes on after it.
#include <cstdio>
#include <set>
#include <string>
#include <sys/types.h>

#include "config/config.h"
#include "grid/bulletin.h"
#include "grid/grid_state.h"
#include "naming/naming.h"

namespace {

constexpr uint32_t kWarn = 0xC0;
// The longest bulletin text decoded; a sound one takes a few kilobytes.
constexpr size_t kMostText = 64 * 1024;

struct BulletinText {
  int64_t start = -1;  // offset of its "GRID" mark
  int64_t end = -1;    // offset of the next mark, or the end of the file
  std::string text;
  bool too_long = false;
};

// Reading state of this module, for the bulletin file read last.
struct BulletinReader {
  int wind_next = 0;             // pairing state after the grid read last
  int64_t end_of = -1;           // cur_pos of the grid whose end new_pos gives
  std::set<int64_t> reported;    // offsets of damaged bulletins already reported
};

BulletinReader &reader() {
  static BulletinReader r;
  return r;
}

bool is_blank(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

bool seek(FILE *fp, int64_t at) { return at >= 0 && fseeko(fp, static_cast<off_t>(at), SEEK_SET) == 0; }

// Reads the bulletin starting at the first non-blank byte at or after `at`;
// false when only blanks are left.  The next bulletin's mark is "GRID" after a blank.
bool read_text(FILE *fp, int64_t at, BulletinText *t) {
  if (!seek(fp, at)) {
    MESS_print(kWarn, "GRD_read: Unable to move to offset %lld of a GRID bulletin file\n", static_cast<long long>(at));
    return false;
  }
  int c;
  int64_t pos = at;
  while ((c = getc(fp)) != EOF && is_blank(c)) ++pos;
  if (c == EOF) return false;
  t->start = pos;
  t->text.clear();
  t->too_long = false;
  char last[5] = {'x', 'x', 'x', 'x', 'x'};  // the last five bytes read
  for (; c != EOF; c = getc(fp)) {
    if (t->text.size() < kMostText) t->text.push_back(static_cast<char>(c));
    else t->too_long = true;
    ++pos;
    for (int i = 0; i < 4; ++i) last[i] = last[i + 1];
    last[4] = static_cast<char>(c);
    if (is_blank(last[0]) && last[1] == 'G' && last[2] == 'R' && last[3] == 'I' && last[4] == 'D') {
      t->end = pos - 4;
      if (!t->too_long) t->text.resize(t->text.size() - 4);
      return true;
    }
  }
  clearerr(fp);
  t->end = pos;
  return true;
}

void report(const GridFile *f, int64_t at, const std::string &problem) {
  if (!reader().reported.insert(at).second) return;
  MESS_print(kWarn, "%s: grid %d: Damaged GRID bulletin at offset %lld: %s\n", f->path.c_str(),
             static_cast<int>(f->cur_grid), static_cast<long long>(at), problem.c_str());
}

// Decodes the first sound bulletin at or after cur_pos, which moves to its
// start, and new_pos to its end; damaged ones on the way are reported and end
// any wind pairing.  False when the file holds no further bulletin.
bool decode_current(GridFile *f, GridState &s, Bulletin *b) {
  BulletinText t;
  for (;;) {
    if (!read_text(f->fp, s.cur_pos, &t)) return false;
    std::string problem = "it is longer than 65536 bytes";
    *b = Bulletin{};
    if (!t.too_long && bulletin_decode(t.text.data(), t.text.size(), b, &problem)) {
      s.cur_pos = t.start;
      s.new_pos = t.end;
      return true;
    }
    report(f, t.start, problem);
    s.cur_pos = t.end;
    s.wind_dec = 0;
  }
}

// Decodes grid cur_grid and works out the variable it yields from the pairing
// state before it (wind_dec), keeping the state after it for the next grid.
bool take_current(GridFile *f, GridState &s, Bulletin *b, int *var) {
  if (!decode_current(f, s, b)) return false;
  int state = s.wind_dec;
  *var = bulletin_pair_var(b->var, &state);
  reader().wind_next = state;
  reader().end_of = s.cur_pos;
  s.bpval = b->digits;
  return true;
}

// Positions on grid n and decodes it.
bool position(int handle, GridFile *f, GridState &s, int n, Bulletin *b, int *var) {
  if (n < f->cur_grid) GRD_rewind(handle);
  if (f->cur_grid == 0) s.wind_dec = 0;  // no bulletin comes before the first grid
  if (n == f->cur_grid) return take_current(f, s, b, var);
  while (f->cur_grid < n) {
    const bool end_known = s.new_pos >= 0 && reader().end_of == s.cur_pos;
    if (!end_known && !take_current(f, s, b, var)) return false;
    s.cur_pos = s.new_pos;
    s.new_pos = -1;
    s.wind_dec = reader().wind_next;
    ++f->cur_grid;
    if (!take_current(f, s, b, var)) return false;
  }
  return true;
}

// The reference time of the "6" and "7" groups in seconds, and the date
// record (full year); 0 and a missing date when a part is missing.
int32_t reference_time(const Bulletin &b, DateRec *date) {
  DATE_init(date);
  if (b.year == -9999 || b.month == -9999 || b.day == -9999 || b.hour == -9999) return 0;
  date->year = b.year;
  date->month = b.month;
  date->day = b.day;
  date->hour = b.hour;
  date->minute = date->second = 0;
  return DATE_num_sec(date);
}

void fill_record(const Bulletin &b, int var, GridRecord *g, int mode) {
  GRD_init(g);
  g->type = b.quadrant + 70;
  g->source = g->model = b.centre;
  g->version = 1;
  g->ltype = b.ltype;
  g->level = b.level;
  g->time = b.fhour;
  g->var = var;
  g->units[0] = '\0';
  const int32_t seconds = reference_time(b, &g->base_date);
  VAR_make_datatype(g->time, g->ltype, g->level, g->var, g->units, g->info);
  DATE_make_label_for(g->time, g->model, seconds, g->datim);
  bulletin_domain(b.quadrant, &g->domain);
  if (mode == 0) bulletin_values(b, var, &g->values);
}

}  // namespace

int grid_info_bulletin(int handle, GridFileInfo *info) {
  GridFile *f = grid_file(handle);
  reader() = BulletinReader{};
  GRD_rewind(handle);
  BulletinText t;
  Bulletin b;
  std::string problem;
  if (f->fp && read_text(f->fp, grid_state().cur_pos, &t))
    bulletin_decode(t.text.data(), t.text.size(), &b, &problem, true);
  DATE_init(&info->date);
  info->label[0] = '\0';
  if (b.year != -9999 && b.month != -9999) {
    info->date.year = b.year;
    info->date.month = b.month;
    info->date.day = b.day;
    info->date.hour = b.hour;
    DateRec shown = info->date;
    DATE_make_label(&shown, info->label);
  }
  f->base_date = info->date;
  GRD_rewind(handle);
  return 0;
}

int grid_read_bulletin(int handle, GridRecord *grid, int mode, int *grid_number) {
  GridFile *f = grid_file(handle);
  GridState &s = grid_state();
  const int n = *grid_number;
  if (!f->fp || n < 0) return -1;
  Bulletin b;
  int var = 0;
  if (!position(handle, f, s, n, &b, &var)) return -1;
  fill_record(b, var, grid, mode);
  seek(f->fp, s.cur_pos);
  if (mode == 0) *grid_number = f->cur_grid;
  return 0;
}
