// Number reading shared by the selection decoders and the units conversion:
// a decimal number at the start of a text, and safe conversions of computed
// values into the int fields of the code spaces.
#ifndef KVZ_NAMING_NUMBER_SCAN_H
#define KVZ_NAMING_NUMBER_SCAN_H

// Reads a finite decimal number at the start of the text (leading blanks
// skipped).  On success `*end` points just after it.  Unlike "%f", a letter
// "e" that starts a unit ("0.5eta") stays with the unit.
bool naming_scan_number(const char *text, double *value, const char **end);

// x without its fraction (towards zero); -9999 when x is not finite or does
// not fit an int.
int naming_trunc(double x);

// The value as an int; -9999 when it does not fit.
int naming_fit(long long value);

#endif
