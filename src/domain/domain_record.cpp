// The Domain record's initial state: every field missing, the earth a sphere.
#include "domain/domain.h"

int DOM_init(Domain &domain) {
  constexpr float missing = -9999.0f;
  domain.proj = DOM_PROJ_NONE;
  domain.plat = missing;
  domain.plon = missing;
  domain.param1 = missing;
  domain.param2 = missing;
  domain.param3 = missing;
  domain.param4 = missing;
  domain.param5 = missing;
  domain.clat = missing;
  domain.clon = missing;
  domain.dx = missing;
  domain.dy = missing;
  domain.nx = -9999;
  domain.ny = -9999;
  domain.ellipsoid = 0;
  return 0;
}
