// Turning a decoded GRID bulletin into a grid: its quadrant's place on the
// 5-degree latitude-longitude grid, the values from the coded integers (scale
// and reference, or wind direction and speed split into components), and the
// pairing of consecutive wind bulletins into u and v.
#include <cmath>

#include "grid/bulletin.h"

int bulletin_pair_var(int var, int *wind_state) {
  if (var != kBulletinWind) {
    *wind_state = 0;
    return var;
  }
  switch (*wind_state) {
    case 0:
      *wind_state = 1;
      return kBulletinWindU;
    case 1:
      *wind_state = 2;
      return kBulletinWindV;
    default:
      *wind_state = 2;  // further wind bulletins keep the combined values
      return kBulletinWind;
  }
}

void bulletin_values(const Bulletin &b, int var_out, std::vector<float> *values) {
  const bool wind = b.var == kBulletinWind && (var_out == kBulletinWindU || var_out == kBulletinWindV);
  constexpr double kRadian = M_PI / 180.0;
  values->resize(b.coded.size());
  for (size_t i = 0; i < b.coded.size(); ++i) {
    const int v = b.coded[i];
    double x = v * b.scale + b.reference;
    if (wind) {
      // v = direction in whole degrees * 100 + speed; the components point where the wind blows to.
      const double speed = v % 100, direction = (v / 100) * kRadian;
      x = -speed * (var_out == kBulletinWindU ? std::sin(direction) : std::cos(direction));
    }
    (*values)[i] = static_cast<float>(x);
  }
}

bool bulletin_domain(int quadrant, Domain *d) {
  if (quadrant < 1 || quadrant > kBulletinQuadrants) return false;
  static const float kLat[3] = {55.0f, 0.0f, -55.0f};
  static const float kLon[4] = {-45.0f, -135.0f, 135.0f, 45.0f};
  DOM_init(*d);
  d->proj = DOM_PROJ_LATLON;
  d->clat = kLat[(quadrant - 1) / 4];
  d->clon = kLon[(quadrant - 1) % 4];
  d->plon = d->clon;
  d->dx = d->dy = 5.0f;
  d->nx = kBulletinNx;
  d->ny = kBulletinNy;
  return true;
}
