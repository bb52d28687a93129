// File name conventions: a data set name selects its file name template, its
// header file template and a minimum file size from the name-convention file.
// Also kept here: the 256 one-character keys that fill key items of templates,
// and the extra selection text cut off the end of a typed file name.
#include <strings.h>

#include <array>
#include <cctype>
#include <cstdlib>
#include <sstream>

#include "config/config.h"
#include "files/files.h"
#include "files/names_internal.h"

namespace {

constexpr size_t kTemplateBound = 159;
constexpr size_t kExtBound = 19;
constexpr size_t kKeyBound = 29;
constexpr size_t kExtInfoBound = 39;
constexpr uint32_t kDebugA = 0x10000000;
constexpr uint32_t kDebugD = 0x80000000;
constexpr uint32_t kWarn = 0xC0;

struct NameConvState {
  std::string conv;                 // file name template; empty: no convention
  std::string hconv;                // header file name template; empty: none
  std::string ext;                  // extension from a partial match
  int min_size = 0;                 // size a file must exceed to count as present
  std::array<std::string, 256> keys;
  int file_type = 0;                // 1: names may carry extra selection text
  std::string ext_info;             // the extra selection text
};

NameConvState names;

std::string bounded(const std::string &text, size_t bound) {
  return text.size() > bound ? text.substr(0, bound) : text;
}

// One entry of the name-convention file.
struct Entry {
  std::string name;
  std::string file_template;
  std::string header_template;
  int min_size = 0;
};

// Reads one line of any length; false at the end of the file.

// Splits an entry line; false for comments, blank lines and lines without a template.
bool parse_entry(const std::string &line, Entry &entry) {
  if (line.empty() || line[0] == '#') return false;
  std::istringstream fields(line);
  std::string size_text;
  if (!(fields >> entry.name >> entry.file_template)) return false;
  entry.header_template.clear();
  fields >> entry.header_template >> size_text;
  if (entry.header_template == "-") entry.header_template.clear();
  entry.min_size = size_text.empty() ? 0 : std::atoi(size_text.c_str());
  entry.file_template = bounded(entry.file_template, kTemplateBound);
  entry.header_template = bounded(entry.header_template, kTemplateBound);
  return true;
}

void use_entry(const Entry &entry) {
  names.conv = entry.file_template;
  names.hconv = entry.header_template;
  names.min_size = entry.min_size;
}

// A template of its own, without header template or size.
void use_template(const std::string &file_template) {
  names.conv = bounded(file_template, kTemplateBound);
  names.hconv.clear();
  names.min_size = 0;
}

// Sets the keys of every ":k=value" in the name and cuts the name at the first.
void apply_key_settings(std::string &name) {
  size_t cut = std::string::npos;
  for (size_t colon = name.find(':'); colon != std::string::npos; colon = name.find(':', colon + 1)) {
    if (colon + 3 >= name.size() || name[colon + 2] != '=' || name[colon + 3] == ':') continue;
    const char key = name[colon + 1];
    const size_t value_end = name.find(':', colon + 3);
    const size_t length = value_end == std::string::npos ? std::string::npos : value_end - colon - 3;
    FILE_set_key(key, name.substr(colon + 3, length).c_str());
    MESS_print(kDebugD, "KEY: %c = %s\n", key, kvz_names::key_value(key).c_str());
    if (cut == std::string::npos) cut = colon;
  }
  if (cut != std::string::npos) name.resize(cut);
}

std::string convention_file_path() {
  const char *dir = RES_get("file_path");
  const char *given = RES_get("name_conv");
  std::string path;
  FILE_add_path(dir ? dir : "", (given && given[0]) ? given : "name_conv", path);
  return path;
}

// The entry text after the data set's last '_', for a partial match.
std::string partial_extension(const std::string &name) {
  const size_t underscore = name.rfind('_');
  return underscore == std::string::npos ? std::string() : bounded(name.substr(underscore + 1), kExtBound);
}

// Searches the open convention file; 1 on a match.
int search_entries(FILE *fp, const std::string &name) {
  std::string line;
  Entry entry;
  while (read_whole_line(fp, line)) {
    if (!parse_entry(line, entry)) continue;
    if (strcasecmp(entry.name.c_str(), name.c_str()) == 0) {
      use_entry(entry);
      MESS_print(kDebugA, "File name match for: %s\n", name.c_str());
      return 1;
    }
    if (entry.name.size() < name.size() &&
        strncasecmp(entry.name.c_str(), name.c_str(), entry.name.size()) == 0) {
      use_entry(entry);
      names.ext = partial_extension(name);
      MESS_print(kDebugA, "File name partial match for: %s-%s ext: %s\n", name.c_str(), entry.name.c_str(),
                 names.ext.c_str());
      return 1;
    }
  }
  return 0;
}

}  // namespace

namespace kvz_names {

const std::string &convention() { return names.conv; }
const std::string &header_convention() { return names.hconv; }
const std::string &extension() { return names.ext; }
void set_extension(const std::string &text) { names.ext = bounded(text, kExtBound); }
int minimum_size() { return names.min_size; }
const std::string &key_value(char key) { return names.keys[static_cast<unsigned char>(key)]; }
int file_type() { return names.file_type; }
void set_ext_info(const std::string &text) { names.ext_info = bounded(text, kExtInfoBound); }
void reset_convention() { names = NameConvState(); }

}  // namespace kvz_names

int FILE_set_name(const char *name) {
  std::string copy = name ? name : "";
  return FILE_set_name(copy);
}

int FILE_set_name(std::string &name) {
  kvz_names::template_state().filename.clear();
  if (strcasecmp(name.c_str(), "none") == 0) {
    use_template("");
    return 0;
  }
  if (!name.empty() && name[0] == '@') {
    use_template(name.substr(1));
    return 1;
  }
  apply_key_settings(name);

  const std::string path = convention_file_path();
  FILE *fp = FILE_open(path.c_str(), "r");
  if (fp == nullptr) {
    MESS_print(kWarn, "FILE_set_name: No file name convention file: %s\n", path.c_str());
    use_template(name);
    return 0;
  }
  MESS_print(kDebugA, "Opening name convention file: %s\n", path.c_str());
  names.ext.clear();
  const int found = search_entries(fp, name);
  FILE_close(fp);
  if (found) return 1;
  // No entry: the name stands for itself, with no header template of another entry.
  use_template(name);
  MESS_print(kDebugA, "No file name conversion for: %s\n", name.c_str());
  return 0;
}

int FILE_set_key(char key, const char *text) {
  std::string value = bounded(text ? text : "", kKeyBound);
  for (char &c : value)
    if (c == ' ') c = '_';
  names.keys[static_cast<unsigned char>(key)] = value;
  return 0;
}

int FILE_set_type(int type) {
  names.file_type = type;
  return 0;
}

int FILE_set_ext_info(const char *text) {
  kvz_names::set_ext_info(text ? text : "");
  return 0;
}

const char *FILE_get_ext_info() { return names.ext_info.c_str(); }

int FILE_extract_extra_info(std::string &name) {
  if (name.size() < 3) return 0;
  const size_t marker = name.find_first_of("#-+:", 2);
  if (marker == std::string::npos) return 0;
  kvz_names::set_ext_info(name.substr(marker));
  name.resize(marker);
  return 0;
}
