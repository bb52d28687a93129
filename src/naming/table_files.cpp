// Text helpers of the naming module: finding and opening lookup tables along
// the "file_path" resource, whole-line reading, trimming and bounded output.
#include <cstdarg>
#include <vector>

#include "config/config.h"
#include "files/files.h"
#include "naming/naming_internal.h"

void TableCloser::operator()(FILE *fp) const {
  if (fp != nullptr) FILE_close(fp);
}

TableFile naming_open_table(const char *name, std::string &path) {
  const char *dir = RES_get("file_path");
  FILE_add_path(dir != nullptr ? dir : "", name, path);
  return TableFile(FILE_open(path.c_str(), "r"));
}


std::string naming_trim(const std::string &text) {
  static const char *const blanks = " \t\r";
  const size_t first = text.find_first_not_of(blanks);
  if (first == std::string::npos) return std::string();
  const size_t last = text.find_last_not_of(blanks);
  return text.substr(first, last - first + 1);
}


char *naming_finish(const std::string &text, char *buf, size_t size) {
  if (buf != nullptr && size > 0) copy_text(buf, size, text.c_str());
  return buf;
}

void VAR_reset() {
  naming_reset_models();
  naming_reset_variables();
  naming_reset_labels();
}
