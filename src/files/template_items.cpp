// The items of a file name template ('%', an optional number and a letter, or
// %{resource}) and the values the directory and resource items stand for;
// shared by the expansion, the matching and the listing of file names.
#include <strings.h>

#include <cctype>
#include <climits>
#include <cstring>

#include "config/config.h"
#include "files/files.h"
#include "files/names_internal.h"

namespace kvz_names {

TemplateItem read_item(const std::string &tmpl, size_t percent) {
  TemplateItem item;
  size_t at = percent + 1;
  while (at < tmpl.size() && isdigit(static_cast<unsigned char>(tmpl[at]))) {
    if (item.number < INT_MAX / 10 - 10) item.number = item.number * 10 + (tmpl[at] - '0');
    ++at;
  }
  if (at >= tmpl.size()) {
    item.end = tmpl.size();
    return item;
  }
  item.letter = tmpl[at];
  item.end = at + 1;
  if (item.letter == '{') {
    const size_t close = tmpl.find('}', at + 1);
    const size_t stop = close == std::string::npos ? tmpl.size() : close;
    item.name = tmpl.substr(at + 1, stop - at - 1);
    item.end = close == std::string::npos ? tmpl.size() : close + 1;
  }
  return item;
}

bool is_date_item(char letter) {
  switch (letter) {
    case 'Y': case 'y': case 'm': case 'b': case 'd': case 'j': case 'h': case 'n': return true;
    default: return false;
  }
}

int date_item_width(char letter) {
  switch (letter) {
    case 'Y': return 4;
    case 'b': case 'j': return 3;
    default: return 2;
  }
}

const char *directory_resource(char letter) {
  switch (letter) {
    case 'C': return "con_path";
    case 'D': return "data_path";
    case 'F': return "file_path";
    case 'R': return "raw_path";
    case 'G': return "grid_path";
    case 'I': return "image_path";
    case 'W': return "watch_path";
    case 'T': return "text_path";
    case 'M': return "model_path";
    case 'S': return "sat_path";
    default: return nullptr;
  }
}

std::string directory_value(const char *resource) {
  const char *value = RES_get(resource);
  // An empty path or "none" is no directory: the name stays relative.
  if (value == nullptr || value[0] == '\0' || strcasecmp(value, "none") == 0) return ".";
  std::string dir = value;
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  return dir;
}

std::string resource_text(const std::string &name) {
  const char *value = RES_get(name.c_str());
  return value ? value : "";
}

bool names_existing_object(const std::string &name) {
  return !FILE_is_stdio(name.c_str()) && FILE_exist(name.c_str());
}

bool starts_with_nocase(const std::string &text, const char *prefix) {
  return strncasecmp(text.c_str(), prefix, strlen(prefix)) == 0;
}

bool equals_nocase(const std::string &text, const char *word) {
  return strcasecmp(text.c_str(), word) == 0;
}

}  // namespace kvz_names
