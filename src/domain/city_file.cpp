// The city (station) database stream: opening the station file, and reading
// its lines one station at a time.
//   name state country id priority lat lon elev wmo extra
// e.g. "Denver CO US KDEN 1* 39.85 -104.65 1656 72565 0".
#include <strings.h>

#include <cctype>
#include <cstdio>
#include <string>

#include "config/config.h"
#include "domain/dom_text_state.h"
#include "domain/domain.h"
#include "files/files.h"

namespace {

constexpr int kLineWidth = 255;
constexpr int kRecordBytes = 59;  // an average station line, for the record count
constexpr int kMaxRecords = 4000;

struct CityFileState {
  FILE *city_file = nullptr;
  int file_type = 0;
};

CityFileState &state() {
  static CityFileState module_state;
  return module_state;
}

void clear_record(CityRec &r) {
  r = CityRec{};
  r.mark1 = r.mark2 = ' ';
  r.priority = -9999;
  r.lat = r.lon = r.elev = -9999.0f;
  r.wmo = r.extra = -9999;
}

int digit_value(char c) { return std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : 0; }

// "*3*": a leading '*' sets mark1, the digit is the priority, a '*' after it
// sets mark2.
void decode_priority(const char *token, CityRec &r) {
  if (token[0] == '*') {
    r.mark1 = '*';
    ++token;
  }
  if (token[0] == '\0') return;
  r.priority = digit_value(token[0]);
  if (token[1] == '*') r.mark2 = '*';
}

int parse_line(const char *line, CityRec &r) {
  char priority[kLineWidth + 1] = "";
  const int fields = sscanf(line, "%20s %2s %2s %9s %255s %f %f %f %d %d", r.name, r.state, r.country, r.id,
                            priority, &r.lat, &r.lon, &r.elev, &r.wmo, &r.extra);
  if (fields >= 5) decode_priority(priority, r);
  if (r.elev > 9000) r.elev = -9999.0f;
  return fields;
}

bool skipped(const char *line) {
  if (line[0] == '#') return true;
  for (; *line != '\0'; ++line)
    if (!std::isspace(static_cast<unsigned char>(*line))) return false;
  return true;
}

}  // namespace

std::string kvz_domspec::city_database_path(const char *file) {
  const char *chosen = RES_get("city_file");
  std::string name;
  if (chosen != nullptr && chosen[0] != '\0') {
    if (strcasecmp(chosen, "none") == 0) return "";
    name = chosen;
  } else {
    name = (file != nullptr && file[0] != '\0') ? file : "sao.cty";
  }
  return table_path(name.c_str());
}

int CTY_open(const char *path, int mode, int file_type) {
  if (path == nullptr || (mode != 0 && mode != 1)) return -1;
  // Station files are named inside domain texts, which data files carry: no
  // shell commands and no standard streams.
  if (FILE_is_stdio(path) || path[0] == '|') return -1;
  CTY_close();
  FILE *fp = FILE_open(path, mode == 0 ? "r" : "w");
  if (fp == nullptr) return -1;
  state().city_file = fp;
  state().file_type = file_type;
  return fileno(fp);
}

int CTY_rewind() {
  if (state().city_file == nullptr) return -1;
  rewind(state().city_file);
  return 0;
}

int CTY_close() {
  if (state().city_file == nullptr) return -1;
  FILE_close(state().city_file);
  state().city_file = nullptr;
  return 0;
}

int CTY_read(int /*file_number*/, CityRec &record) {
  FILE *fp = state().city_file;
  if (fp == nullptr) return -1;
  char line[kLineWidth + 1];
  for (;;) {
    if (fgetnline(fp, line, kLineWidth) < 0) return -1;
    trim_cr_string(line);
    if (skipped(line)) continue;
    clear_record(record);
    return parse_line(line, record);
  }
}

int CTY_open_file(const char *file, int *count) {
  if (count != nullptr) *count = 0;
  const std::string path = kvz_domspec::city_database_path(file);
  if (path.empty()) return -1;
  const int number = CTY_open(path.c_str(), 0, 0);
  if (number < 0) {
    MESS_print(0xC0, "CTY_open_file: Database file not found: %s\n", path.c_str());
    return -1;
  }
  if (count != nullptr) {
    const long long records = FILE_size(path.c_str()) / kRecordBytes;
    *count = records > kMaxRecords ? kMaxRecords : static_cast<int>(records);
  }
  return number;
}
