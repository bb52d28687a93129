// Definition (resource) files: entries named by patterns that say which
// programs they apply to ("*grid_path", "rudevodu.grid_path"), conditional
// blocks selected by tags, and the environment looked up by the same names.
#include "config/config.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>

#include "files/files.h"

namespace {

constexpr int kMaxTags = 10;
constexpr int kMaxNest = 20;
constexpr int kLineWidth = 249;

struct DefState {
  FILE *def_file = nullptr;
  char prog_name[30] = "Kvz";
  char prog_title[30] = "";
  char tag[kMaxTags][50] = {};
  int num_tag = 0;
  unsigned char match[kMaxNest] = {};
  int num_match = 0;
  int skipped_depth = 0;  // IF lines nested deeper than the state can hold
  int matches = 1;
};

DefState def;

// The qualified key of a resource: program name or title, then the resource.
void qualified_key(const char *resource, char *key, size_t size) {
  if (def.prog_title[0] == '\0') format_text(key, size, "%s.%s", def.prog_name, resource);
  else if (def.prog_title[0] != '+') format_text(key, size, "%s.%s", def.prog_title, resource);
  else format_text(key, size, "%s.%s.%s", def.prog_name, def.prog_title + 1, resource);
}

// Matches a pattern with '*' wildcards against a key, left to right, always
// taking the first occurrence of the literal text after a '*'.
bool pattern_match(const char *pattern, const char *key) {
  if (!*key || !*pattern) return !*key && !*pattern;
  const char *p = pattern;
  const char *k = key;
  while (*p) {
    if (*p == '*') {
      ++p;
      const char *end = strchr(p, '*');
      const size_t n = end ? static_cast<size_t>(end - p) : strlen(p);
      if (n == 0) return false;  // nothing after the '*' to anchor on
      const std::string literal(p, n);
      const char *at = strstr(k, literal.c_str());
      if (!at) return false;
      k = at;
      continue;
    }
    if (*p != *k) return false;
    ++p;
    ++k;
  }
  return *k == '\0';
}

bool is_tag(const char *name) {
  for (int i = 0; i < def.num_tag; ++i)
    if (strcasecmp(def.tag[i], name) == 0) return true;
  return false;
}

void recompute_matches() {
  def.matches = 1;
  for (int i = 0; i < def.num_match; ++i)
    if (def.match[i] != 1) def.matches = 0;
  if (def.skipped_depth > 0) def.matches = 0;
}

void remove_tag(const char *name) {
  for (int i = 0; i < def.num_tag; ++i) {
    if (strcmp(def.tag[i], name) != 0) continue;
    for (int j = i + 1; j < def.num_tag; ++j) copy_text(def.tag[j - 1], def.tag[j]);
    --def.num_tag;
    return;
  }
}

// Handles a condition line; returns true when the line was one.
bool condition_line(const char *word, const char *value, bool has_value) {
  if (strcmp(word, "DEF") == 0 && has_value) {
    DEF_tag(value);
    return false;  // a DEF line with a value is also returned as an entry
  }
  if (strcmp(word, "UNDEF") == 0 && has_value) {
    remove_tag(value);
    return false;
  }
  if (strcmp(word, "IF") == 0) {
    if (!has_value) return true;
    if (def.num_match < kMaxNest) def.match[def.num_match++] = is_tag(value) ? 1 : 0;
    else ++def.skipped_depth;  // deeper blocks are never taken
    recompute_matches();
    return true;
  }
  const bool is_else = strcmp(word, "ELSE") == 0;
  const bool is_elif = strcmp(word, "ELIF") == 0;
  const bool is_end = strcmp(word, "END") == 0;
  if (!is_else && !is_elif && !is_end) return false;
  if (is_elif && !has_value) return true;
  if (def.skipped_depth > 0) {
    if (is_end) --def.skipped_depth;
    recompute_matches();
    return true;
  }
  if (def.num_match == 0) {
    MESS_print(0xC0, is_else ? "DEF_get: else without an if\n"
                     : is_elif ? "DEF_get: elif without an if\n"
                               : "DEF_get: end without an if\n");
    return true;
  }
  unsigned char &m = def.match[def.num_match - 1];
  if (is_end) --def.num_match;
  else if (is_else) m = (m == 0) ? 1 : 99;
  else m = (m == 0) ? (is_tag(value) ? 1 : 0) : 99;
  recompute_matches();
  return true;
}

}  // namespace

int DEF_prog() {
  char name[30];
  RES_get_progname(name, sizeof name);
  copy_text(def.prog_name, name);
  return 0;
}

int DEF_name(const char *title) {
  copy_text(def.prog_title, title);
  return 0;
}

int DEF_clr_tag() {
  def.num_tag = 0;
  return 0;
}

int DEF_tag(const char *name) {
  if (def.num_tag >= kMaxTags) return -1;
  copy_text(def.tag[def.num_tag++], name);
  return 0;
}

int DEF_open(const char *path) {
  std::string file;
  if (!path || !*path) {
    file = ".kvzdef";
  } else if (FILE_is_dir(path)) {
    static const char *const names[] = {"kvz.cfg", ".kvzdef", "Kvz.res"};
    std::string dir = path;
    FILE_add_path_delim(dir);
    for (const char *n : names) {
      file = dir + n;
      if (FILE_exist(file.c_str())) break;
    }
  } else {
    file = path;
  }
  DEF_close();
  def.def_file = FILE_open(file.c_str(), "r");
  return def.def_file ? 0 : -1;
}

int DEF_get(char *name, char *value) {
  if (!def.def_file) return -1;
  char line[kLineWidth + 1];
  int n;
  while ((n = fgetnline(def.def_file, line, kLineWidth)) >= 0) {
    if (line[0] == '#') continue;
    char word[kLineWidth + 1], val[kLineWidth + 1];
    const int words = sscanf(line, "%249s %249s", word, val);
    if (words < 1) continue;
    if (condition_line(word, val, words >= 2)) continue;
    if (words < 2 || !def.matches) continue;
    if (val[0] == '"') sscanf(line, "%*s \"%249[^\"]", val);
    low_string(word);
    const size_t len = strlen(word);
    if (len && word[len - 1] == ':') word[len - 1] = '\0';
    copy_text(name, 50, word);
    copy_text(value, 200, val);
    return 1;
  }
  return -1;
}

int DEF_close() {
  if (def.def_file) FILE_close(def.def_file);
  def.def_file = nullptr;
  def.num_match = 0;
  def.skipped_depth = 0;
  def.matches = 1;
  return 0;
}

int DEF_cmp(const char *resource, const char *entry) {
  char key[160];
  qualified_key(resource, key, sizeof key);
  return pattern_match(entry, key) ? 1 : 0;
}

int DEF_parse_name(const char *entry, char *result) {
  const char *last = entry;
  for (const char *p = entry; *p; ++p)
    if (*p == '.' || *p == '*') last = p + 1;
  copy_text(result, 50, last);
  return 1;
}

int DEF_valid(const char *entry) {
  if (!strpbrk(entry, ".*")) return 0;
  char resource[50];
  DEF_parse_name(entry, resource);
  return DEF_cmp(resource, entry);
}

int DEF_env(const char *resource, const char *own_var, char *result, size_t size) {
  char key[160];
  qualified_key(resource, key, sizeof key);
  char qualified[45];
  format_text(qualified, sizeof qualified, "kvz%s", key);
  char plain[20];
  format_text(plain, sizeof plain, "kvz%s", resource);
  const char *candidates[] = {qualified, (own_var && *own_var) ? own_var : nullptr, plain};
  for (const char *var : candidates) {
    if (!var) continue;
    const char *v = getenv(var);
    if (v) {
      copy_text(result, size, v);
      return 1;
    }
  }
  return 0;
}
