// The key numbers of a header (index) file line, in its three forms: six plain
// numbers after the "/", the source and model joined by ":" followed by five
// numbers, or tagged letter-number pairs after "/ GRIB".
#include <cstdio>
#include <cstring>

#include "grid/grid_state.h"

namespace {

void tagged_keys(const char *p, GridRecord *g) {
  int skipped = 0;
  if (sscanf(p, "/ GRIB%*d %n", &skipped) < 0 || skipped == 0) {
    // No number after the tag: the pairs start right after it.
    p += strlen("/ GRIB");
  } else {
    p += skipped;
  }
  char letter;
  int value, used;
  while (sscanf(p, "%c%d %n", &letter, &value, &used) == 2) {
    switch (letter) {
      case 'S': g->source = value; break;
      case 'M': g->model = value; break;
      case 'G': g->type = value; break;
      case 'T': g->time = value; break;
      case 'L': g->ltype = value; break;
      case 'H': g->level = value; break;
      case 'V': g->var = value; break;
      default: break;
    }
    p += used;
  }
}

}  // namespace

bool grid_header_keys(const char *line, GridRecord *g) {
  if (const char *tag = strstr(line, "/ GRIB")) {
    tagged_keys(tag, g);
    return true;
  }
  const char *slash = strchr(line, '/');
  if (!slash) return false;
  int k[6];
  const int n = sscanf(slash + 1, "%d %d %d %d %d %d", &k[0], &k[1], &k[2], &k[3], &k[4], &k[5]);
  if (n == 6) {
    g->model = k[0], g->type = k[1], g->time = k[2], g->ltype = k[3], g->level = k[4], g->var = k[5];
    return true;
  }
  int s[7];
  if (n == 1 &&
      sscanf(slash + 1, "%d:%d %d %d %d %d %d", &s[0], &s[1], &s[2], &s[3], &s[4], &s[5], &s[6]) == 7) {
    g->source = s[0], g->model = s[1], g->type = s[2], g->time = s[3], g->ltype = s[4], g->level = s[5];
    g->var = s[6];
    return true;
  }
  return false;
}
