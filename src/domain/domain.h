// Domains and map projections: the Domain record every grid carries, and the
// projection module that converts between earth coordinates (latitude,
// longitude in degrees) and map coordinates (units of 100 km; degrees for the
// latitude-longitude projection), plus the coordinate transforms of the chart
// types (x-y charts, thermodynamic diagrams, hodographs).
//
// The projection module keeps one current projection: every MAP_ transform
// works on the record last loaded with MAP_domain.
#ifndef KVZ_DOMAIN_DOMAIN_H
#define KVZ_DOMAIN_DOMAIN_H

// ---- the domain record -----------------------------------------------------

// Projection codes carried in Domain::proj.
enum DomainProjection : int {
  DOM_PROJ_NONE = -9999,
  DOM_PROJ_PSTEREO = 1,  // polar stereographic
  DOM_PROJ_LATLON = 2,   // latitude-longitude, map units are degrees
  DOM_PROJ_MERC = 3,     // Mercator
  DOM_PROJ_LAMB = 4,     // Lambert conformal conic
  DOM_PROJ_ORTHO = 5,    // orthographic
  DOM_PROJ_GNOM = 6,     // gnomonic (named only, no transform)
  DOM_PROJ_MOLL = 7,     // Mollweide
  DOM_PROJ_LAMBAZ = 8,   // Lambert azimuthal equal-area
  DOM_PROJ_SAT = 9,      // satellite view
  DOM_PROJ_XY = 20,      // linear x-y chart
  DOM_PROJ_XZ = 21,      // cross-section (no transform)
  DOM_PROJ_XLOGP = 22,   // x against log pressure
  DOM_PROJ_POLAR = 23,   // polar chart (direction, speed)
  DOM_PROJ_CAT = 24,     // linear chart, as 20
  DOM_PROJ_XY_DOWN = 25, // linear chart with y growing downwards
  DOM_PROJ_SKEWT = 40,   // skew-T log-p diagram
  DOM_PROJ_STUVE = 41,   // Stuve diagram
  DOM_PROJ_EMA = 42,     // emagram
  DOM_PROJ_TEPHI = 43,   // tephigram
  DOM_PROJ_TLOGTHETA = 44, // temperature against log potential temperature
  DOM_PROJ_ZOOM = 50,    // zoom (no transform)
  DOM_PROJ_PIXEL = 99,   // image pixel coordinates
};

// Projection and extent of a grid: fifteen 4-byte fields, in this order.
// Angles in degrees, north and east positive; -9999 marks a missing value.
// For the chart codes (20 and above) clat/clon are the chart origin in data
// units, dx/dy its extent and nx/ny its size in plot units.
struct Domain {
  int proj;       // projection code (DomainProjection); -9999 = none
  float plat;     // projection latitude (hemisphere, or tangent latitude)
  float plon;     // projection longitude (vertical meridian, reference or sub-point)
  float param1;   // true latitude / first standard parallel / satellite distance
  float param2;   // second standard parallel / satellite: 1 = scan angles
  float param3;   // further projection parameters
  float param4;
  float param5;
  float clat;     // latitude of the domain centre
  float clon;     // longitude of the domain centre
  float dx;       // grid spacing in x, map units
  float dy;       // grid spacing in y, map units
  int nx;         // number of grid points in x
  int ny;         // number of grid points in y
  int ellipsoid;  // 1 = the earth is an ellipsoid (satellite view), 0 = sphere
};
static_assert(sizeof(Domain) == 60, "Domain is fifteen 4-byte fields");

// Sets every field to missing (-9999), ellipsoid to 0 (sphere). Returns 0.
int DOM_init(Domain &domain);

// ---- map projections -------------------------------------------------------

// Loads a copy of the record as the current projection and computes its
// limits; returns 0. Given no record (nullptr) the current projection becomes
// "none" (identity transforms) and the result is -1.
int MAP_domain(const Domain *domain);

// Copies the current projection, as prepared by MAP_domain, into the record
// and returns it; given no record, returns the module's own copy.
const Domain *MAP_get_domain(Domain *record);

// Forward transform. Map projections: a = latitude, b = longitude; charts: the
// two data values. Returns 1 when the point has map coordinates, 0 when it has
// none (x and y are then -9999).
int MAP_tran(float a, float b, float &x, float &y);

// Inverse transform: map coordinates to latitude and longitude (or to the
// chart's data values). Returns 1 or 0 as MAP_tran.
int MAP_untran(float x, float y, float &a, float &b);

// Projects the centre point (clat, clon) of the current domain.
int MAP_tran_center(float &x, float &y);

// MAP_tran with the result in pair: x then y.
int MAP_tran_ep(float lat, float lon, float (&pair)[2]);

// MAP_untran with the result in pair: latitude then longitude.
int MAP_tran_pe(float x, float y, float (&pair)[2]);

// Recomputes the limits (xmin, xmax, ymin, ymax) of the current domain;
// returns 0. MAP_domain calls it.
int MAP_set_limits();

// ---- domain specifications -------------------------------------------------
// (reading, printing and naming domains; station lookup)

#endif  // KVZ_DOMAIN_DOMAIN_H
