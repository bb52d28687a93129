// The resource database: every setting of the program as a named text value,
// kept in order of first creation.  Later stores replace a value in place.
#include "config/config.h"

#include <cstdio>
#include <cstring>
#include <deque>
#include <optional>
#include <unordered_map>

#include "files/files.h"

namespace {

struct ResEntry {
  int id;
  std::string name;
  std::optional<std::string> value;  // none when an option was given without a value
  int type;
};

struct ResState {
  std::deque<ResEntry> entries;  // a deque keeps entries in place as it grows
  std::unordered_map<std::string, size_t> index;
  int clargc = 0;
  char **clargv = nullptr;
  std::string progname;
};

ResState res;

ResEntry *find_entry(const char *name) {
  if (!name) return nullptr;
  const auto it = res.index.find(name);
  return it == res.index.end() ? nullptr : &res.entries[it->second];
}

ResEntry &create_entry(int id, const char *name, int type) {
  res.index.emplace(name, res.entries.size());
  res.entries.push_back(ResEntry{id, name, std::nullopt, type});
  return res.entries.back();
}

}  // namespace

int RES_new(int id, const char *name, const char *value, int type) {
  if (!name) return -1;
  ResEntry *e = find_entry(name);
  if (!e) e = &create_entry(id, name, type);
  e->id = id;
  e->type = type;
  if (value) e->value = std::string(value);
  else e->value.reset();
  return 0;
}

int RES_append(int id, const char *name, const char *value, int type) {
  ResEntry *e = find_entry(name);
  if (!e) return RES_new(id, name, value, type);
  if (!value) return 0;
  if (e->value) {
    e->value->push_back('\n');
    e->value->append(value);
  } else {
    e->value = std::string(value);
  }
  return 0;
}

int RES_put(const char *name, const char *value) { return RES_new(RES_NONE, name, value, 6); }

const char *RES_get(const char *name) {
  const ResEntry *e = find_entry(name);
  if (!e) return nullptr;
  return e->value ? e->value->c_str() : "";
}

int RES_getval(const char *name, void *dest, int type) {
  const ResEntry *e = find_entry(name);
  if (!e || !dest) return 0;
  return RES_conv_data(e->value ? e->value->c_str() : nullptr, dest, type);
}

int RES_getvals(const char *name, int *count, std::vector<std::string> *list) {
  if (count) *count = 0;
  if (list) list->clear();
  const ResEntry *e = find_entry(name);
  if (!e || !list) return 0;
  int n = 0;
  parse_string(e->value ? e->value->c_str() : nullptr, e->type == 21 ? '\n' : ',', &n, list);
  if (count) *count = n;
  return n;
}

int RES_list() {
  for (const ResEntry &e : res.entries) {
    if (e.value) MESS_print(0x8, "%s: %s\n", e.name.c_str(), e.value->c_str());
    else MESS_print(0x8, "%s:\n", e.name.c_str());
  }
  return 0;
}

int RES_setCL(int argc, char **argv) {
  res.clargc = argc;
  res.clargv = argv;
  return 1;
}

const char *RES_get_prog() { return (res.clargc > 0 && res.clargv) ? res.clargv[0] : nullptr; }

const char *RES_get_progname(char *buffer, size_t size) {
  const char *path = RES_get_prog();
  if (!path) path = "";
  const char *slash = strrchr(path, '/');
  const char *last = slash ? slash + 1 : path;
  if (buffer) {
    copy_text(buffer, size, last);
    return buffer;
  }
  res.progname = last;
  return res.progname.c_str();
}

// Walks the database in order for the conversion pass of start-up.
void RES_for_each_option(void (*fn)(int id, const char *value, void *ctx), void *ctx) {
  for (const ResEntry &e : res.entries)
    if (e.id != RES_NONE) fn(e.id, e.value ? e.value->c_str() : nullptr, ctx);
}

void RES_reset() {
  res.entries.clear();
  res.index.clear();
  res.clargc = 0;
  res.clargv = nullptr;
}
