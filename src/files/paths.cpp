// Path helpers: joining directory and file names, standard stream names, home
// directory expansion of '~' and '~user', and the existence, directory and size
// tests that see a path the way FILE_open will.
#include "files/files.h"

#include <pwd.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

namespace {

// Home directory of a user name, or of the current user for the empty name.
// Returns false when the user database has no such entry.
bool home_directory(const std::string &user, std::string &home) {
  const passwd *entry = user.empty() ? getpwuid(getuid()) : getpwnam(user.c_str());
  if (entry == nullptr || entry->pw_dir == nullptr) return false;
  home = entry->pw_dir;
  return true;
}

// Status of the '~'-expanded path; false when it cannot be read.
bool expanded_status(const char *path, struct stat &status) {
  if (path == nullptr) return false;
  std::string expanded;
  FILE_add_user_path(path, expanded);
  return stat(expanded.c_str(), &status) == 0;
}

}  // namespace

int FILE_fullpath(const char *name) {
  if (name == nullptr) return 0;
  return (name[0] == '/' || name[0] == '.' || name[0] == '~') ? 1 : 0;
}

int FILE_add_path_delim(std::string &path) {
  if (!path.empty() && path.back() != '/') path += '/';
  return 0;
}

const char *FILE_add_path(const char *dir, const char *name, std::string &result) {
  if (name == nullptr) {
    result.clear();
    return result.c_str();
  }
  if (FILE_is_stdio(name) || FILE_fullpath(name)) {
    result = std::string(name);
    return result.c_str();
  }
  // Built aside: dir or name may point into result.
  std::string joined = (dir != nullptr) ? dir : "";
  FILE_add_path_delim(joined);
  joined += name;
  result = joined;
  return result.c_str();
}

int FILE_add_user_path(const char *path, std::string &result) {
  if (path == nullptr) {
    result.clear();
    return 0;
  }
  const std::string original(path);
  if (original.empty() || original[0] != '~') {
    result = original;
    return 0;
  }
  const size_t slash = original.find('/');
  const std::string user = original.substr(1, slash == std::string::npos ? std::string::npos : slash - 1);
  std::string home;
  if (!home_directory(user, home)) {
    result = original;
    return 0;
  }
  result = (slash == std::string::npos) ? home : home + original.substr(slash);
  return 0;
}

int FILE_is_stdio(const char *name) {
  if (name == nullptr) return 0;
  if (name[0] == '\0' || std::strcmp(name, "-") == 0) return 1;
  return (strcasecmp(name, "std") == 0 || strcasecmp(name, "stdn") == 0) ? 1 : 0;
}

int FILE_exist(const char *path) {
  if (FILE_is_stdio(path)) return 1;
  struct stat status;
  return expanded_status(path, status) ? 1 : 0;
}

int FILE_is_dir(const char *path) {
  struct stat status;
  return (expanded_status(path, status) && S_ISDIR(status.st_mode)) ? 1 : 0;
}

long long FILE_size(const char *path) {
  struct stat status;
  if (!expanded_status(path, status)) return -1;
  return static_cast<long long>(status.st_size);
}
