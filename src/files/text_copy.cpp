// Bounded text copies: the one way fixed-size text fields are written, so that
// over-long input is cut at the field's bound and never overflows it.
#include "files/files.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

void copy_text(char *dst, size_t size, const char *src) {
  if (dst == nullptr || size == 0) return;
  if (src == nullptr) {
    dst[0] = '\0';
    return;
  }
  size_t n = 0;
  while (n + 1 < size && src[n] != '\0') ++n;
  // memmove: callers sometimes shift a text within its own buffer.
  std::memmove(dst, src, n);
  dst[n] = '\0';
}

int format_text(char *dst, size_t size, const char *fmt, ...) {
  if (fmt == nullptr) {
    if (dst != nullptr && size > 0) dst[0] = '\0';
    return 0;
  }
  va_list args;
  va_start(args, fmt);
  const int length = (dst != nullptr && size > 0) ? std::vsnprintf(dst, size, fmt, args)
                                                  : std::vsnprintf(nullptr, 0, fmt, args);
  va_end(args);
  if (length < 0 && dst != nullptr && size > 0) dst[0] = '\0';
  return length;
}

void append_format(std::string &out, const char *fmt, ...) {
  va_list args;
  va_start(args, fmt);
  va_list again;
  va_copy(again, args);
  const int length = std::vsnprintf(nullptr, 0, fmt, args);
  va_end(args);
  if (length > 0) {
    std::vector<char> text(static_cast<size_t>(length) + 1);
    std::vsnprintf(text.data(), text.size(), fmt, again);
    out.append(text.data(), static_cast<size_t>(length));
  }
  va_end(again);
}
