// Process-wide services: the version text, the one exit routine, and the
// interactive prompts, which also take "set" (show or change resources) and
// "exit" (end the run) in place of an answer.
#include "config/config.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>

#include "files/files.h"

#ifndef KVZ_VERSION_TEXT
#define KVZ_VERSION_TEXT "0.0.0-unknown-tty"
#endif

namespace {

constexpr int kPromptLine = 79;

struct ServiceState {
  std::string answer;  // answer of a prompt asked without a caller buffer
};

ServiceState services;

// Reads one reply line of at most 79 characters from standard input; the rest of
// an over-long line is dropped.  Returns false at the end of input.
bool read_reply(char (&line)[kPromptLine + 1]) {
  if (!fgets(line, sizeof line, stdin)) return false;
  if (!strchr(line, '\n')) {
    int c;
    while ((c = getchar()) != EOF && c != '\n') {
    }
  }
  wstrim_string(line);
  return true;
}

}  // namespace

const char *KVZ_version() { return KVZ_VERSION_TEXT; }

void KVZ_exit(int code) {
  fflush(stdout);
  fflush(stderr);
  std::exit(code);
}

char *KVZ_prompts(const char *prompt, char *answer, int size) {
  if (!answer) {
    services.answer.assign(static_cast<size_t>(size > 0 ? size : 1) + 1, '\0');
    answer = services.answer.data();
  }
  const int width = size < 2 ? 1 : size - 1;
  char format[16];
  format_text(format, sizeof format, "%%%ds", width);
  char line[kPromptLine + 1];
  for (;;) {
    answer[0] = '\0';
    MESS_print(0xF, "%s", prompt);
    fflush(stdout);
    if (!read_reply(line)) return answer;
    if (sscanf(line, format, answer) != 1) {
      answer[0] = '\0';
      return answer;
    }
    if (KVZ_set_command(line) != 1) return answer;
  }
}

float KVZ_promptf(const char *prompt) {
  char line[kPromptLine + 1];
  for (;;) {
    float value = 0;
    MESS_print(0xF, "%s", prompt);
    fflush(stdout);
    if (!read_reply(line)) return 0;
    if (KVZ_set_command(line) == 1) continue;
    char word[2];
    if (sscanf(line, "%1s", word) != 1) return 0;  // empty reply
    if (sscanf(line, "%f", &value) == 1) return value;
  }
}

int KVZ_set_command(const char *line) {
  if (strncasecmp(line, "set", 3) == 0) {
    char name[24] = "";
    int n = 0;
    if (sscanf(line, "%*s %23[^= ]%*[= ]%n", name, &n) >= 1 && name[0]) {
      RES_put(name, n > 0 ? line + n : "");
    } else {
      MESS_print(0x800, "Set resources\n");
      RES_list();
      MESS_print(0x800, "\n");
    }
    return 1;
  }
  if (strncasecmp(line, "exit", 4) == 0) KVZ_exit(0);
  return 0;
}
