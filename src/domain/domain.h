// Domains and map projections: the Domain record every grid carries, and the
// projection module that converts between earth coordinates (latitude,
// longitude in degrees) and map coordinates (units of 100 km; degrees for the
// latitude-longitude projection), plus the coordinate transforms of the chart
// types (x-y charts, thermodynamic diagrams, hodographs); the domain
// texts that describe domains, read and printed, the predefined
// regions and region files, and the city (station) database.
//
// The projection module keeps one current projection: every MAP_ transform
// works on the record last loaded with MAP_domain.
#ifndef KVZ_DOMAIN_DOMAIN_H
#define KVZ_DOMAIN_DOMAIN_H

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

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

// ---- domain texts ------------------------------------------------------------
// A domain text names a grid domain: a comma-separated list such as
// "ps,40,-100,25,17,1.2" (projection, centre, size, spacing), a projection
// keyword with ':' parameters ("lamb:25:-95:25:25"), a station ("id:DEN") or a
// region looked up in a region file ("us", "kvz.reg:mw").

// Field codes of the positions of a domain text; DOM_set_params returns the
// code of the field that failed to parse.
enum DomainField : int {
  DOM_FIELD_PROJ = 1,     // projection keyword with optional ':' parameters
  DOM_FIELD_PLON = 3,
  DOM_FIELD_STATION = 4,  // "id:" station, or "id:file:station"
  DOM_FIELD_CLAT = 5,     // a station item may stand here (it gives clat and clon)
  DOM_FIELD_CLON = 6,
  DOM_FIELD_NX = 7,
  DOM_FIELD_NY = 8,
  DOM_FIELD_DX = 9,
  DOM_FIELD_DY = 10,
  DOM_FIELD_REGION = 11,  // region name, "file:region", "file:" or "fi:file"
};

// Projection code of a domain text of the form "size,nx,ny" (a plot size).
constexpr int DOM_PROJ_SIZE = 51;

// Decodes a domain text into the record. Returns 1 for a decoded domain, 2 for
// a region reference, -1 when no form matches ("DOM_decode: Invalid plot
// domain" at the warn level) and -9999 for no text, an empty text or "miss"
// (the record is then all missing). Program flag 5 and the file name key 'r'
// receive the result and the text.
int DOM_decode(const char *text, Domain &domain);

// Tries one form of a domain text: the items, in order, parsed into the fields
// named by the codes (a 0 ends the codes early). Returns 0 when every item
// parsed, the code of the field that failed, or -1 when the number of items
// does not fit the form. The record is initialised first.
int DOM_set_params(int count, const std::vector<std::string> &items, Domain &domain,
                   std::initializer_list<int> codes);

// Projection code of a keyword (first matching prefix, ignoring case);
// -9999 for "miss", -1 for no keyword or an unknown one.
int DOM_proj_str(const char *keyword);

// Fills the record with a predefined region ("us", "ne", "at", "se", "mw",
// "sp", "nw", "sw", or "var" which asks for the centre). Returns 1, or 0 when
// the name is not predefined (the record then holds the default domain).
int DOM_get_def_region(const char *name, Domain &domain);

// Looks a region up in a region file found along "file_path": with a region
// name, the first line of that name; without one, the first region line.
// Returns 1 with the region's domain text, 0 when not found.
int DOM_search_file(const char *file, const char *region, std::string &text);

// Fills the region menu from a region file; returns 0.
int DOM_read_menu(const char *file);

// One entry of the region menu.
struct DomRegionEntry {
  char abbr[6];   // region abbreviation, at most 5 characters
  char desc[21];  // description, '_' turned into blanks
  int number;
  int index;      // the entry's own slot
};
constexpr int DOM_MENU_SLOTS = 20;

// The region menu: DOM_MENU_SLOTS entries, of which *count are in use.
const DomRegionEntry *DOM_region_menu(int *count);

// Sets the station plotting priority from the domain's height in map units
// ((ny - 1) * dy), adjusted by the resource "stat_prior"; returns 0.
int DOM_set_base_prior(float height);

// The station plotting priority last set (3 until then).
int DOM_get_base_prior();

// Prints the text form of the record at the message level, in the form
// DOM_decode reads back; prints nothing when the level is not shown. Returns 0.
int DOM_print(uint32_t level, const Domain &domain);

// ---- city (station) database -----------------------------------------------
// A plain-text station file, by default "sao.cty", one station a line:
//   name state country id priority lat lon elev wmo extra

struct CityRec {
  char name[21];    // station name, one word
  char state[3];    // state or province code
  char country[3];  // country code
  char id[10];      // station identifier
  int priority;     // plotting priority, the priority token's digit
  char mark1;       // '*' markers of the priority token, else blank
  char mark2;
  float lat;        // degrees north
  float lon;        // degrees east
  float elev;       // elevation; values above 9000 are stored as -9999
  int wmo;          // station number
  int extra;        // a further number of the line, carried only
};

// Opens the station database (the resource "city_file", else the given name,
// else "sao.cty", found along "file_path"); returns its file number or -1.
// *count (when given) receives the estimated number of records.
int CTY_open_file(const char *file, int *count);

// Opens the stream for reading (mode 0) or writing (mode 1); returns its file
// number, or -1.
int CTY_open(const char *path, int mode, int file_type);

// Rewind or close the open stream; -1 when none is open, else 0.
int CTY_rewind();
int CTY_close();

// Reads the next station line into the record; returns the number of fields
// read, or -1 when no stream is open or it is at its end.
int CTY_read(int file_number, CityRec &record);

// Finds the first station whose id, name or five-digit station number matches
// the key (ignoring case). Returns 1 with its record, else 0.
int CTY_get(const char *file, const char *key, CityRec &record);

// The position of the station matching the key: 1 with latitude and longitude,
// or 0 (the outputs are then left alone).
int CTY_get_loc(const char *file, const char *key, float &lat, float &lon);

#endif  // KVZ_DOMAIN_DOMAIN_H
