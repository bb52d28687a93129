// The grid description section (GDS) of GRIB edition 1: grid size, scanning
// direction, quasi-regular row lengths and the domain of latitude/longitude,
// Mercator, Lambert conformal and polar stereographic grids.
#include <sys/types.h>

#include <cmath>
#include <vector>

#include "config/config.h"
#include "domain/domain.h"
#include "grib/decoder_state.h"
#include "grib/grib.h"
#include "grib/grib_internal.h"
#include "grid/grid.h"

namespace {

constexpr int kMaxRows = 2000;
constexpr int kMaxCols = 2000;
constexpr int kGdsFixed = 32;

// The GDS in memory: octet k is at index k.
struct Gds {
  std::vector<unsigned char> octets;
  int len = 0;
  unsigned char at(int k) const { return k >= 1 && k <= len ? octets[static_cast<size_t>(k)] : 0; }
  int u16(int k) const { return (at(k) << 8) | at(k + 1); }
  // Latitudes and longitudes: 24-bit sign and magnitude, millidegrees.
  float deg(int k) const {
    const unsigned char p[3] = {at(k), at(k + 1), at(k + 2)};
    return static_cast<float>(grib_sm(p, 3) / 1000.0);
  }
  int u24(int k) const { return (at(k) << 16) | (at(k + 1) << 8) | at(k + 2); }
};

float east_of_180(float lon) { return lon > 180.0f ? lon - 360.0f : lon; }

// Reads the whole declared GDS.  1, 0 when it does not fit the product, -1 when the stream ends.
int read_gds(FILE *fp, Gds &g) {
  unsigned char head[kGdsFixed];
  if (fread(head, 1, kGdsFixed, fp) < kGdsFixed) return -1;
  const int len = static_cast<int>(grib_uint(head, 3));
  if (len < kGdsFixed || len - kGdsFixed > grib_room(fp)) {
    grib_damaged("the grid description section does not fit");
    return 0;
  }
  g.len = len;
  g.octets.assign(static_cast<size_t>(len) + 1, 0);
  std::copy(head, head + kGdsFixed, g.octets.begin() + 1);
  const size_t more = static_cast<size_t>(len - kGdsFixed);
  if (more > 0 && fread(g.octets.data() + 1 + kGdsFixed, 1, more, fp) < more) return -1;
  return 1;
}

// Row lengths of a quasi-regular grid.  The list follows the vertical
// coordinates, if any; octet 5 gives where those begin.  0 when it does not fit.
int read_rows(const Gds &g, int ny) {
  GribDecoder &d = grib_decoder();
  const int nv = g.at(4);
  const int at = g.at(5) + 4 * nv;
  if (at + 2 * ny - 1 > g.len) {
    grib_damaged("the row lengths run past the grid description section");
    return 0;
  }
  d.thin_ptr.assign(static_cast<size_t>(ny), 0);
  int widest = 0;
  for (int i = 0; i < ny; ++i) {
    d.thin_ptr[static_cast<size_t>(i)] = g.u16(at + 2 * i);
    if (d.thin_ptr[static_cast<size_t>(i)] > widest) widest = d.thin_ptr[static_cast<size_t>(i)];
  }
  return widest;
}

void grid_size_line(const Domain &dom) { MESS_print(kGribTrace, "Grid size: %3.2fx%3.2f\n", dom.dx, dom.dy); }

void latlon_grid(const Gds &g, Domain &dom, int grid_id) {
  GribDecoder &d = grib_decoder();
  MESS_print(kGribTrace, "Lat-Lon Grid\n");
  dom.proj = DOM_PROJ_LATLON;
  const float la1 = g.deg(11);
  const float lo1 = g.deg(14);
  const float la2 = g.deg(18);
  float lo2 = g.deg(21);
  if (lo2 < lo1) lo2 += 360.0f;
  d.lat = la1;
  MESS_print(kGribTrace, "Res/comp flag: %X\n", g.at(17));
  MESS_print(kGribTrace, "Grid locate: %3.2f N, %3.2f E\n", la1, lo1);
  const float from_lats = dom.ny > 1 ? (la2 - la1) * d.ydir / (dom.ny - 1) : 0.0f;
  if (g.at(17) & 0x80) {
    // An increment sent as all ones is missing (quasi-regular rows): take it from the corners.
    const int di = g.u16(24);
    const int dj = g.u16(26);
    dom.dx = di == 0xFFFF ? (dom.nx > 1 ? (lo2 - lo1) / (dom.nx - 1) : 0.0f) : di / 1000.0f;
    dom.dy = dj == 0xFFFF ? from_lats : dj / 1000.0f;
  } else {
    dom.dx = from_lats;
    dom.dy = from_lats;
  }
  if (dom.dx > 30.0f && grid_id >= 37 && grid_id <= 44) dom.dx = 1.25f;
  grid_size_line(dom);
  dom.clon = east_of_180(static_cast<float>(lo1 + (dom.nx - 1) * 0.5 * dom.dx));
  dom.clat = static_cast<float>(la1 + ((dom.ny - 1) * d.ydir) * 0.5 * dom.dy);
}

void mercator_grid(const Gds &g, Domain &dom) {
  MESS_print(kGribTrace, "Mercator Grid\n");
  dom.proj = DOM_PROJ_MERC;
  const float la1 = g.deg(11), lo1 = g.deg(14);
  const float la2 = g.deg(18), lo2 = g.deg(21);
  if (lo1 > lo2) {
    float mid = (lo1 - 360.0f + lo2) / 2.0f;
    if (mid < -180.0f) mid += 360.0f;
    dom.plon = mid;
  } else {
    dom.plon = (lo1 + lo2) / 2.0f;
  }
  dom.plat = 0.0f;
  MAP_domain(&dom);
  float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  MAP_tran(la1, lo1, x1, y1);
  MAP_tran(la2, lo2, x2, y2);
  // Spacings are distances: rows sent north to south must not give a negative one.
  dom.dx = dom.nx > 1 ? std::fabs(x2 - x1) / (dom.nx - 1) : 0.0f;
  dom.dy = dom.ny > 1 ? std::fabs(y2 - y1) / (dom.ny - 1) : 0.0f;
  grid_size_line(dom);
  MAP_untran((x1 + x2) / 2.0f, (y1 + y2) / 2.0f, dom.clat, dom.clon);
  MESS_print(kGribTrace, "Grid locate: %3.2f N, %3.2f E\n", dom.clat, dom.clon);
}

void centre_flag(const Gds &g, Domain &dom, bool true_latitude) {
  const bool south = (g.at(27) & 0x80) != 0;
  dom.plat = south ? -90.0f : 90.0f;
  if (true_latitude) dom.param1 = south ? -60.0f : 60.0f;
}

// The centre of a grid of nx × ny points spaced dx, dy from its first point (x1, y1).
void centre_from_corner(Domain &dom, float x1, float y1) {
  const GribDecoder &d = grib_decoder();
  const double cx = x1 + (dom.nx - 1) * static_cast<double>(dom.dx) * 0.5;
  const double cy = y1 + (dom.ny - 1) * d.ydir * static_cast<double>(dom.dy) * 0.5;
  MAP_untran(static_cast<float>(cx), static_cast<float>(cy), dom.clat, dom.clon);
}

void lambert_grid(const Gds &g, Domain &dom) {
  MESS_print(kGribTrace, "Lambert Conformal Grid\n");
  dom.proj = DOM_PROJ_LAMB;
  dom.plon = east_of_180(g.deg(18));
  centre_flag(g, dom, false);
  dom.param1 = g.deg(29);
  dom.param2 = g.deg(32);
  MESS_print(kGribTrace, "Grid parallels: %3.2f N, %3.2f N\n", dom.param1, dom.param2);
  dom.param3 = 1.0f;
  MAP_domain(&dom);
  float x1 = 0, y1 = 0;
  MAP_tran(g.deg(11), g.deg(14), x1, y1);
  dom.dx = static_cast<float>(g.u24(21) / 100000.0);
  dom.dy = static_cast<float>(g.u24(24) / 100000.0);
  grid_size_line(dom);
  centre_from_corner(dom, x1, y1);
  MESS_print(kGribTrace, "Grid locate: %3.2f N, %3.2f E\n", dom.clat, dom.clon);
}

void polar_grid(const Gds &g, Domain &dom, const GridRecord &rec) {
  MESS_print(kGribTrace, "Polar Stereographic Grid\n");
  dom.proj = DOM_PROJ_PSTEREO;
  const float lov = east_of_180(g.deg(18));
  dom.plon = (rec.source == 98 && rec.type == 45) ? 0.0f : lov;
  centre_flag(g, dom, true);
  MAP_domain(&dom);
  const float la1 = g.deg(11), lo1 = g.deg(14);
  float x1 = 0, y1 = 0;
  MAP_tran(la1, lo1, x1, y1);
  MESS_print(kGribTrace, "Grid locate: %3.2f N, %3.2f E - %3.2f E %f %f\n", la1, lo1, lov, x1, y1);
  dom.dx = static_cast<float>(g.u24(21) / 100000.0);
  dom.dy = static_cast<float>(g.u24(24) / 100000.0);
  grid_size_line(dom);
  centre_from_corner(dom, x1, y1);
  float cx = 0, cy = 0;
  MAP_tran(dom.clat, dom.clon, cx, cy);
  MESS_print(kGribTrace, "Grid locate: %3.2f N, %3.2f E - %3.2f E %f %f\n", dom.clat, dom.clon, lov, cx, cy);
}

// Size, scanning direction and rows; 1, or 0 when the grid is given up.
int grid_shape(const Gds &g, Domain &dom) {
  GribDecoder &d = grib_decoder();
  const int pv = g.at(5);
  const int ni = g.u16(7);
  // Octet 5 locates either the vertical coordinates or the row lengths: with
  // vertical coordinates present the grid is quasi-regular only when its
  // rows have no fixed length.
  d.thin = (pv >= 1 && pv <= 254 && (g.at(4) == 0 || ni == 0xFFFF)) ? 1 : 0;
  if (d.thin) MESS_print(kGribTrace, "Thinning grid\n");
  const int scan = g.at(28);
  d.ydir = (scan & 0x40) || (scan & 0x02) ? 1 : -1;
  if (d.ydir > 0)
    MESS_print(kGribTrace, "Gridpoint direction: %x : south to north\n", scan);
  else
    MESS_print(kGribTrace, "Gridpoint direction: %x : north to south\n", scan);
  dom.nx = ni;
  dom.ny = g.u16(9);
  if (dom.ny > kMaxRows) {
    MESS_print(kGribWarn, "GRIB grid of %d rows is larger than %d rows; not read\n", dom.ny, kMaxRows);
    return 0;
  }
  if (d.thin) {
    const int widest = read_rows(g, dom.ny);
    if (widest <= 0) return 0;
    dom.nx = widest;
  }
  if (dom.nx > kMaxCols) {
    MESS_print(kGribWarn, "GRIB grid of %d columns is larger than %d columns; not read\n", dom.nx, kMaxCols);
    return 0;
  }
  if (dom.nx < 1 || dom.ny < 1) {
    grib_damaged("the grid has no points");
    return 0;
  }
  MESS_print(kGribTrace, "Number of gridpoints: %dx%d\n", dom.nx, dom.ny);
  return 1;
}

}  // namespace

int GRIB_GDB(int handle, GridRecord *rec) {
  FILE *fp = grib_stream(handle);
  if (!fp || !rec) return -1;
  GribDecoder &d = grib_decoder();
  d.thin = 0;
  d.thin_ptr.clear();
  if (!(d.pds[8] & 0x80)) return 1;  // no GDS: the predefined grid stands
  MESS_print(kGribTrace, "Grid description block\n");
  Gds g;
  const int r = read_gds(fp, g);
  if (r <= 0) {
    d.no_values = true;
    return r;
  }
  if (MESS_check(kGribDump)) {
    g.octets[0] = d.pds[d.pds_len > 0 ? d.pds_len : 0];  // the byte before the section
    grib_dump_octets(g.octets.data(), kGdsFixed);
  }
  const int type = g.at(6);
  MESS_print(kGribTrace, "Grid type: %d\n", type);
  Domain &dom = rec->domain;
  if (!grid_shape(g, dom)) {
    d.no_values = true;
    return 0;
  }
  const bool needs_42 = type == 1 || type == 3;
  if (needs_42 && g.len < 42) {
    grib_damaged("the grid description section is too short for its projection");
    d.no_values = true;
    return 0;
  }
  Domain saved;
  MAP_get_domain(&saved);
  switch (type) {
    case 0: latlon_grid(g, dom, d.grid_id); break;
    case 1: mercator_grid(g, dom); break;
    case 3: lambert_grid(g, dom); break;
    case 5: polar_grid(g, dom, *rec); break;
    default: break;  // other grids keep the predefined or empty domain
  }
  if (type == 1 || type == 3 || type == 5) MAP_domain(&saved);
  d.data_ptr = d.pds;
  return 1;
}
