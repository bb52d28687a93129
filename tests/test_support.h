// Helpers shared by the test suites: temporary directories and files, running
// the program as a user would, and resetting module state between cases.
#ifndef KVZ_TESTS_TEST_SUPPORT_H
#define KVZ_TESTS_TEST_SUPPORT_H

#include <string>
#include <vector>

namespace kvztest {

// A fresh directory under /tmp, removed with its contents when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir &) = delete;
  TempDir &operator=(const TempDir &) = delete;
  const std::string &path() const { return path_; }
  std::string file(const std::string &name) const { return path_ + "/" + name; }
  // Writes a file inside the directory and returns its path.
  std::string write(const std::string &name, const std::string &content) const;

 private:
  std::string path_;
};

std::string read_file(const std::string &path);

// Removes every environment variable whose name starts with "kvz", so no
// setting of the machine reaches a test.
void clear_kvz_environment();

struct RunResult {
  int status = -1;  // exit status, or -1 when the program died by a signal
  std::string out;
  std::string err;
};

// Runs the program with the arguments in the given directory, with the
// environment variables given as NAME=VALUE added, and standard input from
// the text given.  Environment variables starting with "kvz" are cleared first.
RunResult run_program(const std::vector<std::string> &args, const std::vector<std::string> &env = {},
                      const std::string &cwd = "", const std::string &input = "");

// Path of a real sample file, or "" when the test data is not installed.
std::string sample_file(const std::string &name);

// Calls the program's start-up with a command line (argument 0 is "rudevodu").
void start_program(const std::vector<std::string> &args);

}  // namespace kvztest

#endif
