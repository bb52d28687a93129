// Shared state and helpers of the file name modules: the name convention in
// force (name_conv.cpp), the template state and template items (templates.cpp,
// template_items.cpp), used by the matcher, the current-file selection, the
// input file dialogue and the file listing.  Private to src/files.
#ifndef KVZ_FILES_NAMES_INTERNAL_H
#define KVZ_FILES_NAMES_INTERNAL_H

#include <cstdint>
#include <string>

#include "date/date.h"

namespace kvz_names {

constexpr int kMissing = -9999;

// ---- the name convention in force (name_conv.cpp) ----------------------------
const std::string &convention();         // file name template; empty: none
const std::string &header_convention();  // header file name template; empty: none
const std::string &extension();          // the data set's extension text (%e)
void set_extension(const std::string &text);
int minimum_size();                      // a file must be larger to count as present
const std::string &key_value(char key);
int file_type();                         // 1: names may carry extra selection text
void set_ext_info(const std::string &text);
void reset_convention();  // back to the start-up state

// ---- template state (templates.cpp) -----------------------------------------
struct TemplateState {
  DateRec file_date;           // the date the current name stands for
  DateRec fixed;               // fixed time fields ("hour" option, '#' suffix)
  int late_off = 3600;         // period of the template in seconds; kMissing: none
  bool header = false;         // a header file name is being made
  std::string filename;        // the current data file name
  int filename_type = 0;       // 1: taken as given, 0: made from the template
};
TemplateState &template_state();

// Notes the period of one date item: the smaller period wins unless `force`.
void note_period(int64_t seconds, bool force);
// The step of a fixed field of -v ("every v units"), kept to a sane size.
int every_step(int fixed);

// ---- template items (template_items.cpp) ------------------------------------
// One '%' item of a template: '%', an optional number, a letter; or %{name}.
struct TemplateItem {
  char letter = 0;     // '{' for a %{name} item; 0 when the template ends after '%'
  int number = 0;      // the number given; 0 when none
  std::string name;    // resource name of a %{name} item
  size_t end = 0;      // template index after the item
};
TemplateItem read_item(const std::string &tmpl, size_t percent);

bool is_date_item(char letter);   // Y y m b d j h n
int date_item_width(char letter); // characters a date item takes in a name
const char *directory_resource(char letter);  // resource of a directory item, or nullptr
// A directory resource's value without a trailing '/', "." when it is not set.
std::string directory_value(const char *resource);
// The value of the resource of a %{name} item, "" when it is not set.
std::string resource_text(const std::string &name);

// Whether a name given by the user names an existing file system object
// (standard stream names do not count).
bool names_existing_object(const std::string &name);

// Case-insensitive helpers for the selection words.
bool starts_with_nocase(const std::string &text, const char *prefix);
bool equals_nocase(const std::string &text, const char *word);

// ---- selection (current_file.cpp) --------------------------------------------
// FILE_set_current's work on a std::string result.
int set_current(const char *text, std::string &result);

}  // namespace kvz_names

#endif
