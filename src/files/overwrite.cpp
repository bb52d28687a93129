// The overwrite question: what to do with an output file that exists already,
// decided by the file policy, batch mode or the user's answer.
#include "files/files.h"

#include "config/config.h"

#include <vector>

namespace {

constexpr int kPolicyFlag = 15;  // program flag holding the "file_param" policy
constexpr int kAnswerSize = 9;   // answers are read up to 8 characters

// Asks the question for path and returns the first character of the answer.
char ask(const char *format, const char *path) {
  const int length = format_text(nullptr, 0, format, path);
  if (length < 0) return '\0';
  std::vector<char> prompt(static_cast<size_t>(length) + 1);
  format_text(prompt.data(), prompt.size(), format, path);
  char answer[kAnswerSize] = "";
  KVZ_prompts(prompt.data(), answer, kAnswerSize);
  return answer[0];
}

int decide(char first, bool may_append) {
  switch (first) {
    case 'Y': case 'y': case 'O': case 'o':
      return 1;
    case 'A': case 'a':
      return may_append ? 2 : 3;
    default:
      return 3;
  }
}

}  // namespace

int FILE_overwrite(const char *path, int type) {
  if (path == nullptr || FILE_is_stdio(path) || !FILE_exist(path)) return 1;
  const int policy = FLAG_get(kPolicyFlag);
  if (policy > 0) return policy;
  if (FLAG_batch()) return 3;
  if (type == 2) return decide(ask("%s: exists overwrite (Y,N,Use,Over,App): ", path), true);
  if (type == 1) return decide(ask("%s: exists overwrite (Y,N,Use,Over): ", path), false);
  return 0;
}
