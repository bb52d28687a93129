// Domains of the NCEP predefined grid numbers, used for edition 1 products
// that carry no grid description section.
#include "domain/domain.h"
#include "grib/grib.h"

namespace {

struct PredefinedGrid {
  int number;
  int proj;
  int nx;
  int ny;
  float dx;  // degrees for latitude/longitude grids, 100 km otherwise
  float dy;
  float clat;
  float clon;
};

constexpr PredefinedGrid kGrids[] = {
    {21, DOM_PROJ_LATLON, 37, 37, 5.0f, 2.5f, 45.0f, 90.0f},
    {22, DOM_PROJ_LATLON, 37, 37, 5.0f, 2.5f, 45.0f, -90.0f},
    {23, DOM_PROJ_LATLON, 37, 37, 5.0f, 2.5f, -45.0f, 90.0f},
    {24, DOM_PROJ_LATLON, 37, 37, 5.0f, 2.5f, -45.0f, -90.0f},
    {25, DOM_PROJ_LATLON, 73, 19, 5.0f, 5.0f, 45.0f, 180.0f},
    {26, DOM_PROJ_LATLON, 73, 19, 5.0f, 5.0f, -45.0f, 180.0f},
    {37, DOM_PROJ_LATLON, 73, 73, 1.5f, 1.5f, 45.0f, 15.0f},
    {38, DOM_PROJ_LATLON, 73, 73, 1.5f, 1.5f, 45.0f, 105.0f},
    {39, DOM_PROJ_LATLON, 73, 73, 1.5f, 1.5f, 45.0f, -165.0f},
    {40, DOM_PROJ_LATLON, 73, 73, 1.5f, 1.5f, 45.0f, -75.0f},
    {41, DOM_PROJ_LATLON, 73, 73, 1.5f, 1.5f, -45.0f, 15.0f},
    {42, DOM_PROJ_LATLON, 73, 73, 1.5f, 1.5f, -45.0f, 105.0f},
    {43, DOM_PROJ_LATLON, 73, 73, 1.5f, 1.5f, -45.0f, -165.0f},
    {44, DOM_PROJ_LATLON, 73, 73, 1.5f, 1.5f, -45.0f, -75.0f},
    {50, DOM_PROJ_LATLON, 36, 33, 2.5f, 1.25f, 40.0f, -96.25f},
    {61, DOM_PROJ_LATLON, 91, 46, 2.0f, 2.0f, 45.0f, 90.0f},
    {62, DOM_PROJ_LATLON, 91, 46, 2.0f, 2.0f, 45.0f, -90.0f},
    {63, DOM_PROJ_LATLON, 91, 46, 2.0f, 2.0f, -45.0f, 90.0f},
    {64, DOM_PROJ_LATLON, 91, 46, 2.0f, 2.0f, -45.0f, -90.0f},
    {211, DOM_PROJ_LAMB, 93, 65, 0.8127f, 0.8127f, 40.607f, -100.553f},
    {212, DOM_PROJ_LAMB, 185, 129, 0.4063f, 0.4063f, 40.606f, -100.554f},
    {215, DOM_PROJ_LAMB, 369, 257, 0.2032f, 0.2032f, 40.607f, -100.553f},
};

// The Lambert conformal grids share one projection: a cone tangent at 25N
// with its vertical meridian at 95W, apex over the north pole.
void set_ncep_lambert(Domain *domain) {
  domain->plat = 90.0f;
  domain->plon = -95.0f;
  domain->param1 = 25.0f;
  domain->param2 = 25.0f;
  domain->param3 = 1.0f;
}

}  // namespace

int GRIB_set_domain(int grid_number, Domain *domain) {
  if (domain == nullptr) return 1;
  for (const PredefinedGrid &g : kGrids) {
    if (g.number != grid_number) continue;
    domain->proj = g.proj;
    domain->nx = g.nx;
    domain->ny = g.ny;
    domain->dx = g.dx;
    domain->dy = g.dy;
    domain->clat = g.clat;
    domain->clon = g.clon;
    if (g.proj == DOM_PROJ_LAMB) set_ncep_lambert(domain);
    return 1;
  }
  return 1;
}
