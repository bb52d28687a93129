// Variable, level and time naming: the package's code spaces for models,
// variables, level types and time ranges, and their short and long texts
// read from the lookup tables "variable.lup" and "mod_name.lup".
#ifndef KVZ_NAMING_NAMING_H
#define KVZ_NAMING_NAMING_H

#include <cstddef>
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

#endif
