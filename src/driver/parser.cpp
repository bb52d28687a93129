// The grid file parser: reads its options, opens one grid file, and walks its
// grids from the first to the last, describing each at the chosen message level.
#include "driver/driver.h"

#include <cctype>
#include <cstring>
#include <strings.h>

#include "config/config.h"
#include "date/date.h"
#include "files/files.h"
#include "grib/grib.h"
#include "grid/grid.h"
#include "driver/driver_internal.h"
#include "naming/naming.h"

namespace {

// The options this program declares, in the order the help text lists them.
const int kKeyed[] = {57, 3, 73, 48, 41, 39, 55, 94, 63, 106, 112, 113, 114,
                      76, 64, 80, 47, 68, 82, 40, 58, 78, 74, 54, 56, 83, 0};
const int kPositional[] = {50, 0};

struct RunSettings {
  bool header_mode = false;  // "output" item "hdrfile"
  bool no_source = false;    // "parameter" item "nosrc"
};

void print_help() {
  char name[160];
  RES_get_progname(name, sizeof name);
  MESS_print(0xF, "%s: This program parses model grib file and displays\n", name);
  MESS_print(0xF, "   information on each grid\n");
  RES_help_print(name, kKeyed, kPositional);
  KVZ_exit(0);
}

// The number after "max_bad" and one separator: its leading digits, 0 when none.
int max_bad_number(const char *item) {
  if (strlen(item) <= 8) return 0;
  int n = 0;
  for (const char *p = item + 8; isdigit(static_cast<unsigned char>(*p)) && n < 100000000; ++p)
    n = n * 10 + (*p - '0');
  return n;
}

void apply_parameters(RunSettings &run) {
  int count = 0;
  std::vector<std::string> items;
  RES_getvals("parameter", &count, &items);
  for (const std::string &item : items) {
    const char *s = item.c_str();
    if (!strcasecmp(s, "nohdr")) {
      GRD_use_hdr_file(0);
    } else if (!strcasecmp(s, "usehdr")) {
      GRD_use_hdr_file(1);
    } else if (!strcasecmp(s, "nosrc")) {
      run.no_source = true;
    } else if (!strncasecmp(s, "max_bad", 7)) {
      const int n = max_bad_number(s);
      GRIB_set_max_bad(n < 1 ? 5 : n);
    }
  }
  RES_getvals("output", &count, &items);
  for (const std::string &item : items)
    if (!strcasecmp(item.c_str(), "hdrfile")) run.header_mode = true;
}

int open_grid_file(const std::string &name) {
  int type = FLAG_get(17) == 23 ? GRD_GRIB : GRD_DETECT;
  const int handle = GRD_open(name.c_str(), 0, &type);
  if (handle == -1) {
    MESS_print(0xC0, "Unable to open grid file:%s\n", name.c_str());
    KVZ_exit(12);
  }
  MESS_print(0xF00, "Reading from grid file:%s\n", name.c_str());
  return handle;
}

// Normal mode: read through the grid file's header file when there is one.
void open_header_file(int handle, const DateRec &date) {
  std::string hdr_name;
  if (FILE_hdr_set_date(&date, &hdr_name)) GRD_hdr_open(handle, hdr_name.c_str());
}

}  // namespace

int PARSER_main(int argc, char **argv) {
  RES_init(argc, argv, kKeyed, kPositional);
  if (FLAG_help()) print_help();
  GRD_in_file();
  RunSettings run;
  apply_parameters(run);
  MESS_print_prog("GRID FILE PARSER");

  std::string name;
  FILE_get_file("Enter the grid filename: ", &name);
  DateRec file_date;
  FILE_get_date(&file_date);

  GridRecord grid{};
  GRD_init(&grid);
  const int handle = open_grid_file(name);
  GridFileInfo info{};
  GRD_getinfo(handle, &info);

  int grid_number = 0;
  int type_wanted = -9999;
  int selection = -9999;
  GridSpec wanted;
  HeaderWriter index;
  OutputFile out;
  index.no_source = run.no_source;
  if (run.header_mode) {
    grid_number = header_file_start(handle, file_date, grid, index);
  } else {
    open_header_file(handle, file_date);
    RES_getval("grid_type", &type_wanted, 2);
    selection = GRD_parse_params(FILE_get_ext_info(), &wanted, &type_wanted);
    if (selection == -9999 && type_wanted != -9999) selection = -1;
    if (selection >= 0) grid_number = selection;
    output_start(file_date, info, out);
  }

  while (GRD_read(handle, &grid, 1, &grid_number) == 0) {
    const bool listed = selection == -9999 || selection >= 0 ||
                        (selection == -1 && GRD_test(&grid, &wanted, type_wanted));
    if (listed) {
      describe_grid(handle, grid_number, grid);
      header_file_line(handle, grid, index);
      output_grid(handle, grid_number, grid, wanted, out);
    }
    grid.values.clear();
    grid.raw.clear();
    if (selection >= 0) break;
    ++grid_number;
  }
  output_finish(out);
  if (index.fp) FILE_close(index.fp);
  GRD_close(handle);
  KVZ_exit(0);
}
