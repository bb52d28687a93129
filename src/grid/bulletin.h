// GRID code bulletins: the groups and values of one bulletin decoded from its
// text, the conversion of its coded values into grid values (wind pairs
// included), and the reader of files made of such bulletins.  Only files of
// the grid subsystem include it.
#ifndef KVZ_GRID_BULLETIN_H
#define KVZ_GRID_BULLETIN_H

#include <cstddef>
#include <string>
#include <vector>

#include "grid/grid.h"

// Every bulletin covers one quadrant of a fixed 5-degree latitude-longitude grid.
constexpr int kBulletinNx = 19;
constexpr int kBulletinNy = 15;
constexpr int kBulletinQuadrants = 12;

// The variable number of wind given as direction and speed, and the numbers of
// the components decoded from a pair of such bulletins.
constexpr int kBulletinWind = 22;
constexpr int kBulletinWindU = 23;
constexpr int kBulletinWindV = 24;

// What one bulletin says.  Fields a bulletin leaves out keep these defaults.
struct Bulletin {
  int centre = 0;            // originating centre, two digits
  int quadrant = 0;          // 1 to 12
  int var = -9999;           // "1" group
  int ltype = -9999;         // "2" or "3" group
  int level = -9999;
  int year = -9999;          // "6" group: two digits
  int month = -9999;
  int day = -9999;           // "7" group
  int hour = -9999;
  int fhour = 0;             // "8" group: forecast hour
  char sign = '0';           // "1" data group: '1' a sign digit per value, '3' all negative
  int digits = 0;            // "2" data group: digits per value, the sign digit included
  double scale = 1.0;        // "3" data group
  double reference = 0.0;    // negated for variable 4 and multiplied by the scale
  std::vector<int> coded;    // nx*ny signed coded values, stored row order (south row first)
};

// Decodes one bulletin's text (from its "GRID" mark up to the next bulletin).
// With header_only the groups up to the "7" group are decoded and nothing
// further is required.  False with the problem named when the text is not a
// sound bulletin; the problem text is one line without a newline.
bool bulletin_decode(const char *text, size_t size, Bulletin *b, std::string *problem, bool header_only = false);

// The variable a bulletin yields and the pairing state after it: the first of
// consecutive wind bulletins gives the u component, the next the v component,
// later ones the plain coded values; any other variable ends the pairing.
int bulletin_pair_var(int var, int *wind_state);

// The grid values of a bulletin decoded as variable `var_out`.
void bulletin_values(const Bulletin &b, int var_out, std::vector<float> *values);

// The quadrant grid; false for a quadrant outside 1 to 12.
bool bulletin_domain(int quadrant, Domain *d);

// The readers called by GRD_read and GRD_getinfo for type 22 files.
int grid_read_bulletin(int handle, GridRecord *grid, int mode, int *grid_number);
int grid_info_bulletin(int handle, GridFileInfo *info);

#endif
