// Byte order of 4-byte binary values: whether values are reversed on the way
// between the file and the host, and the reversing readers and writers.
#include "files/files.h"

#include <algorithm>
#include <cstring>

namespace {

struct ByteOrderState {
  int swaptest = 1;  // its first byte is 1 on a host storing the low byte first
  int swap = 1;      // reverse 4-byte values when reading or writing
};

ByteOrderState &state() {
  static ByteOrderState order;
  return order;
}

bool host_low_byte_first() {
  unsigned char first = 0;
  std::memcpy(&first, &state().swaptest, 1);
  return first == 1;
}

}  // namespace

int swap_setup(int type) {
  const bool low_first = host_low_byte_first();
  switch (type) {
    case -1: state().swap = 0; break;
    case 1: state().swap = low_first ? 1 : 0; break;
    case 2: state().swap = low_first ? 0 : 1; break;
    default: state().swap = 1; break;
  }
  return 0;
}

int swap_long(void *four_bytes) {
  if (four_bytes == nullptr || !state().swap) return -1;
  unsigned char *bytes = static_cast<unsigned char *>(four_bytes);
  std::reverse(bytes, bytes + 4);
  return 0;
}

size_t fread_long_swap(void *four_bytes, FILE *fp) {
  if (four_bytes == nullptr || fp == nullptr) return 0;
  const size_t read = std::fread(four_bytes, 4, 1, fp);
  if (read == 1) swap_long(four_bytes);
  return read;
}

size_t fwrite_long_swap(void *four_bytes, FILE *fp) {
  if (four_bytes == nullptr || fp == nullptr) return 0;
  swap_long(four_bytes);
  return std::fwrite(four_bytes, 4, 1, fp);
}
