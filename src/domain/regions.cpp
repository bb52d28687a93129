// Regions: the predefined regions, region files (lines of abbreviation,
// description, number and domain text) and the region menu filled from them.
#include <strings.h>

#include <cstdio>
#include <cstring>

#include "config/config.h"
#include "domain/dom_text_state.h"
#include "domain/domain.h"
#include "files/files.h"

using kvz_domspec::state;

namespace {

struct DefinedRegion {
  const char *name;
  float clat;
  float clon;
  float spacing;
};

constexpr DefinedRegion kRegions[] = {
    {"us", 39, -97, 2.3f},   {"ne", 42, -76, 0.9f},    {"at", 37, -82, 0.9f},
    {"se", 31, -88, 1.1f},   {"mw", 43, -93, 1.1f},    {"sp", 32.5f, -100, 1.2f},
    {"nw", 44, -112, 1.0f},  {"sw", 37, -112, 1.0f},
};

// The default domain: polar stereographic, 25 x 17 points 1.2 map units apart.
void set_default_domain(Domain &domain) {
  DOM_init(domain);
  domain.proj = DOM_PROJ_PSTEREO;
  domain.nx = 25;
  domain.ny = 17;
  domain.dx = domain.dy = 1.2f;
}

// The "var" region asks for its centre; in batch mode nobody can answer, and
// the centre is what an empty answer gives.
void prompt_centre(Domain &domain) {
  const bool ask = !FLAG_batch();
  domain.clat = ask ? KVZ_promptf("Enter the central latitude: ") : 0.0f;
  domain.clon = ask ? KVZ_promptf("Enter the central longitude: ") : 0.0f;
}

bool is_comment(const std::string &line) { return !line.empty() && line[0] == '#'; }

}  // namespace

int DOM_get_def_region(const char *name, Domain &domain) {
  set_default_domain(domain);
  if (name == nullptr) return 0;
  if (strcasecmp(name, "var") == 0) {
    prompt_centre(domain);
  } else {
    const DefinedRegion *found = nullptr;
    for (const DefinedRegion &r : kRegions)
      if (strcasecmp(name, r.name) == 0) found = &r;
    if (found == nullptr) return 0;
    domain.clat = found->clat;
    domain.clon = found->clon;
    domain.dx = domain.dy = found->spacing;
  }
  domain.plon = domain.clon;
  DOM_set_base_prior((static_cast<float>(domain.ny) - 1) * domain.dy);
  FLAG_set(5, 1);
  return 1;
}

int DOM_search_file(const char *file, const char *region, std::string &text) {
  const kvz_domspec::RegionLines *lines = kvz_domspec::region_lines(file);
  if (lines == nullptr) return 0;
  for (const std::string &line : *lines) {
    if (line.empty()) return 0;
    if (is_comment(line)) continue;
    // Both fields fit: they are pieces of one line of at most 500 characters.
    char name[kvz_domspec::kRegionLineWidth + 1];
    char domain_text[kvz_domspec::kRegionLineWidth + 1];
    const int fields = sscanf(line.c_str(), "%500s %*s %*d %500s", name, domain_text);
    if (fields < 1) return 0;
    if (fields == 1) {
      text = name;  // a line holding one word: the word is the domain text
      return 1;
    }
    if (region != nullptr && strcasecmp(region, name) != 0) continue;
    text = domain_text;
    return 1;
  }
  return 0;
}

int DOM_read_menu(const char *file) {
  kvz_domspec::DomSpecState &s = state();
  if (!s.menu_cleared) {
    for (int slot = 1; slot < DOM_MENU_SLOTS; ++slot) s.reg_menu[slot] = DomRegionEntry{};
    s.menu_cleared = true;
  }
  const kvz_domspec::RegionLines *lines = kvz_domspec::region_lines(file);
  if (lines == nullptr) return 0;
  int slot = 1;
  for (const std::string &line : *lines) {
    if (slot >= DOM_MENU_SLOTS) break;
    if (is_comment(line)) continue;
    char abbr[kvz_domspec::kRegionLineWidth + 1];
    char desc[21];
    int number = 0;
    if (sscanf(line.c_str(), "%500s %20s %d", abbr, desc, &number) < 3 || number == 0) continue;
    DomRegionEntry &entry = s.reg_menu[slot];
    copy_text(entry.abbr, abbr);
    fill_string(desc, '_', ' ');
    copy_text(entry.desc, desc);
    entry.number = number;
    entry.index = slot;
    ++slot;
  }
  s.num_regs = slot;
  return 0;
}

const DomRegionEntry *DOM_region_menu(int *count) {
  if (count != nullptr) *count = state().num_regs;
  return state().reg_menu;
}
