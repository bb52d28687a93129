// Projection keywords of domain texts: the first keyword prefix that starts
// the word decides the projection code.
#include "domain/domain.h"

#include <strings.h>

#include <cstring>

namespace {

struct KeywordPrefix {
  const char *prefix;
  int code;
};

// Order matters: "lamb" and "lat" must come before "la" (Lambert azimuthal).
constexpr KeywordPrefix kPrefixes[] = {
    {"ll", DOM_PROJ_LATLON},   {"lat", DOM_PROJ_LATLON}, {"polar", DOM_PROJ_PSTEREO},
    {"ps", DOM_PROJ_PSTEREO},  {"sat", DOM_PROJ_SAT},    {"lamb", DOM_PROJ_LAMB},
    {"lc", DOM_PROJ_LAMB},     {"la", DOM_PROJ_LAMBAZ},  {"gn", DOM_PROJ_GNOM},
    {"or", DOM_PROJ_ORTHO},    {"mo", DOM_PROJ_MOLL},    {"me", DOM_PROJ_MERC},
    {"pix", DOM_PROJ_PIXEL},   {"xy", DOM_PROJ_XY},      {"xlogy", DOM_PROJ_XLOGP},
    {"xlogp", DOM_PROJ_XLOGP}, {"cat", DOM_PROJ_CAT},    {"skewt", DOM_PROJ_SKEWT},
    {"ema", DOM_PROJ_EMA},     {"teph", DOM_PROJ_TEPHI}, {"rteph", DOM_PROJ_TLOGTHETA},
    {"therm", DOM_PROJ_SKEWT}, {"stuve", DOM_PROJ_STUVE}, {"hodo", DOM_PROJ_POLAR},
    {"vert", DOM_PROJ_XLOGP},
};

}  // namespace

int DOM_proj_str(const char *keyword) {
  if (keyword == nullptr || keyword[0] == '\0') return -1;
  if (strcasecmp(keyword, "miss") == 0) return DOM_PROJ_NONE;
  for (const KeywordPrefix &p : kPrefixes) {
    if (strncasecmp(keyword, p.prefix, std::strlen(p.prefix)) == 0) return p.code;
  }
  if (strcasecmp(keyword, "xp") == 0) return DOM_PROJ_XY_DOWN;
  if (strncasecmp(keyword, "zoom", 4) == 0) return DOM_PROJ_ZOOM;
  if (strncasecmp(keyword, "size", 4) == 0) return DOM_PROJ_SIZE;
  return -1;
}
