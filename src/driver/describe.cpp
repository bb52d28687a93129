// The description of one grid in the listing, at each message level.
#include "config/config.h"
#include "domain/domain.h"
#include "driver/driver_internal.h"
#include "naming/naming.h"

namespace {

constexpr uint32_t kOut1a = 0x1000, kOut2a = 0x10000, kOut3a = 0x100000;
constexpr uint32_t kOut4a = 0x1000000, kOut4b = 0x2000000;
// The header dump is switched on by out4 b; its lines show at out4 b as well as
// at debug c, so the dump that "-me out4" asks for is seen.
constexpr uint32_t kDump = kOut4b | 0x40000000;

// The first 120 bytes of the grid's product, ten to a row; only the first four
// are ever shown as characters.
void header_dump(int handle) {
  unsigned char buf[160] = {};
  GRD_get_header(handle, buf);
  MESS_print(kDump, "     HEADER DUMP:\n");
  MESS_print(kDump, "           0   1   2   3   4   5   6   7   8   9\n");
  MESS_print(kDump, "      00: ");
  for (int k = 0; k < 120; ++k) {
    const unsigned char b = buf[k];
    if (k < 4 && b >= 0x20 && b <= 0x7E) MESS_print(kDump, " %c  ", b);
    else if (b == '\n') MESS_print(kDump, "[0A]");
    else MESS_print(kDump, "[%2.2X]", b);
    if (k % 10 == 9 && k < 110) MESS_print(kDump, "\n     %3d: ", k + 1);
  }
  MESS_print(kDump, "\n");
}

}  // namespace

void describe_grid(int handle, int number, GridRecord &g) {
  MESS_print(kOut1a, "%3d: ", number);
  GRD_print_info(kOut2a, &g, 0);
  if (MESS_check(kOut3a)) {
    char model[40], time[40], level[40], abbr[40];
    MESS_print(kOut3a, "     Model: %-4s ", VAR_model(model, GRD_model_key(&g)));
    MESS_print(kOut3a, "Time: %-12s ", VAR_time(time, g.time));
    MESS_print(kOut3a, "Level: %-12s ", VAR_level(level, g.ltype, g.level));
    MESS_print(kOut3a, "Variable: %-7s Units: %s\n", VAR_abbr(abbr, g.var), g.units);
  }
  if (MESS_check(kOut4a)) {
    MESS_print(kOut4a, "     ");
    GRD_print_info(kOut4a, &g, 1);
  }
  if (g.domain.proj != -9999 && MESS_check(kOut4b)) {
    MESS_print(kOut4b, "     Proj: ");
    DOM_print(kOut4b, g.domain);
  }
  if (MESS_check(kOut4b)) header_dump(handle);
}
