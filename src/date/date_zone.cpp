// The display time zone: the zone text appended to hours, the 24- or 12-hour
// clock, and the offset added to UTC before a time is shown; plus the hour part
// every label maker writes with them.
#include <cmath>
#include <cstdio>

#include "date/date.h"
#include "date/date_internal.h"
#include "files/files.h"

namespace {

struct ZoneState {
  DateZone zone{"Z", 0, 0};
};
ZoneState state;

// Offsets are whole seconds in an int; anything this far out is no time zone.
constexpr double max_offset_hours = 596523.0;

int offset_seconds(float hours) {
  if (!std::isfinite(hours)) return 0;
  const double clamped = std::fmax(-max_offset_hours, std::fmin(max_offset_hours, double{hours}));
  return static_cast<int>(clamped * 3600.0);
}

}  // namespace

const DateZone &date_zone() { return state.zone; }

int DATE_set_TZ(const char *zone) {
  if (zone == nullptr) return 0;
  if (*zone == '-') {
    state.zone.pm = -1;
    ++zone;
  } else if (*zone == '+') {
    state.zone.pm = 1;
    ++zone;
  }
  char name[5] = "";
  float hours = 0.0f;
  std::sscanf(zone, "%4[^:]:%f", name, &hours);
  format_text(state.zone.text, sizeof state.zone.text, " %s", name);
  state.zone.offset = offset_seconds(hours);
  return 0;
}

void DATE_reset() { state = ZoneState{}; }

std::string date_hour_part(int hour, int minute, int utc_hour, int utc_minute, HourStyle style) {
  const DateZone &z = state.zone;
  const bool minutes = style == HourStyle::padded_minutes;
  std::string out;
  if (z.pm == 0) {
    if (minutes) {
      append_format(out, "%2.2d%2.2d%s", hour, minute, z.text);
    } else if (style == HourStyle::padded) {
      append_format(out, "%2.2d%s", hour, z.text);
    } else {
      append_format(out, "%d%s", hour, z.text);
    }
    return out;
  }
  const char *half = hour >= 12 ? "PM" : "AM";
  int shown = hour > 12 ? hour - 12 : hour;
  if (shown == 0) shown = 12;
  if (minutes) {
    append_format(out, "%d:%2.2d %s%s", shown, minute, half, z.text);
  } else {
    append_format(out, "%d %s%s", shown, half, z.text);
  }
  if (z.pm < 0) {
    if (minutes) {
      append_format(out, " [%2.2d%2.2dZ]", utc_hour, utc_minute);
    } else {
      append_format(out, " [%2.2dZ]", utc_hour);
    }
  }
  return out;
}
