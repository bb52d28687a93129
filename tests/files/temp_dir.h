// A private temporary directory for the file tests, removed with everything
// in it when the test ends.
#ifndef KVZ_TESTS_FILES_TEMP_DIR_H
#define KVZ_TESTS_FILES_TEMP_DIR_H

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kvzfilesXXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~TempDir() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir &) = delete;
  TempDir &operator=(const TempDir &) = delete;
  const std::string &path() const { return path_; }

 private:
  std::string path_;
};

#endif
