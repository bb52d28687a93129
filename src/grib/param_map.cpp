// Units text and package variable of a GRIB parameter: edition 0 parameters
// and the ECMWF parameter table are mapped onto the package's variables (the
// NCEP edition 1 numbers), and every edition 1 variable gets its units text.
#include "config/config.h"
#include "files/files.h"
#include "grib/grib.h"
#include "grid/grid.h"

#include <cstdint>

namespace {

constexpr uint32_t kWarnC = 0x40;
constexpr int kKeep = -1;  // ltype/level entry that leaves the record's value alone
constexpr int kEcmwfCentre = 98;

struct EcmwfParam {
  int param;
  int var;
  const char *units;
  int ltype;
  int level;
};

// ECMWF parameter table (version 128) entries the package knows.
constexpr EcmwfParam kEcmwf[] = {
    {129, 6, "m^2/s^2", kKeep, kKeep}, {130, 11, "K", kKeep, kKeep},
    {131, 33, "m/s", kKeep, kKeep},    {132, 34, "m/s", kKeep, kKeep},
    {134, 1, "Pa", kKeep, kKeep},      {135, 39, "Pa/s", kKeep, kKeep},
    {139, 11, "K", kKeep, kKeep},      {146, 122, "W/m^2", kKeep, kKeep},
    {147, 121, "W/m^2", kKeep, kKeep}, {151, 1, "Pa", 102, kKeep},
    {157, 52, "%", kKeep, kKeep},      {164, 71, "%", 200, 0},
    {165, 33, "m/s", 105, 10},         {166, 34, "m/s", 105, 10},
    {167, 11, "K", 105, 2},            {168, 17, "K", 105, 2},
    {172, 81, "", kKeep, kKeep},       {176, 111, "W/m^2", kKeep, kKeep},
    {177, 112, "W/m^2", kKeep, kKeep}, {180, 326, "N/m^2", kKeep, kKeep},
    {181, 327, "N/m^2", kKeep, kKeep}, {228, 61, "m", kKeep, kKeep},
};

struct Edition0Param {
  int param;
  int var;
  const char *units;
};

// Edition 0 parameter numbers and the package variables they stand for.
constexpr Edition0Param kEdition0[] = {
    {1, 1, "hPa"},       {2, 7, "10 m"},       {3, 8, "10 m"},        {4, 11, "C"},
    {5, 15, "C"},        {6, 16, "C"},         {8, 13, "C"},          {10, 17, "C"},
    {11, 18, "dC"},      {12, 51, ".1 g/kg"},  {13, 52, "%"},         {14, 53, ".1 g/kg"},
    {15, 131, "dC"},     {17, 132, "dC"},      {21, 32, "m/s"},       {23, 33, "m/s"},
    {24, 34, "m/s"},     {29, 35, "10^5 m^2/s"}, {30, 43, "10^-5 /s"}, {31, 41, "10^-5 /s"},
    {40, 38, "mb/s"},    {44, 136, "m/s/km"},  {47, 54, "mm"},        {48, 63, "mm"},
    {50, 61, "mm"},      {51, 66, "cm"},       {55, 62, "mm"},        {61, 80, ".1 C"},
    {64, 100, ".5 m"},   {75, 107, "10 deg"},  {76, 108, "s"},
};

// Units of the edition 1 variables: every variable from `first` to `last`
// (both included) has the units text.  Variables not listed get "-".
struct UnitsRange {
  int first;
  int last;
  const char *units;
};

constexpr UnitsRange kEdition1Units[] = {
    {1, 2, "Pa"}, {26, 26, "Pa"}, {55, 56, "Pa"}, {128, 130, "Pa"},
    {3, 3, "Pa/s"}, {39, 39, "Pa/s"},
    {6, 6, "m^2/s^2"}, {37, 37, "m^2/s^2"}, {190, 190, "m^2/s^2"},
    {7, 9, "m"}, {20, 20, "m"}, {66, 66, "m"}, {83, 83, "m"}, {100, 100, "m"}, {221, 221, "m"},
    {10, 10, "Dobson"},
    {11, 17, "K"}, {80, 80, "K"}, {85, 85, "K"}, {133, 133, "K"},
    {18, 18, "dK"}, {24, 25, "dK"}, {131, 132, "dK"},
    {19, 19, "K/m"},
    {21, 21, "Dbz"},
    {27, 27, "gpm"}, {222, 222, "gpm"}, {230, 230, "gpm"},
    {31, 31, "deg"}, {47, 47, "deg"}, {107, 107, "deg"}, {571, 571, "deg"},
    {32, 34, "m/s"}, {40, 40, "m/s"}, {48, 49, "m/s"}, {196, 197, "m/s"},
    {35, 36, "m^2/s"},
    {38, 38, "/s"}, {41, 46, "/s"}, {136, 136, "/s"},
    {50, 51, "kg/kg"}, {53, 53, "kg/kg"}, {76, 76, "kg/kg"}, {153, 154, "kg/kg"},
    {52, 52, "%"}, {60, 60, "%"}, {71, 71, "%"}, {84, 84, "%"}, {193, 195, "%"},
    {201, 201, "%"}, {207, 207, "%"}, {213, 213, "%"},
    {54, 54, "kg/m^2"}, {57, 58, "kg/m^2"}, {61, 63, "kg/m^2"}, {65, 65, "kg/m^2"},
    {86, 86, "kg/m^2"}, {90, 90, "kg/m^2"}, {223, 223, "kg/m^2"},
    {59, 59, "kg/m^2/s"}, {214, 214, "kg/m^2/s"},
    {77, 77, "kg/m^3"},
    {108, 108, "s"},
    {111, 114, "W/m^2"}, {121, 122, "W/m^2"}, {145, 145, "W/m^2"}, {155, 155, "W/m^2"},
    {160, 168, "W/m^2"}, {204, 205, "W/m^2"}, {211, 212, "W/m^2"},
    {124, 125, "N/m^2"}, {147, 148, "N/m^2"}, {172, 172, "N/m^2"}, {226, 227, "N/m^2"},
    {135, 135, "kg/kg/s"},
    {138, 138, "/s^2"},
    {139, 139, "/s/m"},
    {146, 146, "J/kg"}, {156, 158, "J/kg"},
    {149, 149, "m^2/s/kg"},
    {151, 151, "km/s"},
    {208, 208, "kg-m/m^2-s"},
    {216, 216, "K/s"},
    {491, 491, "dBZ"},
    {22, 23, ""}, {28, 30, ""}, {81, 81, ""}, {91, 91, ""}, {134, 134, ""},
    {140, 144, ""}, {191, 192, ""}, {209, 209, ""},
};

void map_ecmwf(GridRecord *rec) {
  for (const EcmwfParam &p : kEcmwf) {
    if (p.param != rec->var) continue;
    rec->var = p.var;
    copy_text(rec->units, p.units);
    if (p.ltype != kKeep) rec->ltype = p.ltype;
    if (p.level != kKeep) rec->level = p.level;
    return;
  }
  MESS_print(kWarnC, "Invalid GRIB variable: %d\n", rec->var);
}

void map_edition0(GridRecord *rec) {
  for (const Edition0Param &p : kEdition0) {
    if (p.param != rec->var) continue;
    rec->var = p.var;
    copy_text(rec->units, p.units);
    return;
  }
  MESS_print(kWarnC, "Invalid GRIB variable: %d\n", rec->var);
}

const char *edition1_units(int var) {
  const int number = var % 1000;
  for (const UnitsRange &r : kEdition1Units) {
    if (number >= r.first && number <= r.last) return r.units;
  }
  return "-";
}

}  // namespace

int GRIB_units(GridRecord *rec) {
  if (rec == nullptr) return 0;
  rec->units[0] = '\0';
  if (rec->source == kEcmwfCentre && rec->var > 128) {
    map_ecmwf(rec);
  } else if (rec->version == 0 && rec->source != kEcmwfCentre) {
    map_edition0(rec);
  } else if (rec->version == 1) {
    copy_text(rec->units, edition1_units(rec->var));
  }
  return 0;
}
