// The station plotting priority: how dense a station plot may be, from the
// height of the domain, adjusted by the resource "stat_prior".
#include <cctype>

#include "config/config.h"
#include "domain/dom_text_state.h"
#include "domain/domain.h"

namespace {

int priority_for_height(float height) {
  if (height > 50) return 1;
  if (height > 25) return 2;
  if (height > 12.5f) return 3;
  if (height > 6.25f) return 4;
  if (height > 3) return 5;
  return 6;
}

bool is_digit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

// "+d" raises the number by d, "-d" lowers it, "d..." sets it.
int adjusted(int priority, const char *setting) {
  if (setting == nullptr) return priority;
  if (setting[0] == '+' && is_digit(setting[1])) return priority + (setting[1] - '0');
  if (setting[0] == '-' && is_digit(setting[1])) return priority - (setting[1] - '0');
  if (is_digit(setting[0])) return setting[0] - '0';
  return priority;
}

}  // namespace

int DOM_set_base_prior(float height) {
  kvz_domspec::state().priority = adjusted(priority_for_height(height), RES_get("stat_prior"));
  return 0;
}

int DOM_get_base_prior() { return kvz_domspec::state().priority; }
