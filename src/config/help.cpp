// The usage text: the syntax line and one help line per declared option.
#include "config/config.h"

#include <cstdio>

#include "config/config_internal.h"

int RES_help_item(int code) {
  const char *option = nullptr;
  const char *description = nullptr;
  if (!RES_help_text(code, &option, &description)) {
    printf("%d\n", code);
    return 1;
  }
  MESS_print(0xF, " %-10s  %s", option, description);
  return 1;
}

int RES_help_print(const char *name, const int *keyed, const int *positional) {
  MESS_print(0xF, "%s syntax (version:%s)\n", name, KVZ_version());
  MESS_print(0xF, "   %s [options...]\n", name);
  MESS_print(0xF, "Keyed options...\n");
  MESS_print(0xF, " %-10s  Resource/defaults file name\n", "-df file");
  MESS_print(0xF, " %-10s  Program name\n", "-na name");
  for (const int *c = keyed; c && *c; ++c) RES_help_item(*c);
  MESS_print(0xF, "Positional options...\n");
  for (const int *c = positional; c && *c; ++c) RES_help_item(*c);
  return 1;
}
