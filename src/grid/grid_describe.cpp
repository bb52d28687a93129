// Describing a grid: its description label made on demand, and the one-line
// descriptions the listing prints in each style.
#include "config/config.h"
#include "grid/grid_state.h"
#include "naming/naming.h"

int GRD_model_key(const GridRecord *grid) {
  const int64_t key = static_cast<int64_t>(grid->source) * 1000 + grid->model;
  return key >= INT32_MIN && key <= INT32_MAX ? static_cast<int>(key) : -1;
}

int GRD_make_datatype(GridRecord *grid) {
  VAR_make_datatype(grid->time, grid->ltype, grid->level, grid->var, grid->units, grid->info);
  return 0;
}

namespace {

void make_labels(GridRecord *g, int model_key, bool with_date) {
  if (!g->info[0]) GRD_make_datatype(g);
  if (g->datim[0]) return;
  if (with_date) DATE_make_label_for_time(g->time, model_key, &g->base_date, g->datim);
  else DATE_make_label_for(g->time, g->model, 0, g->datim);
}

}  // namespace

int GRD_print_info(uint32_t level, GridRecord *g, int style) {
  if (!MESS_check(level)) return 0;
  switch (style) {
    case 0:
      make_labels(g, GRD_model_key(g), true);
      MESS_print(level, "%s-%s\n", g->datim, g->info);
      break;
    case 1:
      MESS_print(level, "Model: %d Ltype: %d Level: %d Var: %d [%s] Hour: %d Grid: %d\n", g->model, g->ltype,
                 g->level, g->var, g->units, g->time, g->type);
      break;
    case 2:
      if (g->domain.proj != -9999)
        MESS_print(level, "Proj: %d Lat: %3.2f Lon: %3.2f NX: %d NY: %d DX: %3.2f DY: %3.2f\n", g->domain.proj,
                   g->domain.clat, g->domain.clon, g->domain.nx, g->domain.ny, g->domain.dx, g->domain.dy);
      break;
    case 3:
      GRD_make_datatype(g);
      MESS_print(level, "%s\n", g->info);
      break;
    case -1:
      make_labels(g, g->model, true);
      MESS_print(level, "%s - %s\n", g->datim, g->info);
      break;
    case -2:
      make_labels(g, g->model, false);
      MESS_print(level, "%s - %s\n", g->datim, g->info);
      break;
    default:
      break;
  }
  return 0;
}
