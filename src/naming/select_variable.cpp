// Variable texts of a grid selection: an abbreviation ("tmp"), a
// variable number ("11"), an ensemble member or statistic ("ens[+2]t",
// "ensmean[]hgt") or a grid math function ("thick-hgt"), turned into the
// variable codes and data type of the selection record.
#include <strings.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "config/config.h"
#include "files/files.h"
#include "naming/naming.h"
#include "naming/number_scan.h"

namespace {

constexpr int kMissing = -9999;
constexpr int kPlotTypeFlag = 11;
constexpr int kDefType = 2;       // a plain grid
constexpr int kByNumber = 40;     // "#n": a grid chosen by its number
constexpr uint32_t kDebugC = 0x40000000;

bool between(int p, int low, int high) { return p >= low && p <= high; }

int last_digit(int fl) { return std::abs(fl % 10); }

int choose_data_type(const GridSpec &wanted, const char *text) {
  const int p = FLAG_get(kPlotTypeFlag);
  const int digit = last_digit(wanted.fl);
  if (digit == 6) return between(p, 10, 23) ? p : 10;
  const int kind = digit == 2 ? GRD_is_math_func(text) : 0;
  if (kind != 0) return between(p, 10, 23) ? p : kind;
  if (between(p, 12, 17) || between(p, 21, 23)) return p;
  return wanted.data_type == kMissing ? kDefType : wanted.data_type;
}

// The variable part of the text: what follows a grid math function word
// ("thick-hgt"), else the whole text.  A "-" inside an ensemble member's
// brackets ("ens[-1]t") does not end a function word.
std::string variable_name(const char *text) {
  const size_t size = std::strlen(text) + 1;
  std::vector<char> head(size, '\0');
  std::vector<char> rest(size, '\0');
  if (std::sscanf(text, "%[^-]-%s", head.data(), rest.data()) == 2 && std::strchr(head.data(), '[') == nullptr) {
    return rest.data();
  }
  return text;
}

// An ensemble prefix, the name after it and the offset it adds to the code.
struct Member {
  bool ensemble = false;
  std::string name;
  long long offset = 0;
};

bool starts_with(const std::string &text, const char *prefix) { return text.compare(0, std::strlen(prefix), prefix) == 0; }

long long member_offset(char sign, int k) {
  if (sign == '-') return 19320000LL + 1000LL * k;
  if (sign == '+') return 19340000LL + 1000LL * k;
  if (sign == 'c') return 19300000LL;
  return 0;
}

// "ens[+2]t", "ens[-1]t", "ens[3]t" (no sign: the control run), "ens[c]t".
Member ensemble_member(const std::string &name) {
  std::vector<char> rest(name.size() + 1, '\0');
  char sign = 'c';
  int k = 0;
  const int got = std::sscanf(name.c_str(), "ens[%c%d]%s", &sign, &k, rest.data());
  // A digit read as the sign would split a member number ("ens[12]t").
  if (got < 2 || std::isdigit(static_cast<unsigned char>(sign)) != 0) {
    sign = 'c';
    k = 0;
    rest.assign(rest.size(), '\0');
    std::sscanf(name.c_str(), "ens[%d]%s", &k, rest.data());
  }
  MESS_print(kDebugC, "ens: %c - %d - %s\n", sign, k, rest.data());
  return {true, rest.data(), member_offset(sign, k)};
}

Member statistic(const std::string &name, const char *format, const char *trace, long long offset) {
  std::vector<char> rest(name.size() + 1, '\0');
  std::sscanf(name.c_str(), format, rest.data());
  MESS_print(kDebugC, trace, rest.data());
  return {true, rest.data(), offset};
}

Member read_member(const std::string &name) {
  if (starts_with(name, "ensmean[")) return statistic(name, "ensmean[]%s", "ensmean: %s\n", 19000000);
  if (starts_with(name, "ensdev[")) return statistic(name, "ensdev[]%s", "ensdev: %s\n", 19001000);
  if (starts_with(name, "ens[")) return ensemble_member(name);
  return {false, name, 0};
}

bool abbreviation_matches(const VarEntry &entry, const std::string &name) {
  if (name.empty()) return false;
  if (strcasecmp(entry.abbr, name.c_str()) == 0) return true;
  return name[0] == '+' && strcasecmp(entry.abbr, name.c_str() + 1) == 0;
}

// The first table entry with the given number (its description goes to
// `text`) or with the name as abbreviation (its numbers go to `var`).
void search_table(int number, const std::string &name, GridSpec &wanted) {
  for (const VarEntry &entry : VAR_var_list()) {
    if (number != 0 && entry.num[0] == number) {
      copy_text(wanted.text, entry.desc);
      return;
    }
    if (abbreviation_matches(entry, name)) {
      for (int i = 0; i < 5; ++i) wanted.var[i] = entry.num[i];
      return;
    }
  }
}

}  // namespace

int VAR_dec_var(const char *text, GridSpec *wanted) {
  if (wanted == nullptr) return 0;
  const char *t = text != nullptr ? text : "";
  copy_text(wanted->text, t);
  MESS_print(kDebugC, "TYPE: %d cur:%d def:%d fl: %d plt: %d\n", wanted->data_type, kMissing, kDefType, wanted->fl,
             FLAG_get(kPlotTypeFlag));
  if (t[0] == '#') {
    wanted->data_type = kByNumber;
    return 1;
  }
  wanted->data_type = choose_data_type(*wanted, t);
  MESS_print(kDebugC, "DATA TYPE: %d\n", wanted->data_type);
  if (t[0] == '\0') return 0;

  const Member member = read_member(variable_name(t));
  int number = 0;
  if (!member.ensemble) std::sscanf(member.name.c_str(), "%d", &number);
  wanted->var[0] = number;
  search_table(number, member.name, *wanted);
  wanted->var[0] = naming_fit(wanted->var[0] + member.offset);
  return wanted->var[0];
}
