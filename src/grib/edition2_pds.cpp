// The product definition section (section 4) of GRIB edition 2: parameter,
// generating process, forecast time or statistical time range, fixed
// surfaces, ensemble member, derived ensemble and probability information
// (templates 4.0, 4.1, 4.2, 4.5, 4.8, 4.9, 4.11, 4.12 and the JMA local
// template 50008), then the grid's description labels.
#include <sys/types.h>

#include <cfloat>
#include <cmath>
#include <limits>

#include "config/config.h"
#include "date/date.h"
#include "files/files.h"
#include "grib/decoder_state.h"
#include "grib/edition2_levels.h"
#include "grib/edition2_section.h"
#include "grib/grib.h"
#include "grib/grib_internal.h"
#include "grid/grid.h"

namespace {

constexpr const char *kName = "product definition";
constexpr int32_t kMissing = -9999;
constexpr int kProbabilityVar = 191;

struct ProductTemplate {
  int number;
  int last_octet;  // last octet the decoder reads
  const char *line;
};

constexpr ProductTemplate kTemplates[] = {
    {0, 34, "4.0: Analysis or forecast on horizontal level at a fixed time\n"},
    {1, 36, "4.1: Individual ensemble member, horizontal level, fixed time\n"},
    {2, 35, "4.2: Derived forecast based on all ensemble members, horizontal level, fixed time\n"},
    {5, 47, "4.5: Probability forecast, horizontal level, fixed time\n"},
    {8, 53, "4.8: Average, accumulation or extreme value on horizontal level at a fixed time\n"},
    {9, 66, "4.9: Probability forecast, horizontal level/layer, time range\n"},
    {11, 56, "4.11: Individual ensemble member, horizontal level, time range\n"},
    {12, 55, "4.12: Derived forecast based on all ensemble members, horizontal level, time range\n"},
    {50008, 11, "JMA local sect 50008\n"},
};

const ProductTemplate *find_template(int number) {
  for (const ProductTemplate &t : kTemplates)
    if (t.number == number) return &t;
  return nullptr;
}

// Sign-and-magnitude scale octet: the value is multiplied by 10^-scale.
int scale_of(int octet) { return octet > 128 ? 128 - octet : octet; }

// A scaled value as a float, or -9999.0 when it is missing (first two octets
// all ones, or a missing scale) or beyond single precision.
double scaled(const Ed2Section &s, int value_octet, int scale, bool scale_missing) {
  if (scale_missing || s.all_ones(value_octet, 2)) return kMissing;
  const double v = s.sm(value_octet, 4) * std::pow(10.0, -scale);
  return std::fabs(v) <= FLT_MAX ? v : kMissing;
}

// ---- fixed surfaces ------------------------------------------------------------

void fixed_surfaces(const Ed2Section &s, GridRecord *rec) {
  FixedSurfaces f;
  f.type1 = s.u8(23);
  f.type2 = s.u8(29);
  // Each surface has its own scale.  Octet 0xFF is a missing scale: producers
  // write it beside plain whole values (2 m, 10 m), which are taken unscaled,
  // as other GRIB readers take them.
  const int s1 = s.u8(24) == 0xFF ? 0 : scale_of(s.u8(24));
  const int s2 = s.u8(30) == 0xFF ? 0 : scale_of(s.u8(30));
  if (s1 != 0) MESS_print(kGribTrace, "Scale: %d\n", s1);
  f.a = scaled(s, 25, s1, false);
  f.b = scaled(s, 31, s2, false);
  MESS_print(kGribTrace, "LEV %d %d %f %f\n", f.type1, f.type2, f.a, f.b);
  const PackageLevel level = ed2_package_level(f);
  rec->ltype = level.ltype;
  rec->level = level.level;
}

// ---- time ------------------------------------------------------------------------

int32_t fit_time(int64_t t) {
  if (t > std::numeric_limits<int32_t>::max() || t < std::numeric_limits<int32_t>::min()) return kMissing;
  return static_cast<int32_t>(t);
}

// Octets of the statistical process and of the length of the time range.
struct RangeOctets {
  int process;
  int length;
};

RangeOctets range_octets(int number) {
  switch (number) {
    case 8: return {47, 50};
    case 9: return {60, 63};
    case 11: return {50, 53};
    default: return {49, 52};  // 12
  }
}

bool valid_date(const DateRec &t) {
  return t.year >= 1 && t.month >= 1 && t.month <= 12 && t.day >= 1 && t.day <= 31 && t.hour >= 0 &&
         t.hour <= 23 && t.minute >= 0 && t.minute <= 59 && t.second >= 0 && t.second <= 59;
}

// Whole hours from the reference time to the end of the overall time
// interval (octets 35-41 of template 4.8); false when either date is not one.
bool hours_to_interval_end(const Ed2Section &s, const DateRec &base, int64_t *hours) {
  DateRec from = base;
  if (from.minute == DATE_MISSING) from.minute = 0;
  if (from.second == DATE_MISSING) from.second = 0;
  DateRec to;
  DATE_init(&to);
  to.year = static_cast<int32_t>(s.u(35, 2));
  to.month = s.u8(37);
  to.day = s.u8(38);
  to.hour = s.u8(39);
  to.minute = s.u8(40);
  to.second = s.u8(41);
  if (!valid_date(from) || !valid_date(to)) return false;
  *hours = (int64_t{DATE_num_sec(&to)} - int64_t{DATE_num_sec(&from)}) / 3600;
  return true;
}

// Base of the time code by statistical process: average, accumulation,
// maximum, minimum, difference; any other process is a plain time range.
int64_t range_base(int process) {
  switch (process) {
    case 0: return 3000000;
    case 1: return 4000000;
    case 2: return 6000000;
    case 3: return 7000000;
    case 4: return 5000000;
    default: return 2000000;
  }
}

// Time code of a statistical (time range) template: base + t1 × 1000 + (t1 + L).
int32_t range_time(const Ed2Section &s, int number, const DateRec &base) {
  const RangeOctets at = range_octets(number);
  const int unit = s.u8(18);
  int64_t t1 = s.sm(19, 4);
  const int process = s.u8(at.process);
  int64_t length = static_cast<int64_t>(s.u(at.length, 4));
  if (number == 8 && unit >= 10 && unit <= 12) {
    const int hours = unit == 10 ? 3 : unit == 11 ? 6 : 12;
    t1 *= hours;
    length *= hours;
  }
  if (number == 9 && unit == 2) t1 += 800;
  if (number == 9 && unit == 3) t1 += 900;
  int64_t hours = 0;
  if (number == 8 && process == 255 && unit == 1 && length > 10000 && hours_to_interval_end(s, base, &hours))
    length = hours - t1;
  MESS_print(kGribTrace, "TIM %d %d %d\n", process, ed2_trace_int(t1), ed2_trace_int(length));
  return fit_time(range_base(process) + t1 * 1000 + (t1 + length));
}

bool time_range_template(int number) { return number == 8 || number == 9 || number == 11 || number == 12; }

// ---- ensembles and probabilities ----------------------------------------------------

void ensemble_member(const Ed2Section &s) {
  GribDecoder &d = grib_decoder();
  d.ens = 1;
  const int type = s.u8(35);
  if (type <= 1) d.ens_type = 1;
  if (type == 2 || type == 3) d.ens_type = type;
  d.ens_id = s.u8(36);
  d.ens_prod = 1;
  d.ens_smooth = 0;
}

void derived_forecast(const Ed2Section &s, int number) {
  GribDecoder &d = grib_decoder();
  d.ens = 1;
  if (number == 2) {
    d.ens_type = 5;
    d.ens_id = 0;
    d.ens_smooth = 0;
  }
  const int derived = s.u8(35);
  // Unweighted (0) and weighted (1) means of all members; standard deviation (2).
  if (derived == 0 || derived == 1) d.ens_prod = 2;
  if (derived == 2) d.ens_prod = 11;
}

// The package's probability type from the type of generating process and
// the probability type of the template; 0 for combinations it has no code for.
int probability_type(int number, int process, int type) {
  if (process == 4 || (number == 5 && (process == 5 || process == 2))) return type <= 2 ? type + 1 : 0;
  if (number == 9 && process == 5) return type <= 2 ? type + 4 : 0;
  if (number == 9 && process == 2) return type <= 4 ? type + 4 : 0;
  return 0;
}

// Probability limits: sign-and-magnitude values with their own scales.
float limit(const Ed2Section &s, int scale_octet) {
  const int raw = s.u8(scale_octet);
  return static_cast<float>(scaled(s, scale_octet + 1, scale_of(raw), raw == 0xFF));
}

void probability(const Ed2Section &s, int number, GridRecord *rec) {
  GribDecoder &d = grib_decoder();
  d.ens = 1;
  d.ens_type = 5;
  d.ens_id = 0;
  d.ens_prod = 0;
  d.ens_smooth = 0;
  d.ens_prob_var = rec->var;
  rec->var = kProbabilityVar;
  d.ens_prob_type = probability_type(number, s.u8(12), s.u8(37));
  d.ens_prob_low = limit(s, 38);
  d.ens_prob_up = limit(s, 43);
}

// No ensemble or probability information is carried over from another field.
void clear_ensemble() {
  GribDecoder &d = grib_decoder();
  d.ens = 0;
  d.ens_type = 0;
  d.ens_id = 0;
  d.ens_prod = 0;
  d.ens_smooth = 0;
  d.ens_prob_type = 0;
}

// ---- the product ----------------------------------------------------------------------

// The record's parts that come from the sections in force: identification and grid.
void sections_in_force(GridRecord *rec) {
  const Edition2Sections &e = grib_decoder().ed2;
  rec->version = 2;
  rec->source = e.source;
  rec->base_date = e.date;
  rec->type = e.grid_code;
  rec->domain = e.dv;
  // A field whose grid cannot be placed keeps nothing of an earlier field's values.
  if (e.grid_unsupported) rec->values.clear();
}

void parameter(const Ed2Section &s, GridRecord *rec) {
  const GribDecoder &d = grib_decoder();
  const GribParam p = GRIB_get_ver2_param(d.ed2.source, d.discipline, s.u8(10), s.u8(11));
  rec->var = p.var;
  copy_text(rec->units, p.units);
}

// A product the decoder cannot read is described by its parameter alone, with
// time and level missing, never by what an earlier field left.
void undescribed(const Ed2Section &s, GridRecord *rec) {
  rec->var = kMissing;
  rec->units[0] = '\0';
  if (s.has(10, 2)) parameter(s, rec);
  rec->model = kMissing;
  rec->time = kMissing;
  rec->ltype = kMissing;
  rec->level = kMissing;
}

void decode_template(const Ed2Section &s, int number, GridRecord *rec) {
  parameter(s, rec);
  if (number == 50008) {
    rec->ltype = 1;
    rec->level = 0;
    rec->time = 0;
    return;
  }
  rec->model = s.u8(14);
  rec->time = time_range_template(number) ? range_time(s, number, rec->base_date) : fit_time(s.sm(19, 4));
  fixed_surfaces(s, rec);
  if (number == 1 || number == 11) ensemble_member(s);
  if (number == 2 || number == 12) derived_forecast(s, number);
  if (number == 5 || number == 9) probability(s, number, rec);
}

void describe(GridRecord *rec) {
  const DateRec &t = rec->base_date;
  MESS_print(kGribTrace, "Source: %d\n", rec->source);
  MESS_print(kGribTrace, "Model: %d\n", rec->model);
  MESS_print(kGribTrace, "Init time: %d/%d/%d %2.2d:%2.2d\n", t.year, t.month, t.day, t.hour, t.minute);
  MESS_print(kGribTrace, "Grid type: %d\n", rec->type);
  MESS_print(kGribTrace, "Grid time: %d\n", rec->time);
  MESS_print(kGribTrace, "Level type: %d\n", rec->ltype);
  MESS_print(kGribTrace, "Level: %d\n", rec->level);
  MESS_print(kGribTrace, "Variable: %d %s\n", rec->var, rec->units);
  GRIB_set_var(rec);
  DATE_make_label_for_time(rec->time, GRD_model_key(rec), &rec->base_date, rec->datim);
}

void report_unsupported(FILE *fp, int number) {
  if (ed2_first_unsupported(fp, 4, number))
    MESS_print(kGribWarn, "GRIB edition 2 product template 4.%d is not supported; time and level unknown\n",
               number);
}

}  // namespace

int GRIB_PDS(int handle, GridRecord *rec) {
  FILE *fp = grib_stream(handle);
  if (!fp || !rec) return 0;
  Ed2Section s;
  if (!ed2_read_section(fp, 9, kName, s)) return 0;
  GribDecoder &d = grib_decoder();
  d.ed2.bitmap_unavailable = false;
  sections_in_force(rec);
  clear_ensemble();
  const int number = static_cast<int>(s.u(8, 2));
  const ProductTemplate *t = find_template(number);
  if (t) MESS_print(kGribTrace, "%s", t->line);
  if (!t) report_unsupported(fp, number);
  const bool complete = t && s.has(1, t->last_octet);
  if (t && !complete) ed2_section_too_short(kName);
  if (complete)
    decode_template(s, number, rec);
  else
    undescribed(s, rec);
  describe(rec);
  return complete || !t ? 1 : 0;
}
