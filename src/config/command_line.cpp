// Start-up: builds the resource database from the definition files along the
// search path, the environment and the command line (weakest first), then
// converts every option resource once so its settings take effect.
#include "config/config.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <strings.h>

#include "config/config_internal.h"
#include "date/date.h"
#include "files/files.h"

namespace {

constexpr const char *kDefaultPath = ".:/home/kvz/etc:/usr/local/kvz/etc";

bool is_alpha(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }

// The descriptor list ends with an entry that has neither a name nor a type;
// unknown codes keep an empty name but a type, and are skipped.
bool is_end(const ResOption &o) { return !o.name[0] && o.type == 0; }

bool looks_like_option(const char *arg) { return arg[0] == '-' && is_alpha(arg[1]); }

// One option as typed: its name (after the dashes, cut at '='), its value, and
// whether the value was the next argument.
struct TypedOption {
  char name[50];
  const char *value;
  bool from_next;
};

// Splits argument i; consumes the next argument as the value when it is one.
TypedOption split_option(int argc, char **argv, int &i, const char *after_dashes) {
  TypedOption t{};
  const char *eq = strchr(after_dashes, '=');
  const size_t len = eq ? static_cast<size_t>(eq - after_dashes) : strlen(after_dashes);
  copy_text(t.name, sizeof t.name, std::string(after_dashes, len).c_str());
  if (eq) {
    t.value = eq + 1;
  } else if (i + 1 < argc && !looks_like_option(argv[i + 1])) {
    t.value = argv[++i];
    t.from_next = true;
  }
  return t;
}

bool is_startup_option(const char *name, bool ignore_case) {
  const size_t len = strlen(name);
  auto ncmp = ignore_case ? strncasecmp : strncmp;
  return (len >= 1 && len <= 4 && ncmp(name, "name", len) == 0) || ncmp(name, "default", 7) == 0 ||
         ncmp(name, "df", 2) == 0;
}

// First pass: the program title and the definition path, needed before any file is read.
void startup_pass(int argc, char **argv) {
  for (int i = 1; i < argc; ++i) {
    if (!(argv[i][0] == '-' && is_alpha(argv[i][1]))) continue;
    const TypedOption t = split_option(argc, argv, i, argv[i] + 1);
    if (!t.value) continue;
    const size_t len = strlen(t.name);
    if (len >= 1 && len <= 4 && strncmp(t.name, "name", len) == 0) {
      RES_new(RES_NONE, "name", t.value, 6);
      DEF_name(t.value);
    } else if (strncmp(t.name, "default", 7) == 0 || strncmp(t.name, "df", 2) == 0) {
      RES_new(RES_NONE, "default", t.value, 6);
    }
  }
}

void store_entry(const ResOption *opts, const char *name, const char *value) {
  bool matched = false;
  for (int d = 0; !is_end(opts[d]); ++d) {
    if (!opts[d].name[0] || !DEF_cmp(opts[d].name, name)) continue;
    matched = true;
    MESS_print(0x80000000, "RESRC: %s=%s\n", name, value);
    RES_new(d, opts[d].name, value, opts[d].type);
  }
  if (!matched && DEF_valid(name)) {
    char bare[50];
    DEF_parse_name(name, bare);
    RES_new(RES_NONE, bare, value, 6);
  }
}

void read_definition_files(const ResOption *opts) {
  const char *path = RES_get("default");
  int count = 0;
  std::vector<std::string> elements;
  parse_string(path ? path : kDefaultPath, ':', &count, &elements);
  if (count == 0) elements.emplace_back();  // an empty path still reads the default file
  DEF_clr_tag();
  for (const std::string &element : elements) {
    if (element[0] == '+') {
      DEF_tag(element.c_str() + 1);
      continue;
    }
    if (element[0] == '#') continue;
    DEF_open(element.c_str());
    char name[50], value[200];
    while (DEF_get(name, value) == 1) store_entry(opts, name, value);
    DEF_close();
  }
}

void read_environment(const ResOption *opts) {
  char value[4096];
  for (int d = 0; !is_end(opts[d]); ++d) {
    if (!opts[d].name[0]) continue;
    if (DEF_env(opts[d].name, opts[d].env, value, sizeof value)) RES_new(d, opts[d].name, value, opts[d].type);
  }
}

int find_keyed(const ResOption *opts, const char *name) {
  for (int d = 0; !is_end(opts[d]); ++d)
    if (opts[d].name[0] && opts[d].shortname[0] && !strcasecmp(opts[d].shortname, name)) return d;
  for (int d = 0; !is_end(opts[d]); ++d)
    if (opts[d].name[0] && opts[d].shortname[0] && !strcasecmp(opts[d].name, name)) return d;
  return -1;
}

int find_abbreviation(const ResOption *opts, const char *name) {
  const size_t len = strlen(name);
  for (int d = 0; !is_end(opts[d]); ++d)
    if (opts[d].name[0] && opts[d].shortname[0] && !strncasecmp(opts[d].name, name, len)) return d;
  return -1;
}

void keyed_argument(const ResOption *opts, int argc, char **argv, int &i, const char *after_dashes) {
  TypedOption t = split_option(argc, argv, i, after_dashes);
  int d = find_keyed(opts, t.name);
  if (d < 0 && is_startup_option(t.name, true)) return;
  if (d < 0) d = find_abbreviation(opts, t.name);
  if (d < 0) {
    RES_new(RES_NONE, t.name, t.value, 6);
    return;
  }
  const int type = opts[d].type;
  if (t.from_next && (type == 1 || type == 22 || type == 23)) {
    --i;  // the next argument is not this switch's value
    t.value = nullptr;
  }
  RES_new(d, opts[d].name, t.value, type);
}

void positional_argument(const ResOption *opts, const char *arg, int count) {
  int d = -1;
  for (int k = 0; !is_end(opts[k]); ++k)
    if (opts[k].name[0] && !opts[k].shortname[0] && opts[k].position == count) {
      d = k;
      break;
    }
  if (d < 0)
    for (int k = 0; !is_end(opts[k]); ++k)
      if (opts[k].name[0] && !opts[k].shortname[0] && opts[k].position == 10) {
        d = k;
        break;
      }
  if (d < 0) return;
  if (opts[d].position == 10 && count > 1) RES_append(d, opts[d].name, arg, opts[d].type);
  else RES_new(d, opts[d].name, arg, opts[d].type);
}

void command_line_pass(const ResOption *opts, int argc, char **argv) {
  int positional = 0;
  for (int i = 1; i < argc; ++i) {
    const char *a = argv[i];
    if (strcmp(a, "--") == 0) continue;
    if (a[0] == '-' && is_alpha(a[1])) keyed_argument(opts, argc, argv, i, a + 1);
    else if (a[0] == '-' && a[1] == '-' && is_alpha(a[2])) keyed_argument(opts, argc, argv, i, a + 2);
    else positional_argument(opts, a, ++positional);
  }
}

struct ConvertContext {
  const ResOption *opts;
  int count;
};

void convert_one(int id, const char *value, void *ctx) {
  const ConvertContext &c = *static_cast<const ConvertContext *>(ctx);
  if (id < 0 || id >= c.count) return;
  const ResOption &o = c.opts[id];
  if (o.type == 21 && o.count_dest && o.dest) {
    int n = 0;
    parse_string(value, '\n', &n, static_cast<std::vector<std::string> *>(o.dest));
    *o.count_dest = n;
    return;
  }
  RES_conv_data(value, o.dest, o.type);
}

}  // namespace

int RES_decode(int argc, char **argv, ResOption *opts) {
  RES_setCL(argc, argv);
  DEF_prog();
  if (const char *d = getenv("kvzdefault")) RES_new(RES_NONE, "default", d, 6);
  startup_pass(argc, argv);
  read_definition_files(opts);
  read_environment(opts);
  command_line_pass(opts, argc, argv);
  int count = 0;
  while (!is_end(opts[count])) ++count;
  ConvertContext ctx{opts, count};
  RES_for_each_option(convert_one, &ctx);
  return 0;
}

int RES_init(int argc, char **argv, const int *keyed, const int *positional) {
  FLAG_reset(-9999);
  ResOption opts[RES_MAX_OPTIONS + 1] = {};
  int n = 0;
  for (const int *c = keyed; c && *c && n < RES_MAX_OPTIONS; ++c) RES_enter(&opts[n++], *c);
  for (const int *c = positional; c && *c && n < RES_MAX_OPTIONS; ++c) RES_enter(&opts[n++], *c);
  opts[n] = ResOption{};  // the end marker: no name, type 0
  RES_decode(argc, argv, opts);
  if (const char *tz = getenv("kvztz")) DATE_set_TZ(tz);
  return 1;
}
