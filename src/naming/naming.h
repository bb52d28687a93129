// Variable, level and time naming: the package's code spaces for models,
// variables, level types and time ranges, and their short and long texts
// read from the lookup tables "variable.lup" and "mod_name.lup".
#ifndef KVZ_NAMING_NAMING_H
#define KVZ_NAMING_NAMING_H

#include <cstddef>
#include <cstdint>
#include <vector>

// One line of the variable table: the variable number and up to four further
// numbers (-9999 when absent), the abbreviation users type and the description
// used in labels.
struct VarEntry {
  int num[5];
  char abbr[10];
  char desc[50];
};
constexpr int VAR_MAX_ENTRIES = 750;  // lines of the variable table kept at most

// Every text maker writes at most size-1 characters, always terminates the
// buffer, and returns it.  The overloads for arrays pass their bound themselves.
int VAR_read_varfile();
int VAR_search_var_num(const char *abbr);
const char *VAR_model(char *buf, size_t size, int model_key);
const char *VAR_abbr(char *buf, size_t size, int var);
const char *VAR_str(char *buf, size_t size, int var, const char *units);
const char *VAR_time(char *buf, size_t size, int time_code);
const char *VAR_level(char *buf, size_t size, int ltype, int level);
int VAR_make_datalevel(int time_code, int ltype, int level, char *buf, size_t size);
int VAR_make_datatype(int time_code, int ltype, int level, int var, const char *units, char *buf, size_t size);
int VAR_set_model_str(const char *text);

// The variable table in file order, read on first use (and tried again while
// it could not be opened).  The selection decoders search it directly.
const std::vector<VarEntry> &VAR_var_list();

// Forgets the tables read and the model text: the next lookup reads the
// tables again (tests, and a fresh start).
void VAR_reset();

// The label style: negative shows abbreviations instead of descriptions, below
// -1 or above 1 leaves out the level and time part of a full label.  This
// program always uses style 0.
int PLT_get_label_type();

template <size_t N> const char *VAR_model(char (&buf)[N], int key) { return VAR_model(buf, N, key); }
template <size_t N> const char *VAR_abbr(char (&buf)[N], int var) { return VAR_abbr(buf, N, var); }
template <size_t N> const char *VAR_str(char (&buf)[N], int var, const char *units) {
  return VAR_str(buf, N, var, units);
}
template <size_t N> const char *VAR_time(char (&buf)[N], int t) { return VAR_time(buf, N, t); }
template <size_t N> const char *VAR_level(char (&buf)[N], int ltype, int level) {
  return VAR_level(buf, N, ltype, level);
}
template <size_t N> int VAR_make_datalevel(int t, int ltype, int level, char (&buf)[N]) {
  return VAR_make_datalevel(t, ltype, level, buf, N);
}
template <size_t N> int VAR_make_datatype(int t, int ltype, int level, int var, const char *units, char (&buf)[N]) {
  return VAR_make_datatype(t, ltype, level, var, units, buf, N);
}

// ---- selections: time, level and variable texts ------------------------------

// The selection record: the grids a selection asks for.  The members start
// "nothing asked for", so a default-constructed record is ready to fill.
struct GridSpec {
  int32_t data_type = -9999;  // kind of data asked for (2 plain grid, 40 by number, 10-23 grid math)
  char text[20] = "";         // the variable text, or the description of a variable given by number
  char units[16] = "";        // units wanted for the values; empty keeps the grid's own
  int32_t var[5] = {-9999, -9999, -9999, -9999, -9999};  // variable codes wanted; -9999 unused
  int32_t time = -9999;       // time code wanted
  int32_t ltype = -9999;      // level type wanted
  int32_t level = -9999;      // level value wanted
  int32_t fl = 0;             // its last decimal digit selects how data_type is chosen
};

// "12", "2day", "12-6acc", "h24-24avg", "anal-6acc", "time-6", "miss": 0 when
// not understood (time untouched), 1 relative to the default time, 2 otherwise.
int VAR_dec_time(const char *text, int *time);
// "500mb", "p1000-500", "sfc-500mb", "2m_ag", "0.5sig", "trop+500m", keywords:
// 1 when the defaults were taken, otherwise 2.
int VAR_dec_level(const char *text, int *ltype, int *level);
// "tmp", "11", "ens[+2]t", "ensmean[]hgt", "thick-hgt": fills data_type, text
// and var; returns var[0], 1 for a text starting with "#", 0 for an empty text.
int VAR_dec_var(const char *text, GridSpec *wanted);

// The kind of grid math function named before the first "-" of a variable
// text (10 arithmetic, 20 wind, 21 vector, 23 streamlines), or 0.
int GRD_is_math_func(const char *text);

// ---- units conversion ---------------------------------------------------------

// The value in the target units, through the factors written in the texts
// ("100 Pa", "10^3 m", "-") and the table "units.lup".  -9999 stays -9999; an
// empty target keeps the value.
float UNIT_cvt(float value, const char *from, const char *to);
// Splits "name (units)": the name trimmed, the units inside the parentheses;
// both cut at their buffer's bound.  Returns 0.
int UNIT_parse(const char *label, char *name, size_t name_size, char *units, size_t units_size);
// Rewrites the label in place as "name (units)"; returns 0.
int UNIT_change(char *label, size_t size, const char *units);
// Forgets the conversion table read and the last conversion (tests).
void UNIT_reset();

template <size_t N, size_t M> int UNIT_parse(const char *label, char (&name)[N], char (&units)[M]) {
  return UNIT_parse(label, name, N, units, M);
}
template <size_t N> int UNIT_change(char (&label)[N], const char *units) { return UNIT_change(label, N, units); }

#endif
