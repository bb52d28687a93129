// Grid files: the in-memory grid record, the per-file information record, the
// table of open grid files, type detection, opening and positioning, and the
// header (index) files read alongside GRIB files.
#ifndef KVZ_GRID_GRID_H
#define KVZ_GRID_GRID_H

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "date/date.h"
#include "domain/domain.h"

// One grid: header fields and values.
struct GridRecord {
  int32_t type;        // model grid (projection) number, e.g. a GRIB grid number
  int32_t source;      // originating centre; byte count of the raw message during a raw copy
  int32_t version;     // grid encoding version (GRIB edition, text grid version)
  char datim[50];      // date and time label; empty until made
  char info[70];       // description label; empty until made
  DateRec base_date;   // reference (analysis) date
  int32_t model;       // generating process within the source
  int32_t ltype;       // level type
  int32_t level;       // level value
  int32_t time;        // range*1000000 + start*1000 + end
  int32_t var;         // variable code
  char units[16];      // units of the values; empty: the variable's default units
  Domain domain;       // projection and grid
  std::vector<float> values;          // nx*ny values, x fastest, -9999.0 missing; empty: none
  std::vector<unsigned char> raw;     // the raw product bytes of a raw GRIB copy
};

// What a grid file says about itself as a whole.
struct GridFileInfo {
  char label[40];     // the file's date label
  int32_t nx;         // grid size of a netCDF output file
  int32_t ny;
  int32_t grid_type;  // netCDF grid files: the dataset's grid type; 0 otherwise
  DateRec date;       // the file's reference date
};

constexpr int GRD_MAX_FILES = 15;

// File type codes.
enum GridFileType : int {
  GRD_DETECT = 0,
  GRD_TEXT = 1,       // text grid file without a magic line
  GRD_KVZGRID = 2,    // text grid file, magic line "KVZGRID"
  GRD_KVZGRID_BIN = 3,
  GRD_KVZGRID4 = 4,   // magic line "KVZGRID4", domain given as a domain text
  GRD_NETCDF = 11,
  GRD_GRIB = 21,
  GRD_BULLETIN = 22,  // "GRID" code bulletins
};

// The state of one open grid file.
struct GridFile {
  std::string path;        // the name it was opened with, for messages
  FILE *fp = nullptr;      // the grid file stream; none for netCDF
  FILE *hdr_fp = nullptr;  // header (index) file read alongside a GRIB file
  bool hdr_current = false; // the header file line of grid cur_grid has been read
  std::vector<int64_t> hdr_offsets;  // offsets of the header file lines read, by grid number
  char first_line[52] = "";
  DateRec base_date{};
  int32_t ncid = -1;
  int32_t edition = 0;
  int32_t type = 0;
  int32_t subtype = 0;
  char var_name[52] = "";
  int32_t var_code[15] = {};
  int32_t nvar = 0;
  int32_t cur_var = -1;
  int32_t cur_grid = 0;
  int32_t nrec = 0;
  int32_t dim_len[4] = {};
  int32_t dim_id[4] = {};
  int32_t var_id[36] = {};
};

// ---- the record and the table ---------------------------------------------
int GRD_init(GridRecord *grid);
GridFile *GRD_get_gfile(int handle);
int GRD_make_datatype(GridRecord *grid);
// The model key source*1000 + model that names the model; -1 (no such model)
// when a file gives numbers too large for one.
int GRD_model_key(const GridRecord *grid);

// ---- description ----------------------------------------------------------------
// Style 0 date and description labels, 1 key numbers, 2 projection, 3 fresh
// description; -1 and -2 label forms without the source.
int GRD_print_info(uint32_t level, GridRecord *grid, int style);

// ---- type detection, opening and positioning --------------------------------
int GRD_chktype(const char *path);
int GRD_open(const char *path, int mode, int *type);
// 0, or -1 for a bad handle, an unknown type, or a netCDF dataset that could
// not be completed (an output file is then incomplete).
int GRD_close(int handle);
int GRD_hdr_open(int handle, const char *name);
int GRD_use_hdr_file(int flag);
int64_t GRD_get_pos(int handle);
// The offset at which the search for the product holding the grid read last
// began: the same as GRD_get_pos except for the later fields of a GRIB
// edition 2 message, which share their message's.
int64_t GRD_get_msg_pos(int handle);
int GRD_setpos(int handle, int64_t offset, int grid_number);
// GRD_setpos on the grid of the last line of a header file, given the offsets
// of its last lines (that grid's last): when the line is a later field of an
// edition 2 message, the fields before it are passed so that it reads again.
int GRD_setpos_recorded(int handle, const std::vector<int64_t> &recent, int grid_number);
int GRD_rewind(int handle);
int GRD_get_header(int handle, unsigned char *buffer);  // buffer of 160 bytes

// ---- input set-up, selection and output choice ---------------------------------
struct GridSpec;
int GRD_in_file();
// The selection number of a selection text: -9999 none, -1 test each grid,
// 0 or more one grid by number.
int GRD_parse_params(const char *text, GridSpec *wanted, int *grid_type);
int GRD_test(const GridRecord *grid, const GridSpec *wanted, int grid_type);
// The output code chosen by "out_file" (0 none, 2 text, 3 binary words, 11
// netCDF, 21 raw GRIB), and the output file created along the grid path.
int GRD_out_file(int code);
int GRD_open_out_file(const char *name, int code);
// The path of an output file name: in the "grid_path" directory, unless the
// name is a full path or already starts with that directory (the output
// name conventions may put it there themselves).
std::string GRD_out_path(const char *name);
// Converts the grid's values to other units; -1 when it holds none.
int GRD_units(GridRecord *grid, const char *units);

// ---- reading ------------------------------------------------------------------
int GRD_getinfo(int handle, GridFileInfo *info);
int GRD_read(int handle, GridRecord *grid, int mode, int *grid_number);

// ---- writing ------------------------------------------------------------------
// Output grid files: text grid files (type 2 values as text, type 3 values as
// big-endian binary words), raw GRIB copies (type 21) and the package's netCDF
// layout (type 11; its header waits for the first grid when the file
// information gives no grid size, and grids of another size are skipped).

// Starts the output file: the magic line of a text grid file, the header of a
// netCDF file; nothing for types 1, 21 and 22.  0, or -1 for a bad handle, a
// type that cannot be written (4, unknown) or a failed write.
int GRD_putinfo(int handle, const GridFileInfo *info);

// Appends one grid.  Text grid files take the record's values (filling an empty
// date or description label first, and turning blanks in `units` into '_');
// a raw GRIB copy takes the record's `raw` bytes unchanged.  `count` is the
// index of this grid in the output file (the netCDF record number); the caller
// increments it.  0 when written; 1 when a grid whose projection has no text
// grid token is skipped (warned once per run); -1 when the record, its values
// or bytes are missing or do not match its size, the handle or type cannot be
// written, or the write failed (reported once per file with the file's name).
int GRD_write(int handle, GridRecord *grid, int unused, int *count);

// Names the output file behind a handle for messages about failed writes;
// without it the name is looked up from the open stream where the system can.
int GRD_set_out_name(int handle, const char *name);

// 1 when a write to the output file behind the handle has failed, else 0.
int GRD_write_failed(int handle);

#endif
