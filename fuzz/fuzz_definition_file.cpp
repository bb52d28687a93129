// Definition files: every entry read with the tags a run may have set.
#include "config/config.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  kvzfuzz::init();
  const std::string path = kvzfuzz::scratch_file(".cfg", data, size);
  DEF_clr_tag();
  DEF_tag("rudevodu");
  DEF_tag("ncep");
  DEF_name("rudevodu");
  if (DEF_open(path.c_str()) != 0) return 0;
  char name[50];
  char value[200];
  for (int n = 0; n < 100000 && DEF_get(name, value) > 0; ++n) {
    DEF_valid(name);
    DEF_cmp("rudevodu.file_path", name);
    char parsed[50];
    DEF_parse_name(name, parsed);
  }
  DEF_close();
  return 0;
}
