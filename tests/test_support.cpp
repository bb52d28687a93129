// Implementation of the shared test helpers.
#include "test_support.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "config/config.h"

extern char **environ;

namespace kvztest {

TempDir::TempDir() {
  char tmpl[] = "/tmp/kvztest.XXXXXX";
  const char *p = mkdtemp(tmpl);
  path_ = p ? p : "/tmp";
}

TempDir::~TempDir() {
  if (path_.rfind("/tmp/kvztest.", 0) == 0) {
    const std::string cmd = "rm -rf '" + path_ + "'";
    if (system(cmd.c_str()) != 0) perror("rm");
  }
}

std::string TempDir::write(const std::string &name, const std::string &content) const {
  const std::string p = file(name);
  std::ofstream(p, std::ios::binary) << content;
  return p;
}

std::string read_file(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

void clear_kvz_environment() {
  std::vector<std::string> names;
  for (char **e = environ; *e; ++e)
    if (strncmp(*e, "kvz", 3) == 0) names.emplace_back(*e, strcspn(*e, "="));
  for (const auto &n : names) unsetenv(n.c_str());
}

RunResult run_program(const std::vector<std::string> &args, const std::vector<std::string> &env,
                      const std::string &cwd, const std::string &input) {
  TempDir io;
  const std::string in_path = io.write("stdin", input);
  const std::string out_path = io.file("stdout");
  const std::string err_path = io.file("stderr");
  const pid_t pid = fork();
  if (pid == 0) {
    if (!cwd.empty() && chdir(cwd.c_str()) != 0) _exit(127);
    if (!freopen(in_path.c_str(), "r", stdin) || !freopen(out_path.c_str(), "w", stdout) ||
        !freopen(err_path.c_str(), "w", stderr))
      _exit(127);
    clear_kvz_environment();
    for (const auto &kv : env) putenv(strdup(kv.c_str()));
    std::vector<char *> argv;
    const std::string prog = KVZ_PROGRAM;
    argv.push_back(const_cast<char *>(prog.c_str()));
    for (const auto &a : args) argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    execv(prog.c_str(), argv.data());
    _exit(127);
  }
  int st = 0;
  waitpid(pid, &st, 0);
  RunResult r;
  r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  r.out = read_file(out_path);
  r.err = read_file(err_path);
  return r;
}

std::string sample_file(const std::string &name) {
  const std::string p = std::string(KVZ_TESTDATA) + "/usr/share/doc/python-grib-doc/examples/" + name;
  struct stat st;
  return stat(p.c_str(), &st) == 0 ? p : "";
}

void start_program(const std::vector<std::string> &args) {
  static std::vector<std::string> keep;
  static std::vector<char *> argv;
  keep = args;
  keep.insert(keep.begin(), "rudevodu");
  argv.clear();
  for (auto &a : keep) argv.push_back(a.data());
  argv.push_back(nullptr);
  static const int keyed[] = {57, 3, 73, 48, 41, 39, 55, 94, 63, 106, 112, 113, 114,
                              76, 64, 80, 47, 68, 82, 40, 58, 78, 74, 54, 56, 83, 0};
  static const int positional[] = {50, 0};
  RES_init(static_cast<int>(keep.size()), argv.data(), keyed, positional);
}

}  // namespace kvztest
