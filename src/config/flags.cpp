// Program flags: thirty integer slots through which option conversion hands
// settings (batch mode, help, overwrite policy, ...) to the code that uses them,
// and the thirteen plot-component switches.
#include "config/config.h"

namespace {

constexpr int kFlagSlots = 30;
constexpr int kPlotSlots = 13;

struct FlagState {
  int flags[kFlagSlots];
  int plot_it[kPlotSlots];
  FlagState() {
    for (int &f : flags) f = -9999;
    for (int &p : plot_it) p = 1;
  }
};

FlagState state;

bool valid_slot(int slot) { return slot >= 0 && slot < kFlagSlots; }

// Slot 0 is the sum of the six text corners, slot 12 the sum of slots 0 to 11.
void recompute_plot_sums() {
  int text = 0;
  for (int i = 1; i <= 6; ++i) text += state.plot_it[i];
  state.plot_it[0] = text;
  int all = 0;
  for (int i = 0; i <= 11; ++i) all += state.plot_it[i];
  state.plot_it[12] = all;
}

}  // namespace

int FLAG_get(int slot) { return valid_slot(slot) ? state.flags[slot] : 0; }

int FLAG_set(int slot, int value) {
  if (!valid_slot(slot)) return -1;
  state.flags[slot] = value;
  return 0;
}

int FLAG_reset(int value) {
  for (int &f : state.flags) f = value;
  return 0;
}

int FLAG_batch() { return state.flags[19] > 0; }

int FLAG_help() { return state.flags[20] > 0; }

int FLAG_setplot(int slot, int value) {
  if (slot < 0 || slot >= kPlotSlots) return -1;
  state.plot_it[slot] = value;
  if (slot == 12) {
    for (int i = 0; i <= 11; ++i) state.plot_it[i] = value;
  } else if (slot == 0) {
    for (int i = 1; i <= 6; ++i) state.plot_it[i] = value;
  }
  recompute_plot_sums();
  return 0;
}

int FLAG_resetplot(int value) {
  for (int &p : state.plot_it) p = value;
  return 0;
}

int FLAG_getplot(int slot) { return (slot >= 0 && slot < kPlotSlots) ? state.plot_it[slot] : 0; }
