// Variable, level and time naming: the package's code spaces for models,
// variables, level types and time ranges, and their short and long texts
// read from the lookup tables "variable.lup" and "mod_name.lup".
#ifndef KVZ_NAMING_NAMING_H
#define KVZ_NAMING_NAMING_H

#include <cstddef>

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
