// Foreign netCDF model layouts: datasets in which each physical field is one
// variable over time and level dimensions.  Finding the dimensions, choosing
// the usable field variables (by name, with a variable code chosen by their
// units), the coordinate, date and model variables, and the layout code that
// the title and the dimensions give.
#include <strings.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "config/config.h"
#include "files/files.h"
#include "grid/grid_netcdf.h"
#include "grid/grid_state.h"

namespace {

constexpr const char *kInfo = "GRD_getinfo";
constexpr uint32_t kTraceInfo = 0x20000000;  // debug b
constexpr size_t kReftimeChars = 16;

struct UnitCode {
  const char *units;
  int code;
};

// Field variables by name (compared without regard to case); the code comes
// from the "units" attribute (compared exactly), else `other`.
struct FieldRule {
  const char *names[7];
  UnitCode units[5];
  int other;
};

const FieldRule kFields[] = {
    {{"pressure", "Psl", "Ptrop", "Pmaxwind", "P"}, {{"hectopascals", 1}, {"pascals", 101}, {"Pa", 101}}, 1},
    {{"gpt_hgt", "H", "Zsfc", "Ztrop", "Zwind", "Z"},
     {{"geopotential dekameters", 2}, {"geopotential meters", 102}, {"gp m", 102}}, 2},
    {{"temp", "Ttrop", "T"}, {{"celsius", 4}, {"degC", 4}, {"kelvin", 104}, {"degK", 104}}, 4},
    {{"rel_hum", "RH"}, {}, 13},
    {{"lift_indx", "LI"}, {}, 15},
    {{"u_wind", "Utrop", "Umaxwind", "Usfc", "U"}, {}, 23},
    {{"v_wind", "Vtrop", "Vmaxwind", "Vsfc", "V"}, {}, 24},
    {{"vert_vel", "omega"},
     {{"millibars/second", 40}, {"pascals/second", 140}, {"Pa/second", 140}, {"Pa/s", 140}}, 40},
    {{"precip"}, {}, 50},
    {{"snow"}, {}, 51},
    {{"sea_temp", "SST"}, {{"0.5 degC", 61}, {"degC", 62}, {"celsius", 62}, {"degK", 161}}, 61},
    {{"wave_hgt"}, {{"0.5 meters", 64}, {"meters", 164}}, 64},
    {{"wave_per"}, {}, 76},
    {{"wave_dir"}, {{"10 degrees", 75}, {"degrees", 175}}, 75},
};

const FieldRule *field_rule(const char *name) {
  for (const FieldRule &rule : kFields)
    for (const char *n : rule.names)
      if (n && strcasecmp(n, name) == 0) return &rule;
  return nullptr;
}

int field_code(int ncid, int varid, const FieldRule &rule) {
  std::string units;
  if (!grid_nc_text_att(ncid, varid, "units", &units)) return rule.other;
  for (const UnitCode &u : rule.units)
    if (u.units && units == u.units) return u.code;
  return rule.other;
}

// A dimension by its first name, else its second; length -1 when absent.
void find_dim(GridFile *f, int entry, const char *first, const char *second) {
  size_t len = 0;
  int id = grid_nc_dim(f->ncid, first, &len);
  if (id < 0) id = grid_nc_dim(f->ncid, second, &len);
  f->dim_id[entry] = id;
  f->dim_len[entry] = id < 0 ? -1 : len <= INT_MAX ? static_cast<int32_t>(len) : INT_MAX;
}

void take_field(GridFile *f, int varid, int code) {
  if (f->nvar >= kNcMaxFields) return;  // further matches are ignored
  f->var_id[f->nvar] = varid;
  f->var_code[f->nvar] = code;
  ++f->nvar;
}

bool take_fields(GridFile *f) {
  int nvars = 0;
  if (!grid_nc_ok(f->ncid, kInfo, "counting the variables", nc_inq_nvars(f->ncid, &nvars))) return false;
  bool named_taken = false;
  for (int i = 0; i < nvars; ++i) {
    char name[NC_MAX_NAME + 1] = "";
    if (!grid_nc_ok(f->ncid, kInfo, "reading a variable name", nc_inq_varname(f->ncid, i, name))) return false;
    MESS_print(kTraceInfo, "VAR: %d %s\n", i, name);
    if (f->var_name[0] && !named_taken && strcmp(name, f->var_name) == 0) {
      take_field(f, i, 0);
      named_taken = true;
    } else if (const FieldRule *rule = field_rule(name)) {
      take_field(f, i, field_code(f->ncid, i, *rule));
    }
  }
  return true;
}

void find_further_vars(GridFile *f) {
  const int ncid = f->ncid;
  const auto either = [ncid](const char *first, const char *second) {
    const int id = grid_nc_var(ncid, first);
    return id >= 0 ? id : grid_nc_var(ncid, second);
  };
  f->var_id[kNcLatVar] = grid_nc_var(ncid, "lat");
  f->var_id[kNcLonVar] = grid_nc_var(ncid, "lon");
  f->var_id[kNcCenterVar] = grid_nc_var(ncid, "grib_center");
  f->var_id[kNcModelVar] = grid_nc_var(ncid, "grib_model");
  f->var_id[kNcLevelVar] = either("level", "plevl");
  f->var_id[kNcHourVar] = either("frtime", "anlhour");
  f->var_id[kNcYearVar] = grid_nc_var(ncid, "year");
  f->var_id[kNcMonthVar] = grid_nc_var(ncid, "month");
  f->var_id[kNcDayVar] = grid_nc_var(ncid, "day");
  f->var_id[kNcHourOfDayVar] = grid_nc_var(ncid, "hour");
  f->var_id[kNcReftimeVar] = grid_nc_var(ncid, "reftime");
}

int title_code(int ncid, bool has_rtime) {
  std::string title;
  grid_nc_text_att(ncid, NC_GLOBAL, "title", &title);
  int code = 1;
  if (title.compare(0, 8, "NMC Earl") == 0) code = 10;
  else if (title.compare(0, 8, "NMC Exte") == 0) code = 20;
  else if (title.compare(0, 6, "ECMWF:") == 0) code = 30;
  else if (title.compare(0, 8, "NMC Glob") == 0) code = 40;
  if (title.find("Trop") != std::string::npos) code += 1;
  if (title.find("Maximum") != std::string::npos) code += 2;
  if (title.find("72 hours") != std::string::npos) code += 3;
  if (!has_rtime) code += 100;
  return code;
}

int32_t whole(double v) {
  if (!(v > INT_MIN && v < INT_MAX)) return DATE_MISSING;
  return static_cast<int32_t>(v);  // toward zero
}

int32_t value0(const GridFile *f, int slot) {
  double v = 0;
  return grid_nc_value_at(f->ncid, f->var_id[slot], 0, &v) ? whole(v) : DATE_MISSING;
}

// The first characters of a text variable (its first entry when it has several).
bool text_prefix(int ncid, int varid, size_t most, std::string *text) {
  NcVarShape shape;
  if (!grid_nc_shape(ncid, varid, kInfo, &shape) || shape.type != NC_CHAR || shape.dims.empty()) return false;
  std::vector<size_t> start(shape.dims.size(), 0), count(shape.dims.size(), 1);
  for (size_t len : shape.lengths)
    if (len == 0) return false;
  count.back() = std::min(shape.lengths.back(), most);
  std::string value(count.back(), '\0');
  if (!grid_nc_ok(ncid, kInfo, "reading variable reftime",
                  nc_get_vara_text(ncid, varid, start.data(), count.data(), &value[0])))
    return false;
  *text = value.c_str();
  return true;
}

}  // namespace

int grid_nc_code_for_var(int code, const char *var_name) {
  const int last = code % 100;
  const bool in_force = last == 10 || last == 20 || last == 30 || (last >= 40 && last <= 49);
  if (!in_force || !var_name[0]) return code;
  const char *rest = var_name + 1;
  const int derived = strcmp(rest, "trop") == 0 ? 41 : strcmp(rest, "maxwind") == 0 ? 42 : 40;
  return code - last + derived;
}

bool grid_nc_reference_date(const GridFile *f, bool scan, DateRec *date) {
  DATE_init(date);
  if (f->var_id[kNcYearVar] >= 0) {
    date->year = value0(f, kNcYearVar);
    date->month = value0(f, kNcMonthVar);
    date->day = value0(f, kNcDayVar);
    date->hour = value0(f, kNcHourOfDayVar);
    return true;
  }
  std::string text;
  if (f->var_id[kNcReftimeVar] < 0 || !text_prefix(f->ncid, f->var_id[kNcReftimeVar], kReftimeChars, &text))
    return false;
  if (!scan) {
    DATE_decode_label(text.c_str(), date);
    return true;
  }
  int y = DATE_MISSING, m = DATE_MISSING, d = DATE_MISSING, h = DATE_MISSING;
  sscanf(text.c_str(), "%d %d %d %d", &y, &m, &d, &h);
  date->year = y;
  date->month = m;
  date->day = d;
  date->hour = h;
  return true;
}

int grid_info_netcdf_foreign(int handle, GridFileInfo *info) {
  GridFile *f = grid_file(handle);
  find_dim(f, kNcDimX, "lon", "x");
  find_dim(f, kNcDimY, "lat", "y");
  find_dim(f, kNcDimLevel, "level", "plevl");
  find_dim(f, kNcDimTime, "frtime", "anltime");
  const bool has_rtime = grid_nc_dim(f->ncid, "rtime") >= 0;
  const char *named = getenv("GRIDVAR");
  copy_text(f->var_name, named ? named : "");
  f->nvar = 0;
  if (!take_fields(f)) {
    grid_nc_give_up(f);
    return -1;
  }
  f->cur_var = -1;
  f->cur_grid = 0;
  f->nrec = 0;
  find_further_vars(f);
  info->grid_type = 0;
  if (grid_nc_reference_date(f, false, &info->date) && info->date.year != DATE_MISSING)
    DATE_make_label(&info->date, info->label);
  f->base_date = info->date;
  f->subtype = title_code(f->ncid, has_rtime);
  return 0;
}
