// Positioning a stream being read.  The C library's fseeko asks the system to
// move the file even when the place asked for is inside its buffer; readers
// that step from one small GRIB product or section to the next would make a
// system call for every step.  Short forward moves are read past instead.
#include "files/files.h"

namespace {

// Longest forward move made by reading; a longer one is left to fseeko.
constexpr int64_t kReadPast = 4096;

}  // namespace

int FILE_seek(FILE *fp, int64_t offset) {
  const int64_t here = ftello(fp);  // from the stream's own count: no system call
  // A stream at its end is moved by fseeko, which also clears the end flag;
  // so is a stream without a position (a pipe), where fseeko fails as before.
  if (here >= 0 && !feof(fp) && offset >= here && offset - here <= kReadPast) {
    const size_t gap = static_cast<size_t>(offset - here);
    char skipped[kReadPast];
    if (gap == 0 || fread(skipped, 1, gap, fp) == gap) return 0;
  }
  return fseeko(fp, static_cast<off_t>(offset), SEEK_SET) == 0 ? 0 : -1;
}
