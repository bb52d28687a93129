// netCDF grid output: the package's own netCDF layout.  Dimensions "grid"
// (one record per grid), "x", "y" and "string_len"; one variable per record
// field; global attributes naming the writer, the grid type and the date.
// The header needs the grid size: it comes from the file information when that
// carries one, else from the first grid written (the header then waits until
// that grid, or until the file is closed).  Grids of another size than the
// file's are skipped with one warning per file.  Every library call is checked;
// a failure is reported with the file's name and leaves the file incomplete,
// which the writing layer reports so that the file is not kept.
#include <cstdlib>
#include <cstring>

#include "config/config.h"
#include "grid/grid_netcdf.h"
#include "grid/grid_state.h"
#include "grid/grid_write_internal.h"

namespace {

constexpr const char *kWho = "GRD_write";

// One output dataset.  Plain data without a destructor, so that it is still
// valid when the exit handler closes the files.
struct NcOutput {
  int ncid = -1;           // the dataset this entry describes
  bool pending = false;    // header waits for the grid size
  bool defined = false;    // header written, records may follow
  bool told_size = false;  // a grid of another size has been reported
  int nx = 0, ny = 0;
  GridFileInfo info{};
};

NcOutput outputs[GRD_MAX_FILES];

// The entry of an open netCDF handle; nullptr for any other handle.
NcOutput *output(int handle, const GridFile **file = nullptr) {
  const GridFile *f = grid_file(handle);
  if (!f || f->type != GRD_NETCDF) return nullptr;
  if (file) *file = f;
  NcOutput &e = outputs[handle];
  if (e.ncid != f->ncid) e = NcOutput{};
  e.ncid = f->ncid;
  return &e;
}

bool put_text_att(int ncid, int varid, const char *name, const char *text) {
  return grid_nc_ok(ncid, kWho, std::string("writing attribute ") + name,
                    nc_put_att_text(ncid, varid, name, strlen(text), text));
}

bool put_short_att(int ncid, const char *name, int32_t value) {
  const short v = grid_nc_to_short(value);
  return grid_nc_ok(ncid, kWho, std::string("writing attribute ") + name,
                    nc_put_att_short(ncid, NC_GLOBAL, name, NC_SHORT, 1, &v));
}

bool define_var(int ncid, int v, const int dims[4], int32_t *id) {
  const NcOwnVarDef &d = grid_nc_own_var(v);
  const int field[3] = {dims[0], dims[1], dims[2]};
  const int text[2] = {dims[0], dims[3]};
  const int *shape = d.shape == kNcField ? field : d.shape == kNcText ? text : dims;
  const int ndims = d.shape == kNcField ? 3 : d.shape == kNcText ? 2 : 1;
  int varid = -1;
  if (!grid_nc_ok(ncid, kWho, std::string("defining variable ") + d.name,
                  nc_def_var(ncid, d.name, d.type, ndims, shape, &varid)))
    return false;
  *id = varid;
  if (!put_text_att(ncid, varid, "name", d.tag) || !put_text_att(ncid, varid, "long_name", d.long_name))
    return false;
  if (d.units && !put_text_att(ncid, varid, "units", d.units)) return false;
  const float fill = -9999.0f;
  return !d.fill || grid_nc_ok(ncid, kWho, std::string("writing attribute _FillValue of ") + d.name,
                               nc_put_att_float(ncid, varid, "_FillValue", NC_FLOAT, 1, &fill));
}

bool define_globals(int ncid, const GridFileInfo &info) {
  return put_text_att(ncid, NC_GLOBAL, "source", "KVZ") && put_text_att(ncid, NC_GLOBAL, "version", "1.0") &&
         put_short_att(ncid, "grid_type", info.grid_type) && put_short_att(ncid, "year", info.date.year) &&
         put_short_att(ncid, "month", info.date.month) && put_short_att(ncid, "day", info.date.day) &&
         put_short_att(ncid, "hour", info.date.hour);
}

// Dimensions, variables and attributes, then the end of the define mode.
bool define_header(GridFile *f, NcOutput &e, int nx, int ny) {
  const int ncid = f->ncid;
  int dims[4] = {-1, -1, -1, -1};
  if (!grid_nc_ok(ncid, kWho, "defining dimension grid", nc_def_dim(ncid, "grid", NC_UNLIMITED, &dims[0])) ||
      !grid_nc_ok(ncid, kWho, "defining dimension x", nc_def_dim(ncid, "x", static_cast<size_t>(nx), &dims[1])) ||
      !grid_nc_ok(ncid, kWho, "defining dimension y", nc_def_dim(ncid, "y", static_cast<size_t>(ny), &dims[2])) ||
      !grid_nc_ok(ncid, kWho, "defining dimension string_len", nc_def_dim(ncid, "string_len", kNcStringLen, &dims[3])))
    return false;
  for (int v = 0; v < kNcOwnVarCount; ++v) {
    f->var_id[v] = -1;
    if (grid_nc_own_var_used(v, e.info.grid_type) && !define_var(ncid, v, dims, &f->var_id[v])) return false;
  }
  if (!define_globals(ncid, e.info) || !grid_nc_ok(ncid, kWho, "ending the define mode", nc_enddef(ncid)))
    return false;
  f->edition = e.info.grid_type == 1 ? 1 : 0;
  e.nx = nx;
  e.ny = ny;
  e.pending = false;
  e.defined = true;
  return true;
}

bool put_float(const GridFile *f, int v, size_t record, float value) {
  return grid_nc_ok(f->ncid, kWho, std::string("writing variable ") + grid_nc_own_var(v).name,
                    nc_put_var1_float(f->ncid, f->var_id[v], &record, &value));
}

bool put_short(const GridFile *f, int v, size_t record, int32_t value) {
  const short s = grid_nc_to_short(value);
  return grid_nc_ok(f->ncid, kWho, std::string("writing variable ") + grid_nc_own_var(v).name,
                    nc_put_var1_short(f->ncid, f->var_id[v], &record, &s));
}

// A label with its terminating zero byte, cut to fit the string length.
bool put_label(const GridFile *f, int v, size_t record, const char *label) {
  const size_t len = strnlen(label, kNcLabelChars);
  char text[kNcStringLen] = {};
  memcpy(text, label, len);
  const size_t start[2] = {record, 0}, count[2] = {1, len + 1};
  return grid_nc_ok(f->ncid, kWho, std::string("writing variable ") + grid_nc_own_var(v).name,
                    nc_put_vara_text(f->ncid, f->var_id[v], start, count, text));
}

bool put_domain(const GridFile *f, size_t r, const Domain &d) {
  return put_short(f, kNcProj, r, d.proj) && put_float(f, kNcLat1, r, d.clat) && put_float(f, kNcLat2, r, d.plat) &&
         put_float(f, kNcLon1, r, d.clon) && put_float(f, kNcLon2, r, d.plon) && put_float(f, kNcDx, r, d.dx) &&
         put_float(f, kNcDy, r, d.dy);
}

bool put_keys(const GridFile *f, size_t r, const GridRecord *g) {
  return put_short(f, kNcSource, r, g->source) && put_short(f, kNcVersion, r, g->version) &&
         put_short(f, kNcModel, r, g->model) && put_short(f, kNcType, r, g->type) &&
         put_short(f, kNcLtype, r, g->ltype) && put_short(f, kNcLevel, r, g->level) &&
         put_short(f, kNcTime, r, g->time) && put_short(f, kNcVar, r, g->var) &&
         put_short(f, kNcNx, r, g->domain.nx) && put_short(f, kNcNy, r, g->domain.ny);
}

bool put_record(const GridFile *f, size_t r, const GridRecord *g) {
  const size_t start[3] = {r, 0, 0};
  const size_t count[3] = {1, static_cast<size_t>(g->domain.nx), static_cast<size_t>(g->domain.ny)};
  if (!grid_nc_ok(f->ncid, kWho, "writing variable values",
                  nc_put_vara_float(f->ncid, f->var_id[kNcValues], start, count, g->values.data())))
    return false;
  if (!put_label(f, kNcDatim, r, g->datim) || !put_label(f, kNcInfo, r, g->info)) return false;
  if (f->edition != 1 && !put_domain(f, r, g->domain)) return false;
  return put_keys(f, r, g);
}

bool complete(const GridRecord *g) {
  const Domain &d = g->domain;
  if (d.nx <= 0 || d.ny <= 0 || g->values.empty()) return false;
  return static_cast<int64_t>(d.nx) * d.ny == static_cast<int64_t>(g->values.size());
}

void close_all_at_exit() {
  for (int h = 0; h < GRD_MAX_FILES; ++h) {
    const GridFile *f = grid_file(h);
    if (f && f->type == GRD_NETCDF) {
      grid_netcdf_close(h, true);
      GRD_close(h);
    }
  }
}

}  // namespace

GridWriteResult grid_putinfo_netcdf(int handle, const GridFileInfo *info) {
  const GridFile *cf = nullptr;
  NcOutput *e = output(handle, &cf);
  if (!e || e->defined || e->pending) return GRID_REFUSED;
  e->info = *info;
  if (info->nx <= 0 || info->ny <= 0) {
    e->pending = true;  // the first grid written gives the size
    return GRID_WRITTEN;
  }
  return define_header(grid_file(handle), *e, info->nx, info->ny) ? GRID_WRITTEN : GRID_FAILED;
}

GridWriteResult grid_write_netcdf(int handle, const GridRecord *grid, int record) {
  NcOutput *e = output(handle);
  if (!e || !complete(grid) || record < 0) return GRID_REFUSED;
  GridFile *f = grid_file(handle);
  if (e->pending && !define_header(f, *e, grid->domain.nx, grid->domain.ny)) return GRID_FAILED;
  if (!e->defined) return GRID_REFUSED;
  if (grid->domain.nx != e->nx || grid->domain.ny != e->ny) {
    if (!e->told_size)
      MESS_print(kNcWarn, "GRD_write: Grids of %d x %d points do not fit the %d x %d netCDF grid file; skipped\n",
                 grid->domain.nx, grid->domain.ny, e->nx, e->ny);
    e->told_size = true;
    return GRID_SKIPPED;
  }
  return put_record(f, static_cast<size_t>(record), grid) ? GRID_WRITTEN : GRID_FAILED;
}

bool grid_netcdf_close(int handle, bool quiet) {
  GridFile *f = grid_file(handle);
  if (!f || f->type != GRD_NETCDF || f->ncid < 0) return true;
  NcOutput &e = outputs[handle];
  bool ok = true;
  if (e.ncid == f->ncid && e.pending) {
    // No grid was written: the header takes the size the file information
    // gave, or the smallest one, so the file is a complete dataset of no grids.
    ok = define_header(f, e, e.info.nx > 0 ? e.info.nx : 1, e.info.ny > 0 ? e.info.ny : 1);
  }
  if (e.ncid == f->ncid) e = NcOutput{};
  const std::string name = quiet ? std::string() : grid_nc_name(f->ncid);
  const int status = nc_close(f->ncid);
  f->ncid = -1;
  if (status != NC_NOERR && !quiet)
    MESS_print(kNcWarn, "GRD_close: netCDF error in %s: closing the dataset: %s\n", name.c_str(), nc_strerror(status));
  return ok && status == NC_NOERR;
}

void grid_netcdf_close_at_exit() {
  static bool registered = false;
  if (!registered) registered = std::atexit(close_all_at_exit) == 0;
}
