// Input set-up: the model and its naming convention from the "model" resource
// and the model table, the input file type from "in_file" and "input"
// (program flag 17), and the selection text from "grid_num".
#include <cstdio>
#include <cstring>
#include <strings.h>

#include "config/config.h"
#include "files/files.h"
#include "grid/grid.h"
#include "naming/naming.h"

namespace {

// One piece of a model that comes as several grid files.
struct GridPiece {
  int32_t column = 0;
  int32_t row = 0;
  int32_t type = -9999;
  char name[20] = "";
};

struct InputState {
  std::vector<GridPiece> grid_spec;  // the pieces of the chosen model
  int nx = 1;                        // piece columns and rows
  int ny = 1;
};

InputState input;

// Reads the next token of the model table, passing over "#" comments.
bool next_token(FILE *fp, std::string &token) {
  char word[256];
  while (fscanf(fp, "%255s", word) == 1) {
    if (word[0] != '#') {
      token = word;
      return true;
    }
    if (fscanf(fp, "%*[^\n]") == EOF) return false;
  }
  return false;
}

void store_pieces(const std::string &layout, const std::string &list, int default_type) {
  input.nx = input.ny = 1;
  sscanf(layout.c_str(), "%dx%d", &input.nx, &input.ny);
  if (input.nx < 1) input.nx = 1;
  int count = 0;
  std::vector<std::string> pieces;
  parse_string(list.c_str(), ',', &count, &pieces);
  input.grid_spec.clear();
  for (int i = 0; i < count; ++i) {
    GridPiece p;
    p.column = i % input.nx;
    p.row = i / input.nx;
    std::string name = pieces[i];
    const size_t hash = name.find('#');
    p.type = default_type;
    if (hash != std::string::npos) {
      sscanf(name.c_str() + hash + 1, "%d", &p.type);
      name.resize(hash);
    }
    copy_text(p.name, name.c_str());
    input.grid_spec.push_back(p);
  }
  if (!input.grid_spec.empty()) FILE_set_name(input.grid_spec[0].name);
}

// Looks the model up in the model table; true when it names pieces there.
bool model_from_table(FILE *fp, const char *model, int default_type) {
  if (!fp) return false;
  rewind(fp);
  std::string name, layout, list;
  while (next_token(fp, name) && next_token(fp, layout) && next_token(fp, list)) {
    if (strcasecmp(name.c_str(), model) == 0) {
      store_pieces(layout, list, default_type);
      return true;
    }
  }
  return false;
}

void model_convention(const char *model) {
  static const struct { const char *name; int code; const char *convention; } models[] = {
      {"ngm", 2, "grib_ngm"},  {"ngme", 2, "grib_ngme"}, {"eta", 3, "grib_eta"},     {"ruc", 4, "grib_ruc"},
      {"lfm", 1, "grib_lfm"},  {"avn", 15, "grib_avn"},  {"mrf", 15, "grib_mrf"},    {"ecmwf", 20, "grib_ecmwf"},
      {"sww", 31, "grib_sww"}, {"sst", 32, "grib_sst"},  {"sca", 33, "grib_sca"},
  };
  for (const auto &m : models)
    if (strcasecmp(model, m.name) == 0) {
      FLAG_set(4, m.code);
      FILE_set_name(m.convention);
      return;
    }
  char convention[80];
  format_text(convention, sizeof convention, "grib_%s", model);
  FILE_set_name(convention);
}

void apply_input_items() {
  int count = 0;
  std::vector<std::string> items;
  RES_getvals("in_file", &count, &items);
  for (const std::string &item : items) {
    const char *s = item.c_str();
    if (!strncasecmp(s, "kvz", 3)) {
      FLAG_set(17, 3);
    } else if (!strncasecmp(s, "cdf", 3)) {
      FLAG_set(17, 12);
    } else if (!strcasecmp(s, "grib")) {
      FLAG_set(17, 23);
    } else {
      FILE_set_name(s);
      if (!input.grid_spec.empty()) copy_text(input.grid_spec[0].name, s);
    }
  }
  RES_getvals("input", &count, &items);
  for (const std::string &item : items) {
    const char *s = item.c_str();
    if (!strcasecmp(s, "kvz")) FLAG_set(17, 3);
    else if (!strcasecmp(s, "cdf")) FLAG_set(17, 12);
    else if (!strcasecmp(s, "grib")) FLAG_set(17, 23);
  }
}

FILE *open_model_table() {
  std::string path;
  FILE_add_path(RES_get("file_path"), "model.lup", path);
  return FILE_open(path.c_str(), "r");
}

}  // namespace

int GRD_in_file() {
  FILE_set_type(1);  // grid file names may carry a selection after them ("eta.grb#212")
  VAR_set_model_str("ngm");
  FILE *table = open_model_table();
  std::string default_model = "ngm";
  if (table) {
    std::string first;
    if (next_token(table, first)) default_model = first;
    VAR_set_model_str("ngm");
  }
  int default_type = -9999;
  RES_getval("grid_type", &default_type, 2);
  const char *model = RES_get("model");
  bool pieces = false;
  if (model) {
    VAR_set_model_str(model);
    input.grid_spec.clear();
    pieces = model_from_table(table, model, default_type);
  }
  if (!pieces) model_convention(model ? model : default_model.c_str());
  if (table) FILE_close(table);
  apply_input_items();
  if (const char *num = RES_get("grid_num")) FILE_set_ext_info(num);
  return 0;
}
