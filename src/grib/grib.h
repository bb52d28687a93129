// GRIB decoding: framing of products in a byte stream, the sections of
// editions 1 and 2, data unpacking and the mapping onto the package's codes.
#ifndef KVZ_GRIB_GRIB_H
#define KVZ_GRIB_GRIB_H

// Limit of bad values tolerated in a product before it is given up; -1: no check.
int GRIB_set_max_bad(int n);
int GRIB_get_max_bad();

#endif
