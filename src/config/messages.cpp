// Message levels: every line the program prints passes through MESS_print with
// a level mask; the current mask decides what is shown, where it goes (terminal,
// log file, time-stamped log) and whether the screen is held every so many lines.
#include "config/config.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <strings.h>

#include "date/date.h"
#include "files/files.h"

namespace {

struct MessState {
  uint32_t level = 0x000FFFFF;  // classes shown
  int set = 0;                  // explicit settings made so far
  int out = 1;                  // -1 stamped log + terminal, 0 log only, 1 terminal (+log), 2 reopened log + terminal
  int page = 1;                 // 0 never hold, 1 hold when asked, 2 count lines
  int max_lines = 22;
  int lines = 0;
  FILE *pfile = nullptr;
  char filename[80] = "";
};

MessState mess;

// A class mask with every bit from its highest set bit down to bit 0 filled.
uint32_t fill_mask(uint32_t m) {
  if (m == 0) return 0;
  uint32_t top = 0x80000000u;
  while (!(m & top)) top >>= 1;
  return top | (top - 1);
}

void replace_log(FILE *fp) {
  if (mess.pfile && mess.pfile != stdout && mess.pfile != stderr) FILE_close(mess.pfile);
  mess.pfile = fp;
}

// The class of a level word, compared by prefix without regard to case; 0 when unknown.
uint32_t class_mask(const char *word) {
  static const struct { const char *name; size_t len; uint32_t mask; } classes[] = {
      {"print", 5, 0x0000000F}, {"error", 5, 0x00000030}, {"warn", 4, 0x000000C0},
      {"mess", 4, 0x00000F00},  {"out1", 4, 0x0000F000},  {"out2", 4, 0x000F0000},
      {"out3", 4, 0x00F00000},  {"out4", 4, 0x0F000000},  {"debug", 5, 0xF0000000},
  };
  for (const auto &c : classes)
    if (strncasecmp(word, c.name, c.len) == 0) return c.mask;
  return 0;
}

void apply_level_item(const char *item) {
  char sign = 0;
  if (*item == '+' || *item == '-') sign = *item++;
  uint32_t mask = class_mask(item);
  const size_t n = strlen(item);
  switch (n ? item[n - 1] : 0) {
    case 'a': mask &= 0x11111111u; break;
    case 'b': mask &= 0x22222222u; break;
    case 'c': mask &= 0x44444444u; break;
    case 'd': mask &= 0x88888888u; break;
    default: break;
  }
  if (sign == '+') mess.level |= mask;
  else if (sign == '-') mess.level &= ~mask;
  else mess.level = fill_mask(mask);
}

void apply_item(const char *item) {
  // File names start after "xfi:" (4 characters) or "fi:" (3); the separator is not examined.
  auto name_from = [item](size_t at) { return strlen(item) > at ? item + at : ""; };
  if (strncasecmp(item, "@fi", 3) == 0) {
    replace_log(FILE_open(name_from(4), "a"));
    mess.out = -1;
  } else if (strncasecmp(item, "+fi", 3) == 0) {
    replace_log(FILE_open(name_from(4), "a"));
    mess.out = 1;
  } else if (strncasecmp(item, "-fi", 3) == 0) {
    replace_log(FILE_open(name_from(4), "w"));
    mess.out = 1;
  } else if (strncasecmp(item, "dfi", 3) == 0) {
    copy_text(mess.filename, name_from(4));
    mess.out = 2;
  } else if (strncasecmp(item, "fi", 2) == 0) {
    replace_log(FILE_open(name_from(3), "a"));
    mess.out = 0;
  } else if (strcasecmp(item, "nopage") == 0) {
    mess.page = 0;
  } else if (strcasecmp(item, "page") == 0) {
    mess.page = 2;
  } else if (strncasecmp(item, "line", 4) == 0) {
    const int n = atoi(name_from(5));
    mess.max_lines = n > 0 ? n : 22;
  } else {
    apply_level_item(item);
  }
}

int count_newlines(const char *s) {
  int n = 0;
  for (; *s; ++s) n += (*s == '\n');
  return n;
}

}  // namespace

int MESS_check(uint32_t level) { return (level & mess.level) != 0; }

uint32_t MESS_get_level() { return mess.level; }

int MESS_check_set() { return mess.set; }

int MESS_set(int code, uint32_t mask) {
  if (code >= 16 && mess.set) return 0;
  if (code <= 4) ++mess.set;
  switch (code) {
    case 0: case 10: case 20: mess.level = fill_mask(mask); break;
    case 1: case 11: case 21: mess.level |= mask; break;
    case -1: case 9: case 19: mess.level &= ~mask; break;
    default: break;
  }
  return 0;
}

int MESS_set_str(const char *setting) {
  int count = 0;
  std::vector<std::string> items;
  ++mess.set;
  if (parse_string(setting, ',', &count, &items) != 0) {
    apply_level_item("");  // an empty setting is an unknown word: nothing shown
    return 0;
  }
  for (const auto &item : items) apply_item(item.c_str());
  return 0;
}

int MESS_print(uint32_t level, const char *format, ...) {
  if (!MESS_check(level)) return 0;
  if (mess.out == 2) mess.pfile = FILE_open(mess.filename, "a");
  va_list ap;
  if (mess.pfile) {
    if (mess.out == -1) {
      char stamp[40];
      DATE_get_current_str(stamp, sizeof stamp);
      fprintf(mess.pfile, "%s -- ", stamp);
    }
    va_start(ap, format);
    vfprintf(mess.pfile, format, ap);
    va_end(ap);
    fflush(mess.pfile);
  }
  if (mess.out == 2 && mess.pfile) {
    FILE_close(mess.pfile);
    mess.pfile = nullptr;
  }
  if (mess.out == 0) return 0;
  FILE *to = (level & 0xF0) ? stderr : stdout;
  if (to == stderr) fflush(stdout);  // warnings appear after the lines printed before them
  va_start(ap, format);
  vfprintf(to, format, ap);
  va_end(ap);
  if (mess.page == 2) {
    mess.lines += count_newlines(format);
    if (mess.lines > mess.max_lines) MESS_hold(level, "Press return to continue\n");
  }
  return 1;
}

int MESS_hold(uint32_t level, const char *prompt) {
  if (!MESS_check(level) || mess.out == 0 || FLAG_batch() || mess.page == 0) return 0;
  FILE *to = ((level & 0x30) && (level & 0xC0)) ? stderr : stdout;
  fprintf(to, "%s", prompt);
  fflush(to);
  (void)getchar();
  mess.lines = 0;
  return 0;
}

int MESS_print_prog(const char *title) {
  MESS_print(0xF00, "      %s (Ver %s)\n\n", title, KVZ_version());
  return 0;
}

void MESS_reset() {
  replace_log(nullptr);
  mess = MessState{};
}
