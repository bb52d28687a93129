// Private to the domain texts: the module's state (station priority,
// region menu, region files read so far, nesting of region references) and
// the path of a lookup table along the resource "file_path".
#ifndef KVZ_DOMAIN_DOM_TEXT_STATE_H
#define KVZ_DOMAIN_DOM_TEXT_STATE_H

#include "domain/domain.h"

#include <map>
#include <string>
#include <vector>

namespace kvz_domspec {

constexpr float kMissing = -9999.0f;

// A region file as read: its lines (pieces of at most kRegionLineWidth
// characters), empty lines kept since they end a search.
using RegionLines = std::vector<std::string>;
constexpr int kRegionLineWidth = 500;

// How deep region references may nest ("us" naming a file region whose text
// names another region ...). A region file whose lines refer to each other
// would otherwise recurse without end.
constexpr int kMaxRegionNesting = 6;

struct DomSpecState {
  int priority = 3;       // station plotting priority
  int loc_prior = 4;      // local station priority, carried only
  int prompt_region = 1;  // carried only
  DomRegionEntry reg_menu[DOM_MENU_SLOTS] = {{"var", "Variable centre", 0, 0}};
  int num_regs = 1;
  bool menu_cleared = false;
  std::map<std::string, RegionLines> region_files;  // by full path
  int nesting = 0;        // DOM_decode calls in progress
  bool too_deep = false;  // a region reference passed kMaxRegionNesting
};

DomSpecState &state();

// Full path of a table: the name joined to the resource "file_path".
std::string table_path(const char *name);

// The lines of a region file, read on first use and kept; nullptr (after the
// "Unable to open region file" trace) when the file cannot be opened.
const RegionLines *region_lines(const char *file);

// Full path of the station database a lookup uses: the resource "city_file",
// else the name given, else "sao.cty"; "" when "city_file" is "none".
std::string city_database_path(const char *file);

}  // namespace kvz_domspec

#endif  // KVZ_DOMAIN_DOM_TEXT_STATE_H
