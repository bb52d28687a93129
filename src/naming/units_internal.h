// Pieces of the units conversion shared between its sources: the entries of
// the conversion table "units.lup" and the reading of its conversion texts.
#ifndef KVZ_NAMING_UNITS_INTERNAL_H
#define KVZ_NAMING_UNITS_INTERNAL_H

#include <string>
#include <vector>

// One conversion of the table: target = source x scale + offset, the scale and
// offset written as the conversion text ("*1.8+32", "-273.15", "*0.01").
struct UnitConversion {
  std::string from;
  std::string to;
  std::string cvt;
};

// Reads the table along the "file_path" resource; false when it cannot be
// opened.  `path` receives the full name tried.
bool units_read_table(std::vector<UnitConversion> &table, std::string &path);

// Scale and offset of a conversion text (1 and 0 for the parts it lacks).
void units_parse_conversion(const std::string &cvt, float &scale, float &offset);

#endif
