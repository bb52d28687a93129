// Creation of the missing parent directories of a path about to be written.
#include "files/files.h"

#include <sys/stat.h>
#include <sys/types.h>

#include <algorithm>

namespace {

bool path_exists(const std::string &path) {
  struct stat status;
  return stat(path.c_str(), &status) == 0;
}

}  // namespace

int FILE_make_dir(std::string &path, int skip) {
  std::replace(path.begin(), path.end(), '\\', '/');

  // The directories are made where FILE_open will look: after '~' expansion.
  std::string expanded;
  FILE_add_user_path(path.c_str(), expanded);

  const size_t last = expanded.rfind('/');
  if (last != std::string::npos && last >= 1 && path_exists(expanded.substr(0, last))) return 1;

  int count = 0;
  std::vector<std::string> items;
  if (parse_string(expanded.c_str(), '/', &count, &items) != 0) return 0;

  std::string prefix;
  for (int i = 0; i < count - skip; ++i) {
    const std::string &item = items[static_cast<size_t>(i)];
    if (item.empty()) {
      if (prefix.empty() || prefix.back() != '/') prefix += '/';
      continue;
    }
    prefix += item;
    prefix += '/';
    mkdir(prefix.c_str(), 0755);  // failures (it exists, no permission) show when the file is opened
  }
  free_parsed_array(count, &items);
  return 0;
}
