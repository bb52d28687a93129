// Header-file mode: writing, or extending, the index of a GRIB file, one line
// per grid with its offset, its WMO heading and its key numbers.
#include <cinttypes>
#include <cstring>
#include <vector>

#include "config/config.h"
#include "driver/driver_internal.h"
#include "files/files.h"
#include "grib/grib.h"

namespace {

constexpr uint32_t kMess = 0xF00, kWarn = 0xC0, kOut1 = 0xF000;

[[noreturn]] void cannot_write(const std::string &name) {
  MESS_print(kWarn, "Unable to write to header file: %s\n", name.c_str());
  KVZ_exit(12);
}

// Lines kept from the end of a header file: enough to find the message the
// last grid belongs to when it is a later field of one.
constexpr size_t kRecentLines = 256;

// Lists the lines already in the header file; returns their count and the
// offsets of the last ones (none when the file holds no complete line).
int scan_header_file(FILE *fp, std::vector<int64_t> *recent) {
  int count = 0;
  recent->clear();
  for (;;) {
    long long offset = 0;
    if (fscanf(fp, "%lld ", &offset) != 1) break;
    char rest[81] = "";
    if (fgetnline(fp, rest, 80) < 0) rest[0] = '\0';
    if (fscanf(fp, "\n") == EOF) clearerr(fp);
    MESS_print(kOut1, "%4d:%7lld %s\n", count, offset, rest);
    if (recent->size() == 2 * kRecentLines) recent->erase(recent->begin(), recent->begin() + kRecentLines);
    recent->push_back(offset);
    ++count;
  }
  return count;
}

// Appending: the lines already written are listed, and the grid of the last
// one is read again without listing it, so that listing resumes after it.
int resume_after(int handle, const std::string &name, GridRecord &grid, HeaderWriter &out) {
  MESS_print(kMess, "Appending to header file: %s\n", name.c_str());
  FILE *in = FILE_open(name.c_str(), "r");
  if (!in) cannot_write(name);
  MESS_print(kMess, "Scanning for end of header file...\n");
  std::vector<int64_t> recent;
  const int count = scan_header_file(in, &recent);
  FILE_close(in);
  out.fp = FILE_open(name.c_str(), "a");
  if (!out.fp) cannot_write(name);
  if (recent.empty()) return 0;  // nothing recorded yet: start from the beginning of the grid file
  GRD_setpos_recorded(handle, recent, count);
  int number = count;
  GRD_read(handle, &grid, 1, &number);
  grid.values.clear();
  return count + 1;
}

}  // namespace

int header_file_start(int handle, const DateRec &date, GridRecord &grid, HeaderWriter &out) {
  GRD_use_hdr_file(0);  // the index being written must not be read
  std::string name;
  if (!FILE_hdr_set_date(&date, &name)) return 0;
  switch (FILE_overwrite(name.c_str(), 2)) {
    case 1:
      MESS_print(kMess, "Writing to header file: %s\n", name.c_str());
      out.fp = FILE_open(name.c_str(), "w");
      if (!out.fp) cannot_write(name);
      return 0;
    case 2:
      return resume_after(handle, name, grid, out);
    default:
      return 0;  // the user keeps the file as it is: grids are listed, nothing is written
  }
}

void header_file_line(int handle, const GridRecord &g, HeaderWriter &out) {
  if (!out.fp) return;
  char heading[150];
  memset(heading, 0, sizeof heading);
  GRIB_get_WMO_header(handle, heading);
  fprintf(out.fp, "%7" PRId64 " %s", GRD_get_pos(handle), heading);
  if (g.source == 7 || out.no_source)
    fprintf(out.fp, " / %3d %3d %7ld %3d %7ld %3d\n", g.model, g.type, static_cast<long>(g.time), g.ltype,
            static_cast<long>(g.level), g.var);
  else
    fprintf(out.fp, " / %d:%d %3d %7ld %3d %7ld %3d\n", g.source, g.model, g.type, static_cast<long>(g.time),
            g.ltype, static_cast<long>(g.level), g.var);
}
