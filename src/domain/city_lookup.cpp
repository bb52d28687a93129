// Station lookup in the city database by identifier, name or five-digit
// station number. A database is read once and its stations kept, so decoding
// the same station domain for every grid of a file reads the file once.
#include <strings.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "config/config.h"
#include "domain/dom_text_state.h"
#include "domain/domain.h"

namespace {

struct CityLookupState {
  std::map<std::string, std::vector<CityRec>> databases;  // by full path
};

CityLookupState &state() {
  static CityLookupState module_state;
  return module_state;
}

bool matches(const CityRec &r, const char *key) {
  if (r.id[0] != '\0' && strcasecmp(key, r.id) == 0) return true;
  if (r.name[0] != '\0' && strcasecmp(key, r.name) == 0) return true;
  if (r.wmo == -9999) return false;
  char number[16];
  snprintf(number, sizeof number, "%05d", r.wmo);
  return strcasecmp(key, number) == 0;
}

// The stations of a database, read on first use; nullptr when it cannot be
// opened (CTY_open_file has said so).
const std::vector<CityRec> *stations(const char *file) {
  const std::string path = kvz_domspec::city_database_path(file);
  if (path.empty()) return nullptr;
  auto &databases = state().databases;
  const auto known = databases.find(path);
  if (known != databases.end()) return &known->second;

  const int number = CTY_open_file(file, nullptr);
  if (number < 0) return nullptr;
  std::vector<CityRec> records;
  CTY_rewind();
  CityRec record;
  while (CTY_read(number, record) > 0) records.push_back(record);
  CTY_close();
  return &databases.emplace(path, std::move(records)).first->second;
}

}  // namespace

int CTY_get(const char *file, const char *key, CityRec &record) {
  const std::vector<CityRec> *list = stations(file);
  if (list == nullptr) return 0;
  if (key == nullptr || key[0] == '\0') return 0;
  MESS_print(0xF00, "Searching the city database file for: %s ...\n", key);
  for (const CityRec &r : *list) {
    if (!matches(r, key)) continue;
    record = r;
    return 1;
  }
  return 0;
}

int CTY_get_loc(const char *file, const char *key, float &lat, float &lon) {
  CityRec record;
  if (CTY_get(file, key, record) != 1) return 0;
  lat = record.lat;
  lon = record.lon;
  return 1;
}
