// Configuration and messages: the resource database and command line, value
// conversion and help, definition files, message levels and program flags, and
// the process-wide services (version, prompts, exit).
#ifndef KVZ_CONFIG_CONFIG_H
#define KVZ_CONFIG_CONFIG_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// ---- resources and command line --------------------------------------------
constexpr int RES_NONE = -9999;  // id of a resource not tied to a declared option
constexpr int RES_MAX_OPTIONS = 75;

// One option descriptor, filled from the option catalogue.
struct ResOption {
  char name[50];      // resource name; empty for an unknown code
  char env[20];       // the option's own environment variable
  char shortname[10]; // text typed after '-'; empty for a positional option
  int position;       // positional options: 1 first argument, 10 every unclaimed one; 0 when keyed
  int type;           // conversion type
  void *dest;         // where the conversion stores the setting (none in this program)
  int *count_dest;    // list options: where the item count goes
};

int RES_init(int argc, char **argv, const int *keyed, const int *positional);
int RES_enter(ResOption *opt, int code);
int RES_fill_obj(ResOption *opt, const char *name, const char *env, const char *shortname, int position,
                 int type, void *dest, int *count_dest);
int RES_decode(int argc, char **argv, ResOption *opts);
int RES_new(int id, const char *name, const char *value, int type);
int RES_append(int id, const char *name, const char *value, int type);
int RES_put(const char *name, const char *value);
const char *RES_get(const char *name);
int RES_getval(const char *name, void *dest, int type);
int RES_getvals(const char *name, int *count, std::vector<std::string> *list);
int RES_list();
int RES_setCL(int argc, char **argv);
const char *RES_get_prog();
const char *RES_get_progname(char *buffer, size_t size);
void RES_reset();  // empties the database (tests, and a fresh start)

// ---- value conversion and help ---------------------------------------------
int RES_conv_data(const char *value, void *dest, int type);
int RES_set_device(const char *text);
int RES_help_print(const char *name, const int *keyed, const int *positional);
int RES_help_item(int code);

// ---- definition files ------------------------------------------------------
int DEF_prog();
int DEF_name(const char *title);
int DEF_clr_tag();
int DEF_tag(const char *name);
int DEF_open(const char *path);
int DEF_get(char *name, char *value);  // name: 50 bytes, value: 200 bytes
int DEF_close();
int DEF_cmp(const char *resource, const char *entry);
int DEF_valid(const char *entry);
int DEF_parse_name(const char *entry, char *result);  // result: 50 bytes
int DEF_env(const char *resource, const char *own_var, char *result, size_t size);

// ---- messages and flags ----------------------------------------------------
int MESS_print(uint32_t level, const char *format, ...) __attribute__((format(printf, 2, 3)));
int MESS_check(uint32_t level);
int MESS_set(int code, uint32_t mask);
int MESS_set_str(const char *setting);
int MESS_check_set();
int MESS_hold(uint32_t level, const char *prompt);
int MESS_print_prog(const char *title);
uint32_t MESS_get_level();
void MESS_reset();  // back to the start-up state; closes a log file

int FLAG_get(int slot);
int FLAG_set(int slot, int value);
int FLAG_reset(int value);
int FLAG_batch();
int FLAG_help();
int FLAG_setplot(int slot, int value);
int FLAG_resetplot(int value);
int FLAG_getplot(int slot);

// ---- program services ------------------------------------------------------
const char *KVZ_version();
[[noreturn]] void KVZ_exit(int code);
char *KVZ_prompts(const char *prompt, char *answer, int size);
float KVZ_promptf(const char *prompt);
int KVZ_set_command(const char *line);

#endif
