// Time texts: the short text of a time code ("init", "12hr", "12hr-6acc ") and
// the period part of the long time-and-level text ("6 hour acc ").  A time code
// is range*1000000 + start*1000 + end, hours above 800 counting days and above
// 900 months.
#include <cstdlib>
#include <string>

#include "naming/naming.h"
#include "naming/naming_internal.h"

namespace {

constexpr int missing = -9999;

struct TimeParts {
  int range;
  int start;
  int end;
};

TimeParts split(int code) { return TimeParts{code / 1000000, (code % 1000000) / 1000, code % 1000}; }

// The range word with its trailing blank; "" for ranges without a word.
const char *range_word(int range) {
  switch (range) {
    case 2: return "rng ";
    case 3: return "avg ";
    case 4: return "acc ";
    case 5: return "dif ";
    case 6: return "max ";
    case 7: return "min ";
    case 13: return "iavg ";
    case 18: return "var ";
    case 23: return "uavg ";
    default: return "";
  }
}

// Ranges up to 9 describe a period from start to end; higher ones repeat end.
int period_length(const TimeParts &t) { return t.range <= 9 ? std::abs(t.end - t.start) : t.end; }

}  // namespace

// A missing time reads "miss", the word time selections accept for it,
// rather than a forecast hour of -999.
std::string naming_time_short(int code) {
  if (code == missing) return "miss";
  const TimeParts t = split(code);
  std::string out;
  if (t.range < 2) {
    if (t.end == 0) return "init";
    append_format(out, "%dhr", t.end);
    return out;
  }
  append_format(out, "%dhr-%d%s", t.end, period_length(t), range_word(t.range));
  return out;
}

std::string naming_period_long(int code) {
  const TimeParts t = split(code);
  if (t.range < 2) return std::string();
  const int n = period_length(t);
  std::string out;
  if (t.end < 800) {
    append_format(out, "%d hour ", n);
  } else if (t.end < 900) {
    append_format(out, "%d day ", n);
  } else {
    append_format(out, "%d month ", n);
  }
  out += range_word(t.range);
  return out;
}

const char *VAR_time(char *buf, size_t size, int time_code) {
  return naming_finish(naming_time_short(time_code), buf, size);
}
