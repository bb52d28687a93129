// Line readers for text files: one line (or one width-sized piece of a long
// line) per call.  The line end after the text read stays in the stream; the
// next call skips it, so an empty line is told apart from the end of the last.
#include "files/files.h"

namespace {

constexpr int kLineWidth = 160;  // fgetline's width; its buffer holds 161 bytes

// Reads one piece of at most width characters into buffer (width+1 bytes).
// Returns the scanf result (1 text read, 0 empty line, EOF) and the number of
// characters stored.
int read_piece(FILE *fp, char *buffer, int width, int &stored) {
  stored = 0;
  if (fp == nullptr || buffer == nullptr || width < 1) return EOF;
  buffer[0] = '\0';

  char first[32];
  char after_end[32];
  format_text(first, sizeof first, "%%%d[^\n]%%n", width);
  format_text(after_end, sizeof after_end, "%%*c%%%d[^\n]%%n", width);

  int consumed = 0;
  int result = std::fscanf(fp, first, buffer, &consumed);
  if (result == 1) {
    stored = consumed;
    return 1;
  }
  if (result != 0) return result;

  // The next character is a line end: step over it and read the next line.
  consumed = 0;
  result = std::fscanf(fp, after_end, buffer, &consumed);
  if (result == 1) {
    stored = consumed - 1;
    return 1;
  }
  buffer[0] = '\0';
  if (result == 0 && std::feof(fp)) return EOF;
  return result;
}

}  // namespace

int fgetline(FILE *fp, char *buffer) { return fgetnline(fp, buffer, kLineWidth); }

int fgetnline(FILE *fp, char *buffer, int width) {
  int stored = 0;
  const int result = read_piece(fp, buffer, width, stored);
  return (result == 1) ? stored : result;
}

int fgetstring(FILE *fp, char *buffer, int width) {
  int stored = 0;
  return read_piece(fp, buffer, width, stored);
}

bool read_whole_line(FILE *fp, std::string &line) {
  line.clear();
  if (fp == nullptr) return false;
  int c = 0;
  bool any = false;
  while ((c = std::fgetc(fp)) != EOF) {
    any = true;
    if (c == '\n') return true;
    line += static_cast<char>(c);
  }
  return any;
}
