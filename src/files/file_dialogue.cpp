// Choosing the input file: the first file name given, the "current" option,
// the latest file in batch mode, or an answer typed at a prompt after a
// listing of the available files.  The run ends here when no file is found.
#include <cstdio>

#include "config/config.h"
#include "files/files.h"
#include "files/names_internal.h"

namespace {

constexpr int kTries = 4;
constexpr int kAnswerSize = 79;  // answers of up to 78 characters
constexpr uint32_t kPrint = 0xF;
constexpr uint32_t kWarn = 0xC0;
constexpr uint32_t kMess = 0xF00;

void give_result(const std::string &name, std::string *result) {
  kvz_names::template_state().filename = name;
  if (result) *result = name;
}

// The file of a time selection; one that is not there ends the run, and so
// does a selection without a template to make a name from.
int take_selected(const char *selection, std::string *result) {
  if (kvz_names::convention().empty()) {
    MESS_print(kWarn, "No file name given\n");
    KVZ_exit(10);
  }
  std::string name;
  kvz_names::set_current(selection, name);
  give_result(name, result);
  if (!FILE_exist(name.c_str())) {
    MESS_print(kWarn, "File not found: %s\n", name.c_str());
    KVZ_exit(10);
  }
  MESS_print(kMess, "Current filename: %s\n", name.c_str());
  return 1;
}

int take_argument(const std::string &item, std::string *result) {
  if (kvz_names::equals_nocase(item, "list")) {
    FILE_list_file();
    KVZ_exit(0);
  }
  kvz_names::template_state().filename_type = 1;
  std::string name;
  FILE_set_file(item.c_str(), &name);
  give_result(name, result);
  return FILE_exist(name.c_str());
}

std::string select_by_time(const char *selection) {
  std::string name;
  kvz_names::set_current(selection, name);
  MESS_print(kMess, "Current filename: %s\n", name.c_str());
  return name;
}

// The file an answer names.  An answer that names an existing file is that
// file, even when it begins like a selection ("latest.grb").
std::string answer_to_name(const std::string &answer) {
  std::string name;
  if (!kvz_names::names_existing_object(answer)) {
    if (answer[0] == '#') return select_by_time(answer.c_str());
    if (kvz_names::starts_with_nocase(answer, "cu")) return select_by_time(answer.c_str() + 2);
    if (kvz_names::starts_with_nocase(answer, "la")) return select_by_time(answer.c_str());
  }
  FILE_set_file(answer.c_str(), &name);
  return name;
}

[[noreturn]] void end_of_input() {
  MESS_print(kPrint, "\n");
  MESS_print(kWarn, "No file name given: end of input\n");
  KVZ_exit(10);
}

// Asks up to four times.  "list" shows the files again without using a try;
// an empty answer names no file (it would mean standard input).
int ask(const char *prompt, std::string *result) {
  MESS_print(kPrint, "List of available files:\n");
  FILE_list_file();
  MESS_print(kPrint, "\n");
  for (int tries = 0; tries < kTries;) {
    kvz_names::template_state().filename_type = 1;
    char answer[kAnswerSize] = "";
    KVZ_prompts(prompt ? prompt : "", answer, kAnswerSize);
    const std::string text = answer;
    if (text.empty() && std::feof(stdin)) end_of_input();
    if (kvz_names::equals_nocase(text, "exit")) KVZ_exit(0);
    if (kvz_names::equals_nocase(text, "list")) {
      FILE_list_file();
      continue;
    }
    ++tries;
    if (text.empty()) {
      MESS_print(kWarn, "No file name given\n");
      continue;
    }
    const std::string name = answer_to_name(text);
    give_result(name, result);
    if (FILE_exist(name.c_str())) return 1;
    MESS_print(kWarn, "File not found: %s\n", name.c_str());
  }
  KVZ_exit(10);
}

}  // namespace

int FILE_get_file(const char *prompt, std::string *result) {
  int count = 0;
  std::vector<std::string> items;
  RES_getvals("filename", &count, &items);
  if (count > 0) return take_argument(items[0], result);
  const char *current = RES_get("current");
  if (current != nullptr) return take_selected(current, result);
  if (FLAG_batch()) return take_selected("la", result);
  return ask(prompt, result);
}
