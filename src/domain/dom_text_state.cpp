// The domain texts' module state, the path of a lookup table along
// "file_path", and the region files kept once read.
#include "domain/dom_text_state.h"

#include <strings.h>

#include "config/config.h"
#include "files/files.h"

namespace kvz_domspec {

DomSpecState &state() {
  static DomSpecState module_state;
  return module_state;
}

std::string table_path(const char *name) {
  const char *dir = RES_get("file_path");
  if (dir != nullptr && strcasecmp(dir, "none") == 0) dir = nullptr;
  std::string path;
  FILE_add_path(dir, name != nullptr ? name : "", path);
  return path;
}

namespace {

bool read_lines(const std::string &path, RegionLines &lines) {
  FILE *fp = FILE_open(path.c_str(), "r");
  if (fp == nullptr) return false;
  char buffer[kRegionLineWidth + 1];
  while (fgetnline(fp, buffer, kRegionLineWidth) >= 0) {
    trim_cr_string(buffer);
    lines.emplace_back(buffer);
  }
  FILE_close(fp);
  return true;
}

}  // namespace

const RegionLines *region_lines(const char *file) {
  const std::string path = table_path(file);
  auto &files = state().region_files;
  const auto known = files.find(path);
  if (known != files.end()) return &known->second;

  RegionLines lines;
  if (FILE_is_stdio(path.c_str()) || path[0] == '|' || !read_lines(path, lines)) {
    MESS_print(0x80000000, "Unable to open region file: %s\n", path.c_str());
    return nullptr;
  }
  return &files.emplace(path, std::move(lines)).first->second;
}

}  // namespace kvz_domspec
