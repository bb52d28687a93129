// The text form of a Domain, as printed after "Proj:" in grid listings:
// name[:e]:plat:plon:param1:param2:param3,clat,clon,nx,ny,dx,dy — the form 3
// that DOM_decode reads back.
#include "domain/domain.h"

#include <cstdarg>
#include <cstdio>
#include <string>

#include "config/config.h"

namespace {

const char *projection_name(int code) {
  switch (code) {
    case DOM_PROJ_PSTEREO: return "pstereo";
    case DOM_PROJ_LATLON: return "latlon";
    case DOM_PROJ_MERC: return "merc";
    case DOM_PROJ_LAMB: return "lamb";
    case DOM_PROJ_ORTHO: return "ortho";
    case DOM_PROJ_GNOM: return "gnom";
    case DOM_PROJ_MOLL: return "moll";
    case DOM_PROJ_LAMBAZ: return "lambaz";
    case DOM_PROJ_SAT: return "sat";
    case DOM_PROJ_XY: return "xy";
    case DOM_PROJ_XZ: return "xz";
    case DOM_PROJ_XLOGP: return "xlogp";
    case DOM_PROJ_POLAR: return "polar";
    case DOM_PROJ_CAT: return "cat";
    case DOM_PROJ_SKEWT: return "skewt";
    case DOM_PROJ_STUVE: return "stuve";
    case DOM_PROJ_EMA: return "ema";
    case DOM_PROJ_ZOOM: return "zoom";
    case DOM_PROJ_PIXEL: return "pixel";
    default: return "";
  }
}

// Appends printf-style text. The longest piece is the last one with four
// floats near FLT_MAX in fixed notation (under 50 characters each).
void append(std::string &text, const char *format, ...) __attribute__((format(printf, 2, 3)));

void append(std::string &text, const char *format, ...) {
  char piece[512];
  va_list args;
  va_start(args, format);
  const int n = vsnprintf(piece, sizeof piece, format, args);
  va_end(args);
  if (n > 0) text += piece;
}

}  // namespace

int DOM_print(uint32_t level, const Domain &domain) {
  if (!MESS_check(level)) return 0;
  std::string text = projection_name(domain.proj);
  if (domain.ellipsoid) text += ":e";
  for (const float value : {domain.plat, domain.plon, domain.param1, domain.param2, domain.param3}) {
    if (value == -9999.0f) text += ":";
    else append(text, ":%3.3f", static_cast<double>(value));
  }
  append(text, ",%3.3f,%3.3f,%d,%d,%4.4f,%4.4f\n", static_cast<double>(domain.clat),
         static_cast<double>(domain.clon), domain.nx, domain.ny, static_cast<double>(domain.dx),
         static_cast<double>(domain.dy));
  MESS_print(level, "%s", text.c_str());
  return 0;
}
