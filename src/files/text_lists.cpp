// Splitting a text into a list at a separator, and the in-place text edits
// (fill, trim, line-end removal, lower case) the table readers rely on.
#include "files/files.h"

#include <cstring>

int parse_string(const char *text, char sep, int *count, std::vector<std::string> *list) {
  if (count != nullptr) *count = 0;
  if (list != nullptr) list->clear();
  if (text == nullptr || text[0] == '\0' || count == nullptr || list == nullptr) return -1;

  std::string copy(text);
  while (!copy.empty() && copy.back() == sep) copy.pop_back();

  // Every separator left ends one item; empty items are kept.
  size_t start = 0;
  for (size_t pos = copy.find(sep); pos != std::string::npos; pos = copy.find(sep, start)) {
    list->push_back(copy.substr(start, pos - start));
    start = pos + 1;
  }
  list->push_back(copy.substr(start));
  *count = static_cast<int>(list->size());
  return 0;
}

int free_parsed_array(int count, std::vector<std::string> *list) {
  if (count != 0 && list != nullptr) {
    list->clear();
    list->shrink_to_fit();
  }
  return 0;
}

int fill_string(char *text, char from, char to) {
  if (text == nullptr) return 0;
  for (; *text != '\0'; ++text) {
    if (*text == from) *text = to;
  }
  return 0;
}

namespace {

void trim_trailing(char *text, char what) {
  size_t length = std::strlen(text);
  while (length > 0 && text[length - 1] == what) text[--length] = '\0';
}

}  // namespace

int trim_string(char *text) {
  if (text != nullptr) trim_trailing(text, ' ');
  return 0;
}

int trim_cr_string(char *text) {
  if (text != nullptr) trim_trailing(text, '\r');
  return 0;
}

int wstrim_string(char *text) {
  if (text == nullptr) return 1;
  char *out = text;
  for (const char *in = text; *in != '\0'; ++in) {
    if (*in != '\n' && *in != '\r') *out++ = *in;
  }
  *out = '\0';
  trim_trailing(text, ' ');
  return 1;
}

int low_string(char *text) {
  if (text == nullptr || text[0] == '\0') return 0;
  for (; *text != '\0'; ++text) {
    if (*text >= 'A' && *text <= 'Z') *text = static_cast<char>(*text - 'A' + 'a');
  }
  return 1;
}
