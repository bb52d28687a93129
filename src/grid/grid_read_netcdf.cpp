// Reading netCDF grid files in the package's own layout (a "grid" record
// dimension, one variable per record field), and deciding which layout a
// dataset has.  Header variables that a dataset lacks leave their fields
// unset; the projection falls back on the model when there is no "proj"
// variable.  A dataset the library cannot read is reported and holds no grids.
#include <climits>
#include <cstring>

#include "config/config.h"
#include "domain/domain.h"
#include "files/files.h"
#include "grid/grid_netcdf.h"
#include "grid/grid_state.h"

namespace {

constexpr const char *kInfo = "GRD_getinfo";
constexpr const char *kRead = "GRD_read";
constexpr int64_t kMostValues = int64_t{1} << 28;

// A global short of the date; missing when absent.
int32_t date_field(int ncid, const char *name) {
  int value = DATE_MISSING;
  return grid_nc_int_att(ncid, NC_GLOBAL, name, &value) ? value : DATE_MISSING;
}

void read_date(int ncid, GridFileInfo *info) {
  DateRec &d = info->date;
  DATE_init(&d);
  // The file holds the year as the date record keeps it (full years; two-digit
  // years are widened by the date arithmetic).
  d.year = date_field(ncid, "year");
  d.month = date_field(ncid, "month");
  d.day = date_field(ncid, "day");
  d.hour = date_field(ncid, "hour");
  if (d.year != DATE_MISSING) DATE_make_label(&d, info->label);
}

// The record field of variable v at record r, as text of at most 49 characters.
bool read_label(const GridFile *f, int v, size_t r, char *out, size_t size) {
  out[0] = '\0';
  const int id = f->var_id[v];
  if (id < 0) return true;
  char text[kNcStringLen + 1] = {};
  const size_t start[2] = {r, 0}, count[2] = {1, kNcStringLen};
  if (!grid_nc_ok(f->ncid, kRead, std::string("reading variable ") + grid_nc_own_var(v).name,
                  nc_get_vara_text(f->ncid, id, start, count, text)))
    return false;
  text[kNcLabelChars] = '\0';
  copy_text(out, size, text);
  return true;
}

bool read_short(const GridFile *f, int v, size_t r, int32_t *out) {
  const int id = f->var_id[v];
  if (id < 0) return true;
  short value = 0;
  if (!grid_nc_ok(f->ncid, kRead, std::string("reading variable ") + grid_nc_own_var(v).name,
                  nc_get_var1_short(f->ncid, id, &r, &value)))
    return false;
  *out = grid_nc_from_short(value);
  return true;
}

bool read_float(const GridFile *f, int v, size_t r, float *out) {
  const int id = f->var_id[v];
  if (id < 0) return true;
  return grid_nc_ok(f->ncid, kRead, std::string("reading variable ") + grid_nc_own_var(v).name,
                    nc_get_var1_float(f->ncid, id, &r, out));
}

bool read_domain(const GridFile *f, size_t r, Domain &d) {
  return read_short(f, kNcProj, r, &d.proj) && read_float(f, kNcLat1, r, &d.clat) &&
         read_float(f, kNcLat2, r, &d.plat) && read_float(f, kNcLon1, r, &d.clon) &&
         read_float(f, kNcLon2, r, &d.plon) && read_float(f, kNcDx, r, &d.dx) && read_float(f, kNcDy, r, &d.dy);
}

bool read_header(const GridFile *f, size_t r, GridRecord *g) {
  if (!read_label(f, kNcDatim, r, g->datim, sizeof g->datim) || !read_label(f, kNcInfo, r, g->info, sizeof g->info))
    return false;
  Domain &d = g->domain;
  const bool has_proj = f->edition != 1 && f->var_id[kNcProj] >= 0;
  if (has_proj && !read_domain(f, r, d)) return false;
  if (!read_short(f, kNcSource, r, &g->source) || !read_short(f, kNcVersion, r, &g->version) ||
      !read_short(f, kNcModel, r, &g->model))
    return false;
  if (!has_proj) d.proj = g->model > 9 ? DOM_PROJ_LATLON : DOM_PROJ_PSTEREO;
  return read_short(f, kNcType, r, &g->type) && read_short(f, kNcLtype, r, &g->ltype) &&
         read_short(f, kNcLevel, r, &g->level) && read_short(f, kNcTime, r, &g->time) &&
         read_short(f, kNcVar, r, &g->var) && read_short(f, kNcNx, r, &d.nx) && read_short(f, kNcNy, r, &d.ny);
}

// The values variable must be (grid, x, y) over the "grid" dimension; the
// record's size must fit its x and y lengths (an unknown size takes them).
bool values_size(const GridFile *f, Domain &d) {
  NcVarShape shape;
  if (!grid_nc_shape(f->ncid, f->var_id[kNcValues], kRead, &shape)) return false;
  const int grid_dim = grid_nc_dim(f->ncid, "grid");
  if (shape.dims.size() != 3 || shape.dims[0] != grid_dim) {
    grid_nc_warn(f->ncid, kRead, "the variable values is not defined over (grid, x, y)");
    return false;
  }
  if (d.nx <= 0 && shape.lengths[1] <= INT_MAX) d.nx = static_cast<int>(shape.lengths[1]);
  if (d.ny <= 0 && shape.lengths[2] <= INT_MAX) d.ny = static_cast<int>(shape.lengths[2]);
  if (d.nx <= 0 || d.ny <= 0 || static_cast<size_t>(d.nx) > shape.lengths[1] ||
      static_cast<size_t>(d.ny) > shape.lengths[2]) {
    grid_nc_warn(f->ncid, kRead, "a grid of %d x %d points does not fit the values variable of %zu x %zu", d.nx,
                 d.ny, shape.lengths[1], shape.lengths[2]);
    return false;
  }
  const int64_t n = static_cast<int64_t>(d.nx) * d.ny;
  if (n > kMostValues || n > grid_nc_room(f->ncid, NC_FLOAT)) {
    grid_nc_warn(f->ncid, kRead, "a grid of %d x %d points is more than the file holds", d.nx, d.ny);
    return false;
  }
  return true;
}

bool read_values(const GridFile *f, size_t r, GridRecord *g) {
  Domain &d = g->domain;
  if (!values_size(f, d)) return false;
  g->values.resize(static_cast<size_t>(d.nx) * static_cast<size_t>(d.ny));
  const size_t start[3] = {r, 0, 0};
  const size_t count[3] = {1, static_cast<size_t>(d.nx), static_cast<size_t>(d.ny)};
  if (grid_nc_ok(f->ncid, kRead, "reading variable values",
                 nc_get_vara_float(f->ncid, f->var_id[kNcValues], start, count, g->values.data())))
    return true;
  g->values.clear();
  return false;
}

}  // namespace

int grid_info_netcdf(int handle, GridFileInfo *info) {
  GridFile *f = grid_file(handle);
  if (!grid_nc_complete(f->ncid, kInfo)) {
    grid_nc_give_up(f);
    return -1;
  }
  if (grid_nc_dim(f->ncid, "grid") >= 0) return grid_info_netcdf_own(handle, info);
  return grid_info_netcdf_foreign(handle, info);
}

int grid_read_netcdf(int handle, GridRecord *grid, int mode, int *grid_number) {
  GridFile *f = grid_file(handle);
  if (f->subtype == 0) return grid_read_netcdf_own(handle, grid, mode, grid_number);
  return grid_read_netcdf_foreign(handle, grid, mode, grid_number);
}

int grid_info_netcdf_own(int handle, GridFileInfo *info) {
  GridFile *f = grid_file(handle);
  const int ncid = f->ncid;
  f->subtype = 0;
  size_t records = 0;
  grid_nc_dim(ncid, "grid", &records);
  f->nrec = records <= INT_MAX ? static_cast<int32_t>(records) : INT_MAX;
  int grid_type = 0, status = NC_NOERR;
  if (!grid_nc_int_att(ncid, NC_GLOBAL, "grid_type", &grid_type, &status)) {
    grid_nc_fail(ncid, kInfo, "reading the attribute grid_type", status);
    grid_nc_give_up(f);
    return -1;
  }
  for (int v = 0; v < kNcOwnVarCount; ++v)
    f->var_id[v] = grid_nc_own_var_used(v, grid_type) ? grid_nc_var(ncid, grid_nc_own_var(v).name) : -1;
  if (f->var_id[kNcValues] < 0) {
    grid_nc_warn(ncid, kInfo, "the dataset has a grid dimension but no values variable");
    grid_nc_give_up(f);
    return -1;
  }
  info->grid_type = grid_type;
  f->edition = grid_type;
  read_date(ncid, info);
  f->base_date = info->date;
  return 0;
}

int grid_read_netcdf_own(int handle, GridRecord *grid, int mode, int *grid_number) {
  GridFile *f = grid_file(handle);
  if (*grid_number != -1) f->cur_grid = *grid_number;
  if (f->cur_grid < 0 || f->cur_grid >= f->nrec) return -1;
  const size_t r = static_cast<size_t>(f->cur_grid);
  GRD_init(grid);
  grid->version = 0;
  grid->units[0] = '\0';
  grid->base_date = f->base_date;
  DOM_init(grid->domain);
  if (!read_header(f, r, grid) || (mode == 0 && !read_values(f, r, grid))) {
    grid_nc_give_up(f);
    return -1;
  }
  if (mode == 0) *grid_number = f->cur_grid;
  return 0;
}
