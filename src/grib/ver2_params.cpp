// GRIB edition 2 parameters: discipline, category and number are looked up in
// the parameter table "grib2_var.lup" to find the package variable and units.
// The table is read once per path and kept; a table that could not be opened
// is looked for again at the next lookup.
#include "config/config.h"
#include "files/files.h"
#include "grib/grib.h"
#include "naming/naming.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr uint32_t kDebugC = 0x40000000;
constexpr int kMissing = -9999;
constexpr int kLineWidth = 200;
constexpr const char *kTableName = "grib2_var.lup";

struct Ver2Table {
  bool loaded = false;
  std::string path;               // where the kept lines were read from
  std::vector<GribParam> lines;   // table lines in file order; `var` not yet resolved
};

Ver2Table ver2_table;

struct FileCloser {
  void operator()(FILE *fp) const { FILE_close(fp); }
};

std::string table_path() {
  std::string path;
  FILE_add_path(RES_get("file_path"), kTableName, path);
  return path;
}

// One table line into entry.  Lines without the four numbers and the
// abbreviation are not parameter lines.
bool scan_line(const char *line, GribParam *entry) {
  GribParam_init(entry);
  const int fields = std::sscanf(line, "%d %d %d %d %19s %29s %79[^\n]\n", &entry->centre, &entry->discipline,
                                 &entry->category, &entry->number, entry->abbr, entry->units, entry->desc);
  return fields >= 5;
}

bool load_table(const std::string &path) {
  const std::unique_ptr<FILE, FileCloser> fp(FILE_open(path.c_str(), "r"));
  if (!fp) return false;
  std::vector<GribParam> lines;
  char line[kLineWidth + 1];
  while (fgetnline(fp.get(), line, kLineWidth) != EOF) {
    if (line[0] == '#') continue;
    GribParam entry;
    if (scan_line(line, &entry)) lines.push_back(entry);
  }
  ver2_table.lines = std::move(lines);
  ver2_table.path = path;
  ver2_table.loaded = true;
  return true;
}

// The kept table, read again when the table path has changed since.
const std::vector<GribParam> *current_table() {
  const std::string path = table_path();
  if (ver2_table.loaded && ver2_table.path == path) return &ver2_table.lines;
  ver2_table.loaded = false;
  ver2_table.lines.clear();
  if (!load_table(path)) return nullptr;
  return &ver2_table.lines;
}

bool matches(const GribParam &entry, int centre, int discipline, int category, int number) {
  return (entry.centre == 0 || entry.centre == centre) && entry.discipline == discipline &&
         entry.category == category && entry.number == number;
}

}  // namespace

int GribParam_init(GribParam *param) {
  if (param == nullptr) return 1;
  param->var = kMissing;
  param->centre = kMissing;
  param->discipline = kMissing;
  param->category = kMissing;
  param->number = kMissing;
  param->abbr[0] = '\0';
  param->units[0] = '\0';
  param->desc[0] = '\0';
  return 1;
}

GribParam GRIB_get_ver2_param(int centre, int discipline, int category, int number) {
  GribParam result;
  GribParam_init(&result);
  const std::vector<GribParam> *table = current_table();
  if (table == nullptr) return result;

  MESS_print(kDebugC, "get_ver2_param %d %d %d %d\n", centre, discipline, category, number);
  for (const GribParam &entry : *table) {
    if (!matches(entry, centre, discipline, category, number)) continue;
    result = entry;
    result.var = VAR_search_var_num(entry.abbr);
    break;
  }
  // An abbreviation missing from the variable list (0) would fold every such
  // parameter onto one code; they get the composite code like unlisted ones.
  if (result.var == kMissing || result.var == -1 || result.var == 0) {
    MESS_print(kDebugC, "VER2: %d %d %d %d\n", centre, discipline, category, number);
    result.var = discipline * 1000000 + category * 1000 + number;
  }
  MESS_print(kDebugC, "GPARAM: %s %s %d\n", result.abbr, result.units, result.var);
  return result;
}
