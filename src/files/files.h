// Files and paths: opening files by the package's naming conventions, path
// helpers, the overwrite question, line readers, list splitting, text trimming,
// byte order and the small number code.  Every other subsystem names and opens
// its files through this header.
#ifndef KVZ_FILES_FILES_H
#define KVZ_FILES_FILES_H

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// ---- bounded text copies --------------------------------------------------
// Every fixed-size text field is written through these: the text is cut at the
// field's bound and always terminated, so over-long input never overflows.
void copy_text(char *dst, size_t size, const char *src);
template <size_t N> inline void copy_text(char (&dst)[N], const char *src) { copy_text(dst, N, src); }
int format_text(char *dst, size_t size, const char *fmt, ...) __attribute__((format(printf, 3, 4)));
// Appends formatted text of any length to a string.
void append_format(std::string &out, const char *fmt, ...) __attribute__((format(printf, 2, 3)));

// ---- paths, existence and overwrite ----------------------------------------
int FILE_fullpath(const char *name);
int FILE_add_path_delim(std::string &path);
const char *FILE_add_path(const char *dir, const char *name, std::string &result);
int FILE_add_user_path(const char *path, std::string &result);
int FILE_is_stdio(const char *name);
int FILE_exist(const char *path);
int FILE_is_dir(const char *path);
long long FILE_size(const char *path);
int FILE_make_dir(std::string &path, int skip);
FILE *FILE_open(const char *name, const char *mode);
int FILE_close(FILE *fp);  // closes what FILE_open opened: pipes with pclose, never the standard streams
// fseeko(fp, offset, SEEK_SET) for a stream being read, without asking the
// system where the file stands when the stream is there already or a few
// bytes before: 0 on success, -1 as fseeko fails.
int FILE_seek(FILE *fp, int64_t offset);
int FILE_overwrite(const char *path, int type);

// ---- line readers ----------------------------------------------------------
int fgetline(FILE *fp, char *buffer);  // buffer of at least 161 bytes
int fgetnline(FILE *fp, char *buffer, int width);  // buffer of at least width+1 bytes
int fgetstring(FILE *fp, char *buffer, int width);
// Reads one line of any length without its line end; false at the end of the file.
bool read_whole_line(FILE *fp, std::string &line);

// ---- lists and texts -------------------------------------------------------
int parse_string(const char *text, char sep, int *count, std::vector<std::string> *list);
int free_parsed_array(int count, std::vector<std::string> *list);
int fill_string(char *text, char from, char to);
int trim_string(char *text);
int trim_cr_string(char *text);
int wstrim_string(char *text);
int low_string(char *text);

// ---- byte order ------------------------------------------------------------
int swap_setup(int type);
int swap_long(void *four_bytes);
size_t fread_long_swap(void *four_bytes, FILE *fp);
size_t fwrite_long_swap(void *four_bytes, FILE *fp);

// ---- number code -----------------------------------------------------------
int float2int(float f);

// ---- file name conventions ---------------------------------------------------
// A data set name selects its file name template from the name-convention file;
// ":k=value" settings in it set keys and are cut off (the name is changed).
int FILE_set_name(std::string &name);
int FILE_set_name(const char *name);
int FILE_set_key(char key, const char *text);
int FILE_set_type(int type);
int FILE_set_ext_info(const char *text);
const char *FILE_get_ext_info();
int FILE_extract_extra_info(std::string &name);

// ---- date-based file names -----------------------------------------------------
struct DateRec;
// Expands the template for a date (none: the current file date); 0 when the
// result was made from the template, 1 when it was not.
int FILE_set_date(const DateRec *date, std::string *result);
// The header (index) file name of the current grid file; 0 when none can be formed.
int FILE_hdr_set_date(const DateRec *date, std::string *result);
// Completes a name as typed and reads its date; returns 0.
int FILE_set_file(const char *name, std::string *result);
int FILE_set_time(const DateRec &fixed);
const DateRec &FILE_get_set_time();
int FILE_get_date(DateRec *date);

// ---- current file selection and the input file dialogue -------------------------
// Selects a file by time ("cu", "la", "#YYYYMMDDHH", offsets); returns the time
// in seconds rounded down to the template's period.
int32_t FILE_set_current(const char *text, std::string *result);
int FILE_get_file(const char *prompt, std::string *result);
int FILE_list_file();
void FILE_names_reset();  // back to the start-up state (tests)

#endif
