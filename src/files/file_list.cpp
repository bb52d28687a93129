// Listing the files that fit the current template, in columns across the
// screen.  The template becomes a file name pattern that is matched directly
// (no shell): directories, keys and extensions stand as literal text, so no
// character of theirs is ever read as a command.
#include <glob.h>

#include <algorithm>

#include "config/config.h"
#include "files/files.h"
#include "files/names_internal.h"

namespace {

constexpr uint32_t kPrint = 0xF;
constexpr uint32_t kDebug = 0xF0000000;
constexpr size_t kScreenWidth = 80;

// Text that must match itself, with the pattern characters escaped.
std::string literal(const std::string &text) {
  std::string out;
  for (const char c : text) {
    if (c == '*' || c == '?' || c == '[' || c == ']' || c == '\\') out += '\\';
    out += c;
  }
  return out;
}

std::string key_pattern(const kvz_names::TemplateItem &item) {
  const std::string &value = kvz_names::key_value(item.letter);
  if (value.empty()) return item.number > 0 ? std::string(static_cast<size_t>(item.number), '?') : "*";
  return literal(item.number > 0 ? value.substr(0, static_cast<size_t>(item.number)) : value);
}

std::string item_pattern(const kvz_names::TemplateItem &item) {
  switch (item.letter) {
    case 'Y': return "?[0-9]??";
    case 'y': case 'm': case 'd': case 'h': case 'n': return "[0-9]?";
    case 'j': return "?[0-9]?";
    case 'b': return "?[a-z]?";
    case '%': return "%";
    case 'e': return kvz_names::extension().empty() ? "*" : literal(kvz_names::extension());
    case '{': return literal(kvz_names::resource_text(item.name));
    case 0: return "";
    default: break;
  }
  if (const char *dir = kvz_names::directory_resource(item.letter))
    return literal(kvz_names::directory_value(dir));
  return key_pattern(item);
}

std::string file_pattern(const std::string &tmpl) {
  std::string pattern;
  for (size_t at = 0; at < tmpl.size();) {
    const char c = tmpl[at];
    if (c == '%') {
      const kvz_names::TemplateItem item = kvz_names::read_item(tmpl, at);
      pattern += item_pattern(item);
      at = item.end;
      continue;
    }
    if (c == ' ') pattern += '_';
    else if (c != '{' && c != '}') pattern += literal(std::string(1, c));
    ++at;
  }
  return pattern;
}

// Prints the names across the screen in equal columns.
void print_columns(const std::vector<std::string> &names) {
  size_t widest = 0;
  for (const std::string &n : names) widest = std::max(widest, n.size());
  const size_t column = widest + 2;
  const size_t per_row = std::max<size_t>(1, kScreenWidth / column);
  for (size_t k = 0; k < names.size(); ++k) {
    const bool row_end = (k + 1) % per_row == 0 || k + 1 == names.size();
    if (row_end) MESS_print(kPrint, "%s\n", names[k].c_str());
    else MESS_print(kPrint, "%-*s", static_cast<int>(column), names[k].c_str());
  }
}

}  // namespace

int FILE_list_file() {
  const std::string pattern = file_pattern(kvz_names::convention());
  MESS_print(kDebug, "SEARCH: %s\n", pattern.c_str());
  if (pattern.empty()) return 0;
  glob_t found{};
  std::vector<std::string> names;
  if (glob(pattern.c_str(), 0, nullptr, &found) == 0) {
    for (size_t k = 0; k < found.gl_pathc; ++k) names.emplace_back(found.gl_pathv[k]);
  }
  globfree(&found);
  print_columns(names);
  return 0;
}
