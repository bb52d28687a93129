// Loading the netCDF library on first use (see netcdf_library.h).
#define KVZ_NETCDF_LOADER
#include "grid/netcdf_library.h"

#include <dlfcn.h>

#include "config/config.h"

namespace {

// What a function gives when the library is not there.
template <typename R>
R failure();
template <>
int failure<int>() {
  return NC_ENOTBUILT;
}
template <>
const char *failure<const char *>() {
  return "the netCDF library cannot be loaded";
}

template <typename F>
struct Missing;
template <typename R, typename... A>
struct Missing<R (*)(A...)> {
  static R call(A...) { return failure<R>(); }
};

template <typename F>
F find(void *library, const char *name) {
  void *symbol = library ? dlsym(library, name) : nullptr;
  return symbol ? reinterpret_cast<F>(symbol) : &Missing<F>::call;
}

NetcdfLibrary load() {
  void *library = dlopen(KVZ_NETCDF_LIBRARY_NAME, RTLD_NOW | RTLD_GLOBAL);
  if (!library) library = dlopen("libnetcdf.so", RTLD_NOW | RTLD_GLOBAL);
  if (!library) MESS_print(0xC0, "The netCDF library cannot be loaded: %s\n", dlerror());
  NetcdfLibrary lib{};
#define KVZ_NETCDF_FIND(name) lib.name = find<decltype(&::name)>(library, #name);
  KVZ_NETCDF_FUNCTIONS(KVZ_NETCDF_FIND)
#undef KVZ_NETCDF_FIND
  return lib;
}

}  // namespace

const NetcdfLibrary &netcdf_library() {
  static const NetcdfLibrary lib = load();
  return lib;
}
