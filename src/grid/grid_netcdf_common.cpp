// What the netCDF writer and readers share: the table of the own layout's
// variables, the 16-bit storage rule, and library calls that report their
// failures with the dataset's name and never trust a length they did not check.
#include <sys/stat.h>

#include <cstdarg>
#include <cstdio>
#include <limits>

#include "config/config.h"
#include "grid/grid_netcdf.h"

namespace {

constexpr size_t kMostAttValues = 4096;  // longer attributes are not ours to read

const NcOwnVarDef kOwnVars[kNcOwnVarCount] = {
    {"values", NC_FLOAT, kNcField, "VALUES", "Grid values", nullptr, true},
    {"x_coord", NC_FLOAT, kNcField, "X_COORD", "X coordinate gridpoint locations", "DEG", true},
    {"y_coord", NC_FLOAT, kNcField, "Y_COORD", "Y coordinate gridpoint locations", "DEG", true},
    {"proj", NC_SHORT, kNcPerGrid, "PROJ", "Projection", nullptr, false},
    {"lat1", NC_FLOAT, kNcPerGrid, "CLAT", "Grid central latitude", "DEG", false},
    {"lat2", NC_FLOAT, kNcPerGrid, "LAT2", "Grid secondary latitude", "DEG", false},
    {"lon1", NC_FLOAT, kNcPerGrid, "CLON", "Grid central longitude", "DEG", false},
    {"lon2", NC_FLOAT, kNcPerGrid, "LON2", "Grid secondary longitude", "DEG", false},
    {"dx", NC_FLOAT, kNcPerGrid, "DX", "Grid spacing in X direction", "100 KM", false},
    {"dy", NC_FLOAT, kNcPerGrid, "DY", "Grid spacing in Y direction", "100 KM", false},
    {"datim", NC_CHAR, kNcText, "DATETIME", "Grid date/time information", nullptr, false},
    {"info", NC_CHAR, kNcText, "INFO", "Grid variable information", nullptr, false},
    {"source", NC_SHORT, kNcPerGrid, "SOURCE", "Grid creation source", nullptr, false},
    {"version", NC_SHORT, kNcPerGrid, "VERSION", "Grid encoding version", nullptr, false},
    {"model", NC_SHORT, kNcPerGrid, "MODEL", "Model name", nullptr, false},
    {"type", NC_SHORT, kNcPerGrid, "TYPE", "Model grid type", nullptr, false},
    {"ltype", NC_SHORT, kNcPerGrid, "LTYPE", "Vertical level type", nullptr, false},
    {"level", NC_SHORT, kNcPerGrid, "LEVEL", "Vertical level value", nullptr, false},
    {"time", NC_SHORT, kNcPerGrid, "TIME", "Forecast time", "HOUR", false},
    {"var", NC_SHORT, kNcPerGrid, "VAR", "Grid variable type", nullptr, false},
    {"nx", NC_SHORT, kNcPerGrid, "NX", "Gridpoints in X direction", nullptr, false},
    {"ny", NC_SHORT, kNcPerGrid, "NY", "Gridpoints in Y direction", nullptr, false},
};

bool is_numeric(nc_type t) { return t >= NC_BYTE && t != NC_CHAR && t <= NC_UINT64; }

}  // namespace

size_t grid_nc_type_size(nc_type t) {
  switch (t) {
    case NC_SHORT: case NC_USHORT: return 2;
    case NC_INT: case NC_UINT: case NC_FLOAT: return 4;
    case NC_DOUBLE: case NC_INT64: case NC_UINT64: return 8;
    default: return 1;
  }
}

const NcOwnVarDef &grid_nc_own_var(int v) { return kOwnVars[v]; }

bool grid_nc_own_var_used(int v, int grid_type) {
  if (v == kNcXCoord || v == kNcYCoord) return grid_type == 1;
  if (v >= kNcProj && v <= kNcDy) return grid_type != 1;
  return true;
}

short grid_nc_to_short(int32_t value) {
  if (value < std::numeric_limits<short>::min() || value > std::numeric_limits<short>::max())
    return NC_FILL_SHORT;
  return static_cast<short>(value);
}

int32_t grid_nc_from_short(short value) { return value == NC_FILL_SHORT ? -9999 : value; }

std::string grid_nc_name(int ncid) {
  size_t len = 0;
  if (nc_inq_path(ncid, &len, nullptr) == NC_NOERR && len > 0 && len < 4096) {
    std::string path(len + 1, '\0');
    if (nc_inq_path(ncid, nullptr, &path[0]) == NC_NOERR) {
      path.resize(len);
      return path;
    }
  }
  return "netCDF dataset " + std::to_string(ncid);
}

bool grid_nc_fail(int ncid, const char *who, const std::string &what, int status) {
  MESS_print(kNcWarn, "%s: netCDF error in %s: %s: %s\n", who, grid_nc_name(ncid).c_str(), what.c_str(),
             nc_strerror(status));
  return false;
}

bool grid_nc_ok(int ncid, const char *who, const std::string &what, int status) {
  return status == NC_NOERR || grid_nc_fail(ncid, who, what, status);
}

void grid_nc_warn(int ncid, const char *who, const char *format, ...) {
  char problem[512];
  va_list args;
  va_start(args, format);
  vsnprintf(problem, sizeof problem, format, args);
  va_end(args);
  MESS_print(kNcWarn, "%s: %s: %s\n", who, grid_nc_name(ncid).c_str(), problem);
}

int grid_nc_var(int ncid, const char *name) {
  int id = -1;
  return nc_inq_varid(ncid, name, &id) == NC_NOERR ? id : -1;
}

int grid_nc_dim(int ncid, const char *name, size_t *length) {
  int id = -1;
  if (nc_inq_dimid(ncid, name, &id) != NC_NOERR) return -1;
  if (length && nc_inq_dimlen(ncid, id, length) != NC_NOERR) return -1;
  return id;
}

bool grid_nc_shape(int ncid, int varid, const char *who, NcVarShape *shape) {
  int ndims = 0;
  const std::string what = "reading the shape of variable " + std::to_string(varid);
  if (!grid_nc_ok(ncid, who, what, nc_inq_var(ncid, varid, nullptr, &shape->type, &ndims, nullptr, nullptr)))
    return false;
  if (ndims < 0 || ndims > NC_MAX_VAR_DIMS) return grid_nc_fail(ncid, who, what, NC_EMAXDIMS);
  shape->dims.assign(static_cast<size_t>(ndims), -1);
  shape->lengths.assign(static_cast<size_t>(ndims), 0);
  if (ndims > 0 && !grid_nc_ok(ncid, who, what, nc_inq_vardimid(ncid, varid, shape->dims.data()))) return false;
  for (size_t i = 0; i < shape->dims.size(); ++i)
    if (!grid_nc_ok(ncid, who, what, nc_inq_dimlen(ncid, shape->dims[i], &shape->lengths[i]))) return false;
  return true;
}

int64_t grid_nc_room(int ncid, nc_type type) {
  const std::string path = grid_nc_name(ncid);
  struct stat st;
  if (stat(path.c_str(), &st) != 0 || st.st_size <= 0) return 0;
  return static_cast<int64_t>(st.st_size) / static_cast<int64_t>(grid_nc_type_size(type));
}

bool grid_nc_text_att(int ncid, int varid, const char *name, std::string *text) {
  nc_type type = NC_NAT;
  size_t len = 0;
  if (nc_inq_att(ncid, varid, name, &type, &len) != NC_NOERR || type != NC_CHAR || len > kMostAttValues)
    return false;
  std::string value(len, '\0');
  if (len > 0 && nc_get_att_text(ncid, varid, name, &value[0]) != NC_NOERR) return false;
  while (!value.empty() && value.back() == '\0') value.pop_back();
  *text = value;
  return true;
}

bool grid_nc_int_att(int ncid, int varid, const char *name, int *value, int *status) {
  nc_type type = NC_NAT;
  size_t len = 0;
  int rc = nc_inq_att(ncid, varid, name, &type, &len);
  if (rc == NC_NOERR && (!is_numeric(type) || len == 0 || len > kMostAttValues)) rc = NC_EBADTYPE;
  std::vector<int> values(len > 0 && len <= kMostAttValues ? len : 1);
  if (rc == NC_NOERR) rc = nc_get_att_int(ncid, varid, name, values.data());
  if (status) *status = rc;
  if (rc != NC_NOERR) return false;
  *value = values[0];
  return true;
}

bool grid_nc_value_at(int ncid, int varid, size_t index, double *value) {
  if (varid < 0) return false;
  NcVarShape shape;
  int ndims = 0;
  if (nc_inq_var(ncid, varid, nullptr, &shape.type, &ndims, nullptr, nullptr) != NC_NOERR) return false;
  if (!is_numeric(shape.type) || ndims < 0 || ndims > NC_MAX_VAR_DIMS) return false;
  if (ndims == 0) return index == 0 && nc_get_var_double(ncid, varid, value) == NC_NOERR;
  std::vector<int> dims(static_cast<size_t>(ndims));
  size_t len = 0;
  if (nc_inq_vardimid(ncid, varid, dims.data()) != NC_NOERR || nc_inq_dimlen(ncid, dims[0], &len) != NC_NOERR ||
      index >= len)
    return false;
  std::vector<size_t> at(dims.size(), 0);
  at[0] = index;
  return nc_get_var1_double(ncid, varid, at.data(), value) == NC_NOERR;
}

void grid_nc_give_up(GridFile *f) {
  f->nrec = 0;
  f->nvar = 0;
  f->cur_var = -1;
}
