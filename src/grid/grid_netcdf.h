// netCDF grid files: the package's own layout (its variables, in the order
// their ids are kept in GridFile::var_id), the checked library calls shared by
// the writer and the readers, and the readers of the own and foreign layouts.
// Only the netCDF files of the grid subsystem include this header.
//
// Every library call is checked: a failure is reported at the warn level with
// the dataset's name, what was being done and the library's reason, and the
// caller then treats the file as unreadable or incomplete.  Nothing read from a
// dataset (lengths, counts, indices, shapes) is used before it is checked.
#ifndef KVZ_GRID_NETCDF_H
#define KVZ_GRID_NETCDF_H

#include "grid/netcdf_library.h"

#include <cstdint>
#include <string>
#include <vector>

#include "grid/grid.h"

constexpr uint32_t kNcWarn = 0xC0;
constexpr int kNcStringLen = 50;   // length of the "string_len" dimension
constexpr int kNcLabelChars = 49;  // labels are cut to this, leaving room for the zero byte

// The variables of the own layout, in the order their ids are kept.
enum NcOwnVar : int {
  kNcValues, kNcXCoord, kNcYCoord, kNcProj, kNcLat1, kNcLat2, kNcLon1, kNcLon2, kNcDx, kNcDy,
  kNcDatim, kNcInfo, kNcSource, kNcVersion, kNcModel, kNcType, kNcLtype, kNcLevel, kNcTime,
  kNcVar, kNcNx, kNcNy, kNcOwnVarCount
};

// Dimensions a variable of the own layout is defined over.
enum NcShape : int { kNcPerGrid, kNcField, kNcText };

struct NcOwnVarDef {
  const char *name;
  nc_type type;
  NcShape shape;
  const char *tag;        // the "name" attribute
  const char *long_name;
  const char *units;      // nullptr: no "units" attribute
  bool fill;              // has a "_FillValue" of -9999
};

const NcOwnVarDef &grid_nc_own_var(int v);
// Whether a dataset of the grid type has the variable: the coordinate
// variables for grid type 1, the projection variables for the others.
bool grid_nc_own_var_used(int v, int grid_type);

// 16-bit fields: a value outside the range of a short is stored as the short
// fill value, which reads back as unknown (-9999).
short grid_nc_to_short(int32_t value);
int32_t grid_nc_from_short(short value);

// ---- reporting ----------------------------------------------------------------
std::string grid_nc_name(int ncid);  // the dataset's path, or a description of the id
// "<who>: netCDF error in <file>: <what>: <library reason>"; returns false.
bool grid_nc_fail(int ncid, const char *who, const std::string &what, int status);
// true when status is NC_NOERR, else reports like grid_nc_fail.
bool grid_nc_ok(int ncid, const char *who, const std::string &what, int status);
// "<who>: <file>: <problem>" for datasets the library reads but that make no sense.
void grid_nc_warn(int ncid, const char *who, const char *format, ...) __attribute__((format(printf, 3, 4)));

// ---- checked lookups ----------------------------------------------------------
// Ids of a variable or dimension by name; -1 when absent.
int grid_nc_var(int ncid, const char *name);
int grid_nc_dim(int ncid, const char *name, size_t *length = nullptr);
// The shape of a variable: its dimension ids and their lengths.
struct NcVarShape {
  nc_type type = NC_NAT;
  std::vector<int> dims;
  std::vector<size_t> lengths;
};
bool grid_nc_shape(int ncid, int varid, const char *who, NcVarShape *shape);
size_t grid_nc_type_size(nc_type type);  // bytes of one value in the file
// The most values of a type the dataset's file can hold: a bound for every
// buffer sized from counts the file declares.
int64_t grid_nc_room(int ncid, nc_type type);
// false when the header of the netCDF file at `path` declares more than the
// file holds or is not a classic, 64-bit offset or 64-bit data header: the
// library must not be given such a file.
bool grid_nc_header_sane(const char *path);
// false, with a warning, when the file is shorter than the data its header
// declares (a truncated file would otherwise read as zeros).
bool grid_nc_complete(int ncid, const char *who);
// A text attribute (of a variable, or NC_GLOBAL), trailing zero bytes removed;
// false when absent or not text.
bool grid_nc_text_att(int ncid, int varid, const char *name, std::string *text);
// The first value of a numeric attribute; false when absent, empty or not numeric.
bool grid_nc_int_att(int ncid, int varid, const char *name, int *value, int *status = nullptr);
// Value `index` along the first dimension of a numeric variable (the other
// dimensions at 0); false, without a message, when the variable is absent,
// holds no such value or is not numeric.
bool grid_nc_value_at(int ncid, int varid, size_t index, double *value);

// ---- foreign layout --------------------------------------------------------------
// GridFile::var_id holds the usable field variables first, then the further
// variables at these slots (-1 when the dataset lacks them).
enum NcForeignSlot : int {
  kNcMaxFields = 15, kNcLatVar = 15, kNcLonVar, kNcCenterVar, kNcModelVar, kNcLevelVar, kNcHourVar,
  kNcYearVar, kNcMonthVar, kNcDayVar, kNcHourOfDayVar, kNcReftimeVar, kNcForeignSlotEnd
};
// GridFile::dim_len and dim_id entries.
enum NcForeignDim : int { kNcDimX, kNcDimY, kNcDimLevel, kNcDimTime };
// The layout code in force while reading the variable of that name.
int grid_nc_code_for_var(int code, const char *var_name);
// The dataset's reference date: "year", "month", "day", "hour", else the text
// variable "reftime" (decoded as a date label, or with `scan` as four numbers).
// false when the dataset has neither.
bool grid_nc_reference_date(const GridFile *f, bool scan, DateRec *date);

// ---- readers (GRD_getinfo and GRD_read for type 11) ----------------------------
int grid_info_netcdf(int handle, GridFileInfo *info);
int grid_read_netcdf(int handle, GridRecord *grid, int mode, int *grid_number);
int grid_info_netcdf_own(int handle, GridFileInfo *info);
int grid_read_netcdf_own(int handle, GridRecord *grid, int mode, int *grid_number);
int grid_info_netcdf_foreign(int handle, GridFileInfo *info);
int grid_read_netcdf_foreign(int handle, GridRecord *grid, int mode, int *grid_number);
// A dataset that failed to read is made to hold no grids, so the grid loop ends.
void grid_nc_give_up(GridFile *f);

// ---- closing ------------------------------------------------------------------
// Completes and closes the dataset behind a handle: an output file whose header
// still waits for its grid size gets it first.  false when the library failed
// (reported unless quiet); the file is then incomplete.
bool grid_netcdf_close(int handle, bool quiet = false);
// Makes sure every netCDF output file still open when the process ends is closed
// (and so complete), whatever path ends the run.
void grid_netcdf_close_at_exit();

#endif
