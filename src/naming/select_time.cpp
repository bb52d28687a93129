// Time texts of a grid selection: texts such as "12", "2day",
// "12-6acc", "h24-24avg", "anal-6acc", "time-6" or "miss" turned into a time
// code (range x 1000000 + start x 1000 + end).
#include <strings.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "config/config.h"
#include "naming/naming.h"
#include "naming/number_scan.h"

namespace {

constexpr int kMissing = -9999;
constexpr int kDefaultTimeFlag = 6;
constexpr int kNotUnderstood = 0;
constexpr int kRelative = 1;
constexpr int kGiven = 2;
constexpr long long kOtherRange = 2000000;

struct RangeWord {
  const char *word;
  long long offset;
};
constexpr RangeWord kRangeWords[] = {
    {"rng", 2000000},  {"avg", 3000000},   {"acc", 4000000},   {"dif", 5000000}, {"max", 6000000},
    {"min", 7000000},  {"iavg", 13000000}, {"uavg", 23000000}, {"var", 18000000},
};

// The text read as "%[^-]-%d%s": head, period length and range word.
struct TimeText {
  std::string head;
  int length = 0;
  std::string word;
  int fields = 0;
};

TimeText split_time(const char *text) {
  const size_t size = std::strlen(text) + 1;
  std::vector<char> head(size, '\0');
  std::vector<char> word(size, '\0');
  TimeText t;
  const int fields = std::sscanf(text, "%[^-]-%d%s", head.data(), &t.length, word.data());
  t.fields = fields > 0 ? fields : 0;
  t.head = head.data();
  t.word = word.data();
  return t;
}

bool has_word(const TimeText &t) { return t.fields == 3; }

long long range_offset(const std::string &word) {
  for (const RangeWord &r : kRangeWords) {
    if (strcasecmp(word.c_str(), r.word) == 0) return r.offset;
  }
  return kOtherRange;
}

// A period of the given length that ends at hour `end`.
long long period(long long end, const TimeText &t) {
  return end * 1001 - static_cast<long long>(t.length) * 1000 + range_offset(t.word);
}

long long with_period(long long end, const TimeText &t) { return has_word(t) ? period(end, t) : end; }

bool starts_with_digit_after(const std::string &head, char first) {
  return head.size() > 1 && head[0] == first && std::isdigit(static_cast<unsigned char>(head[1])) != 0;
}

int number_after_first(const std::string &head) {
  int n = 0;
  std::sscanf(head.c_str() + 1, "%d", &n);
  return n;
}

// "time", "time-6", "time-6acc": relative to the default time.
long long relative_time(const TimeText &t) {
  const int flag = FLAG_get(kDefaultTimeFlag);
  const long long def = flag == kMissing ? 0 : flag;
  if (t.fields == 2) return def % 1000 - t.length;
  if (has_word(t)) return period(def % 1000, t);
  return def;
}

// Hours with an optional unit: "12", "2day", "1.5day", "3d", "2e".
long long hours_time(const TimeText &t) {
  const size_t size = t.head.size() + 1;
  std::vector<char> unit(size, '\0');
  int hours = 0;
  std::sscanf(t.head.c_str(), "%d%s", &hours, unit.data());
  long long end = hours;
  if (strcasecmp(unit.data(), "day") == 0 || strcasecmp(unit.data(), "d") == 0) end = end * 24;
  if (strcasecmp(unit.data(), ".5day") == 0 || strcasecmp(unit.data(), "e") == 0) end = end * 24 + 12;
  return with_period(end, t);
}

// Stores a computed code; a code that does not fit is not understood.
int store(long long value, int result, int *time) {
  const int code = naming_fit(value);
  if (code == kMissing && value != kMissing) return kNotUnderstood;
  *time = code;
  return result;
}

}  // namespace

int VAR_dec_time(const char *text, int *time) {
  if (text == nullptr || time == nullptr) return kNotUnderstood;
  if (text[0] == '\0') {
    const int def = FLAG_get(kDefaultTimeFlag);
    if (def != kMissing) return store(def, kRelative, time);
    return store(0, kGiven, time);
  }
  const TimeText t = split_time(text);
  const std::string &head = t.head;
  if (head == "time") return store(relative_time(t), kRelative, time);
  if (head == "anal") {
    const long long code = has_word(t) ? static_cast<long long>(t.length) * 1000 + range_offset(t.word) : 0;
    return store(code, kGiven, time);
  }
  if (head == "miss") return store(kMissing, kGiven, time);
  if (head == "init" || head == "in") return store(0, kGiven, time);
  if (starts_with_digit_after(head, 'h')) return store(with_period(number_after_first(head), t), kGiven, time);
  if (starts_with_digit_after(head, 'd')) return store(number_after_first(head) * 24LL, kGiven, time);
  if (starts_with_digit_after(head, 'e')) return store(number_after_first(head) * 24LL + 12, kGiven, time);
  if (head.empty() || std::isdigit(static_cast<unsigned char>(head[0])) == 0) return kNotUnderstood;
  return store(hours_time(t), kGiven, time);
}
