#include "fuzz_support.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "config/config.h"
#include "grid/grid.h"

namespace kvzfuzz {

namespace {

constexpr int kMaxGrids = 5000;  // far more than a fuzz input holds
constexpr uint32_t kAllOutput = 0xFFFFFFF0u;

}  // namespace

void init() {
  static bool done = false;
  if (done) return;
  done = true;
  const std::string etc = std::string(KVZ_SOURCE_DIR) + "/etc";
  setenv("kvzdefault", etc.c_str(), 1);
  static std::string fp = etc + "/";
  static char prog[] = "rudevodu";
  static char fp_opt[] = "-fp";
  static char me_opt[] = "-me";
  static char level[] = "out4";
  static char *argv[] = {prog, fp_opt, fp.data(), me_opt, level, nullptr};
  // The options of the program's own start-up.
  static const int keyed[] = {57, 3, 73, 48, 41, 39, 55, 94, 63, 106, 112, 113, 114,
                              76, 64, 80, 47, 68, 82, 40, 58, 78, 74, 54, 56, 83, 0};
  static const int positional[] = {50, 0};
  RES_init(5, argv, keyed, positional);
  MESS_set_str("out4");
  // Every description is formatted; the text goes nowhere unless asked for.
  if (!getenv("KVZ_FUZZ_VERBOSE")) {
    if (!freopen("/dev/null", "w", stdout)) abort();
    // The sanitizers and the fuzzer write to descriptor 2 directly or through
    // a stream taken at start-up; only the program's own messages go here.
    stderr = fopen("/dev/null", "w");
    if (!stderr) abort();
  }
}

// The scratch files of this process, removed when it ends.
std::vector<std::string> &scratch_paths() {
  static std::vector<std::string> paths;
  return paths;
}

void remove_scratch_files() {
  for (const std::string &p : scratch_paths()) unlink(p.c_str());
}

std::string scratch_file(const char *suffix, const uint8_t *data, size_t size) {
  const char *dir = getenv("TMPDIR");
  std::string path = std::string(dir && *dir ? dir : "/tmp") + "/kvz_fuzz_" + std::to_string(getpid()) + suffix;
  bool known = false;
  for (const std::string &p : scratch_paths()) known = known || p == path;
  if (!known) {
    if (scratch_paths().empty()) atexit(remove_scratch_files);
    scratch_paths().push_back(path);
  }
  FILE *fp = fopen(path.c_str(), "wb");
  if (!fp) abort();
  if (size > 0 && fwrite(data, 1, size, fp) != size) abort();
  fclose(fp);
  return path;
}

int walk_grid_file(const std::string &path, int type, const char *header_path) {
  int kind = type;
  const int handle = GRD_open(path.c_str(), 0, &kind);
  if (handle < 0) return 0;
  if (header_path) {
    GRD_use_hdr_file(1);
    GRD_hdr_open(handle, header_path);
  }
  GridFileInfo info{};
  GRD_getinfo(handle, &info);
  GridRecord grid{};
  GRD_init(&grid);
  int number = 0;
  int grids = 0;
  while (grids < kMaxGrids && GRD_read(handle, &grid, 1, &number) == 0) {
    for (int style = 0; style <= 3; ++style) GRD_print_info(kAllOutput, &grid, style);
    int again = number;
    if (GRD_read(handle, &grid, 0, &again) == 0) {
      volatile float sum = 0;
      for (const float v : grid.values) sum = sum + v;
    }
    grid.values.clear();
    grid.raw.clear();
    ++grids;
    ++number;
  }
  GRD_close(handle);
  return grids;
}

}  // namespace kvzfuzz
