// The grid definition section (section 3) of GRIB edition 2: grid size,
// scanning direction, quasi-regular row lengths, the domain of
// latitude/longitude (template 3.0), Mercator (3.10), polar stereographic
// (3.20) and Lambert conformal (3.30) grids, and the grid code that stands in
// for a grid number.  The grid stays in force for the later fields of the
// message until another grid definition comes.
#include <sys/types.h>

#include <algorithm>
#include <cmath>

#include "config/config.h"
#include "domain/domain.h"
#include "grib/decoder_state.h"
#include "grib/edition2_section.h"
#include "grib/grib.h"
#include "grib/grib_internal.h"
#include "grid/grid.h"

namespace {

constexpr uint32_t kDomainDebug = 0xF0000000;
constexpr const char *kName = "grid definition";
constexpr int64_t kMaxPoints = int64_t{1} << 26;  // largest grid whose values are given
constexpr uint64_t kAllOnes32 = 0xFFFFFFFFu;

// What the section must hold for each supported template.
struct GridTemplate {
  int number;
  int scan_octet;  // the scanning mode
  int last_octet;  // the template's last octet
  int max_rows;
};

constexpr GridTemplate kTemplates[] = {
    {0, 72, 72, 10000},   // latitude/longitude
    {10, 60, 72, 2000},   // Mercator
    {20, 65, 65, 2000},   // polar stereographic
    {30, 65, 81, 2000},   // Lambert conformal
};

const GridTemplate *find_template(int number) {
  for (const GridTemplate &t : kTemplates)
    if (t.number == number) return &t;
  return nullptr;
}

double east_of_180(double lon) { return lon > 180.0 ? lon - 360.0 : lon; }

// Angles of the section in degrees: millionths of a degree, or for template
// 3.0 a fraction of its basic angle when one is given.
struct Angles {
  double unit = 1e-6;
  double at(const Ed2Section &s, int k) const { return s.sm(k, 4) * unit; }
};

Angles latlon_angles(const Ed2Section &s) {
  Angles a;
  const uint64_t basic = s.u(39, 4);
  const uint64_t parts = s.u(43, 4);
  if (basic == 0 || basic == kAllOnes32 || parts == 0 || parts == kAllOnes32) return a;
  // Units coarser than a degree are not in use; they would only come from damage.
  const double unit = static_cast<double>(basic) / static_cast<double>(parts);
  if (unit <= 1.0) a.unit = unit;
  return a;
}

void scanning_mode(const Ed2Section &s, const GridTemplate &t) {
  GribDecoder &d = grib_decoder();
  const int scan = s.u8(t.scan_octet);
  // Bit 0x40: rows run south to north.  (Bit 0x02 concerns offsets of odd
  // rows in edition 2, not the row order.)
  d.ydir = (scan & 0x40) ? 1 : -1;
  d.xalt = (scan & 0x10) ? 1 : 0;
  if (d.ydir > 0)
    MESS_print(kGribTrace, "Gridpoint direction: %x : south to north\n", scan);
  else
    MESS_print(kGribTrace, "Gridpoint direction: %x : north to south\n", scan);
}

// Row lengths of a quasi-regular grid, listed after the template with the
// octet count per number that octet 11 gives.  The widest row, or 0 when the
// list is absent or damaged.
int64_t quasi_regular_rows(const Ed2Section &s, const GridTemplate &t, int64_t ny) {
  GribDecoder &d = grib_decoder();
  const int width = s.u8(11);
  if (width < 1 || width > 4) {
    grib_damaged("a quasi-regular grid has no list of row lengths");
    return 0;
  }
  if (!s.has(t.last_octet + 1, ny * width)) {
    grib_damaged("the row lengths run past the grid definition section");
    return 0;
  }
  d.thin_ptr.assign(static_cast<size_t>(ny), 0);
  int64_t widest = 0;
  for (int64_t i = 0; i < ny; ++i) {
    const int64_t n = static_cast<int64_t>(s.u(t.last_octet + 1 + i * width, width));
    if (n > kMaxPoints) {
      grib_damaged("a quasi-regular row is longer than any grid");
      return 0;
    }
    d.thin_ptr[static_cast<size_t>(i)] = static_cast<int32_t>(n);
    widest = std::max(widest, n);
  }
  MESS_print(kGribTrace, "Thinning grid\n");
  return widest;
}

// Grid size and rows; false when the grid is given up.
bool grid_shape(const Ed2Section &s, const GridTemplate &t, Domain &dv) {
  GribDecoder &d = grib_decoder();
  const uint64_t ni = s.u(31, 4);
  const int64_t ny = static_cast<int64_t>(s.u(35, 4));
  if (ny > t.max_rows) {
    MESS_print(kGribWarn, "GRIB grid of %lld rows is larger than %d rows; not read\n", static_cast<long long>(ny),
               t.max_rows);
    return false;
  }
  int64_t nx = static_cast<int64_t>(ni);
  if (t.number == 0 && ni == kAllOnes32) {
    d.thin = 1;
    nx = quasi_regular_rows(s, t, ny);
    if (nx <= 0) return false;
  }
  if (nx < 1 || ny < 1) {
    grib_damaged("the grid has no points");
    return false;
  }
  if (nx * ny > kMaxPoints) {
    MESS_print(kGribWarn, "GRIB grid of %lld points is larger than %lld points; not read\n",
               static_cast<long long>(nx * ny), static_cast<long long>(kMaxPoints));
    return false;
  }
  dv.nx = static_cast<int>(nx);
  dv.ny = static_cast<int>(ny);
  return true;
}

void grid_size_line(const Domain &dv) { MESS_print(kGribTrace, "Grid size: %3.2fx%3.2f\n", dv.dx, dv.dy); }

float spacing(double extent, int n) { return n > 1 ? static_cast<float>(std::fabs(extent) / (n - 1)) : 0.0f; }

void latlon_grid(const Ed2Section &s, Domain &dv) {
  MESS_print(kGribTrace, "Lat-lon Grid\n");
  const Angles a = latlon_angles(s);
  dv.proj = DOM_PROJ_LATLON;
  const double la1 = a.at(s, 47);
  const double lo1 = east_of_180(a.at(s, 51));
  const double la2 = a.at(s, 56);
  double lo2 = east_of_180(a.at(s, 60));
  if (lo2 < lo1) lo2 += 360.0;
  MESS_print(kGribTrace, "Grid locate: %3.2f N, %3.2f E - %3.2f N %3.2f E %3.2f - %d %d\n", la1, lo1, la2, lo2,
             s.u(39, 4) * 1e-6, static_cast<int>(s.u(31, 4)), dv.ny);
  dv.plat = 0.0f;
  dv.clon = static_cast<float>(east_of_180((lo1 + lo2) / 2.0));
  dv.plon = dv.clon;
  dv.clat = static_cast<float>((la1 + la2) / 2.0);
  MESS_print(kGribTrace, "Grid locate: %3.2f N, %3.2f E\n", dv.clat, dv.clon);
  dv.dx = spacing(lo2 - lo1, dv.nx);
  dv.dy = spacing(la2 - la1, dv.ny);
  grid_size_line(dv);
  DOM_print(kDomainDebug, dv);
}

// The central meridian of a band from lo1 eastwards to lo2, which may cross
// the date line.
float middle_longitude(double lo1, double lo2) {
  if (lo1 <= lo2) return static_cast<float>((lo1 + lo2) / 2.0);
  double mid = (lo1 - 360.0 + lo2) / 2.0;
  if (mid < -180.0) mid += 360.0;
  return static_cast<float>(mid);
}

void mercator_grid(const Ed2Section &s, Domain &dv) {
  MESS_print(kGribTrace, "Mercator Grid\n");
  const Angles a;
  dv.proj = DOM_PROJ_MERC;
  const double la1 = a.at(s, 39), lo1 = east_of_180(a.at(s, 43));
  const double la2 = a.at(s, 52), lo2 = east_of_180(a.at(s, 56));
  dv.plat = 0.0f;
  dv.plon = middle_longitude(lo1, lo2);
  MAP_domain(&dv);
  float p1[2] = {0, 0}, p2[2] = {0, 0}, centre[2] = {0, 0};
  MAP_tran_ep(static_cast<float>(la1), static_cast<float>(lo1), p1);
  MAP_tran_ep(static_cast<float>(la2), static_cast<float>(lo2), p2);
  const float mx = (p1[0] + p2[0]) / 2.0f, my = (p1[1] + p2[1]) / 2.0f;
  MAP_tran_pe(mx, my, centre);
  dv.clat = centre[0];
  dv.clon = centre[1];
  MESS_print(kGribTrace, "Grid locate: %3.2f N, %3.2f E - %3.2f N %3.2f E - %f %f\n", la1, lo1, la2, lo2, mx, my);
  dv.dx = spacing(p2[0] - p1[0], dv.nx);
  dv.dy = spacing(p2[1] - p1[1], dv.ny);
  grid_size_line(dv);
}

// Projection centre flag: bit 0x80 puts the pole of the projection in the south.
float pole_latitude(const Ed2Section &s) { return (s.u8(64) & 0x80) ? -90.0f : 90.0f; }

// Dx and Dy in millimetres, as map units of 100 km.
void projected_spacing(const Ed2Section &s, Domain &dv) {
  dv.dx = static_cast<float>(static_cast<double>(s.u(56, 4)) * 1e-8);
  dv.dy = static_cast<float>(static_cast<double>(s.u(60, 4)) * 1e-8);
  grid_size_line(dv);
}

// The centre of the grid, from its first point (x1, y1) in map units.
void centre_from_first_point(Domain &dv, float x1, float y1) {
  const double cx = x1 + (dv.nx - 1) * static_cast<double>(dv.dx) * 0.5;
  const double cy = y1 + (dv.ny - 1) * grib_decoder().ydir * static_cast<double>(dv.dy) * 0.5;
  float centre[2] = {0, 0};
  MAP_tran_pe(static_cast<float>(cx), static_cast<float>(cy), centre);
  dv.clat = centre[0];
  dv.clon = centre[1];
}

void polar_grid(const Ed2Section &s, Domain &dv) {
  MESS_print(kGribTrace, "Polar Stereographic Grid\n");
  const Angles a;
  dv.proj = DOM_PROJ_PSTEREO;
  const float la1 = static_cast<float>(a.at(s, 39));
  const float lo1 = static_cast<float>(east_of_180(a.at(s, 43)));
  dv.param1 = static_cast<float>(a.at(s, 48));
  dv.plon = static_cast<float>(east_of_180(a.at(s, 52)));
  dv.plat = pole_latitude(s);
  MAP_domain(&dv);
  float p1[2] = {0, 0};
  MAP_tran_ep(la1, lo1, p1);
  MESS_print(kGribTrace, "Grid locate: %3.2f N, %3.2f E - %3.2f E %f %f\n", la1, lo1, dv.plon, p1[0], p1[1]);
  projected_spacing(s, dv);
  centre_from_first_point(dv, p1[0], p1[1]);
  float c[2] = {0, 0};
  MAP_tran_ep(dv.clat, dv.clon, c);
  MESS_print(kGribTrace, "Grid locate: %3.2f N, %3.2f E - %3.2f E %f %f\n", dv.clat, dv.clon, dv.plon, c[0], c[1]);
}

void lambert_grid(const Ed2Section &s, Domain &dv) {
  MESS_print(kGribTrace, "Lambert Conformal Grid\n");
  const Angles a;
  dv.proj = DOM_PROJ_LAMB;
  dv.plon = static_cast<float>(east_of_180(a.at(s, 52)));
  dv.plat = pole_latitude(s);
  dv.param1 = static_cast<float>(a.at(s, 66));
  dv.param2 = static_cast<float>(a.at(s, 70));
  MESS_print(kGribTrace, "Grid parallels: %3.2f N, %3.2f N\n", dv.param1, dv.param2);
  dv.param3 = 1.0f;
  MAP_domain(&dv);
  const float la1 = static_cast<float>(a.at(s, 39));
  const float lo1 = static_cast<float>(east_of_180(a.at(s, 43)));
  MESS_print(kGribTrace, "Grid start: %3.2f N, %3.2f E\n", la1, lo1);
  float p1[2] = {0, 0};
  MAP_tran_ep(la1, lo1, p1);
  projected_spacing(s, dv);
  centre_from_first_point(dv, p1[0], p1[1]);
  MESS_print(kGribTrace, "Grid locate: %3.2f N, %3.2f E\n", dv.clat, dv.clon);
}

// The grid code that stands for a grid number in edition 2:
// T × 10000000 + A × 1000000 + B × 10000 + (Ni div 10) × 100 + C, A and B the
// tens of degrees of the first latitude and longitude (B counted back from
// 36 for a western longitude and forward by 36 for a southern latitude), C
// the longitude step in tenths of a degree for template 3.0, else octets
// 56-59 in millions.  Computed modulo 2^32, as it must fit the record.
int32_t grid_code(const Ed2Section &s, int number, int64_t ni) {
  const bool latlon = number == 0;
  const Angles a = latlon ? latlon_angles(s) : Angles{};
  const int first = latlon ? 47 : 39;
  const double lat = a.at(s, first);
  const double lon = east_of_180(a.at(s, first + 4));
  int64_t b = static_cast<int64_t>(std::fabs(lon) / 10.0);
  if (lon < 0) b = 36 - b;
  if (lat < 0) b += 36;
  int64_t c = 0;
  if (latlon) {
    double lo2 = east_of_180(a.at(s, 60));
    if (lo2 <= lon) lo2 += 360.0;
    if (ni > 1) c = static_cast<int64_t>((lo2 - lon) / static_cast<double>(ni - 1) * 10.0);
  } else {
    c = s.sm(56, 4) / 1000000;
  }
  const int64_t code = number * int64_t{10000000} + static_cast<int64_t>(std::fabs(lat) / 10.0) * 1000000 +
                       b * 10000 + (ni / 10) * 100 + c;
  return static_cast<int32_t>(static_cast<uint32_t>(code));
}

void report_unsupported(FILE *fp, int number) {
  if (ed2_first_unsupported(fp, 3, number))
    MESS_print(kGribWarn, "GRIB edition 2 grid template 3.%d is not supported; its fields get no values\n",
               number);
}

// Starts a grid definition: nothing of the previous grid stays in force.
void forget_grid(Edition2Sections &e) {
  GribDecoder &d = grib_decoder();
  DOM_init(e.dv);
  d.ydir = 1;
  d.xalt = 0;
  d.thin = 0;
  d.thin_ptr.clear();
  e.grid_unsupported = true;
  e.grid_code = 0;
}

// Decodes a supported template into dv; false when the grid is given up.
bool decode_grid(const Ed2Section &s, const GridTemplate &t, Domain &dv) {
  if (!s.has(1, t.last_octet)) {
    ed2_section_too_short(kName);
    return false;
  }
  scanning_mode(s, t);
  if (!grid_shape(s, t, dv)) return false;
  Domain saved;
  MAP_get_domain(&saved);
  switch (t.number) {
    case 0: latlon_grid(s, dv); break;
    case 10: mercator_grid(s, dv); break;
    case 20: polar_grid(s, dv); break;
    default: lambert_grid(s, dv); break;
  }
  if (t.number != 0) MAP_domain(&saved);
  return true;
}

}  // namespace

int GRIB_GDS(int handle, GridRecord *rec) {
  FILE *fp = grib_stream(handle);
  if (!fp || !rec) return 0;
  Edition2Sections &e = grib_decoder().ed2;
  forget_grid(e);
  Ed2Section s;
  if (!ed2_read_section(fp, 14, kName, s)) return 0;
  const int number = static_cast<int>(s.u(13, 2));
  e.grid_template = number;
  MESS_print(0x80000000, "GDS: %d\n", number);
  const GridTemplate *t = find_template(number);
  if (t && !decode_grid(s, *t, e.dv)) {
    DOM_init(e.dv);
    return 0;
  }
  if (!t) report_unsupported(fp, number);
  e.grid_unsupported = t == nullptr;
  const int64_t ni = grib_decoder().thin ? e.dv.nx : static_cast<int64_t>(s.u(31, 4));
  e.grid_code = grid_code(s, number, ni);
  rec->domain = e.dv;
  rec->type = e.grid_code;
  return 1;
}
