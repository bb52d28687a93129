// One form of a domain text: the items of the text parsed, in order, into the
// Domain fields a form names (projection item, numbers, station, region).
#include <strings.h>

#include <climits>
#include <cstdlib>
#include <cstring>

#include "domain/dom_text_state.h"
#include "domain/domain.h"
#include "files/files.h"

namespace {

constexpr int kMaxCodes = 8;

bool starts_with_nocase(const std::string &text, const char *prefix) {
  return strncasecmp(text.c_str(), prefix, std::strlen(prefix)) == 0;
}

bool starts_with(const std::string &text, const char *prefix) {
  return text.compare(0, std::strlen(prefix), prefix) == 0;
}

// "%f": at least one character must convert ("40abc" reads 40).
bool parse_float(const std::string &item, float &value) {
  const char *start = item.c_str();
  char *end = nullptr;
  const float v = std::strtof(start, &end);
  if (end == start) return false;
  value = v;
  return true;
}

// "%d", with values beyond int cut to its range rather than overflowing.
bool parse_int(const std::string &item, int &value) {
  const char *start = item.c_str();
  char *end = nullptr;
  const long v = std::strtol(start, &end, 10);
  if (end == start) return false;
  value = v > INT_MAX ? INT_MAX : v < INT_MIN ? INT_MIN : static_cast<int>(v);
  return true;
}

// A projection parameter reads as atof does (text that is no number gives 0),
// straight into a float so that huge values become infinite, not undefined.
float read_value(const std::string &part) { return std::strtof(part.c_str(), nullptr); }

// "keyword[:plon]" or "keyword[:e]:plat:plon:p1:p2:p3:p4"; empty parts leave
// their parameter missing.
bool parse_projection(const std::string &item, Domain &domain) {
  int count = 0;
  std::vector<std::string> parts;
  parse_string(item.c_str(), ':', &count, &parts);
  domain.proj = DOM_proj_str(count > 0 ? parts[0].c_str() : nullptr);
  if (domain.proj == -1) {
    domain.proj = DOM_PROJ_PSTEREO;
    return false;
  }
  if (count == 2) {
    domain.plon = read_value(parts[1]);
    return true;
  }
  size_t first = 1;
  if (count >= 3 && parts[1] == "e") {
    domain.ellipsoid = 1;
    first = 2;
  }
  float *const values[] = {&domain.plat, &domain.plon, &domain.param1,
                           &domain.param2, &domain.param3, &domain.param4};
  size_t v = 0;
  for (size_t i = first; i < parts.size() && v < 6; ++i, ++v)
    if (!parts[i].empty()) *values[v] = read_value(parts[i]);
  return true;
}

// "id:KEY" or "id:FILE:KEY": the station's position becomes the centre.
bool parse_station(const std::string &item, Domain &domain) {
  if (!starts_with_nocase(item, "id:")) return false;
  const std::string rest = item.substr(3);
  const size_t colon = rest.find(':');
  if (colon == std::string::npos) return CTY_get_loc(nullptr, rest.c_str(), domain.clat, domain.clon) == 1;
  const std::string file = rest.substr(0, colon);
  return CTY_get_loc(file.c_str(), rest.c_str() + colon + 1, domain.clat, domain.clon) == 1;
}

// Decodes a region's domain text into the record, nested. A reference nested
// too deeply fails the item, so a region file whose lines refer to each other
// ends in "Invalid plot domain" rather than endless recursion.
bool decode_region_text(const std::string &text, Domain &domain) {
  DOM_decode(text.c_str(), domain);
  return !kvz_domspec::state().too_deep;
}

bool parse_region(const std::string &item, Domain &domain) {
  if (starts_with(item, "id:")) return false;
  std::string text;
  if (starts_with(item, "fi:")) {
    const std::string file = item.substr(3);
    return DOM_search_file(file.c_str(), nullptr, text) != 1 || decode_region_text(text, domain);
  }
  const size_t colon = item.find(':');
  if (colon == std::string::npos) {
    if (DOM_search_file("kvz.reg", item.c_str(), text) == 1) return decode_region_text(text, domain);
    if (DOM_get_def_region(item.c_str(), domain) == 0) domain.proj = -1;
    return true;
  }
  const std::string file = item.substr(0, colon);
  const std::string region = item.substr(colon + 1);
  if (region.empty()) {
    DOM_read_menu(file.c_str());
    return true;
  }
  return DOM_search_file(file.c_str(), region.c_str(), text) != 1 || decode_region_text(text, domain);
}

bool parse_item(int code, const std::string &item, Domain &domain) {
  switch (code) {
    case DOM_FIELD_PROJ: return parse_projection(item, domain);
    case DOM_FIELD_PLON: return parse_float(item, domain.plon);
    case DOM_FIELD_STATION: return parse_station(item, domain);
    case DOM_FIELD_CLAT: return parse_float(item, domain.clat);
    case DOM_FIELD_CLON: return parse_float(item, domain.clon);
    case DOM_FIELD_NX: return parse_int(item, domain.nx);
    case DOM_FIELD_NY: return parse_int(item, domain.ny);
    case DOM_FIELD_DX: return parse_float(item, domain.dx);
    case DOM_FIELD_DY: return parse_float(item, domain.dy);
    case DOM_FIELD_REGION: return parse_region(item, domain);
    default: return false;
  }
}

// The form's codes up to the first 0; a station item in the clat position
// stands for clat and clon together.
int form_codes(const std::vector<std::string> &items, std::initializer_list<int> codes, int (&out)[kMaxCodes]) {
  int n = 0;
  bool drop_clon = false;
  for (const int code : codes) {
    if (code == 0) break;
    if (n >= kMaxCodes) return -1;
    if (drop_clon && code == DOM_FIELD_CLON) {
      drop_clon = false;
      continue;
    }
    drop_clon = false;
    int actual = code;
    const size_t position = static_cast<size_t>(n);
    if (code == DOM_FIELD_CLAT && position < items.size() && starts_with_nocase(items[position], "id:")) {
      actual = DOM_FIELD_STATION;
      drop_clon = true;
    }
    out[n++] = actual;
  }
  return n;
}

}  // namespace

int DOM_set_params(int count, const std::vector<std::string> &items, Domain &domain,
                   std::initializer_list<int> codes) {
  int form[kMaxCodes];
  const int n = form_codes(items, codes, form);
  if (n < 0 || n != count || static_cast<size_t>(count) > items.size()) return -1;

  DOM_init(domain);
  if (count > 0 && (strcasecmp(items[0].c_str(), "miss") == 0 || strcasecmp(items[0].c_str(), "none") == 0))
    return 0;
  for (int i = 0; i < n; ++i)
    if (!parse_item(form[i], items[static_cast<size_t>(i)], domain)) return form[i];
  return 0;
}
