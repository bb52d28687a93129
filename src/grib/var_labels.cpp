// Description label of a decoded GRIB grid.  Ensemble members, ensemble
// means and spreads and probability products fold their extra information
// into the variable code, so that each kind stays a distinct variable.
#include "files/files.h"
#include "grib/decoder_state.h"
#include "grib/grib.h"
#include "grid/grid.h"
#include "naming/naming.h"

#include <cstdint>
#include <string>

namespace {

constexpr int kEnsMember = 1;
constexpr int kEnsMean = 2;
constexpr int kEnsSpreadFirst = 11;
constexpr int kEnsSpreadLast = 12;
constexpr int kProbVar = 191;
constexpr int kNormProbVar = 192;

constexpr int kMemberBase = 19300000;
constexpr int kMeanBase = 19000000;
constexpr int kSpreadBase = 19001000;

// The long time-and-level text, with one blank after it when it is not empty.
std::string level_label(const GridRecord &rec) {
  char buf[sizeof rec.info];
  VAR_make_datalevel(rec.time, rec.ltype, rec.level, buf);
  std::string label(buf);
  if (!label.empty()) label += ' ';
  return label;
}

std::string var_text(int var, const char *units) {
  char buf[sizeof(GridRecord::info)];
  VAR_str(buf, var, units);
  return buf;
}

std::string member_tag(int ens_type, int ens_id) {
  const char *format = nullptr;
  switch (ens_type) {
    case 1: format = "Ens[%d] "; break;
    case 2: format = "Ens[-%d] "; break;
    case 3: format = "Ens[+%d] "; break;
    case 4: format = "Ens[c%d] "; break;
    case 5: format = "Ens[w%d] "; break;
    default: return "";
  }
  char buf[32];
  format_text(buf, sizeof buf, format, ens_id);
  return buf;
}

void label_member(GridRecord *rec, const GribDecoder &dec) {
  const std::string info = level_label(*rec) + member_tag(dec.ens_type, dec.ens_id) + var_text(rec->var, rec->units);
  copy_text(rec->info, info.c_str());
  const int64_t code = int64_t{kMemberBase} + (int64_t{dec.ens_type} - 1) * 20000 + int64_t{dec.ens_id} * 1000 + rec->var;
  rec->var = static_cast<int32_t>(code);
}

void label_statistic(GridRecord *rec, int base, const char *tag) {
  rec->var = static_cast<int32_t>(int64_t{rec->var} + base);
  const std::string info = level_label(*rec) + tag + var_text(rec->var, rec->units);
  copy_text(rec->info, info.c_str());
}

// Threshold packed into the last digits of a probability code: non-negative
// codes as they are, negative ones above 5000.
int threshold_code(float threshold) {
  const int t = float2int(threshold);
  return t >= 0 ? t : 5000 - t;
}

// The threshold clause of a probability type: " below", " above" or " in"
// with the threshold written first and, for a range, the second one.
// Unknown types have no clause.
struct ThresholdClause {
  const char *word = nullptr;
  float first = 0.0f;
  float second = 0.0f;
  bool range = false;
};

ThresholdClause threshold_clause(const GribDecoder &dec) {
  const float low = dec.ens_prob_low;
  const float up = dec.ens_prob_up;
  switch (dec.ens_prob_type) {
    case 1: case 4: return {" below", low, 0.0f, false};
    case 2: case 5: return {" above", up, 0.0f, false};
    case 3: case 6: return {" in", low, up, true};
    case 7: return {" above", low, 0.0f, false};
    case 8: return {" below", up, 0.0f, false};
    default: return {};
  }
}

std::string threshold_text(const ThresholdClause &clause) {
  if (clause.word == nullptr) return "";
  char buf[96];
  if (clause.range) {
    format_text(buf, sizeof buf, "%s %.2f-%.2f", clause.word, double(clause.first), double(clause.second));
  } else {
    format_text(buf, sizeof buf, "%s %.2f", clause.word, double(clause.first));
  }
  return buf;
}

void label_probability(GridRecord *rec, const GribDecoder &dec) {
  const char *kind = dec.ens_prob_type >= 4 ? "Prob (%) "
                     : rec->var == kProbVar ? "Ens prob (%) "
                                            : "Ens norm prob (%) ";
  std::string info = level_label(*rec) + kind + var_text(dec.ens_prob_var, nullptr);
  int64_t code = int64_t{rec->var} * 10000000 + int64_t{dec.ens_prob_var} * 10000 + int64_t{dec.ens_prob_type} * 1000;
  const ThresholdClause clause = threshold_clause(dec);
  info += threshold_text(clause);
  if (clause.word != nullptr) code += threshold_code(clause.first);
  if (rec->units[0] != '\0') info += std::string(" ") + rec->units;
  copy_text(rec->info, info.c_str());
  copy_text(rec->units, "%");
  rec->var = static_cast<int32_t>(code);
}

}  // namespace

int GRIB_set_var(GridRecord *rec) {
  if (rec == nullptr) return 0;
  const GribDecoder &dec = grib_decoder();
  if (dec.ens == 1 && dec.ens_prod == kEnsMember) {
    label_member(rec, dec);
  } else if (dec.ens == 1 && dec.ens_prod == kEnsMean) {
    label_statistic(rec, kMeanBase, "Ens mean ");
  } else if (dec.ens == 1 && (dec.ens_prod == kEnsSpreadFirst || dec.ens_prod == kEnsSpreadLast)) {
    label_statistic(rec, kSpreadBase, "Ens std dev ");
  } else if (rec->var == kProbVar || rec->var == kNormProbVar) {
    label_probability(rec, dec);
  } else {
    VAR_make_datatype(rec->time, rec->ltype, rec->level, rec->var, rec->units, rec->info);
  }
  return 0;
}
