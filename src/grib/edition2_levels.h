// The package's level type and value for the fixed surfaces of a GRIB
// edition 2 product definition.  Private to the edition 2 section decoders.
#ifndef KVZ_GRIB_EDITION2_LEVELS_H
#define KVZ_GRIB_EDITION2_LEVELS_H

#include <cstdint>

struct FixedSurfaces {
  int type1 = 255;    // type of the first fixed surface
  int type2 = 255;    // type of the second; 255 for a single surface
  double a = 0.0;     // value of the first surface in its units; -9999.0 missing
  double b = 0.0;     // value of the second
};

struct PackageLevel {
  int32_t ltype;
  int32_t level;
};

// Level type and value (the edition 1 level codes); a value that the level
// code cannot hold is -9999.
PackageLevel ed2_package_level(const FixedSurfaces &f);

#endif
