// Grid selection: the selection text attached to a file name ("#5",
// "+12:500mb:hh", "-1250hh:degC") turned into a selection record, and the
// test of a grid against it.
#include <cstdio>
#include <cstring>
#include <strings.h>

#include "config/config.h"
#include "files/files.h"
#include "grid/grid.h"
#include "naming/naming.h"

namespace {

// Short variable keys of the selection texts.
int variable_key(const char *field) {
  if (strcmp(field, "pr") == 0) return 1;  // exact: "PR" is a variable text
  static const struct { const char *key; int var; } keys[] = {
      {"hh", 7},  {"st", 11}, {"rh", 52}, {"li", 131}, {"uw", 33},  {"vw", 34},  {"vv", 39},
      {"qp", 61}, {"sc", 66}, {"wh", 100}, {"wp", 108}, {"wd", 107}, {"ss", 80},
  };
  for (const auto &k : keys)
    if (strcasecmp(field, k.key) == 0) return k.var;
  return 0;
}

void decode_fields(const char *time, const char *level, const char *var, GridSpec *wanted) {
  VAR_dec_time(time, &wanted->time);
  VAR_dec_level(level, &wanted->ltype, &wanted->level);
  if (const int key = variable_key(var)) wanted->var[0] = key;
  else VAR_dec_var(var, wanted);
}

// "-TTLLVV:units": two characters each of time, level and variable.
void fixed_fields(const char *text, GridSpec *wanted) {
  char t[3] = "", l[3] = "", v[3] = "", units[161] = "";
  sscanf(text, "%2s%2s%2s:%160s", t, l, v, units);
  copy_text(wanted->units, units);
  decode_fields(t, l, v, wanted);
}

// "+time:level:variable:units:grid type".
void colon_fields(const char *text, GridSpec *wanted, int *grid_type) {
  std::string field[5];
  int n = 0;
  for (const char *p = text; n < 5; ++n) {
    const char *colon = strchr(p, ':');
    field[n] = colon ? std::string(p, colon) : std::string(p);
    if (!colon) {
      ++n;
      break;
    }
    p = colon + 1;
  }
  decode_fields(field[0].c_str(), field[1].c_str(), field[2].c_str(), wanted);
  copy_text(wanted->units, field[3].c_str());
  if (n == 5) sscanf(field[4].c_str(), "%d", grid_type);
}

}  // namespace

int GRD_parse_params(const char *text, GridSpec *wanted, int *grid_type) {
  int result = -9999;
  wanted->units[0] = '\0';
  for (int &v : wanted->var) v = -9999;
  wanted->time = wanted->ltype = wanted->level = -9999;
  RES_getval("grid_type", grid_type, 2);
  if (!text || !*text || strcmp(text, "-") == 0) return result;
  switch (text[0]) {
    case '#': {
      char units[161] = "";
      sscanf(text + 1, "%d:%160s", &result, units);
      copy_text(wanted->units, units);
      break;
    }
    case ':':
      copy_text(wanted->units, text + 1);
      break;
    case '-':
      result = -1;
      fixed_fields(text + 1, wanted);
      break;
    case '+':
      result = -1;
      colon_fields(text + 1, wanted, grid_type);
      break;
    default:
      break;
  }
  MESS_print(0x40000000, "GRD_parse: %d %d %d %d\n", wanted->time, wanted->ltype, wanted->level, wanted->var[0]);
  return result;
}

int GRD_test(const GridRecord *g, const GridSpec *wanted, int grid_type) {
  bool var = false;
  for (int v : wanted->var) var = var || (v != -9999 && v == g->var);
  bool time = true;
  if (wanted->time > 1000) time = wanted->time == g->time;
  else if (wanted->time != -9999) time = wanted->time == g->time % 1000;
  const bool ok = var && (wanted->ltype == -9999 || wanted->ltype == g->ltype) &&
                  (wanted->level == -9999 || wanted->level == g->level) && time &&
                  (grid_type == -9999 || grid_type == g->type);
  MESS_print(0x80000000, "Searching: T-%d:%d LT-%d:%d L-%d:%d V-%d,%d,%d,%d,%d:%d G-%d:%d = %d\n", wanted->time,
             g->time, wanted->ltype, g->ltype, wanted->level, g->level, wanted->var[0], wanted->var[1], wanted->var[2],
             wanted->var[3], wanted->var[4], g->var, grid_type, g->type, ok ? 1 : 0);
  return ok ? 1 : 0;
}
