// Opening and closing files by the package's naming conventions: standard
// streams, '|command' pipes, '~' home directories and missing parent
// directories created for files opened to write.
#include "files/files.h"

#include <set>

namespace {

// Streams FILE_open started with popen; FILE_close must pclose them.
struct FileOpenState {
  std::set<FILE *> pipes;
};

FileOpenState &state() {
  static FileOpenState open_state;
  return open_state;
}

// popen knows only "r" and "w": a binary or update letter after them would
// make it fail, so the pipe is opened with the direction alone.
const char *pipe_mode(const char *mode) { return (mode[0] == 'r') ? "r" : "w"; }

bool only_blanks(const char *text) {
  for (; *text != '\0'; ++text) {
    if (*text != ' ' && *text != '\t') return false;
  }
  return true;
}

FILE *open_pipe(const char *command, const char *mode) {
  if (only_blanks(command)) return nullptr;
  std::fflush(nullptr);  // output already buffered must not appear after the command's
  FILE *fp = popen(command, pipe_mode(mode));
  if (fp != nullptr) state().pipes.insert(fp);
  return fp;
}

bool is_standard(const FILE *fp) { return fp == stdin || fp == stdout || fp == stderr; }

}  // namespace

FILE *FILE_open(const char *name, const char *mode) {
  if (name == nullptr || mode == nullptr || mode[0] == '\0') return nullptr;
  if (FILE_is_stdio(name)) return (mode[0] == 'r') ? stdin : stdout;
  if (name[0] == '|') return open_pipe(name + 1, mode);

  std::string path;
  FILE_add_user_path(name, path);
  if (mode[0] == 'w' || mode[0] == 'a') {
    std::string dirs = path;
    FILE_make_dir(dirs, 1);
  }
  FILE *fp = std::fopen(path.c_str(), mode);
  // A stream may reuse the address of a pipe closed behind our back.
  if (fp != nullptr) state().pipes.erase(fp);
  return fp;
}

int FILE_close(FILE *fp) {
  if (fp == nullptr) return EOF;
  if (is_standard(fp)) return std::fflush(fp);
  const auto pipe = state().pipes.find(fp);
  if (pipe != state().pipes.end()) {
    state().pipes.erase(pipe);
    return pclose(fp);
  }
  return std::fclose(fp);
}
