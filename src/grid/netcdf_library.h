// The netCDF library, loaded when a netCDF file is first opened or created.
// Linking it would make every run load it and the thirty-odd libraries it
// needs (about 30 ms, longer than listing a small GRIB file); runs on other
// files now never load it.  Sources that use the library include this header
// after <netcdf.h> and call the functions by their usual names.
#pragma once

#include <netcdf.h>

#define KVZ_NETCDF_FUNCTIONS(X) \
  X(nc__create) \
  X(nc_close) \
  X(nc_create) \
  X(nc_def_dim) \
  X(nc_def_var) \
  X(nc_enddef) \
  X(nc_get_att_int) \
  X(nc_get_att_text) \
  X(nc_get_var1_double) \
  X(nc_get_var1_float) \
  X(nc_get_var1_short) \
  X(nc_get_var_double) \
  X(nc_get_vara_float) \
  X(nc_get_vara_text) \
  X(nc_inq_att) \
  X(nc_inq_attname) \
  X(nc_inq_dimid) \
  X(nc_inq_dimlen) \
  X(nc_inq_dimname) \
  X(nc_inq_format) \
  X(nc_inq_natts) \
  X(nc_inq_ndims) \
  X(nc_inq_nvars) \
  X(nc_inq_path) \
  X(nc_inq_unlimdim) \
  X(nc_inq_var) \
  X(nc_inq_vardimid) \
  X(nc_inq_varid) \
  X(nc_inq_varname) \
  X(nc_open) \
  X(nc_put_att_float) \
  X(nc_put_att_short) \
  X(nc_put_att_text) \
  X(nc_put_var1_float) \
  X(nc_put_var1_short) \
  X(nc_put_vara_float) \
  X(nc_put_vara_text) \
  X(nc_strerror)

struct NetcdfLibrary {
#define KVZ_NETCDF_POINTER(name) decltype(&::name) name;
  KVZ_NETCDF_FUNCTIONS(KVZ_NETCDF_POINTER)
#undef KVZ_NETCDF_POINTER
};

// The library's functions; when it cannot be loaded (said once at the warn
// level), functions that fail with NC_ENOTBUILT.
const NetcdfLibrary &netcdf_library();

#ifndef KVZ_NETCDF_LOADER
#define nc__create(...) netcdf_library().nc__create(__VA_ARGS__)
#define nc_close(...) netcdf_library().nc_close(__VA_ARGS__)
#define nc_create(...) netcdf_library().nc_create(__VA_ARGS__)
#define nc_def_dim(...) netcdf_library().nc_def_dim(__VA_ARGS__)
#define nc_def_var(...) netcdf_library().nc_def_var(__VA_ARGS__)
#define nc_enddef(...) netcdf_library().nc_enddef(__VA_ARGS__)
#define nc_get_att_int(...) netcdf_library().nc_get_att_int(__VA_ARGS__)
#define nc_get_att_text(...) netcdf_library().nc_get_att_text(__VA_ARGS__)
#define nc_get_var1_double(...) netcdf_library().nc_get_var1_double(__VA_ARGS__)
#define nc_get_var1_float(...) netcdf_library().nc_get_var1_float(__VA_ARGS__)
#define nc_get_var1_short(...) netcdf_library().nc_get_var1_short(__VA_ARGS__)
#define nc_get_var_double(...) netcdf_library().nc_get_var_double(__VA_ARGS__)
#define nc_get_vara_float(...) netcdf_library().nc_get_vara_float(__VA_ARGS__)
#define nc_get_vara_text(...) netcdf_library().nc_get_vara_text(__VA_ARGS__)
#define nc_inq_att(...) netcdf_library().nc_inq_att(__VA_ARGS__)
#define nc_inq_attname(...) netcdf_library().nc_inq_attname(__VA_ARGS__)
#define nc_inq_dimid(...) netcdf_library().nc_inq_dimid(__VA_ARGS__)
#define nc_inq_dimlen(...) netcdf_library().nc_inq_dimlen(__VA_ARGS__)
#define nc_inq_dimname(...) netcdf_library().nc_inq_dimname(__VA_ARGS__)
#define nc_inq_format(...) netcdf_library().nc_inq_format(__VA_ARGS__)
#define nc_inq_natts(...) netcdf_library().nc_inq_natts(__VA_ARGS__)
#define nc_inq_ndims(...) netcdf_library().nc_inq_ndims(__VA_ARGS__)
#define nc_inq_nvars(...) netcdf_library().nc_inq_nvars(__VA_ARGS__)
#define nc_inq_path(...) netcdf_library().nc_inq_path(__VA_ARGS__)
#define nc_inq_unlimdim(...) netcdf_library().nc_inq_unlimdim(__VA_ARGS__)
#define nc_inq_var(...) netcdf_library().nc_inq_var(__VA_ARGS__)
#define nc_inq_vardimid(...) netcdf_library().nc_inq_vardimid(__VA_ARGS__)
#define nc_inq_varid(...) netcdf_library().nc_inq_varid(__VA_ARGS__)
#define nc_inq_varname(...) netcdf_library().nc_inq_varname(__VA_ARGS__)
#define nc_open(...) netcdf_library().nc_open(__VA_ARGS__)
#define nc_put_att_float(...) netcdf_library().nc_put_att_float(__VA_ARGS__)
#define nc_put_att_short(...) netcdf_library().nc_put_att_short(__VA_ARGS__)
#define nc_put_att_text(...) netcdf_library().nc_put_att_text(__VA_ARGS__)
#define nc_put_var1_float(...) netcdf_library().nc_put_var1_float(__VA_ARGS__)
#define nc_put_var1_short(...) netcdf_library().nc_put_var1_short(__VA_ARGS__)
#define nc_put_vara_float(...) netcdf_library().nc_put_vara_float(__VA_ARGS__)
#define nc_put_vara_text(...) netcdf_library().nc_put_vara_text(__VA_ARGS__)
#define nc_strerror(...) netcdf_library().nc_strerror(__VA_ARGS__)
#endif
