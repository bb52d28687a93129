// Shared set-up of the fuzz targets: the program's tables and resources as a
// user's run has them, messages kept out of the fuzzer's own output, and the
// grid loop of the program walked over a file holding the input bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kvzfuzz {

// Once per process: resources, tables, message levels.
void init();

// Writes bytes to a scratch file of this process ending in `suffix`; returns its path.
std::string scratch_file(const char *suffix, const uint8_t *data, size_t size);

// Opens the file as the program does (type detection unless `type` is given),
// optionally with a header file, and reads every grid: header, description
// and values.  Returns the number of grids read.
int walk_grid_file(const std::string &path, int type, const char *header_path = nullptr);

}  // namespace kvzfuzz
