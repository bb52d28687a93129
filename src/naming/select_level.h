// Pieces shared by the level selection decoder (select_level.cpp) and its
// layer forms (spec_level_layer.cpp).
#ifndef KVZ_NAMING_SELECT_LEVEL_H
#define KVZ_NAMING_SELECT_LEVEL_H

#include <string>

// A level type and level value being decoded.
struct LevelValue {
  int type;
  int value;
};

// A number and the unit right after it ("500mb", "0.5 sig"); the number is
// -9999 when the text does not start with one, and the unit is then empty.
struct LevelNumber {
  bool has_number = false;
  double number = -9999.0;
  std::string unit;
};
LevelNumber level_read_number(const std::string &text);

// Equal ignoring case.
bool level_same(const std::string &text, const char *word);

// Feet to whole metres; -9999 stays -9999.
int level_feet(int value);

// x times a decimal scale (100 or 10000) without its fraction.  The text's
// decimal digits survive: "0.29" times 100 gives 29, not 28.
int level_scaled(double x, double scale);

// The layer forms "1000-500mb", "sfc-500mb", "300-310k", "trop+500m": false
// when the text does not split into two halves.
bool level_layer(const char *text, LevelValue &lv);

#endif
