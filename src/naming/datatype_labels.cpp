// Full labels: the long time-and-level text ("6 hour acc Surface") and the
// description label of a grid ("500 mb Temperature (K)"), the label style and
// the model text handed over by the grid selection.
#include <string>

#include "files/files.h"
#include "naming/naming.h"
#include "naming/naming_internal.h"

namespace {

constexpr size_t model_str_size = 20;

struct LabelState {
  char model_str[model_str_size] = "";
};
LabelState state;

std::string datalevel_text(int time_code, int ltype, int level) {
  return naming_period_long(time_code) + naming_level_long(ltype, level);
}

}  // namespace

void naming_reset_labels() { state = LabelState{}; }

int PLT_get_label_type() { return 0; }

int VAR_make_datalevel(int time_code, int ltype, int level, char *buf, size_t size) {
  if (buf == nullptr || size == 0) return -1;
  naming_finish(datalevel_text(time_code, ltype, level), buf, size);
  return 0;
}

int VAR_make_datatype(int time_code, int ltype, int level, int var, const char *units, char *buf, size_t size) {
  if (buf == nullptr || size == 0) return -1;
  std::string text;
  const int style = PLT_get_label_type();
  if (style >= -1 && style <= 1) {
    text = datalevel_text(time_code, ltype, level);
    if (!text.empty()) text += ' ';
  }
  char variable[128];
  VAR_str(variable, var, units);
  text += variable;
  naming_finish(text, buf, size);
  return 0;
}

int VAR_set_model_str(const char *text) {
  copy_text(state.model_str, text != nullptr ? text : "");
  return 0;
}
