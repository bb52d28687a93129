// Choosing the input grid file: the first name given on the command line (or
// in the resources), else a prompt.  The fixed file time of the "hour" option
// and the file date are kept here for the date-based file names.
#include <strings.h>

#include "config/config.h"
#include "date/date.h"
#include "files/files.h"

namespace {

struct FileChoiceState {
  std::string filename;
  DateRec set{-9999, -9999, -9999, -9999, -9999, -9999, -9999, 0};
};

FileChoiceState choice;

constexpr int kPromptTries = 4;

}  // namespace

int FILE_set_time(const DateRec &fixed) {
  choice.set = fixed;
  return 0;
}

const DateRec &FILE_get_set_time() { return choice.set; }

int FILE_get_file(const char *prompt, std::string *result) {
  int count = 0;
  std::vector<std::string> items;
  RES_getvals("filename", &count, &items);
  if (count > 0) {
    choice.filename = items[0];
    if (result) *result = choice.filename;
    return FILE_exist(choice.filename.c_str());
  }
  if (FLAG_batch()) {
    MESS_print(0xC0, "File not found: %s\n", "");
    KVZ_exit(10);
  }
  for (int tries = 0; tries < kPromptTries; ++tries) {
    char answer[79];
    KVZ_prompts(prompt, answer, sizeof answer);
    choice.filename = answer;
    if (result) *result = choice.filename;
    if (FILE_exist(answer)) return 1;
    MESS_print(0xC0, "File not found: %s\n", answer);
  }
  KVZ_exit(10);
}

int FILE_get_date(DateRec *date) {
  DATE_init(date);
  return 0;
}

int FILE_hdr_set_date(const DateRec * /*date*/, std::string *name) {
  // A grid file whose date is not known keeps its index beside it, under its own name.
  if (choice.filename.empty() || FILE_is_stdio(choice.filename.c_str())) return 0;
  *name = choice.filename + ".hdr";
  return 1;
}
