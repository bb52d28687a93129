// Helpers shared by the naming sources: opening a lookup table along the
// "file_path" resource, bounded text building, and the short and long time
// and level texts that the label makers combine.
#ifndef KVZ_NAMING_NAMING_INTERNAL_H
#define KVZ_NAMING_NAMING_INTERNAL_H

#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>

#include "files/files.h"

// A table file opened by naming_open_table; closes itself.
struct TableCloser {
  void operator()(FILE *fp) const;
};
using TableFile = std::unique_ptr<FILE, TableCloser>;

// Opens the lookup table of that name for reading in the "file_path"
// directory; `path` receives the full name tried (for messages).
TableFile naming_open_table(const char *name, std::string &path);

// Blanks, tabs and carriage returns removed from both ends.
std::string naming_trim(const std::string &text);

// Writes the text into the caller's buffer, cut at its bound; returns the buffer.
char *naming_finish(const std::string &text, char *buf, size_t size);

// Module state back to the start (parts of VAR_reset).
void naming_reset_models();
void naming_reset_variables();
void naming_reset_labels();

// Time and level texts (see VAR_time, VAR_level and VAR_make_datalevel).
std::string naming_time_short(int time_code);
std::string naming_period_long(int time_code);  // "6 hour acc " and the like; "" for plain times
std::string naming_level_short(int ltype, int level);
std::string naming_level_long(int ltype, int level);

#endif
