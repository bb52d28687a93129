// Reading one grid of a foreign netCDF layout.  The grids are the fields of
// the usable variables in order; within a variable time varies slowest and
// level fastest.  Any grid can be asked for: the variable holding it is found
// by counting the grids of the variables before it.  The header comes from the
// coordinate, model and date variables, the domain from the latitudes and
// longitudes (or the known grids of the producers), and the values are read
// row by row, the dataset's first row into the record's last.
#include <climits>
#include <cstdlib>
#include <cstring>

#include "config/config.h"
#include "domain/domain.h"
#include "files/files.h"
#include "grid/grid_netcdf.h"
#include "grid/grid_state.h"
#include "naming/naming.h"

namespace {

constexpr const char *kRead = "GRD_read";
constexpr double kMissingAbove = 1e30;  // values at or above it are missing
constexpr int64_t kMostValues = int64_t{1} << 28;

// One field variable: which of its dimensions are x, y, level and time, and
// how many grids it holds.
struct Field {
  int varid = -1;
  int code = 0;
  char name[NC_MAX_NAME + 1] = "";
  NcVarShape shape;
  int x = -1, y = -1, z = -1, t = -1;  // positions in shape.dims; -1 absent
  int64_t times = 1, levels = 1, grids = 1;
};

bool describe_field(const GridFile *f, int index, Field *fd) {
  *fd = Field{};
  fd->varid = f->var_id[index];
  fd->code = f->var_code[index];
  if (!grid_nc_ok(f->ncid, kRead, "reading a variable name", nc_inq_varname(f->ncid, fd->varid, fd->name)) ||
      !grid_nc_shape(f->ncid, fd->varid, kRead, &fd->shape))
    return false;
  int *roles[4] = {&fd->x, &fd->y, &fd->z, &fd->t};
  for (int i = static_cast<int>(fd->shape.dims.size()) - 1; i >= 0; --i)
    for (int r = 0; r < 4; ++r)
      if (f->dim_id[r] >= 0 && fd->shape.dims[i] == f->dim_id[r]) *roles[r] = i;
  if (fd->t >= 0) fd->times = static_cast<int64_t>(fd->shape.lengths[fd->t]);
  if (fd->z >= 0) fd->levels = static_cast<int64_t>(fd->shape.lengths[fd->z]);
  fd->grids = fd->times * fd->levels;
  return true;
}

// Finds the variable holding grid n and the number of its first grid; -1 past
// the last grid, -2 when the dataset could not be read.
int locate(GridFile *f, int n, Field *fd, int64_t *first) {
  int64_t start = 0;
  for (int i = 0; i < f->nvar; ++i) {
    if (!describe_field(f, i, fd)) return -2;
    if (n < start + fd->grids) {
      f->cur_var = i;
      f->nrec = static_cast<int32_t>(std::min<int64_t>(start + fd->grids, INT_MAX));
      f->subtype = grid_nc_code_for_var(f->subtype, fd->name);
      *first = start;
      return 0;
    }
    start += fd->grids;
  }
  return -1;
}

int32_t whole(double v) {
  if (!(v > INT_MIN && v < INT_MAX)) return -9999;
  return static_cast<int32_t>(v);  // toward zero
}

// Value `index` of a further variable into `out`; left as it was when absent.
void further(const GridFile *f, int slot, int64_t index, int32_t *out) {
  double v = 0;
  if (index >= 0 && grid_nc_value_at(f->ncid, f->var_id[slot], static_cast<size_t>(index), &v)) *out = whole(v);
}

void source_and_model(const GridFile *f, int64_t index, GridRecord *g) {
  further(f, kNcCenterVar, index, &g->source);
  further(f, kNcModelVar, index, &g->model);
}

// Level type of a field over time alone.
int single_level_type(int title, int code, int model) {
  int ltype = 9;
  if (code == 1 || code == 101) ltype = 12;
  else if (code == 2 || code == 102 || code == 50) ltype = 1;
  else if (model == 10) ltype = code == 23 ? 1 : 12;
  if (title >= 10 && title % 10 == 1) ltype = 7;
  else if (title >= 10 && title % 10 == 2) ltype = 6;
  return ltype;
}

void fill_keys(const GridFile *f, const Field &fd, int64_t k, GridRecord *g) {
  const int title = f->subtype % 100;  // the hundreds digit only marks a missing "rtime"
  g->var = fd.code;
  g->type = 1;
  if (fd.t < 0 && fd.z < 0) {
    source_and_model(f, k, g);
    g->ltype = 1;
    g->level = 0;
    g->time = 0;
    if (title == 13) {
      g->ltype = 10;
      g->level = 500;
      g->time = 72;
    }
  } else if (fd.z < 0) {
    source_and_model(f, k, g);
    g->level = 0;
    g->ltype = single_level_type(title, fd.code, g->model);
    if (title == 20 && fd.code == 2) {
      g->ltype = 10;
      g->level = 500;
    }
    further(f, kNcHourVar, k, &g->time);
  } else {
    const int64_t t = k / fd.levels, z = k % fd.levels;
    source_and_model(f, t, g);
    further(f, kNcLevelVar, z, &g->level);
    g->ltype = 10;
    further(f, kNcHourVar, t, &g->time);
  }
}

bool value_at(const GridFile *f, int slot, size_t index, double *v) {
  return grid_nc_value_at(f->ncid, f->var_id[slot], index, v);
}

// The domain from the coordinates, else the grids known by their size; false
// when neither applies.
bool coordinate_domain(const GridFile *f, Domain &d) {
  double lat0, lat1, lon0, lon1;
  if (f->var_id[kNcLatVar] >= 0 && f->dim_len[kNcDimX] > 0 && f->dim_len[kNcDimY] > 0 &&
      value_at(f, kNcLatVar, 0, &lat0) && value_at(f, kNcLatVar, 1, &lat1) && value_at(f, kNcLonVar, 0, &lon0) &&
      value_at(f, kNcLonVar, 1, &lon1)) {
    d.proj = DOM_PROJ_LATLON;
    d.nx = f->dim_len[kNcDimX];
    d.ny = f->dim_len[kNcDimY];
    d.dy = static_cast<float>(lat1 - lat0);
    d.dx = static_cast<float>(lon1 - lon0);
    d.clat = static_cast<float>(lat0 + (d.ny - 1) * d.dy * 0.5);
    d.clon = static_cast<float>(lon0 + (d.nx - 1) * d.dx * 0.5);
    return true;
  }
  if (f->dim_len[kNcDimX] != 83) return false;
  d.proj = DOM_PROJ_PSTEREO;
  d.clat = 50.8936f;
  d.clon = -103.1524f;
  d.plon = -105.0f;
  d.nx = d.ny = 83;
  d.dx = d.dy = 0.9075464f;
  return true;
}

void lambert_211(Domain &d) {
  d.proj = DOM_PROJ_LAMB;
  d.clat = 40.62f;
  d.clon = -100.51f;
  d.plon = -95.0f;
  d.param1 = 25.0f;
  d.param2 = 25.0f;
  d.param3 = 1.277f;
  d.nx = 93;
  d.ny = 65;
  d.dx = d.dy = 0.6263f;
}

// Grid type by model; true for the wrap-around grid, whose last column
// repeats the first (one more column than the dataset holds).
bool fill_domain(const GridFile *f, GridRecord *g) {
  Domain &d = g->domain;
  const bool known = coordinate_domain(f, d);
  const int m = g->model;
  bool wrap = false;
  if (m == 39 || m == 64) {
    g->type = 50;
  } else if (m == 83 && !known) {
    g->type = 211;
    lambert_211(d);
  } else if (m == 10 || m == 25 || m == 31 || m == 40 || m == 44 || m == 77) {
    g->type = 11;
  } else if (m == 69 || m == 78) {
    g->type = 11;
    wrap = g->time >= 73 && d.proj == DOM_PROJ_LATLON;
  }
  if (wrap) {
    d.nx += 1;
    d.clon += d.dx * 0.5f;
  }
  // Without a known domain the dataset's own size still gives the values.
  if (d.nx <= 0 && f->dim_len[kNcDimX] > 0) d.nx = f->dim_len[kNcDimX];
  if (d.ny <= 0 && f->dim_len[kNcDimY] > 0) d.ny = f->dim_len[kNcDimY];
  g->version = 1;
  return wrap;
}

// Where the field of grid k starts in the variable.
std::vector<size_t> field_start(const Field &fd, int64_t k) {
  std::vector<size_t> start(fd.shape.dims.size(), 0);
  if (fd.t >= 0) start[fd.t] = static_cast<size_t>(k / fd.levels);
  if (fd.z >= 0) start[fd.z] = static_cast<size_t>(k % fd.levels);
  return start;
}

// A first value at or above the missing mark makes the whole field missing.
bool probe(const GridFile *f, const Field &fd, int64_t k, GridRecord *g) {
  const std::vector<size_t> start = field_start(fd, k);
  for (size_t len : fd.shape.lengths)
    if (len == 0) return true;  // nothing to probe
  double v = 0;
  if (!grid_nc_ok(f->ncid, kRead, std::string("reading variable ") + fd.name,
                  nc_get_var1_double(f->ncid, fd.varid, start.data(), &v)))
    return false;
  if (v >= kMissingAbove) g->source = g->var = g->ltype = g->level = g->time = 0;
  return true;
}

// Seconds of the reference date, made plausible; 0 when the dataset has none.
int32_t reference_seconds(const GridFile *f, DateRec *date) {
  if (!grid_nc_reference_date(f, true, date)) return 0;
  // Years the date arithmetic counts correctly; others stand for 1980.
  if (date->year < 1900 || date->year > 2099) date->year = 1980;
  if (date->month < 1 || date->month > 12) date->month = 1;
  if (date->day < 1 || date->day > 31) date->day = 1;
  if (date->hour < 0 || date->hour > 23) date->hour = 0;
  date->minute = date->second = 0;
  return DATE_num_sec(date);
}

void make_labels(const GridFile *f, const Field &fd, int32_t seconds, GridRecord *g) {
  if (fd.code == 0 && f->var_name[0] && strcmp(fd.name, f->var_name) == 0) {
    std::string long_name, units;
    grid_nc_text_att(f->ncid, fd.varid, "long_name", &long_name);
    grid_nc_text_att(f->ncid, fd.varid, "units", &units);
    copy_text(g->info, (long_name + " (" + units + ")").c_str());
  } else {
    VAR_make_datatype(g->time, g->ltype, g->level, g->var, g->units, g->info);
  }
  DATE_make_label_for(g->time, GRD_model_key(g), seconds, g->datim);
}

// The record's size must fit the variable's x and y lengths and the file.
bool values_fit(const GridFile *f, const Field &fd, const Domain &d, int row_values) {
  if (fd.x < 0 || fd.y < 0) {
    grid_nc_warn(f->ncid, kRead, "the variable %s has no x and y dimensions", fd.name);
    return false;
  }
  const size_t xlen = fd.shape.lengths[fd.x], ylen = fd.shape.lengths[fd.y];
  const int64_t n = static_cast<int64_t>(d.nx) * d.ny;
  if (d.nx <= 0 || d.ny <= 0 || row_values <= 0 || static_cast<size_t>(row_values) > xlen ||
      static_cast<size_t>(d.ny) > ylen || n > kMostValues || n > grid_nc_room(f->ncid, fd.shape.type)) {
    grid_nc_warn(f->ncid, kRead, "a grid of %d x %d points does not fit the variable %s of %zu x %zu", d.nx, d.ny,
                 fd.name, xlen, ylen);
    return false;
  }
  return true;
}

bool read_values(const GridFile *f, const Field &fd, int64_t k, bool wrap, GridRecord *g) {
  const Domain &d = g->domain;
  const int row_values = wrap ? d.nx - 1 : d.nx;
  if (!values_fit(f, fd, d, row_values)) return false;
  const size_t nx = static_cast<size_t>(d.nx), ny = static_cast<size_t>(d.ny);
  g->values.assign(nx * ny, -9999.0f);
  std::vector<size_t> start = field_start(fd, k), count(start.size(), 1);
  count[fd.x] = static_cast<size_t>(row_values);
  for (size_t row = 0; row < ny; ++row) {
    start[fd.y] = row;
    float *out = g->values.data() + (ny - 1 - row) * nx;
    if (!grid_nc_ok(f->ncid, kRead, std::string("reading variable ") + fd.name,
                    nc_get_vara_float(f->ncid, fd.varid, start.data(), count.data(), out))) {
      g->values.clear();
      return false;
    }
    if (wrap) out[nx - 1] = out[0];
  }
  for (float &v : g->values)
    if (v >= kMissingAbove) v = -9999.0f;
  return true;
}

}  // namespace

int grid_read_netcdf_foreign(int handle, GridRecord *grid, int mode, int *grid_number) {
  GridFile *f = grid_file(handle);
  if (*grid_number != -1) f->cur_grid = *grid_number;
  if (f->cur_grid < 0) return -1;
  Field fd;
  int64_t first = 0;
  const int found = locate(f, f->cur_grid, &fd, &first);
  if (found == -2) grid_nc_give_up(f);
  if (found != 0) return -1;
  const int64_t k = f->cur_grid - first;
  GRD_init(grid);
  grid->units[0] = '\0';
  DOM_init(grid->domain);
  fill_keys(f, fd, k, grid);
  const bool wrap = fill_domain(f, grid);
  if (!probe(f, fd, k, grid)) {
    grid_nc_give_up(f);
    return -1;
  }
  const int32_t seconds = reference_seconds(f, &grid->base_date);
  const char *qp = getenv("GRIBQP");
  if (fd.code == 50 && qp) grid->time += atoi(qp);
  if (mode != 0) return 0;
  make_labels(f, fd, seconds, grid);
  if (!read_values(f, fd, k, wrap, grid)) {
    grid_nc_give_up(f);
    return -1;
  }
  *grid_number = f->cur_grid;
  return 0;
}
