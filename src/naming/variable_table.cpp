// The variable table "variable.lup": one line per variable with its number
// list, abbreviation and description, read once into `var_list` and searched
// in file order by number or by abbreviation.
#include <strings.h>

#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "config/config.h"
#include "files/files.h"
#include "naming/naming.h"
#include "naming/naming_internal.h"

namespace {

constexpr int missing = -9999;

struct VariableState {
  bool loaded = false;  // set once the file was opened and read
  std::vector<VarEntry> var_list;
};
VariableState state;

// Scans one line into an entry; false for a comment or a line with fewer than
// the number list and the abbreviation.
bool scan_line(const std::string &line, VarEntry &entry) {
  if (!line.empty() && line[0] == '#') return false;
  std::vector<char> numbers(line.size() + 1, '\0');
  std::vector<char> abbr(line.size() + 1, '\0');
  std::vector<char> desc(line.size() + 1, '\0');
  const int got = std::sscanf(line.c_str(), "%s %s %[^\n]", numbers.data(), abbr.data(), desc.data());
  if (got < 2) return false;
  int *n = entry.num;
  n[0] = n[1] = n[2] = n[3] = n[4] = missing;
  std::sscanf(numbers.data(), "%d,%d,%d,%d,%d", &n[0], &n[1], &n[2], &n[3], &n[4]);
  copy_text(entry.abbr, abbr.data());
  copy_text(entry.desc, naming_trim(desc.data()).c_str());
  return true;
}

void ensure_loaded() {
  if (!state.loaded) VAR_read_varfile();
}

const VarEntry *find_number(int number) {
  ensure_loaded();
  for (const VarEntry &entry : state.var_list) {
    if (entry.num[0] == number) return &entry;
  }
  return nullptr;
}

}  // namespace

void naming_reset_variables() { state = VariableState{}; }

int VAR_read_varfile() {
  state.var_list.clear();
  std::string path;
  const TableFile fp = naming_open_table("variable.lup", path);
  if (!fp) {
    state.loaded = false;
    MESS_print(0x40, "VAR_read_varfile: Unable to open file: %s\n", path.c_str());
    return 0;
  }
  state.loaded = true;
  try {
    state.var_list.reserve(VAR_MAX_ENTRIES);
  } catch (const std::bad_alloc &) {
    return -1;
  }
  std::string line;
  while (state.var_list.size() < static_cast<size_t>(VAR_MAX_ENTRIES) && read_whole_line(fp.get(), line)) {
    VarEntry entry{};
    if (scan_line(line, entry)) state.var_list.push_back(entry);
  }
  return 1;
}

const std::vector<VarEntry> &VAR_var_list() {
  ensure_loaded();
  return state.var_list;
}

int VAR_search_var_num(const char *abbr) {
  if (abbr == nullptr) return 0;
  ensure_loaded();
  for (const VarEntry &entry : state.var_list) {
    if (strcasecmp(entry.abbr, abbr) == 0) return entry.num[0];
  }
  return 0;
}

const char *VAR_abbr(char *buf, size_t size, int var) {
  if (buf == nullptr || size == 0) return buf;
  const VarEntry *entry = find_number(var);
  if (entry == nullptr) {
    MESS_print(0x40000000, "VAR_abbr: no var: %d\n", var);
    return naming_finish("", buf, size);
  }
  return naming_finish(entry->abbr, buf, size);
}

const char *VAR_str(char *buf, size_t size, int var, const char *units) {
  if (buf == nullptr || size == 0) return buf;
  const int number = var % 1000;
  const VarEntry *entry = find_number(number);
  std::string text;
  if (entry == nullptr) {
    MESS_print(0x40000000, "VAR_str: no var: %d\n", number);
    append_format(text, "v%d", number);
  } else {
    text = PLT_get_label_type() < 0 ? entry->abbr : entry->desc;
  }
  if (units != nullptr && units[0] != '\0') append_format(text, " (%s)", units);
  return naming_finish(text, buf, size);
}
