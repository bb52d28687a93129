// Bookkeeping of the output grid files: their names for messages, and whether
// a write to them has failed, so that a failure is reported once and no grid
// is appended after it.
#include <unistd.h>

#include <array>
#include <string>

#include "config/config.h"
#include "grid/grid_state.h"
#include "grid/grid_write_internal.h"

namespace {

struct OutputEntry {
  const GridFile *file = nullptr;  // the open file the entry describes
  const FILE *fp = nullptr;
  int ncid = -1;
  std::string name;
  bool failed = false;
};

struct WriteStatus {
  std::array<OutputEntry, GRD_MAX_FILES> out;
};

WriteStatus &status() {
  static WriteStatus s;
  return s;
}

bool describes(const OutputEntry &e, const GridFile *f) {
  return e.file == f && e.fp == f->fp && e.ncid == f->ncid;
}

// The entry of an open handle, made fresh when it described an earlier file
// of the same slot; nullptr for a handle without an open file.
OutputEntry *entry(int handle) {
  const GridFile *f = grid_file(handle);
  if (!f) return nullptr;
  OutputEntry &e = status().out[static_cast<size_t>(handle)];
  if (!describes(e, f)) {
    e = OutputEntry{};
    e.file = f;
    e.fp = f->fp;
    e.ncid = f->ncid;
  }
  return &e;
}

// The name of the file behind a stream, as the system knows it.
std::string stream_name(const GridFile *f) {
  if (f->fp == stdout) return "standard output";
  if (f->fp) {
    const std::string link = "/proc/self/fd/" + std::to_string(fileno(f->fp));
    char target[4096];
    const ssize_t n = readlink(link.c_str(), target, sizeof target - 1);
    if (n > 0) return std::string(target, static_cast<size_t>(n));
  }
  return "";
}

}  // namespace

int GRD_set_out_name(int handle, const char *name) {
  OutputEntry *e = entry(handle);
  if (!e || !name) return -1;
  e->name = name;
  return 0;
}

int GRD_write_failed(int handle) { return grid_out_failed(handle) ? 1 : 0; }

void grid_out_begin(int handle) {
  OutputEntry *e = entry(handle);
  if (e) e->failed = false;
}

bool grid_out_failed(int handle) {
  const OutputEntry *e = entry(handle);
  return e && e->failed;
}

void grid_out_report(int handle, const char *who) {
  OutputEntry *e = entry(handle);
  if (!e || e->failed) return;
  e->failed = true;
  std::string name = e->name;
  if (name.empty()) name = stream_name(grid_file(handle));
  if (name.empty()) name = "handle " + std::to_string(handle);
  MESS_print(0xC0, "%s: Unable to write to grid file: %s\n", who, name.c_str());
}

GridWriteResult grid_flush(FILE *fp) {
  if (fflush(fp) != 0 || ferror(fp)) return GRID_FAILED;
  return GRID_WRITTEN;
}
