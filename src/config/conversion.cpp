// Resource value conversion: how the text of each option becomes a setting,
// either in a caller's variable or as a change of program state (message
// level, batch mode, help, fixed file time, overwrite policy, plot settings).
#include "config/config.h"

#include <cctype>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <strings.h>

#include "date/date.h"
#include "domain/domain.h"
#include "files/files.h"

namespace {

bool is_digit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

// Reads up to n digits at *p into *out; false when the field does not start with a digit.
bool read_digits(const char *&p, int n, int *out) {
  if (!is_digit(*p)) return false;
  int v = 0;
  for (int i = 0; i < n && is_digit(*p); ++i, ++p) v = v * 10 + (*p - '0');
  *out = v;
  return true;
}

// The "hour" forms: a fixed file time, or a repetition when negative.
DateRec parse_fixed_time(const char *text) {
  DateRec d;
  DATE_init(&d);
  const size_t len = strlen(text);
  const bool colon = strchr(text, ':') != nullptr;
  if (text[0] == '#') {
    const char *p = text + 1;
    int *fields[] = {&d.month, &d.day, &d.hour, &d.minute};
    if (read_digits(p, 4, &d.year))
      for (int *f : fields)
        if (!read_digits(p, 2, f)) break;
  } else if (len == 6 && !colon) {
    sscanf(text, "%2d%2d%2d", &d.month, &d.day, &d.hour);
  } else if (len == 4 && is_digit(text[0]) && !colon) {
    sscanf(text, "%2d%2d", &d.day, &d.hour);
  } else if (len == 3 && is_digit(text[0]) && !colon) {
    sscanf(text, "%1d%2d", &d.day, &d.hour);
  } else if (strchr(text, 'd')) {
    sscanf(text, "%dd%d:%d", &d.day, &d.hour, &d.minute);
  } else if (text[0] == ':') {
    sscanf(text, ":%d", &d.minute);
  } else if (strncmp(text, "-:", 2) == 0) {
    if (sscanf(text, "-:%d", &d.minute) == 1) d.minute = -d.minute;
  } else {
    sscanf(text, "%d:%d", &d.hour, &d.minute);
    if (text[0] == '-' && d.hour == 0) {
      d.hour = -9999;
      if (d.minute != -9999) d.minute = -d.minute;
    }
  }
  return d;
}

void set_policy(const char *text) {
  if (!strcasecmp(text, "use") || !strcasecmp(text, "reuse")) FLAG_set(15, 3);
  else if (!strcasecmp(text, "over") || !strcasecmp(text, "calc") || !strcasecmp(text, "recalc")) FLAG_set(15, 1);
  else if (!strcasecmp(text, "app")) FLAG_set(15, 2);
}

void set_plot_type(const char *text) {
  static const struct { const char *word; int code; } types[] = {
      {"raw", 0},   {"none", 99}, {"value", 17}, {"gvalue", 17}, {"cf", 15},    {"lcf", 16},
      {"ln", 12},   {"dln", 13},  {"ndln", 14},  {"vect", 21},   {"barb", 22},  {"strm", 23},
      {"stream", 23}, {"an", 54}, {"number", 54}, {"pm", 55},    {"skewt", 62}, {"ema", 63},
      {"teph", 64}, {"rteph", 65}, {"stuve", 61}, {"hodo", 69},
  };
  for (const auto &t : types)
    if (!strcasecmp(text, t.word)) {
      FLAG_set(11, t.code);
      return;
    }
}

void set_plot_components(const char *text) {
  static const struct { const char *word; int slot; } words[] = {
      {"text_ul", 1}, {"text_uc", 2}, {"text_ur", 3}, {"text_ll", 4}, {"text_lc", 5},
      {"text_lr", 6}, {"data", 7},    {"map", 8},     {"grid", 9},    {"sum", 10}, {"bord", 11},
  };
  int count = 0;
  std::vector<std::string> items;
  if (parse_string(text, ',', &count, &items) != 0) return;
  for (int i = 0; i < count; ++i) {
    const char *w = items[i].c_str();
    int on = 1;
    if (*w == '+') ++w;
    else if (*w == '-') on = 0, ++w;
    else if (i == 0) FLAG_resetplot(0);
    if (!strcasecmp(w, "none")) {
      FLAG_setplot(12, 0);
    } else if (!strcasecmp(w, "all")) {
      FLAG_setplot(12, 1);
    } else if (!strcasecmp(w, "text")) {
      FLAG_setplot(0, on);
      FLAG_setplot(11, on);
    } else {
      for (const auto &c : words)
        if (!strcasecmp(w, c.word)) FLAG_setplot(c.slot, on);
    }
  }
}

void convert_boolean(const char *value, int *dest) {
  if (!value) {
    *dest = 1;
    return;
  }
  if (!strcasecmp(value, "true") || !strcasecmp(value, "on") || !strcasecmp(value, "yes")) *dest = 1;
  else if (!strcasecmp(value, "false") || !strcasecmp(value, "off") || !strcasecmp(value, "no")) *dest = 0;
}

void convert_int(const char *value, int *dest) {
  if (!is_digit(value[0]) && value[0] != '-' && value[0] != '+') return;
  if (value[0] && (value[1] == 'x' || value[1] == 'X')) *dest = static_cast<int>(strtol(value, nullptr, 16));
  else *dest = atoi(value);
}

// Conversions that store into the caller's destination.
void convert_into(const char *value, void *dest, int type) {
  switch (type) {
    case 2: convert_int(value, static_cast<int *>(dest)); break;
    case 3:
      if (is_digit(value[0])) *static_cast<int16_t *>(dest) = static_cast<int16_t>(atoi(value));
      break;
    case 4:
      if (is_digit(value[0])) *static_cast<long *>(dest) = atol(value);
      break;
    case 5: *static_cast<float *>(dest) = static_cast<float>(atof(value)); break;
    case 19: *static_cast<int *>(dest) = atoi(value); break;
    case 6: *static_cast<const char **>(dest) = value; break;
    case 7: *static_cast<std::string *>(dest) = value; break;
    case 8: {
      std::string &path = *static_cast<std::string *>(dest);
      path = strcasecmp(value, "none") == 0 ? "" : value;
      FILE_add_path_delim(path);
      break;
    }
    case 17: {
      const char *comma = strchr(value, ',');
      FLAG_set(2, RES_set_device(value));
      if (comma) *static_cast<std::string *>(dest) = comma + 1;
      break;
    }
    case 13: case 20: DOM_decode(value, *static_cast<Domain *>(dest)); break;
    default: break;  // list types convert nothing here
  }
}

}  // namespace

int RES_set_device(const char *text) {
  switch (text ? text[0] : 0) {
    case 'P': case 'p': return 4;
    case 'H': case 'h': case 'Q': case 'q': return 5;
    case 'M': case 'm': return 3;
    case 'W': case 'w': return 6;
    default: return 1;
  }
}

int RES_conv_data(const char *value, void *dest, int type) {
  if (type == 22) {
    FLAG_set(19, 1);
    if (!MESS_check_set()) MESS_set(0, 0xFF);
    return 1;
  }
  if (type == 23) {
    FLAG_set(20, 1);
    return 1;
  }
  if (type == 1 && dest) {
    convert_boolean(value, static_cast<int *>(dest));
    return 1;
  }
  if (!value) return 0;
  switch (type) {
    case 9: MESS_set_str(value); return 1;
    case 12: {
      const DateRec fixed = parse_fixed_time(value);
      FILE_set_time(fixed);
      return 1;
    }
    case 16: set_policy(value); return 1;
    case 18: set_plot_type(value); return 1;
    case 10: set_plot_components(value); return 1;
    default: break;
  }
  if (!dest) return 0;
  convert_into(value, dest, type);
  return 1;
}
