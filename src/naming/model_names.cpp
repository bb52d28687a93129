// Model names: the model name table "mod_name.lup" read once into memory and
// searched for a model key (source*1000 + model).  Lines read "source:model
// name" or "model name"; a line without a source names that model for any
// source, a line with one only for keys of that source.
#include <cstdio>
#include <string>
#include <vector>

#include "config/config.h"
#include "files/files.h"
#include "naming/naming.h"
#include "naming/naming_internal.h"

namespace {

constexpr int no_source = -1;
constexpr size_t line_chars = 80;  // characters of a table line that are read
constexpr size_t name_chars = 39;  // characters of a model name that are kept

struct ModelLine {
  int source;  // no_source when the line has none
  int model;
  std::string name;
};

struct ModelState {
  bool loaded = false;
  std::vector<ModelLine> lines;  // table lines in file order, up to the first blank line
};
ModelState state;

// Scans one table line.  Returns 1 for a model line, 0 for a line to pass
// over, -1 for a line without any field (which ends the table).
int scan_line(const std::string &text, ModelLine &out) {
  if (!text.empty() && text[0] == '#') return 0;
  std::string line = text.substr(0, line_chars);
  std::vector<char> name(line.size() + 1, '\0');
  int source = 0;
  int model = 0;
  const int got = std::sscanf(line.c_str(), "%d:%d %[^\n]", &source, &model, name.data());
  if (got == EOF) return -1;
  if (got == 3) {
    out = ModelLine{source, model, std::string()};
  } else if (got == 1 && std::sscanf(line.c_str(), "%d %[^\n]", &model, name.data()) == 2) {
    out = ModelLine{no_source, model, std::string()};
  } else {
    return 0;
  }
  out.name = naming_trim(name.data()).substr(0, name_chars);
  return 1;
}

bool load_table() {
  std::string path;
  const TableFile fp = naming_open_table("mod_name.lup", path);
  if (!fp) {
    MESS_print(0x40, "VAR_model: Unable to open file: %s\n", path.c_str());
    return false;
  }
  state.lines.clear();
  std::string text;
  while (read_whole_line(fp.get(), text)) {
    ModelLine line;
    const int kind = scan_line(text, line);
    if (kind < 0) break;
    if (kind > 0) state.lines.push_back(line);
  }
  state.loaded = true;
  return true;
}

}  // namespace

void naming_reset_models() { state = ModelState{}; }

const char *VAR_model(char *buf, size_t size, int model_key) {
  if (buf == nullptr || size == 0) return buf;
  buf[0] = '\0';
  if (!state.loaded && !load_table()) return buf;
  const int source = model_key > 1000 ? model_key / 1000 : no_source;
  const int model = model_key > 1000 ? model_key % 1000 : model_key;
  for (const ModelLine &line : state.lines) {
    if (line.model != model) continue;
    if (line.source != no_source && line.source != source) continue;
    copy_text(buf, size, line.name.c_str());
    return buf;
  }
  return buf;
}
