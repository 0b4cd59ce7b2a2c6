// Runs the built program and captures its output and exit status.
#include "support/program_run.h"

#include <fcntl.h>
#include <spawn.h>
#include <stdio.h>
#include <string.h>
#include <sys/wait.h>
#include <unistd.h>

#include <sstream>

extern char **environ;

namespace {

std::string ReadFile(const char *path) {
  std::string text;
  FILE *file = fopen(path, "rb");
  if (!file) return text;
  char buffer[4096];
  size_t got;
  while ((got = fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, got);
  fclose(file);
  return text;
}

}  // namespace

std::vector<std::string> ProgramRun::OutLines() const {
  std::vector<std::string> lines;
  std::istringstream stream(out);
  std::string line;
  while (std::getline(stream, line)) lines.push_back(line);
  return lines;
}

ProgramRun RunProgram(const std::string &program, const std::vector<std::string> &arguments,
                      const std::vector<std::pair<std::string, std::string>> &environment) {
  std::vector<std::string> env_text;
  auto given = [&](const char *entry) {
    for (const auto &[name, value] : environment) {
      if (strncmp(entry, name.c_str(), name.size()) == 0 && entry[name.size()] == '=') return true;
    }
    return false;
  };
  for (char **entry = environ; *entry; ++entry) {
    if (strncmp(*entry, "INTERLOCK_", 10) != 0 && !given(*entry)) env_text.emplace_back(*entry);
  }
  bool display_given = false;
  for (const auto &[name, value] : environment) {
    env_text.push_back(name + "=" + value);
    display_given |= name == "INTERLOCK_DISPLAY";
  }
  if (!display_given) env_text.emplace_back("INTERLOCK_DISPLAY=headless");

  std::vector<char *> env_pointers;
  for (std::string &entry : env_text) env_pointers.push_back(&entry[0]);
  env_pointers.push_back(nullptr);
  std::vector<std::string> argv_text = {program};
  argv_text.insert(argv_text.end(), arguments.begin(), arguments.end());
  std::vector<char *> argv_pointers;
  for (std::string &argument : argv_text) argv_pointers.push_back(&argument[0]);
  argv_pointers.push_back(nullptr);

  char out_path[] = "/tmp/interlock-out-XXXXXX";
  char err_path[] = "/tmp/interlock-err-XXXXXX";
  int out_fd = mkstemp(out_path);
  int err_fd = mkstemp(err_path);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, out_fd, 1);
  posix_spawn_file_actions_adddup2(&actions, err_fd, 2);

  ProgramRun run;
  pid_t pid;
  if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv_pointers.data(), env_pointers.data()) == 0) {
    int status = 0;
    waitpid(pid, &status, 0);
    if (WIFEXITED(status)) run.exit_status = WEXITSTATUS(status);
  }
  posix_spawn_file_actions_destroy(&actions);
  close(out_fd);
  close(err_fd);
  run.out = ReadFile(out_path);
  run.err = ReadFile(err_path);
  unlink(out_path);
  unlink(err_path);
  return run;
}
